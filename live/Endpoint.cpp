#include "live/Endpoint.h"

namespace live {

namespace {

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    return t;
}

std::optional<std::uint16_t> ReadPort(std::string_view t) {
    if (t.empty() || t.size() > 5) return std::nullopt;
    unsigned v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v < 1 || v > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(v);
}

// Dotted IPv4; the first byte in `first`.
bool ReadIpv4(std::string_view t, unsigned& first) {
    int parts = 0;
    std::size_t i = 0;
    while (parts < 4) {
        unsigned v = 0;
        std::size_t digits = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9' && digits < 4) {
            v = v * 10 + static_cast<unsigned>(t[i] - '0');
            ++i, ++digits;
        }
        if (digits == 0 || digits > 3 || v > 255) return false;
        if (parts == 0) first = v;
        ++parts;
        if (parts < 4) {
            if (i >= t.size() || t[i] != '.') return false;
            ++i;
        }
    }
    return i == t.size();
}

bool HostCharacters(std::string_view h) {
    if (h.empty() || h.size() > 253) return false;
    for (char c : h)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '.' || c == '_'))
            return false;
    return true;
}

} // namespace

std::optional<HostPort> ParseHostPort(std::string_view text) {
    text = Trim(text);
    std::string_view host, port;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':')
            return std::nullopt;
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
        if (host.empty()) return std::nullopt;
        for (char c : host)
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                  c == ':'))
                return std::nullopt;
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string_view::npos) return std::nullopt;
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (!HostCharacters(host)) return std::nullopt;
    }
    const auto p = ReadPort(port);
    if (!p) return std::nullopt;
    return HostPort{std::string(host), *p};
}

std::optional<UdpEndpoint> ParseUdpEndpoint(std::string_view text) {
    text = Trim(text);
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        const auto p = ReadPort(text);
        if (!p) return std::nullopt;
        return UdpEndpoint{"127.0.0.1", *p, false};
    }
    const std::string_view address = text.substr(0, colon);
    const auto p = ReadPort(text.substr(colon + 1));
    unsigned first = 0;
    if (!p || !ReadIpv4(address, first)) return std::nullopt;
    return UdpEndpoint{std::string(address), *p, first >= 224 && first <= 239};
}

} // namespace live
