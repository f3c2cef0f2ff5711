#include "live/Spot.h"

#include <cstdio>
#include <ctime>

namespace live {

std::string_view SourceWord(SpotSource s) {
    switch (s) {
    case SpotSource::Cluster:
        return "cluster";
    case SpotSource::Ft8:
        return "ft8";
    case SpotSource::Wspr:
        return "wspr";
    }
    return "cluster";
}

std::string SpotKey(const Spot& s) {
    std::string key = s.call;
    key += '\t';
    key += s.band;
    return key;
}

std::string CutText(std::string_view text, std::size_t max) {
    if (text.size() <= max) return std::string(text);
    std::size_t n = max;
    // Back off over continuation bytes so no sequence is cut in half.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return std::string(text.substr(0, n));
}

namespace {

void Field(std::string& out, std::string_view text) {
    if (!out.empty()) out += '\t';
    for (char c : text)
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
}

std::string Number(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

} // namespace

std::string SpotTsv(const Spot& s, bool measured) {
    std::string out;
    const std::time_t t = static_cast<std::time_t>(s.receivedMs / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%SZ", &tm);
    out = when;
    Field(out, SourceWord(s.source));
    Field(out, s.spotter);
    Field(out, s.kHz > 0 ? Number(s.kHz, 1) : std::string());
    Field(out, s.band);
    Field(out, s.call);
    Field(out, s.entity);
    const bool placed = s.positionSource != PositionSource::None;
    Field(out, placed ? Number(s.lat, 2) : std::string());
    Field(out, placed ? Number(s.lon, 2) : std::string());
    Field(out, placed && measured ? Number(s.bearing, 0) : std::string());
    Field(out, placed && measured ? Number(s.km, 0) : std::string());
    Field(out, s.comment);
    return out;
}

} // namespace live
