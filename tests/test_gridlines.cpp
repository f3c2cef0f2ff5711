// The locator grid lines: the forward projection, segment lengths, the cuts
// at the rim and at the square radius, and the field names.
#include "geo/Inverse.h"
#include "geo/LocatorGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace geo;

namespace {

double FromCentre(const MapPoint& p) {
    return std::hypot(p.x - 300, p.y - 300);
}

struct Centre {
    const char* name;
    double lat, lon;
};

// Ordinary places, the poles, a centre on a field corner (its antipode
// lies on two field lines) and the equator at 0 (antipode on the date line).
const Centre Centres[] = {
    {"JN18EU", 48.854166666, 2.375},  {"equator", 0, 0},         {"north pole", 90, 0},
    {"AA00AA", -89.979166, -179.958}, {"field corner", -40, 20}, {"Pacific", 21.3, -157.9},
};

} // namespace

TEST(ProjectToMap, InvertsMapPixelToLatLon) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> coord(0, 599);
    for (const Centre& c : Centres) {
        for (int k = 0; k < 500; ++k) {
            const double x = coord(rng), y = coord(rng);
            const auto pos = MapPixelToLatLon(c.lat, c.lon, x, y);
            if (!pos || std::hypot(x - 300, y - 300) > 299) continue;
            const auto back = ProjectToMap(c.lat, c.lon, static_cast<double>(pos->lat),
                                           static_cast<double>(pos->lon));
            ASSERT_TRUE(back);
            EXPECT_NEAR(back->p.x, x, 1e-6) << c.name;
            EXPECT_NEAR(back->p.y, y, 1e-6) << c.name;
        }
    }
    // The centre itself, and the antipode, which has no single place.
    const auto centre = ProjectToMap(10, 20, 10, 20);
    ASSERT_TRUE(centre);
    EXPECT_DOUBLE_EQ(centre->p.x, 300);
    EXPECT_DOUBLE_EQ(centre->p.y, 300);
    EXPECT_FALSE(ProjectToMap(10, 20, -10, -160));
}

TEST(LocatorGrid, SegmentsAreShortAndInsideTheDisc) {
    for (const Centre& c : Centres) {
        const LocatorGridLines g = BuildLocatorGrid(c.lat, c.lon);
        EXPECT_FALSE(g.fields.empty()) << c.name;
        for (const auto* lines : {&g.fields, &g.squares})
            for (const Polyline& line : *lines) {
                ASSERT_GE(line.size(), 2u);
                for (size_t i = 0; i + 1 < line.size(); ++i) {
                    const double len =
                        std::hypot(line[i + 1].x - line[i].x, line[i + 1].y - line[i].y);
                    ASSERT_LE(len, GridMaxSegment + 1e-9) << c.name << " point " << i;
                }
                for (const MapPoint& p : line)
                    ASSERT_LE(FromCentre(p), 300 + 1e-6) << c.name;
            }
    }
}

TEST(LocatorGrid, FieldLinesEndOnlyAtTheRimOrWhereTheyEnd) {
    // A field line ends where it really ends (a meridian at a pole, a
    // parallel back on its start at 180 degrees) or where it is cut at the rim.
    for (const Centre& c : Centres) {
        const LocatorGridLines g = BuildLocatorGrid(c.lat, c.lon);
        auto natural = [&](const MapPoint& p) {
            for (double lat = -90; lat <= 90; lat += 10) {
                const auto q = ProjectToMap(c.lat, c.lon, lat, 180);
                if (q && std::hypot(q->p.x - p.x, q->p.y - p.y) < 1e-6) return true;
            }
            return false;
        };
        for (const Polyline& line : g.fields)
            for (const MapPoint& end : {line.front(), line.back()})
                EXPECT_TRUE(FromCentre(end) > 299.9 || natural(end))
                    << c.name << " end at " << end.x << "," << end.y;
    }
}

TEST(LocatorGrid, SquaresStayWithinTheirRadius) {
    // 2500 km is 37.5 pixels from the centre; the lines are cut on that circle.
    const LocatorGridLines g = BuildLocatorGrid(48.854166666L, 2.375L);
    ASSERT_FALSE(g.squares.empty());
    for (const Polyline& line : g.squares) {
        for (const MapPoint& p : line)
            EXPECT_LE(FromCentre(p), 37.5 + 1e-6);
        EXPECT_NEAR(FromCentre(line.front()), 37.5, 0.01);
        EXPECT_NEAR(FromCentre(line.back()), 37.5, 0.01);
    }
    // The meridian of 2 E runs straight through the map centre's square column,
    // the parallel of 48 N just below the centre.
    auto passesNear = [&](double lat, double lon) {
        const auto q = ProjectToMap(48.854166666, 2.375, lat, lon);
        for (const Polyline& line : g.squares)
            for (const MapPoint& p : line)
                if (std::hypot(p.x - q->p.x, p.y - q->p.y) < 1.5) return true;
        return false;
    };
    EXPECT_TRUE(passesNear(48.85, 2));
    EXPECT_TRUE(passesNear(48, 2.375));
    // Every point lies on a square boundary that is no field boundary (those
    // are drawn once, as field lines).
    auto onSquareLine = [](double v, double step, double field) {
        const double k = std::round(v / step);
        return std::fabs(v - k * step) < 1e-6 && std::fabs(std::remainder(k * step, field)) > 1e-9;
    };
    for (const Polyline& line : g.squares)
        for (const MapPoint& p : line) {
            const auto pos = MapPixelToLatLon(48.854166666L, 2.375L, p.x, p.y);
            ASSERT_TRUE(pos);
            const double lat = static_cast<double>(pos->lat), lon = static_cast<double>(pos->lon);
            EXPECT_TRUE(onSquareLine(lon, 2, 20) || onSquareLine(lat, 1, 10)) << lat << "," << lon;
        }
    // Without a radius there are no squares.
    EXPECT_TRUE(BuildLocatorGrid(48.854166666L, 2.375L, 600, 0).squares.empty());
}

