#include "live/ClusterLine.h"

#include "live/Locator.h"

#include <cmath>

namespace live {

namespace {

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool Digit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view t) {
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    return t;
}

bool StartsNoCase(std::string_view t, std::string_view head) {
    if (t.size() < head.size()) return false;
    for (std::size_t i = 0; i < head.size(); ++i)
        if (Lower(t[i]) != Lower(head[i])) return false;
    return true;
}

bool EndsNoCase(std::string_view t, std::string_view tail) {
    return t.size() >= tail.size() && StartsNoCase(t.substr(t.size() - tail.size()), tail);
}

// A cursor over blank-separated words.
struct Words {
    std::string_view text;
    std::size_t pos = 0;
    // The next word and its start; empty at the end.
    std::string_view Next(std::size_t* start = nullptr) {
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
        const std::size_t s = pos;
        while (pos < text.size() && text[pos] != ' ')
            ++pos;
        if (start) *start = s;
        return text.substr(s, pos - s);
    }
};

// A frequency in kHz: digits with at most one '.', above 0 and below 10^9.
bool ReadKHz(std::string_view w, double& kHz) {
    if (w.empty() || w.size() > 14) return false;
    double whole = 0, scale = 0.1, frac = 0;
    bool dot = false, digits = false;
    for (char c : w) {
        if (Digit(c)) {
            digits = true;
            if (!dot) {
                whole = whole * 10 + (c - '0');
            } else {
                frac += (c - '0') * scale;
                scale /= 10;
            }
        } else if (c == '.' && !dot) {
            dot = true;
        } else {
            return false;
        }
    }
    kHz = whole + frac;
    return digits && kHz > 0 && kHz < 1e9;
}

std::string UpperText(std::string_view w) {
    std::string s(w);
    for (char& c : s)
        c = Upper(c);
    return s;
}

// The spotter of a "DX de" line: A-Z, 0-9, '/', '-', '#', 1 to 16 characters.
bool LooksLikeSpotter(std::string_view w) {
    if (w.empty() || w.size() > 16) return false;
    for (char c : w)
        if (!((c >= 'A' && c <= 'Z') || Digit(c) || c == '/' || c == '-' || c == '#')) return false;
    return true;
}

// HHMMZ -> minute of the day, -1 when the word is not one.
int ReadTime(std::string_view w) {
    if (w.size() != 5 || (w[4] != 'Z' && w[4] != 'z')) return -1;
    for (int i = 0; i < 4; ++i)
        if (!Digit(w[i])) return -1;
    const int h = (w[0] - '0') * 10 + (w[1] - '0');
    const int m = (w[2] - '0') * 10 + (w[3] - '0');
    if (h > 23 || m > 59) return -1;
    return h * 60 + m;
}

// 4-Dec-2026, 04-Dec-2026.
bool LooksLikeDate(std::string_view w) {
    const std::size_t d1 = w.find('-');
    if (d1 == std::string_view::npos || d1 < 1 || d1 > 2) return false;
    for (std::size_t i = 0; i < d1; ++i)
        if (!Digit(w[i])) return false;
    const std::string_view rest = w.substr(d1 + 1);
    if (rest.size() != 8 || rest[3] != '-') return false;
    for (int i = 0; i < 3; ++i)
        if (!((rest[i] >= 'A' && rest[i] <= 'Z') || (rest[i] >= 'a' && rest[i] <= 'z')))
            return false;
    for (int i = 4; i < 8; ++i)
        if (!Digit(rest[i])) return false;
    return true;
}

bool ReadDxDe(std::string_view line, ClusterSpot& s) {
    const std::string_view rest = line.substr(6);
    const std::size_t colon = rest.find(':');
    if (colon == std::string_view::npos) return false;
    s.spotter = UpperText(Trim(rest.substr(0, colon)));
    if (!LooksLikeSpotter(s.spotter)) return false;
    Words w{rest.substr(colon + 1)};
    if (!ReadKHz(w.Next(), s.kHz)) return false;
    s.call = UpperText(w.Next());
    if (!LooksLikeCall(s.call)) return false;
    const std::size_t commentStart = w.pos;
    std::size_t timeStart = std::string_view::npos, timeEnd = 0;
    for (;;) {
        std::size_t start = 0;
        const std::string_view word = w.Next(&start);
        if (word.empty()) break;
        const int t = ReadTime(word);
        if (t >= 0) {
            s.minuteOfDay = t;
            timeStart = start;
            timeEnd = w.pos;
        }
    }
    const std::string_view text = w.text;
    if (timeStart == std::string_view::npos) {
        s.comment = std::string(Trim(text.substr(commentStart)));
    } else {
        s.comment = std::string(Trim(text.substr(commentStart, timeStart - commentStart)));
        Words after{text.substr(timeEnd)};
        const std::string_view loc = after.Next();
        if (loc.size() == 4 && IsLocator(loc) && after.Next().empty())
            s.spotterLocator = UpperText(loc);
    }
    s.locator = LocatorInComment(s.comment);
    return true;
}

bool ReadListing(std::string_view line, ClusterSpot& s) {
    Words w{line};
    if (!ReadKHz(w.Next(), s.kHz)) return false;
    s.call = UpperText(w.Next());
    if (!LooksLikeCall(s.call)) return false;
    if (!LooksLikeDate(w.Next())) return false;
    s.minuteOfDay = ReadTime(w.Next());
    if (s.minuteOfDay < 0) return false;
    std::string_view comment = Trim(line.substr(w.pos));
    if (!comment.empty() && comment.back() == '>') {
        const std::size_t open = comment.rfind('<');
        if (open != std::string_view::npos) {
            const std::string spotter =
                UpperText(comment.substr(open + 1, comment.size() - open - 2));
            if (LooksLikeSpotter(spotter)) {
                s.spotter = spotter;
                comment = Trim(comment.substr(0, open));
            }
        }
    }
    s.comment = std::string(comment);
    s.locator = LocatorInComment(s.comment);
    s.listing = true;
    return true;
}

} // namespace

