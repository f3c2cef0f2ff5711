#include "geo/Inverse.h"

#include "geo/MapFrame.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace geo {

std::optional<LatLon> MapPixelToLatLon(Real centreLat, Real centreLon, Real x, Real y, int size) {
    return MapFrame(centreLat, centreLon, size).PositionAt(x, y);
}

std::string EncodeLocator(Real lat, Real lon) {
    // Offsets from 180 W and 90 S, kept inside the grid.
    Real a = std::clamp(lon + 180, Real(0), Real(360) - 1e-9L);
    Real b = std::clamp(lat + 90, Real(0), Real(180) - 1e-9L);
    std::string s(6, ' ');
    const int fieldLon = static_cast<int>(a / 20);
    const int fieldLat = static_cast<int>(b / 10);
    a -= fieldLon * 20;
    b -= fieldLat * 10;
    const int squareLon = static_cast<int>(a / 2);
    const int squareLat = static_cast<int>(b);
    a -= squareLon * 2;
    b -= squareLat;
    const int subLon = std::min(23, static_cast<int>(a * 12));
    const int subLat = std::min(23, static_cast<int>(b * 24));
    s[0] = static_cast<char>('A' + fieldLon);
    s[1] = static_cast<char>('A' + fieldLat);
    s[2] = static_cast<char>('0' + squareLon);
    s[3] = static_cast<char>('0' + squareLat);
    s[4] = static_cast<char>('A' + subLon);
    s[5] = static_cast<char>('A' + subLat);
    return s;
}

PositionGrid::PositionGrid(Real centreLat, Real centreLon, int size)
    : PositionGrid(MapFrame(centreLat, centreLon, size)) {}

PositionGrid::PositionGrid(const MapFrame& frame, int firstRow, int rowCount)
    : size_(frame.size()), firstRow_(std::clamp(firstRow, 0, frame.size())) {
    const int size = size_;
    rows_ = rowCount < 0 ? size - firstRow_ : std::min(rowCount, size - firstRow_);
    lat_.assign(static_cast<size_t>(rows_) * static_cast<size_t>(size), 0.0);
    lon_.assign(lat_.size(), 0.0);
    inside_.assign(lat_.size(), 0);
    const Real centreLat = frame.geometricCentreLat();
    const double phi1 = static_cast<double>(centreLat * Pi / 180);
    const double lam1 = static_cast<double>(frame.centreLon() * Pi / 180);
    const double s1 = std::sin(phi1), c1 = std::cos(phi1);
    const double R = size / 2.0;
    const double toDeg = 180.0 / static_cast<double>(Pi);
    // The rim's central angle: pi on the whole-world map.
    const double pi = static_cast<double>(frame.rimAngle());
    auto rows = [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            const double north = R - y;
            for (int x = 0; x < size; ++x) {
                const double east = x - R;
                const double r = std::sqrt(east * east + north * north);
                if (r > R) continue;
                const size_t i = index(x, y);
                const double d = r * pi / R;
                const double sinA = r > 0 ? east / r : 0, cosA = r > 0 ? north / r : 1;
                const double sd = std::sin(d), cd = std::cos(d);
                const double sp2 = std::clamp(s1 * cd + c1 * sd * cosA, -1.0, 1.0);
                const double lam2 = lam1 + std::atan2(sinA * sd * c1, cd - s1 * sp2);
                double lon = std::fmod(lam2 * toDeg + 180, 360.0);
                if (lon < 0) lon += 360;
                lat_[i] = std::asin(sp2) * toDeg;
                lon_[i] = lon - 180;
                inside_[i] = 1;
            }
        }
    };
    const int middle = firstRow_ + rows_ / 2;
    std::thread other(rows, middle, firstRow_ + rows_);
    rows(firstRow_, middle);
    other.join();
}

} // namespace geo
