#include "live/Placement.h"

#include "dxlists/BuiltinLists.h"
#include "dxlists/CtyDat.h"
#include "geo/MapFrame.h"
#include "live/Locator.h"

#include <cmath>
#include <vector>

namespace live {

namespace {

// One key of the built-in list: every start of a call it stands for lies
// between `low` and `high` (both of the same length).
struct KeyRange {
    std::string low, high;
};

struct BuiltinRow {
    std::vector<KeyRange> keys;
    BuiltinPlace place;
};

// "35,83N" -> 35.83, "10,45S" -> -10.45; nothing when it does not read.
std::optional<double> ReadCoordinate(std::string_view t) {
    if (t.size() < 2) return std::nullopt;
    const char hemi = t.back();
    t.remove_suffix(1);
    double v = 0, scale = 0.1;
    bool frac = false, digits = false;
    for (char c : t) {
        if (c >= '0' && c <= '9') {
            digits = true;
            if (frac) {
                v += (c - '0') * scale;
                scale /= 10;
            } else {
                v = v * 10 + (c - '0');
            }
        } else if ((c == ',' || c == '.') && !frac) {
            frac = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    if (hemi == 'S' || hemi == 'W') return -v;
    if (hemi == 'N' || hemi == 'E') return v;
    return std::nullopt;
}

std::vector<std::string_view> Split(std::string_view t, char sep) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = t.find(sep, start);
        out.push_back(
            t.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return out;
}

// A short second half takes the first half's head: "AH6-7" is AH6 to AH7.
std::string Complete(std::string_view first, std::string_view second) {
    if (second.size() >= first.size()) return std::string(second);
    return std::string(first.substr(0, first.size() - second.size())) + std::string(second);
}

std::vector<KeyRange> ReadKey(std::string_view key) {
    std::vector<KeyRange> out;
    if (key.empty()) return out;
    const std::size_t dash = key.find('-');
    if (dash != std::string_view::npos) {
        const std::string low(key.substr(0, dash));
        const std::string high = Complete(low, key.substr(dash + 1));
        if (!low.empty() && low.size() == high.size()) out.push_back({low, high});
        return out;
    }
    const auto parts = Split(key, ',');
    for (std::string_view p : parts) {
        const std::string k = Complete(parts.front(), p);
        if (!k.empty()) out.push_back({k, k});
    }
    return out;
}

const std::vector<BuiltinRow>& BuiltinRows() {
    static const std::vector<BuiltinRow> rows = [] {
        std::vector<BuiltinRow> v;
        for (const std::string& line : dx::BuiltinHamRows()) {
            const auto f = Split(line, '\t');
            if (f.size() < 4) continue;
            const auto lat = ReadCoordinate(f[2]);
            const auto lon = ReadCoordinate(f[3]);
            if (!lat || !lon) continue;
            BuiltinRow row;
            row.keys = ReadKey(f[0]);
            row.place = {std::string(f[1]), *lat, *lon};
            if (!row.keys.empty()) v.push_back(std::move(row));
        }
        return v;
    }();
    return rows;
}

bool PortableSuffix(std::string_view p) {
    return p == "P" || p == "M" || p == "QRP" || p == "A" || p == "R" || p == "B" ||
           (p.size() == 1 && p[0] >= '0' && p[0] <= '9');
}

// The part of a call that tells its country in the built-in list.
std::string_view HomePart(std::string_view call) {
    std::vector<std::string_view> parts = Split(call, '/');
    // At sea or in the air: no country.
    if (parts.size() > 1 && (parts.back() == "MM" || parts.back() == "AM")) return {};
    while (parts.size() > 1 && PortableSuffix(parts.back()))
        parts.pop_back();
    if (parts.size() == 1) return parts.front();
    if (parts.size() != 2) return {};
    return parts[1].size() < parts[0].size() ? parts[1] : parts[0];
}

} // namespace

std::optional<BuiltinPlace> BuiltinPlaceOf(std::string_view call) {
    const std::string_view home = HomePart(call);
    if (home.empty()) return std::nullopt;
    const BuiltinRow* best = nullptr;
    std::size_t bestLength = 0;
    for (const BuiltinRow& row : BuiltinRows()) {
        for (const KeyRange& k : row.keys) {
            const std::size_t n = k.low.size();
            if (n <= bestLength || n > home.size()) continue;
            const std::string_view head = home.substr(0, n);
            if (head >= k.low && head <= k.high) {
                best = &row;
                bestLength = n;
            }
        }
    }
    if (!best) return std::nullopt;
    return best->place;
}

void Placer::Place(Spot& s) const {
    s.positionSource = PositionSource::None;
    s.entity.clear();
    std::optional<dx::CtyAnswer> answer;
    if (cty_) {
        answer = cty_->Resolve(s.call);
        if (answer->found() && answer->entity) s.entity = answer->entity->name;
    }
    std::optional<BuiltinPlace> builtin;
    if (s.entity.empty()) {
        builtin = BuiltinPlaceOf(s.call);
        if (builtin) s.entity = builtin->country;
    }
    if (const auto p = LocatorCentre(s.locator)) {
        s.lat = p->lat;
        s.lon = p->lon;
        s.positionSource = PositionSource::Locator;
    } else if (answer && answer->found()) {
        s.lat = answer->values.lat;
        s.lon = answer->values.lon;
        s.positionSource =
            answer->exact ? PositionSource::CountryExact : PositionSource::CountryFile;
    } else if (!answer || answer->kind == dx::CtyAnswer::Kind::Unknown) {
        if (!builtin) builtin = BuiltinPlaceOf(s.call);
        if (builtin) {
            s.lat = builtin->lat;
            s.lon = builtin->lon;
            s.positionSource = PositionSource::BuiltinList;
        }
    }
    Measure(s);
}

void Placer::Measure(Spot& s) const {
    s.bearing = s.longBearing = s.km = s.longKm = 0;
    if (s.positionSource == PositionSource::None) return;
    const geo::MapFrame frame(centreLat_, centreLon_, 600);
    const auto pr = frame.ProjectUnclipped(s.lat, s.lon);
    if (!pr) {
        s.km = 180 * geo::ReadoutKmPerDegree;
    } else {
        // As the viewer's readouts measure it, so that a chosen spot reads
        // the same distance in the list and in the readouts.
        s.km = pr->distance * geo::ReadoutKmPerDegree;
        if (pr->distance > 1e-9) {
            const double dx = pr->p.x - frame.radius();
            const double dy = frame.radius() - pr->p.y;
            double b = std::atan2(dx, dy) * 180.0 / 3.14159265358979323846;
            if (b < 0) b += 360.0;
            if (b >= 360.0) b -= 360.0;
            s.bearing = b;
        }
    }
    s.longBearing = std::fmod(s.bearing + 180.0, 360.0);
    s.longKm = 2 * geo::HalfCircumferenceKm - s.km;
}

} // namespace live
