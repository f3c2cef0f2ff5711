// Positions, locators, position texts and the great-circle routine.
// Everything here is plain C++ in x86 extended precision (long double).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace geo {

using Real = long double;

inline constexpr Real Pi = 3.1415926535897932385L;
inline constexpr int MercatorWidth = 1194;
inline constexpr int MercatorHeight = 765;
inline constexpr int MapRadius = 300;

// The degree sign of position texts, as UTF-8 (one character; 0xB0 in Windows-1252).
inline constexpr std::string_view DegreeSign = "\xC2\xB0";

// Round to the nearest integer, an exact half going to the even neighbour.
long long Round(Real v);
// Drop the fraction toward zero.
long long Trunc(Real v);

// The program-wide position state: the map centre and the far point of the
// last great-circle computation (degrees; distance and azimuth in radians).
struct PositionState {
    Real CentreLat = 0;
    Real CentreLon = 0;
    Real PointLat = 0;
    Real PointLon = 0;
    Real PointDistance = 0;
    Real PointAzimuth = 0;
    std::string CentreText;      // position text of the centre
    bool LocatorPending = false; // the next generation uses CentreLat/CentreLon as they are
};

struct LatLon {
    Real lat = 0;
    Real lon = 0;
};

// A six-character Maidenhead locator (any case) to the centre of its sub-square.
std::optional<LatLon> DecodeLocator(std::string_view text);

// World-map pixel (column X, row Y) to latitude and longitude.
LatLon PixelToLatLon(int X, int Y);

// "48°51' N / 2°22' E" (UTF-8). A part that is not a finite number (or is
// beyond 1e15 degrees) is written "?": FormatPosition(NaN, 2.37) is "? / 2°22' E".
std::string FormatPosition(Real lat, Real lon);

// Reads a position text back into lat/lon, stopping quietly at the first step
// that does not match and leaving what was set so far. A degree or minute
// part that is not a whole number is a conversion failure: the result then
// holds the run time's error text.
struct ParsePositionResult {
    bool conversionFailed = false;
    std::string errorText;
};
ParsePositionResult ParsePosition(std::string_view text, Real& lat, Real& lon);

// Integer conversion of settings values and position parts: optional leading
// blanks, an optional sign, decimal digits. Fails on anything else.
std::optional<long long> StrToInt(std::string_view text);
// The run time's text for a failed integer conversion.
std::string InvalidIntegerText(std::string_view text);

// The latitude a map's bearings are computed from: at a pole every direction
// is south (or north), so a centre of exactly 90 moves to 89.9 and one of
// exactly -90 to -89.9; every other latitude stays.
inline Real OffPole(Real lat) {
    return lat == 90 ? 89.9L : lat == -90 ? -89.9L : lat;
}

using BeepFn = std::function<void()>;

// Distance (central angle) and initial bearing from the centre to the point.
// May rewrite CentreLat (OffPole) and PointLat (exactly 90 becomes 89.9).
// A failed arc cosine beeps and keeps the previous PointDistance.
// Returns false when that failure happened.
bool CalculAzimutDistance(PositionState& s, const BeepFn& beep);

} // namespace geo
