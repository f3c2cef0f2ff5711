#include "geo/GreyLine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace geo {

namespace {
constexpr double Rad = std::numbers::pi / 180.0;
} // namespace

SphereGrid::SphereGrid(const PositionGrid& grid) : size_(grid.size()), rows_(grid.rows()) {
    // About pi / 4 of the square lies inside the disc.
    const size_t expected = static_cast<size_t>(size_) * static_cast<size_t>(rows_) * 4 / 5;
    for (auto* v : {&x_, &y_, &z_})
        v->reserve(expected);
    index_.reserve(expected);
    const int first = grid.firstRow();
    for (int y = first; y < first + rows_; ++y)
        for (int x = 0; x < size_; ++x) {
            if (!grid.inside(x, y)) continue;
            const double lat = grid.lat(x, y) * Rad, lon = grid.lon(x, y) * Rad;
            x_.push_back(static_cast<float>(std::cos(lat) * std::cos(lon)));
            y_.push_back(static_cast<float>(std::cos(lat) * std::sin(lon)));
            z_.push_back(static_cast<float>(std::sin(lat)));
            index_.push_back(static_cast<uint32_t>((y - first) * size_ + x));
        }
}

template <typename Put> void SphereGrid::Walk(const SunPosition& sun, Put put) const {
    const double lat = sun.subsolarLat * Rad, lon = sun.subsolarLon * Rad;
    const float sx = static_cast<float>(std::cos(lat) * std::cos(lon));
    const float sy = static_cast<float>(std::cos(lat) * std::sin(lon));
    const float sz = static_cast<float>(std::sin(lat));
    // The cosine of the distance to the sub-solar point falls as the distance grows.
    const float sunset = static_cast<float>(std::cos(SunsetDistance * Rad));
    const float twilight = static_cast<float>(std::cos(CivilTwilightDistance * Rad));
    const size_t n = index_.size();
    for (size_t i = 0; i < n; ++i) {
        const float c = x_[i] * sx + y_[i] * sy + z_[i] * sz;
        if (c <= sunset) put(index_[i], c > twilight ? Daylight::Twilight : Daylight::Night);
    }
}

void SphereGrid::Classify(const SunPosition& sun, std::vector<Daylight>& out) const {
    out.assign(static_cast<size_t>(size_) * static_cast<size_t>(rows_), Daylight::Day);
    Walk(sun, [&](uint32_t i, Daylight d) { out[i] = d; });
}

void SphereGrid::Shade(const SunPosition& sun, uint32_t twilight, uint32_t night,
                       uint32_t* out) const {
    std::fill(out, out + static_cast<size_t>(size_) * static_cast<size_t>(rows_), 0u);
    Walk(sun, [&](uint32_t i, Daylight d) { out[i] = d == Daylight::Twilight ? twilight : night; });
}

} // namespace geo
