#include "geo/Position.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace geo;

namespace {

std::string Text(const LatLon& p) {
    return FormatPosition(p.lat, p.lon);
}

std::string Deg(const char* s) {
    // Test texts are written with '@' standing for the degree sign.
    std::string out;
    for (const char* c = s; *c; ++c) {
        if (*c == '@')
            out += DegreeSign;
        else
            out += *c;
    }
    return out;
}

} // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(Round(22.5L), 22);
    EXPECT_EQ(Round(7.5L), 8);
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(2.5000001L), 3);
    EXPECT_EQ(Trunc(-138.99L), -138);
    EXPECT_EQ(Trunc(138.99L), 138);
}

TEST(Locator, DecodesTheCentreOfTheSubSquare) {
    auto p = DecodeLocator("JN18EU");
    ASSERT_TRUE(p);
    EXPECT_NEAR(static_cast<double>(p->lat), 48.8541666666, 1e-9);
    EXPECT_EQ(p->lon, 2.375L);
    EXPECT_EQ(Text(*p), Deg("48@51' N / 2@22' E"));
    auto lower = DecodeLocator("jn18eu");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->lat, p->lat);
    EXPECT_EQ(lower->lon, p->lon);

    auto io = DecodeLocator("IO91WM");
    ASSERT_TRUE(io);
    EXPECT_EQ(io->lon, -0.125L);
    EXPECT_NE(Text(*io).find(Deg("0@8' W")), std::string::npos);
    EXPECT_EQ(Text(*DecodeLocator("AA00AA")), Deg("89@59' S / 179@57' W"));
    EXPECT_EQ(Text(*DecodeLocator("RR99XX")), Deg("89@59' N / 179@57' E"));
}

TEST(Locator, RejectsOtherLengthsAndCharactersOutOfRange) {
    for (const char* bad : {"JN18", "JN18EU1", "JS18EU", "JN1AEU", "JN18EZ", "", "JN18E ",
                            "\xC3\xA9N18EU", "JN18EU\n"})
        EXPECT_FALSE(DecodeLocator(bad)) << bad;
}

TEST(PixelPositions, WorldMapCornersAndCentre) {
    EXPECT_EQ(Text(PixelToLatLon(0, 0)), Deg("90@0' N / 180@0' W"));
    EXPECT_EQ(Text(PixelToLatLon(597, 382)), Deg("0@7' N / 0@0' E"));
    EXPECT_EQ(Text(PixelToLatLon(1193, 764)), Deg("89@46' S / 179@42' E"));
    // Minutes reach 60 without carrying into the degrees.
    auto p = PixelToLatLon(136, 0);
    EXPECT_NEAR(static_cast<double>(p.lon), -138.99497, 1e-5);
    EXPECT_NE(Text(p).find(Deg("138@60' W")), std::string::npos);
    // Outside the picture the formula is used as it stands.
    EXPECT_EQ(PixelToLatLon(-10, 765).lat, -90);
}

TEST(PositionText, ZeroIsNorthAndEast) {
    EXPECT_EQ(FormatPosition(0, 0), Deg("0@0' N / 0@0' E"));
    EXPECT_EQ(FormatPosition(-0.01L, -0.01L), Deg("0@1' S / 0@1' W"));
}

TEST(ParsePosition, ReadsWhatFormatPositionWrites) {
    Real lat = 1, lon = 2;
    auto r = ParsePosition(Deg("45@30' N / 10@15' W"), lat, lon);
    EXPECT_FALSE(r.conversionFailed);
    EXPECT_EQ(lat, 45.5L);
    EXPECT_EQ(lon, -10.25L);
    r = ParsePosition(Deg("12@6' S / 100@0' E"), lat, lon);
    EXPECT_EQ(lat, -(12 + 6 / 60.0L));
    EXPECT_EQ(lon, 100);
}

TEST(ParsePosition, StopsAtTheFirstStepThatDoesNotMatch) {
    Real lat = 7, lon = 8;
    EXPECT_FALSE(ParsePosition("45 30 N / 10 15 W", lat, lon).conversionFailed);
    EXPECT_EQ(lat, 7);
    EXPECT_EQ(lon, 8);
    // Latitude read, longitude letter unknown: the longitude stays.
    ParsePosition(Deg("45@30' N / 10@15' X"), lat, lon);
    EXPECT_EQ(lat, 45.5L);
    EXPECT_EQ(lon, 8);
    // No slash after the latitude.
    lat = 7;
    ParsePosition(Deg("45@30' N"), lat, lon);
    EXPECT_EQ(lat, 45.5L);
    EXPECT_EQ(lon, 8);
    // A hemisphere letter that is not N or S stops before anything is set.
    lat = 7;
    ParsePosition(Deg("45@30' Q / 10@15' W"), lat, lon);
    EXPECT_EQ(lat, 7);
}

