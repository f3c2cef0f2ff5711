// The sun's position against published figures, the reading of ISO 8601
// moments, and the day/night shading of a map.
#include "geo/GreyLine.h"
#include "geo/Inverse.h"
#include "geo/Sun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace geo;

TEST(Sun, DeclinationAtTheSolsticesAndEquinoxesOf2026) {
    // The moments of the almanacs (UTC) and the sun's declination then.
    const struct {
        UnixSeconds when;
        double declination;
    } cases[] = {
        {UnixTime(2026, 3, 20, 14, 46), 0.0},      // March equinox
        {UnixTime(2026, 6, 21, 8, 24), 23.4360},   // June solstice: the obliquity
        {UnixTime(2026, 9, 23, 0, 5), 0.0},        // September equinox
        {UnixTime(2026, 12, 21, 20, 50), -23.4360} // December solstice
    };
    for (const auto& c : cases) {
        const SunPosition s = SunAt(c.when);
        EXPECT_NEAR(s.declination, c.declination, 0.1) << c.when;
        EXPECT_EQ(s.subsolarLat, s.declination);
    }
}

TEST(Sun, MeeusWorkedExamples) {
    // "Astronomical Algorithms", examples 25.a and 28.b: 1992 October 13, 0h.
    const SunPosition s = SunAt(UnixTime(1992, 10, 13));
    EXPECT_NEAR(s.declination, -7.78507, 0.002);
    EXPECT_NEAR(s.rightAscension, 198.38083, 0.002);
    EXPECT_NEAR(s.equationOfTime, 13.70940, 1.0 / 60);
}

TEST(Sun, EquationOfTimeOnPublishedDates) {
    // Apparent minus mean solar time at noon UTC, minutes and seconds.
    const struct {
        int month, day;
        double minutes;
    } cases[] = {
        {2, 11, -(14 + 14 / 60.0)},
        {5, 14, 3 + 39 / 60.0},
        {7, 26, -(6 + 32 / 60.0)},
        {11, 3, 16 + 26 / 60.0},
        {4, 15, 0.0},
        {9, 1, 0.0},
        {12, 25, 0.0},
    };
    for (const auto& c : cases) {
        const SunPosition s = SunAt(UnixTime(2026, c.month, c.day, 12));
        EXPECT_NEAR(s.equationOfTime, c.minutes, 0.5) << c.month << "-" << c.day;
    }
}

TEST(Sun, SubsolarLongitudeFollowsTheClock) {
    // At Greenwich apparent noon the sun stands over the meridian of 0; an
    // hour later 15 degrees farther west.
    const UnixSeconds noon = UnixTime(2026, 11, 3, 12);
    const double eot = SunAt(noon).equationOfTime;
    const UnixSeconds apparentNoon = noon - static_cast<UnixSeconds>(std::lround(eot * 60));
    EXPECT_NEAR(SunAt(apparentNoon).subsolarLon, 0.0, 0.01);
    EXPECT_NEAR(SunAt(apparentNoon + 3600).subsolarLon, -15.0, 0.01);
    // Half a day later it is over the date line.
    EXPECT_NEAR(std::fabs(SunAt(apparentNoon + 12 * 3600).subsolarLon), 180.0, 0.3);
}

TEST(Sun, DayAndNightInParis) {
    const auto paris = DecodeLocator("JN18EU");
    const auto at = [&](UnixSeconds t) {
        return DaylightAt(SunAt(t), static_cast<double>(paris->lat),
                          static_cast<double>(paris->lon));
    };
    EXPECT_EQ(at(UnixTime(2026, 6, 21, 12)), Daylight::Day);
    EXPECT_EQ(at(UnixTime(2026, 12, 21, 0)), Daylight::Night);
    // Sunset on 21 December is about 15:56 UTC, civil twilight ends about 16:33.
    EXPECT_EQ(at(UnixTime(2026, 12, 21, 15, 45)), Daylight::Day);
    EXPECT_EQ(at(UnixTime(2026, 12, 21, 16, 15)), Daylight::Twilight);
    EXPECT_EQ(at(UnixTime(2026, 12, 21, 16, 50)), Daylight::Night);
}

