// The inverse map geometry against the forward mapping of the generation, and
// the locator of a position.
#include "geo/Inverse.h"
#include "geo/Projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

using namespace geo;

TEST(MapPixelToLatLon, CentreRimAndOutside) {
    const auto centre = MapPixelToLatLon(48.85L, 2.35L, 300, 300);
    ASSERT_TRUE(centre);
    EXPECT_NEAR(static_cast<double>(centre->lat), 48.85, 1e-12);
    EXPECT_NEAR(static_cast<double>(centre->lon), 2.35, 1e-12);
    // Straight up on the rim: the antipode.
    const auto rim = MapPixelToLatLon(48.85L, 2.35L, 300, 0);
    ASSERT_TRUE(rim);
    EXPECT_NEAR(static_cast<double>(rim->lat), -48.85, 1e-9);
    EXPECT_NEAR(static_cast<double>(rim->lon), -177.65, 1e-9);
    EXPECT_FALSE(MapPixelToLatLon(48.85L, 2.35L, 0, 0));
    EXPECT_FALSE(MapPixelToLatLon(48.85L, 2.35L, 300, -0.5L));
    // Straight up from the equator at 0 E, a quarter of the way: 45 N.
    const auto north = MapPixelToLatLon(0, 0, 300, 225);
    ASSERT_TRUE(north);
    EXPECT_NEAR(static_cast<double>(north->lat), 45, 1e-12);
    // Twice the size, the same geometry.
    const auto big = MapPixelToLatLon(0, 0, 600, 450, 1200);
    ASSERT_TRUE(big);
    EXPECT_NEAR(static_cast<double>(big->lat), 45, 1e-12);
}

TEST(MapPixelToLatLon, InvertsTheForwardMapping) {
    // Positions taken forward with CalculAzimutDistance and TargetOf land on
    // pixels whose inverse is within half a pixel's angle of them.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> lat(-89, 89), lon(-180, 180);
    for (int i = 0; i < 2000; ++i) {
        PositionState s;
        s.CentreLat = lat(rng);
        s.CentreLon = lon(rng);
        s.PointLat = lat(rng);
        s.PointLon = lon(rng);
        CalculAzimutDistance(s, {});
        if (s.PointDistance > 3.1L) continue; // near the antipode a pixel spans much longitude
        const TargetPixel t = TargetOf(s.PointDistance, s.PointAzimuth);
        const auto back = MapPixelToLatLon(s.CentreLat, s.CentreLon, static_cast<Real>(t.px),
                                           static_cast<Real>(t.py));
        ASSERT_TRUE(back);
        // Angular distance between the point and the inverse of its pixel.
        PositionState g;
        g.CentreLat = s.PointLat;
        g.CentreLon = s.PointLon;
        g.PointLat = back->lat;
        g.PointLon = back->lon;
        CalculAzimutDistance(g, {});
        EXPECT_LT(static_cast<double>(g.PointDistance), 0.71 * Pi / 300) << i;
    }
}

TEST(EncodeLocator, SquareThatHoldsThePosition) {
    struct Case {
        double lat, lon;
        const char* locator;
    } cases[] = {
        {48.8541666, 2.375, "JN18EU"}, // the centre of JN18EU
        {-90, -180, "AA00AA"},
        {90, 180, "RR99XX"}, // the last row and column
        {0, 0, "JJ00AA"},
        {-0.0001, -0.0001, "II99XX"},
        {40.7128, -74.0060, "FN20XR"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeLocator(c.lat, c.lon), c.locator) << c.lat << " " << c.lon;
    // Every sub-square's centre gives its own locator back.
    for (const char* loc : {"JN18EU", "AA00AA", "RR99XX", "KP20LE", "FN31PR", "QF56OD"}) {
        const auto p = DecodeLocator(loc);
        ASSERT_TRUE(p);
        EXPECT_EQ(EncodeLocator(p->lat, p->lon), loc);
    }
}

TEST(PositionGrid, AgreesWithThePixelRule) {
    for (const auto& [lat, lon, size] :
         {std::tuple{48.85L, 2.35L, 600}, std::tuple{90.0L, 0.0L, 600},
          std::tuple{-33.9L, 151.2L, 300}, std::tuple{0.0L, 179.9L, 1200}}) {
        const PositionGrid grid(lat, lon, size);
        ASSERT_EQ(grid.size(), size);
        for (int y = 0; y < size; y += 7)
            for (int x = 0; x < size; x += 5) {
                const auto p = MapPixelToLatLon(lat, lon, x, y, size);
                ASSERT_EQ(grid.inside(x, y), p.has_value()) << x << "," << y;
                if (!p) continue;
                EXPECT_NEAR(grid.lat(x, y), static_cast<double>(p->lat), 1e-9);
                // Longitudes agree modulo 360 (the date line may fall either side).
                const double dl = std::remainder(grid.lon(x, y) - static_cast<double>(p->lon), 360);
                EXPECT_NEAR(dl, 0, 1e-7) << x << "," << y;
            }
    }
}
