// The map frame: one geometry for every map picture, whole world or regional.
#include "geo/Inverse.h"
#include "geo/MapFrame.h"
#include "geo/Position.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using geo::MapFrame;

struct Centre {
    double lat, lon;
};

// Centres that have bitten map code before: the poles, the date line, the
// equator, ordinary stations.
const std::vector<Centre> Centres = {
    {48.854, 2.292}, {90, 0},   {-90, 0},       {89.9, 45},    {-89.5, -120},  {0, 0},
    {0, 180},        {0, -180}, {-33.9, 151.2}, {64.1, -21.9}, {-54.8, -68.3}, {21.3, -157.8},
};

const std::vector<double> RangesKm = {20000, 10000, 5000, 2500, 1000, 500, 250, 100};

double Angle(double lat1, double lon1, double lat2, double lon2) {
    const double r = std::acos(-1.0) / 180;
    const double c = std::sin(lat1 * r) * std::sin(lat2 * r) +
                     std::cos(lat1 * r) * std::cos(lat2 * r) * std::cos((lon2 - lon1) * r);
    return std::acos(std::clamp(c, -1.0, 1.0));
}

TEST(MapFrame, PixelToPositionToPixelRoundTripsAtEveryRange) {
    for (const Centre& c : Centres) {
        for (double km : RangesKm) {
            for (int size : {600, 4800}) {
                const MapFrame f = MapFrame::WithRangeKm(c.lat, c.lon, size, km);
                const double R = f.radius();
                // A star of points from the centre to just inside the rim.
                for (int a = 0; a < 360; a += 15) {
                    for (double frac : {0.0, 0.1, 0.5, 0.9, 0.999}) {
                        const double x = R + frac * R * std::sin(a * std::acos(-1.0) / 180);
                        const double y = R - frac * R * std::cos(a * std::acos(-1.0) / 180);
                        const auto p = f.PositionAt(x, y);
                        ASSERT_TRUE(p) << c.lat << "," << c.lon << " " << km << " " << a;
                        const auto back =
                            f.Project(static_cast<double>(p->lat), static_cast<double>(p->lon));
                        ASSERT_TRUE(back) << c.lat << "," << c.lon << " " << km << " " << a;
                        EXPECT_NEAR(back->p.x, x, 1e-6 * size)
                            << c.lat << "," << c.lon << " " << km << " km, bearing " << a << ", "
                            << frac;
                        EXPECT_NEAR(back->p.y, y, 1e-6 * size)
                            << c.lat << "," << c.lon << " " << km << " km, bearing " << a << ", "
                            << frac;
                    }
                }
            }
        }
    }
}

TEST(MapFrame, TheRimIsTheRangeAwayAndBeyondItIsOutside) {
    for (const Centre& c : Centres) {
        for (double km : RangesKm) {
            const MapFrame f = MapFrame::WithRangeKm(c.lat, c.lon, 600, km);
            EXPECT_DOUBLE_EQ(f.rangeKm(), km);
            const auto rim = f.PositionAt(f.radius(), 0); // due north on the rim
            ASSERT_TRUE(rim);
            const double d = Angle(static_cast<double>(f.geometricCentreLat()), c.lon,
                                   static_cast<double>(rim->lat), static_cast<double>(rim->lon)) *
                             geo::HalfCircumferenceKm / std::acos(-1.0);
            EXPECT_NEAR(d, km, 1e-3) << c.lat << "," << c.lon;
            EXPECT_FALSE(f.PositionAt(f.radius(), -0.5)) << "half a pixel beyond the rim";
            EXPECT_TRUE(f.Inside(f.radius(), 0));
            EXPECT_FALSE(f.Inside(-0.01, f.radius()));
        }
    }
}

TEST(MapFrame, RegionalMapsLeaveOutWhatLiesBeyondTheRim) {
    const MapFrame f = MapFrame::WithRangeKm(48.854, 2.292, 600, 500);
    EXPECT_TRUE(f.Project(50.85, 4.35));   // Brussels, 260 km
    EXPECT_FALSE(f.Project(52.52, 13.40)); // Berlin, 880 km
    EXPECT_TRUE(f.ProjectUnclipped(52.52, 13.40));
    // The antipode has no place on any map.
    EXPECT_FALSE(f.Project(-48.854, -177.708));
    EXPECT_FALSE(MapFrame(48.854, 2.292).Project(-48.854, -177.708));
}

TEST(MapFrame, WholeWorldFrameGivesTodaysPixelsAndPositions) {
    // The frame is the one geometry behind MapPixelToLatLon: same bits.
    for (const Centre& c : Centres) {
        const MapFrame f(c.lat, c.lon);
        for (int y = 0; y <= 600; y += 37) {
            for (int x = 0; x <= 600; x += 41) {
                const auto a = f.PositionAt(x, y);
                const auto b = geo::MapPixelToLatLon(c.lat, c.lon, x, y);
                ASSERT_EQ(a.has_value(), b.has_value());
                if (a) {
                    EXPECT_EQ(a->lat, b->lat);
                    EXPECT_EQ(a->lon, b->lon);
                }
            }
        }
    }
}

TEST(MapFrame, PixelReadoutPolarAndDistancesOnTheMapScale) {
    struct Row {
        int x, y;
        double bearing, r;
    };
    const MapFrame f;
    for (const Row& row : std::vector<Row>{{300, 300, 90, 0},
                                           {300, 0, 0, 300},
                                           {600, 300, 90, 300},
                                           {300, 600, 180, 300},
                                           {0, 300, 270, 300},
                                           {400, 200, 45, std::hypot(100.0, 100.0)},
                                           {200, 400, 225, std::hypot(100.0, 100.0)}}) {
        const geo::PixelPolar p = f.PolarOfPixel(row.x, row.y);
        EXPECT_NEAR(static_cast<double>(p.bearing), row.bearing, 1e-12) << row.x << "," << row.y;
        EXPECT_NEAR(static_cast<double>(p.r), row.r, 1e-12);
    }
    EXPECT_EQ(f.KmOfPixels(150), 150 * 20000.0L / 300.0L);
    const MapFrame regional = MapFrame::WithRangeKm(0, 0, 600, 500);
    EXPECT_NEAR(static_cast<double>(regional.KmOfPixels(300)), 500, 1e-9);
    EXPECT_NEAR(regional.PixelsForKm(250), 150, 1e-9);
    EXPECT_NEAR(regional.kmPerPixel(), 500.0 / 300, 1e-12);
}

TEST(MapFrame, OutOfRangeRimsAreTheWholeWorld) {
    for (double km : {0.0, -5.0, 20000.0, 25000.0, std::nan(""), HUGE_VAL})
        EXPECT_TRUE(MapFrame::WithRangeKm(10, 10, 600, km).wholeWorld()) << km;
    EXPECT_FALSE(MapFrame::WithRangeKm(10, 10, 600, 19999).wholeWorld());
    const MapFrame f = MapFrame::WithRangeKm(10, 20, 600, 1000).Resized(4800);
    EXPECT_EQ(f.size(), 4800);
    EXPECT_DOUBLE_EQ(f.rangeKm(), 1000);
}

} // namespace
