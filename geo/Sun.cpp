#include "geo/Sun.h"

#include <cmath>
#include <numbers>

namespace geo {

namespace {

constexpr double Rad = std::numbers::pi / 180.0;

double Normalise360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0 ? a + 360.0 : a;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool LeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && LeapYear(y) ? 29 : days[m - 1];
}

} // namespace

double JulianDay(UnixSeconds t) {
    return static_cast<double>(t) / 86400.0 + 2440587.5;
}

UnixSeconds UnixTime(int year, int month, int day, int hour, int minute, int second) {
    return DaysFromCivil(year, month, day) * 86400LL + hour * 3600LL + minute * 60LL + second;
}

SunPosition SunAt(UnixSeconds t) {
    // Universal time stands in for dynamical time: the difference (about a
    // minute) moves the sun by less than 0.001 degree.
    const double T = (JulianDay(t) - 2451545.0) / 36525.0;
    const double L0 = Normalise360(280.46646 + 36000.76983 * T + 0.0003032 * T * T);
    const double M = Normalise360(357.52911 + 35999.05029 * T - 0.0001537 * T * T) * Rad;
    const double C = (1.914602 - 0.004817 * T - 0.000014 * T * T) * std::sin(M) +
                     (0.019993 - 0.000101 * T) * std::sin(2 * M) + 0.000289 * std::sin(3 * M);
    const double trueLongitude = L0 + C;
    const double omega = (125.04 - 1934.136 * T) * Rad;
    const double lambda = (trueLongitude - 0.00569 - 0.00478 * std::sin(omega)) * Rad;
    const double epsilon0 =
        23.0 + (26.0 + (21.448 - T * (46.8150 + T * (0.00059 - T * 0.001813))) / 60.0) / 60.0;
    const double epsilon = (epsilon0 + 0.00256 * std::cos(omega)) * Rad;

    SunPosition s;
    s.declination = std::asin(std::sin(epsilon) * std::sin(lambda)) / Rad;
    s.rightAscension =
        Normalise360(std::atan2(std::cos(epsilon) * std::sin(lambda), std::cos(lambda)) / Rad);

    // Equation of time (Meeus 28.3), with the nutation in longitude from its
    // four largest terms.
    const double moonLongitude = (218.3165 + 481267.8813 * T) * Rad;
    const double deltaPsi = (-17.20 * std::sin(omega) - 1.32 * std::sin(2 * L0 * Rad) -
                             0.23 * std::sin(2 * moonLongitude) + 0.21 * std::sin(2 * omega)) /
                            3600.0;
    double E = L0 - 0.0057183 - s.rightAscension + deltaPsi * std::cos(epsilon);
    E = std::fmod(E, 360.0);
    if (E > 180) E -= 360;
    if (E < -180) E += 360;
    s.equationOfTime = E * 4.0;

    s.subsolarLat = s.declination;
    const long long secondsOfDay = ((t % 86400) + 86400) % 86400;
    const double hours = static_cast<double>(secondsOfDay) / 3600.0;
    double lon = -15.0 * (hours - 12.0 + s.equationOfTime / 60.0);
    lon = Normalise360(lon + 180.0) - 180.0;
    s.subsolarLon = lon;
    return s;
}

std::optional<UnixSeconds> ParseUtcTime(std::string_view text) {
    size_t i = 0;
    auto number = [&](size_t digits) -> std::optional<int> {
        if (i + digits > text.size()) return std::nullopt;
        int v = 0;
        for (size_t k = 0; k < digits; ++k) {
            const char c = text[i + k];
            if (c < '0' || c > '9') return std::nullopt;
            v = v * 10 + (c - '0');
        }
        i += digits;
        return v;
    };
    auto expect = [&](std::string_view chars) {
        if (i < text.size() && chars.find(text[i]) != std::string_view::npos) {
            ++i;
            return true;
        }
        return false;
    };
    const auto year = number(4);
    if (!year || !expect("-")) return std::nullopt;
    const auto month = number(2);
    if (!month || !expect("-")) return std::nullopt;
    const auto day = number(2);
    if (!day || !expect("Tt ")) return std::nullopt;
    const auto hour = number(2);
    if (!hour || !expect(":")) return std::nullopt;
    const auto minute = number(2);
    if (!minute) return std::nullopt;
    int second = 0;
    if (expect(":")) {
        const auto s = number(2);
        if (!s) return std::nullopt;
        second = *s;
    }
    const std::string_view zone = text.substr(i);
    if (zone != "Z" && zone != "z" && zone != "+00:00" && zone != "+0000") return std::nullopt;
    if (*year < 1900 || *year > 2100 || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*year, *month) || *hour > 23 || *minute > 59 || second > 59)
        return std::nullopt;
    return UnixTime(*year, *month, *day, *hour, *minute, second);
}

double SunDistance(const SunPosition& sun, double lat, double lon) {
    const double p1 = sun.subsolarLat * Rad, p2 = lat * Rad;
    const double dl = (lon - sun.subsolarLon) * Rad;
    // The vector form keeps its precision near 0 and 180 degrees.
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    const double y = std::cos(p2) * std::sin(dl);
    const double z = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl);
    return std::atan2(std::sqrt(x * x + y * y), z) / Rad;
}

Daylight DaylightAt(const SunPosition& sun, double lat, double lon) {
    const double d = SunDistance(sun, lat, lon);
    if (d < SunsetDistance) return Daylight::Day;
    if (d < CivilTwilightDistance) return Daylight::Twilight;
    return Daylight::Night;
}

} // namespace geo