TEST(ParsePosition, ANonIntegerPartIsAConversionFailure) {
    Real lat = 7, lon = 8;
    auto r = ParsePosition(Deg("4x@30' N / 10@15' W"), lat, lon);
    EXPECT_TRUE(r.conversionFailed);
    EXPECT_EQ(r.errorText, "'4x' is not a valid integer value");
    EXPECT_EQ(lat, 7);
    r = ParsePosition(Deg("45@30' N / 10@1.5' W"), lat, lon);
    EXPECT_TRUE(r.conversionFailed);
    EXPECT_EQ(lat, 45.5L);
    EXPECT_EQ(lon, 8);
}

TEST(StrToInt, WholeNumbersOnly) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("  +3"), 3);
    EXPECT_FALSE(StrToInt(""));
    EXPECT_FALSE(StrToInt("-"));
    EXPECT_FALSE(StrToInt("3 "));
    EXPECT_FALSE(StrToInt("1.5"));
    EXPECT_FALSE(StrToInt("99999999999"));
    EXPECT_EQ(StrToInt("-2147483648"), -2147483648LL);
}

TEST(GreatCircle, ChecksFromTheOrigin) {
    PositionState s;
    s.PointLat = 0;
    s.PointLon = 10;
    EXPECT_TRUE(CalculAzimutDistance(s, {}));
    EXPECT_NEAR(static_cast<double>(s.PointDistance), 0.174533, 1e-6);
    EXPECT_NEAR(static_cast<double>(s.PointAzimuth), static_cast<double>(Pi / 2), 1e-12);
    s.PointLat = 10;
    s.PointLon = 0;
    CalculAzimutDistance(s, {});
    EXPECT_NEAR(static_cast<double>(s.PointAzimuth), 0, 1e-9);
    s.PointLat = 0;
    s.PointLon = -10;
    CalculAzimutDistance(s, {});
    EXPECT_NEAR(static_cast<double>(s.PointAzimuth), static_cast<double>(3 * Pi / 2), 1e-12);
}

TEST(GreatCircle, SamePointAndAntipodeGiveZero) {
    PositionState s;
    s.CentreLat = 12.5L;
    s.CentreLon = -40;
    s.PointLat = 12.5L;
    s.PointLon = -40;
    s.PointDistance = 1;
    s.PointAzimuth = 1;
    CalculAzimutDistance(s, {});
    EXPECT_EQ(s.PointDistance, 0);
    EXPECT_EQ(s.PointAzimuth, 0);
    // The antipode of the origin along the equator: exactly pi becomes 0.
    PositionState a;
    a.PointLat = 0;
    a.PointLon = 180;
    CalculAzimutDistance(a, {});
    EXPECT_LT(a.PointDistance, 1e-6L);
    EXPECT_EQ(a.PointAzimuth, 0);
}

TEST(GreatCircle, NinetyDegreesIsRewrittenInTheState) {
    PositionState s;
    s.CentreLat = 90;
    s.PointLat = 90;
    s.PointLon = 45;
    CalculAzimutDistance(s, {});
    EXPECT_EQ(s.CentreLat, 89.9L);
    EXPECT_EQ(s.PointLat, 89.9L);
}

TEST(GreatCircle, JN18EUWorldPixels) {
    auto c = DecodeLocator("JN18EU");
    struct Case {
        int x, y;
        double d, azDeg;
        int px, py;
    };
    for (const Case& k :
         {Case{352, 180, 0.847440, 299.19, 229, 261}, Case{1000, 600, 2.477531, 117.31, 510, 409},
          Case{632, 243, -1, -1, 312, 326}}) {
        PositionState s;
        s.CentreLat = c->lat;
        s.CentreLon = c->lon;
        auto p = PixelToLatLon(k.x, k.y);
        s.PointLat = p.lat;
        s.PointLon = p.lon;
        CalculAzimutDistance(s, {});
        if (k.d > 0) {
            EXPECT_NEAR(static_cast<double>(s.PointDistance), k.d, 1e-6);
            EXPECT_NEAR(static_cast<double>(s.PointAzimuth * 180 / Pi), k.azDeg, 0.01);
        }
        const Real R = MapRadius;
        EXPECT_EQ(Round(((std::sin(s.PointAzimuth) * s.PointDistance) * R) / Pi + R), k.px);
        EXPECT_EQ(Round(R - ((std::cos(s.PointAzimuth) * s.PointDistance) * R) / Pi), k.py);
    }
}

TEST(GreatCircle, FailedArcCosineBeepsAndKeepsThePreviousDistance) {
    // Find a point so close to the centre that rounding pushes the cosine above 1.
    int beeps = 0;
    bool found = false;
    for (int i = 1; i < 20000 && !found; ++i) {
        PositionState s;
        s.CentreLat = 37.1L + i * 1e-7L;
        s.CentreLon = 11.3L;
        s.PointLat = s.CentreLat;
        s.PointLon = 11.3L + 1e-10L;
        s.PointDistance = 0.25L;
        if (!CalculAzimutDistance(s, [&] { ++beeps; })) {
            found = true;
            EXPECT_EQ(s.PointDistance, 0.25L);
            EXPECT_EQ(beeps, 1);
        }
    }
    EXPECT_TRUE(found);
}
