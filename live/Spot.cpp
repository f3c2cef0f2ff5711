#include "live/Spot.h"

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

} // namespace live
