#include "geo/LocatorGrid.h"

#include "geo/Inverse.h"

#include <algorithm>
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

// The map point of a projection, if any.
std::optional<MapPoint> PointOf(const std::optional<Projected>& p) {
    if (!p) return std::nullopt;
    return p->p;
}

// Whether a name of `chars` characters fits in an area whose middle lines
// measure `wide` and `high` pixels on the map.
// Sub-squares (`roomy`) want room round their name, or their names would
// cover the map.
bool NameFits(size_t chars, double wide, double high, double labelPx, bool roomy) {
    const double text = 0.7 * labelPx * static_cast<double>(chars);
    return roomy ? wide >= 1.6 * text + 4 && high >= 2.5 * labelPx
                 : wide >= text + 4 && high >= 1.5 * labelPx;
}

// The square and sub-square names and the sub-square lines of a regional
// frame, within the latitudes and longitudes its cap can reach.
void AddRegionalDetail(const MapFrame& frame, double centreLat, double centreLon,
                       LocatorGridLines& g) {
    const double rimDeg = static_cast<double>(frame.rimAngle()) / Rad;
    const double latMin = std::max(-90.0, centreLat - rimDeg);
    const double latMax = std::min(90.0, centreLat + rimDeg);
    double lonMin = -180, lonMax = 180;
    const double reach = std::sin(rimDeg * Rad) / std::cos(centreLat * Rad);
    if (latMin > -90 && latMax < 90 && rimDeg < 90 && reach < 1) {
        lonMin = centreLon - std::asin(reach) / Rad;
        lonMax = centreLon + std::asin(reach) / Rad;
    }
    const double labelPx = GridLabelPixels(frame.size());
    auto point = [&](double lat, double lon) { return PointOf(frame.Project(lat, lon)); };
    auto unclipped = [&](double lat, double lon) {
        return PointOf(frame.ProjectUnclipped(lat, lon));
    };
    // Names of the areas of a grid step (degrees) whose middle lines leave room.
    auto names = [&](double stepLon, double stepLat, int level, auto nameOf) {
        const double firstLon = std::floor((lonMin + 180) / stepLon) * stepLon - 180;
        const double firstLat = std::floor((latMin + 90) / stepLat) * stepLat - 90;
        for (double lon = firstLon; lon < lonMax; lon += stepLon)
            for (double lat = firstLat; lat < latMax; lat += stepLat) {
                const double midLat = lat + stepLat / 2, midLon = lon + stepLon / 2;
                // The middle on the map; the sides measured on the map's
                // scale even where they lie beyond the rim.
                const auto mid = frame.Project(midLat, midLon);
                const auto west = unclipped(midLat, lon), east = unclipped(midLat, lon + stepLon);
                const auto south = unclipped(lat, midLon);
                const auto north = unclipped(lat + stepLat, midLon);
                if (!mid || !west || !east || !south || !north) continue;
                // Beyond the date line the longitudes run past 180.
                const std::string name =
                    nameOf(midLat, midLon - 360 * std::floor((midLon + 180) / 360));
                if (!NameFits(name.size(), Distance(*west, *east), Distance(*south, *north),
                              labelPx, level == 2))
                    continue;
                g.labels.push_back({name, mid->p, level});
            }
    };
    names(2.0, 1.0, 1, [](double lat, double lon) { return EncodeLocator(lat, lon).substr(0, 4); });

    // Sub-squares: 5 minutes of longitude, 2.5 of latitude.
    const double perDegree = frame.PixelsForKm(20000.0 / 180.0);
    if (perDegree / 24 < SubsquareMinPixels) return;
    names(1.0 / 12, 1.0 / 24, 2,
          [](double lat, double lon) { return EncodeLocator(lat, lon).substr(4, 2); });
    // Meridians come together towards the poles: each stops where its
    // neighbours come closer than SubsquareMinPixels.
    const double cosLimit = SubsquareMinPixels * 12 / perDegree;
    const double meridianLat = cosLimit >= 1 ? 0 : std::acos(cosLimit) / Rad;
    const double mLatMin = std::max(latMin, -meridianLat), mLatMax = std::min(latMax, meridianLat);
    const long firstM = std::lround(std::ceil((lonMin + 180) * 12));
    const long lastM = std::lround(std::floor((lonMax + 180) * 12));
    if (mLatMin < mLatMax)
        for (long k = firstM; k <= lastM; ++k) {
            if (k % 24 == 0) continue; // a square boundary
            const double lon = -180.0 + static_cast<double>(k) / 12;
            Tracer(g.subsquares, [&](double t) {
                return point(mLatMin + (mLatMax - mLatMin) * t, lon);
            }).Trace(64);
        }
    const long firstP = std::lround(std::ceil((latMin + 90) * 24));
    const long lastP = std::lround(std::floor((latMax + 90) * 24));
    for (long k = firstP; k <= lastP; ++k) {
        if (k % 24 == 0) continue; // a square boundary
        const double lat = -90.0 + static_cast<double>(k) / 24;
        Tracer(g.subsquares, [&](double t) {
            return point(lat, lonMin + (lonMax - lonMin) * t);
        }).Trace(64);
    }
}

} // namespace

double GridLabelPixels(int size) {
    return 10 * std::max(1.0, std::sqrt(size / 600.0));
}

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

    auto anywhere = [&](double lat, double lon) { return PointOf(frame.Project(lat, lon)); };
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
            g.labels.push_back({name, mid->p, 0});
        }
    if (!frame.wholeWorld()) AddRegionalDetail(frame, centreLat, centreLon, g);
    return g;
}

} // namespace geo
