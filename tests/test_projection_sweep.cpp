// The fast engine against the plain loop, centre by centre: the same picture
// pixel for pixel, the same final state, the same beeps and progress steps.
// The centres are shared out over several test programs (KORVANTA_SWEEP_PART
// of KORVANTA_SWEEP_PARTS) so that they run side by side.
#include "ProjectionTestWorld.h"
#include "geo/Projection.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace geo;

namespace {

struct Centre {
    std::string name;
    Real lat = 0;
    Real lon = 0;
    Real incomingDistance = 0; // PointDistance before the generation
    bool expectFailures = false;
};

std::ostream& operator<<(std::ostream& os, const Centre& c) {
    return os << c.name;
}

Centre AtPixel(const std::string& name, int X, int Y) {
    const LatLon p = PixelToLatLon(X, Y);
    return {name, p.lat, p.lon};
}

// The centre whose antipode is world pixel (X, Y).
Centre AntipodeOfPixel(const std::string& name, int X, int Y, bool expectFailures = false) {
    const LatLon p = PixelToLatLon(X, Y);
    return {name, -p.lat, p.lon < 0 ? p.lon + 180 : p.lon - 180, 0, expectFailures};
}

// A hair east of pixel (X, Y): the arc cosine of that pixel can fail.
Centre BesidePixel(const std::string& name, int X, int Y, Real incoming = 0) {
    const LatLon p = PixelToLatLon(X, Y);
    return {name, p.lat, p.lon + 1e-9L, incoming, true};
}

std::vector<Centre> AllCentres() {
    std::vector<Centre> c;
    const Real lastRowLat = PixelToLatLon(0, MercatorHeight - 1).lat; // -89.76...
    c.push_back({"NorthPole", 90, 0});
    c.push_back({"SouthPole", -90, 0});
    c.push_back({"Lat89_9", 89.9L, 2.375L});
    c.push_back({"LastRowLatitude", lastRowLat, 100});
    c.push_back({"DateLineEast", 48.85L, 180});
    c.push_back({"DateLineWest", 48.85L, -180});
    c.push_back({"Lon179_7", -33.3L, 179.7L});
    c.push_back(AtPixel("Pixel597_382", 597, 382));
    c.push_back(AtPixel("Pixel0_0", 0, 0));
    c.push_back(AtPixel("Pixel1193_764", 1193, 764));
    c.push_back(AntipodeOfPixel("AntipodeOfPixel300_188", 300, 188, true));
    c.push_back(AntipodeOfPixel("AntipodeOfPixel597_382", 597, 382));
    c.push_back(AntipodeOfPixel("AntipodeOfPixel1000_600", 1000, 600));
    c.push_back(BesidePixel("BesidePixel500_188", 500, 188));
    c.push_back(BesidePixel("BesidePixel0_2", 0, 2, 1.25L));
    const auto jn18eu = DecodeLocator("JN18EU");
    c.push_back({"JN18EU", jn18eu->lat, jn18eu->lon});
    c.push_back({"JN18EUWithDistanceSet", jn18eu->lat, jn18eu->lon, 2.5L});
    std::mt19937 random(20240607);
    std::uniform_real_distribution<double> lat(-90, 90), lon(-180, 180);
    for (int i = 0; i < 4; ++i) {
        const Real la = lat(random), lo = lon(random);
        c.push_back({"Random" + std::to_string(i), la, lo});
    }
    return c;
}

std::vector<Centre> MyCentres() {
    std::vector<Centre> mine;
    const auto all = AllCentres();
    for (size_t i = 0; i < all.size(); ++i)
        if (static_cast<int>(i % KORVANTA_SWEEP_PARTS) == KORVANTA_SWEEP_PART)
            mine.push_back(all[i]);
    return mine;
}

struct Generation {
    PositionState state;
    PaletteImage target;
    long beeps = 0;
    std::vector<int> progress;
    bool allOnCallingThread = true;
};

template <typename F> Generation RunOne(const Centre& c, F generate) {
    Generation run;
    run.state.CentreLat = c.lat;
    run.state.CentreLon = c.lon;
    run.state.PointDistance = c.incomingDistance;
    run.target = BlankBackground();
    const auto me = std::this_thread::get_id();
    generate(
        run.state, run.target,
        [&] {
            ++run.beeps;
            run.allOnCallingThread = run.allOnCallingThread && std::this_thread::get_id() == me;
        },
        [&](int X) {
            run.progress.push_back(X);
            run.allOnCallingThread = run.allOnCallingThread && std::this_thread::get_id() == me;
        });
    return run;
}

const WorldIndex& World() {
    static const WorldIndex world = projection_test::NoiseWorld();
    return world;
}

class EngineSweep : public ::testing::TestWithParam<Centre> {};

TEST_P(EngineSweep, SamePictureStateBeepsAndProgressAsThePlainLoop) {
    const Centre& c = GetParam();
    const Generation ref =
        RunOne(c, [](PositionState& s, PaletteImage& t, BeepFn beep, ProgressFn p) {
            GenerateReference(World(), s, t, beep, p);
        });
    GenerateStats stats;
    const Generation fast =
        RunOne(c, [&](PositionState& s, PaletteImage& t, BeepFn beep, ProgressFn p) {
            Generate(World(), s, t, beep, p, &stats);
        });

    long differing = 0;
    std::ostringstream first;
    for (int y = 0; y < MapSize; ++y)
        for (int x = 0; x < MapSize; ++x)
            if (ref.target.at(x, y) != fast.target.at(x, y) && differing++ < 5)
                first << " (" << x << "," << y << "): " << int(ref.target.at(x, y)) << " vs "
                      << int(fast.target.at(x, y));
    EXPECT_EQ(differing, 0) << "first differences:" << first.str();

    EXPECT_EQ(ref.state.CentreLat, fast.state.CentreLat);
    EXPECT_EQ(ref.state.CentreLon, fast.state.CentreLon);
    EXPECT_EQ(ref.state.PointLat, fast.state.PointLat);
    EXPECT_EQ(ref.state.PointLon, fast.state.PointLon);
    EXPECT_EQ(ref.state.PointDistance, fast.state.PointDistance);
    EXPECT_EQ(ref.state.PointAzimuth, fast.state.PointAzimuth);

    EXPECT_EQ(ref.beeps, fast.beeps);
    EXPECT_EQ(stats.failures, fast.beeps);
    if (c.expectFailures) {
        EXPECT_GT(ref.beeps, 0) << "the centre no longer makes an arc cosine fail";
    }

    std::vector<int> columns(MercatorWidth);
    for (int X = 0; X < MercatorWidth; ++X)
        columns[X] = X;
    EXPECT_EQ(ref.progress, columns);
    EXPECT_EQ(fast.progress, columns);
    EXPECT_TRUE(fast.allOnCallingThread);
}

INSTANTIATE_TEST_SUITE_P(Centres, EngineSweep, ::testing::ValuesIn(MyCentres()),
                         [](const ::testing::TestParamInfo<Centre>& info) {
                             return info.param.name;
                         });

} // namespace
