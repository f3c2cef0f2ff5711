#include "geo/LocatorGrid.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace geo {

namespace {

constexpr double Rad = std::numbers::pi / 180.0;

double Distance(const MapPoint& a, const MapPoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Traces a curve given by position(t), t from 0 to 1, into polylines: starts
// from `samples` even steps and halves every step whose ends are farther
// apart than GridMaxSegment. A step that stays long after `MaxDepth` halvings
// straddles the antipode (its ends lie on opposite sides of the rim), and a
// step with an end outside the drawn region is halved down to the region's
// edge: the line is cut there.
class Tracer {
  public:
    using PointAt = std::function<std::optional<MapPoint>(double t)>;

    Tracer(std::vector<Polyline>& out, PointAt at) : out_(out), at_(std::move(at)) {}

    void Trace(int samples) {
        double t0 = 0;
        std::optional<MapPoint> p0 = at_(t0);
        if (p0) current_.push_back(*p0);
        for (int k = 1; k <= samples; ++k) {
            const double t1 = static_cast<double>(k) / samples;
            const std::optional<MapPoint> p1 = at_(t1);
            Step(t0, p0, t1, p1, 0);
            t0 = t1;
            p0 = p1;
        }
        Cut();
    }

  private:
    static constexpr int MaxDepth = 26;

    void Append(const MapPoint& p) { current_.push_back(p); }
    void Cut() {
        if (current_.size() >= 2) out_.push_back(std::move(current_));
        current_.clear();
    }

    void Step(double t0, const std::optional<MapPoint>& p0, double t1,
              const std::optional<MapPoint>& p1, int depth) {
        if (!p0 && !p1) {
            Cut();
            return;
        }
        if (p0 && p1 && Distance(*p0, *p1) <= GridMaxSegment) {
            Append(*p1);
            return;
        }
        if (depth >= MaxDepth) {
            Cut();
            if (p1) Append(*p1);
            return;
        }
        const double tm = (t0 + t1) / 2;
        const std::optional<MapPoint> pm = at_(tm);
        Step(t0, p0, tm, pm, depth + 1);
        Step(tm, pm, t1, p1, depth + 1);
    }

    std::vector<Polyline>& out_;
    PointAt at_;
    Polyline current_;
};

} // namespace

std::optional<Projected> ProjectToMap(double centreLat, double centreLon, double lat, double lon,
                                      int size) {
    return MapFrame(centreLat, centreLon, size).Project(lat, lon);
}

LocatorGridLines BuildLocatorGrid(Real centreLat, Real centreLon, int size, double squareRadiusKm) {
    return BuildLocatorGrid(MapFrame(centreLat, centreLon, size), squareRadiusKm);
}

LocatorGridLines BuildLocatorGrid(const MapFrame& frame, double squareRadiusKm) {
    const double centreLat = static_cast<double>(frame.geometricCentreLat());
    const double centreLon = static_cast<double>(frame.centreLon());
    // 20000 km from the centre to the antipode, 180 degrees.
    const double squareRadius = squareRadiusKm * 180.0 / 20000.0;
    LocatorGridLines g;

    auto anywhere = [&](double lat, double lon) -> std::optional<MapPoint> {
        const auto p = frame.Project(lat, lon);
        if (!p) return std::nullopt;
        return p->p;
    };
    auto nearCentre = [&](double lat, double lon) -> std::optional<MapPoint> {
        const auto p = frame.Project(lat, lon);
        if (!p || p->distance > squareRadius) return std::nullopt;
        return p->p;
    };
    auto meridian = [](std::vector<Polyline>& out, double lon, auto point, int samples) {
        Tracer(out, [&](double t) { return point(-90 + 180 * t, lon); }).Trace(samples);
    };
    auto parallel = [](std::vector<Polyline>& out, double lat, auto point, int samples) {
        Tracer(out, [&](double t) { return point(lat, -180 + 360 * t); }).Trace(samples);
    };

    for (int i = 0; i < 18; ++i)
        meridian(g.fields, -180.0 + 20 * i, anywhere, 180);
    for (int j = 1; j < 18; ++j)
        parallel(g.fields, -90.0 + 10 * j, anywhere, 360);

    if (squareRadius > 0) {
        // Only the lines that come near the centre: a meridian within the
        // radius at some latitude, a parallel within it in latitude.
        for (int i = 0; i < 180; ++i) {
            if (i % 10 == 0) continue; // a field boundary
            const double lon = -180.0 + 2 * i;
            double dl = std::fabs(std::remainder(lon - centreLon, 360.0));
            // Closest approach of a meridian to the centre: asin(cos lat sin dl), or
            // through the pole when the longitude difference is over 90 degrees.
            const double closest =
                dl >= 90 ? 90 - std::fabs(centreLat)
                         : std::asin(std::cos(centreLat * Rad) * std::sin(dl * Rad)) / Rad;
            if (closest > squareRadius) continue;
            meridian(g.squares, lon, nearCentre, 720);
        }
        for (int j = 1; j < 180; ++j) {
            if (j % 10 == 0) continue;
            const double lat = -90.0 + j;
            if (std::fabs(lat - centreLat) > squareRadius) continue;
            parallel(g.squares, lat, nearCentre, 1440);
        }
    }

    // Field names where the field leaves room for them on the map.
    for (int i = 0; i < 18; ++i)
        for (int j = 0; j < 18; ++j) {
            const double lat = -85.0 + 10 * j, lon = -170.0 + 20 * i;
            const auto mid = frame.Project(lat, lon);
            const auto west = anywhere(lat, lon - 10), east = anywhere(lat, lon + 10);
            const auto south = anywhere(lat - 5, lon), north = anywhere(lat + 5, lon);
            if (!mid || !west || !east || !south || !north) continue;
            if (Distance(*west, *east) < 22 || Distance(*south, *north) < 14) continue;
            std::string name;
            name += static_cast<char>('A' + i);
            name += static_cast<char>('A' + j);
            g.labels.push_back({name, mid->p});
        }
    return g;
}

} // namespace geo