TEST(Sun, TerminatorIsACircleRoundTheSubsolarPoint) {
    // Every point 90 degrees 50 minutes from the sub-solar point is on the
    // line: just inside is day, just outside twilight, in every direction.
    for (const UnixSeconds t : {UnixTime(2026, 3, 20, 14, 46), UnixTime(2026, 6, 21, 8, 24),
                                UnixTime(2026, 12, 21, 20, 50), UnixTime(2026, 8, 1, 3, 17)}) {
        const SunPosition sun = SunAt(t);
        // On a map centred on the sub-solar point the terminator is the
        // circle of radius 300 * 90.833 / 180 pixels.
        const double r = 300.0 * SunsetDistance / 180.0;
        for (int k = 0; k < 72; ++k) {
            const double a = k * 5.0 * std::numbers::pi / 180.0;
            auto point = [&](double radius) {
                return *MapPixelToLatLon(sun.subsolarLat, sun.subsolarLon,
                                         300 + radius * std::sin(a), 300 - radius * std::cos(a));
            };
            const LatLon on = point(r);
            EXPECT_NEAR(SunDistance(sun, static_cast<double>(on.lat), static_cast<double>(on.lon)),
                        SunsetDistance, 1e-9);
            const LatLon in = point(r - 0.01), out = point(r + 0.01);
            EXPECT_EQ(DaylightAt(sun, static_cast<double>(in.lat), static_cast<double>(in.lon)),
                      Daylight::Day);
            EXPECT_EQ(DaylightAt(sun, static_cast<double>(out.lat), static_cast<double>(out.lon)),
                      Daylight::Twilight);
        }
    }
}

TEST(SphereGrid, ShadingOfAMapCentredOnTheSunIsThreeRings) {
    const SunPosition sun = SunAt(UnixTime(2026, 6, 21, 8, 24));
    const PositionGrid grid(sun.subsolarLat, sun.subsolarLon);
    const SphereGrid sphere(grid);
    std::vector<Daylight> classes;
    sphere.Classify(sun, classes);
    ASSERT_EQ(classes.size(), 600u * 600u);
    const double sunset = 300.0 * SunsetDistance / 180.0;
    const double civil = 300.0 * CivilTwilightDistance / 180.0;
    int day = 0, twilight = 0, night = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) {
            const double r = std::hypot(x - 300.0, y - 300.0);
            const Daylight d = classes[static_cast<size_t>(y) * 600 + x];
            if (r > 300 || r < sunset - 0.01) {
                EXPECT_EQ(d, Daylight::Day) << x << "," << y;
                ++day;
            } else if (r > sunset + 0.01 && r < civil - 0.01) {
                EXPECT_EQ(d, Daylight::Twilight) << x << "," << y;
                ++twilight;
            } else if (r > civil + 0.01) {
                EXPECT_EQ(d, Daylight::Night) << x << "," << y;
                ++night;
            }
        }
    EXPECT_GT(twilight, 5000);
    EXPECT_GT(night, 100000);
}

TEST(SphereGrid, ShadingAgreesWithTheSunEverywhere) {
    const auto paris = DecodeLocator("JN18EU");
    const PositionGrid grid(paris->lat, paris->lon);
    const SphereGrid sphere(grid);
    const SunPosition sun = SunAt(UnixTime(2026, 12, 7, 14, 5));
    std::vector<uint32_t> argb(600 * 600, 0x12345678u);
    sphere.Shade(sun, 0x40000000u, 0x80000000u, argb.data());
    int mismatches = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) {
            const uint32_t got = argb[static_cast<size_t>(y) * 600 + x];
            if (!grid.inside(x, y)) {
                EXPECT_EQ(got, 0u);
                continue;
            }
            const double dist = SunDistance(sun, grid.lat(x, y), grid.lon(x, y));
            // Single precision may differ within a few millionths of a degree.
            if (std::fabs(dist - SunsetDistance) < 1e-4 ||
                std::fabs(dist - CivilTwilightDistance) < 1e-4)
                continue;
            const uint32_t want = dist < SunsetDistance          ? 0u
                                  : dist < CivilTwilightDistance ? 0x40000000u
                                                                 : 0x80000000u;
            if (got != want) ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
}

TEST(ParseUtcTime, AcceptedAndRefusedMoments) {
    EXPECT_EQ(ParseUtcTime("2026-06-21T12:00Z"), UnixTime(2026, 6, 21, 12));
    EXPECT_EQ(ParseUtcTime("2026-06-21T12:00:30Z"), UnixTime(2026, 6, 21, 12, 0, 30));
    EXPECT_EQ(ParseUtcTime("2026-06-21 12:00+00:00"), UnixTime(2026, 6, 21, 12));
    EXPECT_EQ(ParseUtcTime("1970-01-01T00:00Z"), 0);
    EXPECT_EQ(ParseUtcTime("2028-02-29T23:59:59Z"), UnixTime(2028, 3, 1) - 1);
    for (const char* bad :
         {"", "2026-06-21", "2026-06-21T12:00", "2026-06-21T12:00+02:00", "2026-6-21T12:00Z",
          "2026-06-21T24:00Z", "2026-06-31T12:00Z", "2027-02-29T12:00Z", "2026-13-01T00:00Z",
          "2026-06-21T12:60Z", "2026-06-21T12:00ZZ", "1899-12-31T12:00Z", "2101-01-01T00:00Z",
          "2026-06-21T12:00:5Z", "now"})
        EXPECT_FALSE(ParseUtcTime(bad)) << bad;
}
