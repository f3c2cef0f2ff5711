#include "live/Locator.h"

#include <vector>

namespace live {

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
bool Digit(char c) {
    return c >= '0' && c <= '9';
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        if (i > start) out.push_back(text.substr(start, i - start));
    }
    return out;
}

} // namespace

bool IsLocator(std::string_view t) {
    if (t.size() != 4 && t.size() != 6) return false;
    const char f1 = Upper(t[0]);
    const char f2 = Upper(t[1]);
    if (f1 < 'A' || f1 > 'R' || f2 < 'A' || f2 > 'R') return false;
    if (!Digit(t[2]) || !Digit(t[3])) return false;
    if (t.size() == 4 && f1 == 'R' && f2 == 'R' && t[2] == '7' && t[3] == '3') return false;
    if (t.size() == 6) {
        const char s1 = Upper(t[4]);
        const char s2 = Upper(t[5]);
        if (s1 < 'A' || s1 > 'X' || s2 < 'A' || s2 > 'X') return false;
    }
    return true;
}

std::optional<LocatorPoint> LocatorCentre(std::string_view t) {
    if (!IsLocator(t)) return std::nullopt;
    double lon = -180.0 + (Upper(t[0]) - 'A') * 20 + (t[2] - '0') * 2;
    double lat = -90.0 + (Upper(t[1]) - 'A') * 10 + (t[3] - '0');
    if (t.size() == 4) return LocatorPoint{lat + 0.5, lon + 1.0};
    lon += (Upper(t[4]) - 'A') * (5.0 / 60.0) + 2.5 / 60.0;
    lat += (Upper(t[5]) - 'A') * (2.5 / 60.0) + 1.25 / 60.0;
    return LocatorPoint{lat, lon};
}

std::string LocatorInComment(std::string_view comment) {
    std::string_view found;
    std::size_t i = 0;
    auto separator = [](char c) {
        return c == ' ' || c == '<' || c == '>' || c == ',' || c == ';' || c == '(' || c == ')';
    };
    while (i < comment.size()) {
        while (i < comment.size() && separator(comment[i]))
            ++i;
        const std::size_t start = i;
        while (i < comment.size() && !separator(comment[i]))
            ++i;
        const std::string_view word = comment.substr(start, i - start);
        if (IsLocator(word)) found = word;
    }
    std::string out(found);
    if (out.size() >= 2) out[0] = Upper(out[0]), out[1] = Upper(out[1]);
    if (out.size() == 6) out[4] = Upper(out[4]), out[5] = Upper(out[5]);
    return out;
}

bool LooksLikeCall(std::string_view w) {
    if (w.size() < 3 || w.size() > 16) return false;
    bool letter = false, digit = false;
    for (char c : w) {
        if (c >= 'A' && c <= 'Z')
            letter = true;
        else if (Digit(c))
            digit = true;
        else if (c != '/')
            return false;
    }
    return letter && digit && w.front() != '/' && w.back() != '/';
}

FtMessage ReadFtMessage(std::string_view text) {
    FtMessage m;
    std::vector<std::string_view> w = Words(text);
    for (auto& x : w)
        if (x.size() >= 2 && x.front() == '<' && x.back() == '>') x = x.substr(1, x.size() - 2);
    if (w.size() < 2) return m;
    std::size_t idx = 1;
    if (w[0] == "CQ" || w[0].substr(0, 3) == "CQ_") {
        // A directed CQ ("CQ DX", "CQ NA", "CQ POTA", "CQ 310") names the call one word later.
        auto modifier = [](std::string_view x) {
            bool letters = x.size() >= 1 && x.size() <= 4;
            for (char c : x)
                letters = letters && c >= 'A' && c <= 'Z';
            bool digits = x.size() == 3;
            for (char c : x)
                digits = digits && Digit(c);
            return letters || digits;
        };
        if (w.size() >= 3 && modifier(w[1])) idx = 2;
    }
    const bool lastIsLocator = w.back().size() == 4 && IsLocator(w.back());
    if (idx < w.size() && LooksLikeCall(w[idx]) && !(lastIsLocator && idx == w.size() - 1)) {
        m.call = std::string(w[idx]);
        if (lastIsLocator && idx + 1 == w.size() - 1) m.locator = std::string(w.back());
    }
    return m;
}

} // namespace live
