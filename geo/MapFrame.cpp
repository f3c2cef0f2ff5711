#include "geo/MapFrame.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace geo {

namespace {

constexpr double Rad = std::numbers::pi / 180.0;

Real Deg(Real a) {
    return a * 180.0L / Pi;
}

} // namespace

MapFrame::MapFrame(Real centreLat, Real centreLon, int size, Real rimAngle)
    : lat_(centreLat), lon_(centreLon), size_(std::max(size, 1)),
      rim_(std::isfinite(rimAngle) && rimAngle > 0 && rimAngle < Pi ? rimAngle : Pi) {}

MapFrame MapFrame::WithRangeKm(Real centreLat, Real centreLon, int size, double rangeKm) {
    if (!std::isfinite(rangeKm) || rangeKm <= 0 || rangeKm >= HalfCircumferenceKm)
        return MapFrame(centreLat, centreLon, size, Pi);
    return MapFrame(centreLat, centreLon, size,
                    static_cast<Real>(rangeKm) * Pi / static_cast<Real>(HalfCircumferenceKm));
}

MapFrame MapFrame::Resized(int size) const {
    return MapFrame(lat_, lon_, size, rim_);
}

Real MapFrame::geometricCentreLat() const {
    // At a pole every direction is north (or south): the bearings that lay
    // out the map have no meaning there, so the centre moves off the pole.
    return OffPole(lat_);
}

double MapFrame::rangeKm() const {
    if (wholeWorld()) return HalfCircumferenceKm;
    return static_cast<double>(static_cast<Real>(HalfCircumferenceKm) * rim_ / Pi);
}

double MapFrame::kmPerPixel() const {
    return rangeKm() / radius();
}

double MapFrame::PixelsForKm(double km) const {
    return km / kmPerPixel();
}

std::optional<Projected> MapFrame::ProjectUnclipped(double lat, double lon) const {
    const double centreLat = static_cast<double>(geometricCentreLat());
    const double p1 = centreLat * Rad, p2 = lat * Rad, dl = (lon - static_cast<double>(lon_)) * Rad;
    const double east = std::cos(p2) * std::sin(dl);
    const double north = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    const double c = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl);
    const double s = std::hypot(east, north);
    const double d = std::atan2(s, c);
    const double R = radius();
    Projected out;
    out.distance = d / Rad;
    if (s < 1e-12) {
        if (c < 0) return std::nullopt; // the antipode, within rounding
        out.p = {R, R};
        return out;
    }
    const double r = R * d / static_cast<double>(rim_);
    out.p = {R + r * east / s, R - r * north / s};
    return out;
}

std::optional<Projected> MapFrame::Project(double lat, double lon) const {
    auto p = ProjectUnclipped(lat, lon);
    if (!p) return std::nullopt;
    if (!wholeWorld() && p->distance * Rad > static_cast<double>(rim_)) return std::nullopt;
    return p;
}

MapPoint MapFrame::PointAt(double bearingDeg, double angle) const {
    const double R = radius();
    const double r = R * angle / static_cast<double>(rim_);
    return {R + r * std::sin(bearingDeg * Rad), R - r * std::cos(bearingDeg * Rad)};
}

bool MapFrame::Inside(Real x, Real y) const {
    const Real R = static_cast<Real>(size_) / 2;
    const Real east = x - R;
    const Real north = R - y;
    return std::sqrt(east * east + north * north) <= R;
}

std::optional<LatLon> MapFrame::PositionAt(Real x, Real y) const {
    const Real R = static_cast<Real>(size_) / 2;
    const Real east = x - R;
    const Real north = R - y;
    const Real r = std::sqrt(east * east + north * north);
    if (r > R) return std::nullopt;
    const Real phi1 = geometricCentreLat() * Pi / 180;
    const Real lam1 = lon_ * Pi / 180;
    const Real d = r * rim_ / R;
    // Bearing from the centre: sin A = east / r, cos A = north / r.
    const Real sinA = r > 0 ? east / r : 0;
    const Real cosA = r > 0 ? north / r : 1;
    const Real sinPhi2 = std::clamp(
        std::sin(phi1) * std::cos(d) + std::cos(phi1) * std::sin(d) * cosA, Real(-1), Real(1));
    const Real phi2 = std::asin(sinPhi2);
    const Real lam2 = lam1 + std::atan2(sinA * std::sin(d) * std::cos(phi1),
                                        std::cos(d) - std::sin(phi1) * sinPhi2);
    LatLon p;
    p.lat = phi2 * 180 / Pi;
    Real lon = std::fmod(lam2 * 180 / Pi + 180, Real(360));
    if (lon < 0) lon += 360;
    p.lon = lon - 180;
    return p;
}

PixelPolar MapFrame::PolarOfPixel(int X, int Y) const {
    // The centre as the readout has always taken it: the whole pixel N / 2.
    const int c = size_ / 2;
    PixelPolar p;
    const long long dx = X - c;
    const long long dy = Y - c;
    if (Y == c) {
        if (X < c) {
            p.bearing = 270;
            p.r = c - X;
        } else {
            p.bearing = 90;
            p.r = X - c;
        }
        return p;
    }
    p.r = std::sqrt(static_cast<Real>(dx * dx + dy * dy));
    const Real fx = X;
    const Real fy = Y;
    if (Y < c && X < c)
        p.bearing = 360 - Deg(std::atan((c - fx) / (c - fy)));
    else if (Y < c)
        p.bearing = Deg(std::atan((fx - c) / (c - fy)));
    else if (X > c)
        p.bearing = 180 - Deg(std::atan((fx - c) / (fy - c)));
    else
        p.bearing = 180 + Deg(std::atan((c - fx) / (fy - c)));
    return p;
}

Real MapFrame::AngleOfPixels(Real r) const {
    return r * rim_ / (static_cast<Real>(size_) / 2);
}

Real MapFrame::KmOfPixels(Real r) const {
    const Real R = static_cast<Real>(size_) / 2;
    if (wholeWorld()) return r * static_cast<Real>(HalfCircumferenceKm) / R;
    return r * (static_cast<Real>(HalfCircumferenceKm) * rim_ / Pi) / R;
}

} // namespace geo