std::string CleanClusterLine(std::string_view raw) {
    std::string out;
    out.reserve(raw.size() < MaxClusterLine ? raw.size() : MaxClusterLine);
    for (char c : raw) {
        if (out.size() >= MaxClusterLine) break;
        const auto u = static_cast<unsigned char>(c);
        if (u == '\t')
            out += ' ';
        else if (u >= 0x20 && u != 0x7F)
            out += c;
    }
    return out;
}

bool IsLoginPrompt(std::string_view text) {
    const std::string_view t = Trim(text);
    return EndsNoCase(t, "login:") || EndsNoCase(t, "your call:") || EndsNoCase(t, "callsign:") ||
           EndsNoCase(t, "enter your call sign:");
}

ClusterLine ReadClusterLine(std::string_view raw) {
    ClusterLine r;
    const std::string cleaned = CleanClusterLine(raw);
    const std::string_view line = Trim(cleaned);
    if (line.empty()) return r;
    if (StartsNoCase(line, "DX de ")) {
        r.kind = ReadDxDe(line, r.spot) ? ClusterLineKind::Spot : ClusterLineKind::Other;
        if (r.kind != ClusterLineKind::Spot) r.spot = {};
        return r;
    }
    if (Digit(line.front())) {
        if (ReadListing(line, r.spot)) {
            r.kind = ClusterLineKind::Spot;
            return r;
        }
        r.spot = {};
    }
    if (IsLoginPrompt(line)) {
        r.kind = ClusterLineKind::LoginPrompt;
        return r;
    }
    if (StartsNoCase(line, "WWV de ")) {
        r.kind = ClusterLineKind::Wwv;
        return r;
    }
    if (StartsNoCase(line, "WCY de ")) {
        r.kind = ClusterLineKind::Wcy;
        return r;
    }
    if (StartsNoCase(line, "To ALL de ") || StartsNoCase(line, "To LOCAL de ")) {
        r.kind = ClusterLineKind::Announcement;
        return r;
    }
    Words w{line};
    const std::string_view first = w.Next();
    const std::string_view second = w.Next();
    const bool de = second == "de" || second == "DE";
    if (de && line.back() == '>') {
        r.kind = ClusterLineKind::Prompt;
        return r;
    }
    if (StartsNoCase(line, "To ") && w.Next() == "de") {
        r.kind = ClusterLineKind::Talk;
        return r;
    }
    if (de && LooksLikeSpotter(UpperText(first))) {
        r.kind = ClusterLineKind::Talk;
        return r;
    }
    r.kind = ClusterLineKind::Other;
    return r;
}

} // namespace live
