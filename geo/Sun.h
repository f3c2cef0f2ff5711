// The sun's position for the grey line: declination, equation of time and
// the sub-solar point at a moment given in UTC, from the solar coordinates of
// Meeus, "Astronomical Algorithms", chapters 25 (low accuracy, about 0.01
// degree) and 28. Plain C++, the time is always passed in.
#pragma once

#include <optional>
#include <string_view>

namespace geo {

// Seconds since 1970-01-01 00:00:00 UTC (leap seconds not counted).
using UnixSeconds = long long;

struct SunPosition {
    double declination = 0;    // degrees, north positive
    double rightAscension = 0; // degrees, 0 to 360 (apparent)
    double equationOfTime = 0; // minutes, apparent minus mean solar time
    double subsolarLat = 0;    // degrees: the point with the sun at its zenith
    double subsolarLon = 0;    // degrees, east positive, -180 to 180
};

double JulianDay(UnixSeconds t);
SunPosition SunAt(UnixSeconds t);

// Seconds since 1970 of a civil date and time (UTC), proleptic Gregorian.
UnixSeconds UnixTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// An ISO 8601 moment in UTC: "2026-06-21T12:00Z", "2026-06-21T12:00:30Z",
// "+00:00" in place of "Z", a blank in place of "T". Years 1900 to 2100.
// Anything else (another offset, no zone, an impossible date) gives nothing.
std::optional<UnixSeconds> ParseUtcTime(std::string_view text);

// Angles of the sun below the zenith (great-circle distance from the
// sub-solar point, degrees): sunrise and sunset (refraction and the sun's
// half disc included), the end of civil twilight.
inline constexpr double SunsetDistance = 90.0 + 50.0 / 60.0;
inline constexpr double CivilTwilightDistance = 96.0;

// Great-circle distance in degrees between the sub-solar point and a place.
double SunDistance(const SunPosition& sun, double lat, double lon);

enum class Daylight { Day, Twilight, Night };
Daylight DaylightAt(const SunPosition& sun, double lat, double lon);

} // namespace geo
