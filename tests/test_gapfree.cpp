// The gap-free map: its geometry against the documented inverse of the
// generation's mapping, the fill of the whole disc and the size limits.
#include "geo/GapFree.h"
#include "geo/Inverse.h"
#include "geo/Projection.h"

#include "ProjectionTestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

using namespace geo;

namespace {

// A noise world of any size with no white in it, so a pixel that keeps the
// white background shows.
WorldIndex NoWhiteWorld(int width, int height, uint32_t seed) {
    const auto noise = projection_test::NoiseRgb(width, height, seed);
    std::array<uint8_t, 256> toPalette{};
    for (int i = 0; i < 256; ++i)
        toPalette[static_cast<size_t>(i)] = static_cast<uint8_t>(i % 15);
    return WorldIndex::FromIndexed(noise.data(), width, height, static_cast<size_t>(width) * 3,
                                   toPalette);
}

double LonDiff(double a, double b) {
    double d = std::fmod(a - b + 540.0, 360.0) - 180.0;
    return std::fabs(d);
}

} // namespace

struct GeometryCase {
    const char* what;
    double centreLat, centreLon;
    int size, x, y;
    double lat, lon; // expected position under the pixel's centre
    double tolerance;
};

class GapFreeGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GapFreeGeometry, PositionAndColourFollowTheInverse) {
    const GeometryCase c = GetParam();
    const auto p = MapPixelToLatLon(c.centreLat, c.centreLon, c.x, c.y, c.size);
    ASSERT_TRUE(p) << c.what;
    EXPECT_NEAR(static_cast<double>(p->lat), c.lat, c.tolerance) << c.what;
    // The longitude of a pole is any, and so is the colour of the world's pole row there.
    if (std::fabs(c.lat) > 89.99) return;
    EXPECT_LT(LonDiff(static_cast<double>(p->lon), c.lon), c.tolerance) << c.what;
    // The engine puts the colour of the nearest world pixel there.
    const int scale = WorldScaleForSize(c.size);
    const WorldIndex world = NoWhiteWorld(MercatorWidth * scale, MercatorHeight * scale, 3);
    PaletteImage map = BlankBackground(c.size);
    GenerateGapFree(world, c.centreLat, c.centreLon, map);
    const WorldPixel w = NearestWorldPixel(p->lat, p->lon, world.width(), world.height());
    EXPECT_EQ(map.at(c.x, c.y), world.at(w.x, w.y)) << c.what;
}

// 600 px: R = 300, one pixel = 0.6 degrees of arc.
INSTANTIATE_TEST_SUITE_P(
    Table, GapFreeGeometry,
    ::testing::Values(
        GeometryCase{"centre", 48.85, 2.35, 600, 300, 300, 48.85, 2.35, 1e-9},
        GeometryCase{"rim straight up is the antipode", 48.85, 2.35, 600, 300, 0, -48.85, -177.65,
                     1e-9},
        GeometryCase{"rim to the left is the antipode", 48.85, 2.35, 600, 0, 300, -48.85, -177.65,
                     1e-9},
        GeometryCase{"rim at 4800 px", 48.85, 2.35, 4800, 2400, 0, -48.85, -177.65, 1e-9},
        GeometryCase{"north pole a quarter turn up", 0, 0, 600, 300, 150, 90, 0, 1e-9},
        GeometryCase{"south pole a quarter turn down", 0, 0, 600, 300, 450, -90, 0, 1e-9},
        GeometryCase{"east along the equator", 0, 0, 600, 450, 300, 0, 90, 1e-9},
        GeometryCase{"across the date line", 0, 179, 600, 310, 300, 0, -175, 1e-9},
        GeometryCase{"one pixel east of a date-line centre", 0, 180, 600, 301, 300, 0, -179.4,
                     1e-9},
        GeometryCase{"centre on the meridian of world column 597", 20, 0, 600, 300, 225, 65, 0,
                     1e-9},
        GeometryCase{"north pole centre counts as 89.9", 90, 10, 600, 300, 300, 89.9, 10, 1e-9},
        GeometryCase{"south pole centre, up is 0 E", -90 + 1e-9, 0, 600, 300, 150, 0, 0, 1e-6},
        GeometryCase{"twice the size, same angle", 0, 0, 1200, 600, 400, 60, 0, 1e-9}));