TEST(LocatorGrid, FieldNamesInTheMiddleOfTheirFields) {
    const LocatorGridLines g = BuildLocatorGrid(48.854166666L, 2.375L);
    bool jn = false;
    for (const GridLabel& l : g.labels) {
        ASSERT_EQ(l.text.size(), 2u);
        ASSERT_GE(l.text[0], 'A');
        ASSERT_LE(l.text[0], 'R');
        ASSERT_GE(l.text[1], 'A');
        ASSERT_LE(l.text[1], 'R');
        // The position under the label is in the field it names.
        const auto pos = MapPixelToLatLon(48.854166666L, 2.375L, l.at.x, l.at.y);
        ASSERT_TRUE(pos);
        EXPECT_EQ(EncodeLocator(pos->lat, pos->lon).substr(0, 2), l.text);
        if (l.text == "JN") {
            jn = true;
            const auto mid = ProjectToMap(48.854166666, 2.375, 45, 10);
            EXPECT_NEAR(l.at.x, mid->p.x, 1e-9);
            EXPECT_NEAR(l.at.y, mid->p.y, 1e-9);
        }
    }
    EXPECT_TRUE(jn);
    // Fields squeezed near the rim carry no name.
    EXPECT_LT(g.labels.size(), 18u * 18u);
    EXPECT_GT(g.labels.size(), 60u);
}

// On regional maps, as the scale allows: square names, then sub-square lines,
// then sub-square names; each name lies in the area it names, and lines stay
// on the disc. The whole-world grid has none of them.
TEST(LocatorGrid, RegionalDetailAsTheScaleAllows) {
    struct Case {
        const char* name;
        double lat, lon, rangeKm;
        int size;
        bool squareNames, subsquareLines, subsquareNames;
    };
    const Case cases[] = {
        {"whole world", 48.854166666, 2.375, 0, 600, false, false, false},
        {"whole world, 4800 px", 48.854166666, 2.375, 0, 4800, false, false, false},
        {"2,500 km", 48.854166666, 2.375, 2500, 600, false, false, false},
        {"500 km", 48.854166666, 2.375, 500, 600, true, false, false},
        {"250 km", 48.854166666, 2.375, 250, 600, true, false, false},
        {"100 km", 48.854166666, 2.375, 100, 600, true, true, false},
        {"100 km, 2400 px", 48.854166666, 2.375, 100, 2400, true, true, true},
        {"date line, 250 km, 2400 px", -18.14, 179.95, 250, 2400, true, true, false},
        // No square's middle on the map; sub-squares named across the date line.
        {"date line, 100 km, 4800 px", -18.14, 179.95, 100, 4800, false, true, true},
        // Sub-squares a pixel wide at 89.5 degrees: lines where they keep
        // apart, no names.
        {"near the pole, 100 km, 2400 px", 89.5, 10, 100, 2400, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MapFrame frame = MapFrame::WithRangeKm(c.lat, c.lon, c.size, c.rangeKm);
        const LocatorGridLines g = BuildLocatorGrid(frame);
        int squares = 0, subsquares = 0;
        for (const GridLabel& l : g.labels) {
            const auto pos = frame.PositionAt(l.at.x, l.at.y);
            ASSERT_TRUE(pos);
            const std::string loc = EncodeLocator(pos->lat, pos->lon);
            const size_t from = l.level == 2 ? 4 : 0;
            const size_t count = l.level == 0 ? 2 : l.level == 1 ? 4 : 2;
            EXPECT_EQ(loc.substr(from, count), l.text);
            squares += l.level == 1;
            subsquares += l.level == 2;
        }
        EXPECT_EQ(squares > 0, c.squareNames);
        EXPECT_EQ(!g.subsquares.empty(), c.subsquareLines);
        EXPECT_EQ(subsquares > 0, c.subsquareNames);
        const double r = frame.radius();
        for (const Polyline& line : g.subsquares) {
            for (size_t i = 0; i < line.size(); ++i) {
                EXPECT_LE(std::hypot(line[i].x - r, line[i].y - r), r + 1e-6);
                if (i == 0) continue;
                EXPECT_LE(std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y),
                          GridMaxSegment + 1e-9);
            }
        }
    }
}

// Sub-square meridians stop where they come closer together than
// SubsquareMinPixels: near the pole they do not pile up into a blot.
TEST(LocatorGrid, SubsquareMeridiansKeepTheirDistanceNearThePole) {
    const MapFrame frame = MapFrame::WithRangeKm(89.5, 10, 2400, 100);
    const LocatorGridLines g = BuildLocatorGrid(frame);
    ASSERT_FALSE(g.subsquares.empty());
    const double perDegree = frame.PixelsForKm(20000.0 / 180.0);
    for (const Polyline& line : g.subsquares)
        for (const MapPoint& p : line) {
            const auto pos = frame.PositionAt(p.x, p.y);
            ASSERT_TRUE(pos);
            // On a meridian (a multiple of 5 minutes of longitude, not of a
            // parallel's 2.5 minutes of latitude) the spacing is
            // cos(lat) * perDegree / 12.
            const double lat = static_cast<double>(pos->lat);
            const double onParallel = std::fabs(std::remainder(lat * 24, 1.0)) < 1e-3 ? 1.0 : 0.0;
            if (onParallel > 0) continue;
            EXPECT_GE(std::cos(lat * 3.14159265358979323846 / 180) * perDegree / 12,
                      SubsquareMinPixels - 0.05);
        }
}