TEST(GapFree, AgreesWithThePerPixelInverse) {
    // Every pixel of the disc against MapPixelToLatLon (extended precision)
    // and the nearest world pixel; only a tie at a world pixel edge may differ.
    struct Case {
        double lat, lon;
        int size;
    };
    for (const Case c : {Case{48.854, 2.375, 600}, Case{-33.9, 151.2, 600}, Case{0, 0, 600},
                         Case{89.9, 0, 600}, Case{35.7, 139.7, 1200}, Case{64.1, -21.9, 451}}) {
        const int scale = WorldScaleForSize(c.size);
        const WorldIndex world = NoWhiteWorld(MercatorWidth * scale, MercatorHeight * scale, 5);
        PaletteImage map = BlankBackground(c.size);
        GenerateGapFree(world, c.lat, c.lon, map);
        long inside = 0, differ = 0;
        for (int y = 0; y < c.size; ++y)
            for (int x = 0; x < c.size; ++x) {
                const auto p = MapPixelToLatLon(c.lat, c.lon, x, y, c.size);
                if (!p) continue;
                ++inside;
                const WorldPixel w =
                    NearestWorldPixel(p->lat, p->lon, world.width(), world.height());
                if (map.at(x, y) != world.at(w.x, w.y)) ++differ;
            }
        // Ties (a position exactly on a world pixel edge) fall either way:
        // a centre on the pixel grid has many of them.
        EXPECT_LE(differ, inside / 10000 + 2) << c.lat << "," << c.lon << " at " << c.size;
    }
}

TEST(GapFree, NoSpeckleInsideTheDiscAndTheOutsideUntouched) {
    struct Case {
        double lat, lon;
        int size;
    };
    for (const Case c : {Case{48.854, 2.375, 600}, Case{-45, -60, 300}, Case{10, 170, 601},
                         Case{-89.98, -179.96, 1200}, Case{51.5, -0.1, 2400}}) {
        const int scale = WorldScaleForSize(c.size);
        const WorldIndex world = NoWhiteWorld(MercatorWidth * scale, MercatorHeight * scale, 9);
        const PaletteImage background = BlankBackground(c.size);
        PaletteImage map = background;
        GenerateGapFree(world, c.lat, c.lon, map);
        const double R = c.size / 2.0;
        long speckles = 0, outsideChanged = 0;
        for (int y = 0; y < c.size; ++y)
            for (int x = 0; x < c.size; ++x) {
                const double r = std::hypot(x - R, R - y);
                const bool templateWhite = background.at(x, y) == PaletteWhite;
                if ((r <= R || templateWhite) && map.at(x, y) == PaletteWhite) ++speckles;
                if (r > R + 1 && map.at(x, y) != background.at(x, y)) ++outsideChanged;
            }
        EXPECT_EQ(speckles, 0) << c.size;
        EXPECT_EQ(outsideChanged, 0) << c.size;
    }
}

TEST(GapFree, SizeLimits) {
    const WorldIndex world = NoWhiteWorld(MercatorWidth, MercatorHeight, 1);
    for (int size : {MinGapFreeSize - 1, 0, MaxGapFreeSize + 1}) {
        PaletteImage map(std::max(size, 0), std::max(size, 0));
        EXPECT_THROW(GenerateGapFree(world, 0, 0, map), std::invalid_argument) << size;
    }
    PaletteImage oblong(600, 599);
    EXPECT_THROW(GenerateGapFree(world, 0, 0, oblong), std::invalid_argument);
    PaletteImage smallest = BlankBackground(MinGapFreeSize);
    EXPECT_NO_THROW(GenerateGapFree(world, 0, 0, smallest));
    EXPECT_THROW(GenerateGapFree(WorldIndex(), 0, 0, smallest), std::invalid_argument);
}

TEST(GapFree, WorldScaleAndBackground) {
    EXPECT_EQ(WorldScaleForSize(300), 1);
    EXPECT_EQ(WorldScaleForSize(600), 1);
    EXPECT_EQ(WorldScaleForSize(601), 2);
    EXPECT_EQ(WorldScaleForSize(1200), 2);
    EXPECT_EQ(WorldScaleForSize(2400), 4);
    EXPECT_EQ(WorldScaleForSize(4800), 4);
    EXPECT_EQ(BlankBackground(600), BlankBackground());
}

TEST(GapFree, DesktopMapLeavesTheStateAsTheClassicGeneration) {
    const WorldIndex world = projection_test::NoiseWorld();
    const PaletteImage background = BlankBackground();
    PositionState a, b;
    a.CentreLat = b.CentreLat = 90;
    a.CentreLon = b.CentreLon = 2.375L;
    PaletteImage forward = background, filled;
    Generate(world, a, forward, nullptr, nullptr);
    std::vector<int> columns;
    GenerateGapFreeMap(world, background, b, filled, [&](int c) { columns.push_back(c); });
    EXPECT_EQ(a.CentreLat, b.CentreLat);
    EXPECT_EQ(a.PointLat, b.PointLat);
    EXPECT_EQ(a.PointLon, b.PointLon);
    EXPECT_EQ(a.PointDistance, b.PointDistance);
    EXPECT_EQ(a.PointAzimuth, b.PointAzimuth);
    ASSERT_FALSE(columns.empty());
    EXPECT_EQ(columns.back(), MercatorWidth - 1);
    EXPECT_TRUE(std::is_sorted(columns.begin(), columns.end()));
}
