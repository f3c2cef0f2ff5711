#include "geo/Position.h"

#include <cfenv>
#include <cmath>

namespace geo {

long long Round(Real v) {
    // The default floating-point environment rounds to nearest, ties to even.
    return std::llrint(v);
}

long long Trunc(Real v) {
    return static_cast<long long>(v);
}

namespace {

bool IsAsciiLower(char c) {
    return c >= 'a' && c <= 'z';
}

char AsciiUpper(char c) {
    return IsAsciiLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::optional<LatLon> DecodeLocator(std::string_view text) {
    if (text.size() != 6) return std::nullopt;
    int c[6];
    for (int i = 0; i < 6; ++i)
        c[i] = static_cast<unsigned char>(AsciiUpper(text[i]));
    auto in = [](int v, char lo, char hi) { return v >= lo && v <= hi; };
    if (!in(c[0], 'A', 'R') || !in(c[1], 'A', 'R') || !in(c[2], '0', '9') || !in(c[3], '0', '9') ||
        !in(c[4], 'A', 'X') || !in(c[5], 'A', 'X'))
        return std::nullopt;

    constexpr Real HalfLonSub = 1.0L / 24.0L;
    constexpr Real HalfLatSub = 1.0L / 48.0L;
    LatLon p;
    Real lon = static_cast<Real>(20 * (c[0] - 65) + 2 * (c[2] - 48));
    lon = lon + static_cast<Real>(c[4] - 65) / 12.0L;
    lon = lon + HalfLonSub;
    lon = lon - 180;
    Real lat = static_cast<Real>(10 * (c[1] - 65) + (c[3] - 48));
    lat = lat + static_cast<Real>(c[5] - 65) / 24.0L;
    lat = lat + HalfLatSub;
    lat = lat - 90;
    p.lat = lat;
    p.lon = lon;
    return p;
}

LatLon PixelToLatLon(int X, int Y) {
    LatLon p;
    p.lat = static_cast<Real>(-180 * Y) / static_cast<Real>(MercatorHeight) + 90;
    p.lon = static_cast<Real>(360 * X) / static_cast<Real>(MercatorWidth) - 180;
    return p;
}

namespace {

void AppendPart(std::string& out, Real v, char positive, char negative) {
    // A value that is no position at all (not a number, infinite, or beyond
    // any whole number of degrees) is written as "?" rather than converted.
    if (!std::isfinite(v) || std::fabs(v) >= 1e15L) {
        out += '?';
        return;
    }
    const Real a = std::fabs(v);
    const long long degrees = Trunc(a);
    const long long minutes = Round((a - static_cast<Real>(degrees)) * 60);
    out += std::to_string(degrees);
    out += DegreeSign;
    out += std::to_string(minutes);
    out += "' ";
    out += v >= 0 ? positive : negative;
}

} // namespace

std::string FormatPosition(Real lat, Real lon) {
    std::string out;
    AppendPart(out, lat, 'N', 'S');
    out += " / ";
    AppendPart(out, lon, 'E', 'W');
    return out;
}

std::optional<long long> StrToInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) return std::nullopt;
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        if (v > 214748364) return std::nullopt; // beyond a 32-bit integer
        v = v * 10 + (c - '0');
    }
    if (negative) v = -v;
    if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
    return v;
}

std::string InvalidIntegerText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 32);
    out.push_back('\'');
    out.append(text);
    out.append("' is not a valid integer value");
    return out;
}

// Bytes of the first `n` characters of UTF-8 text (the text counts in
// characters, as the degree sign does).
static size_t CharBytes(const std::string& s, size_t n) {
    size_t i = 0;
    for (; n > 0 && i < s.size(); --n) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            ++i;
    }
    return i;
}

ParsePositionResult ParsePosition(std::string_view text, Real& lat, Real& lon) {
    ParsePositionResult result;
    std::string s(text);
    // Reads "<degrees>°<minutes>' " and leaves the rest in s; false to stop.
    auto readPart = [&](long long& degrees, long long& minutes) -> bool {
        const size_t deg = s.find(DegreeSign);
        if (deg == std::string::npos) return false;
        const std::string degText = s.substr(0, deg);
        auto d = StrToInt(degText);
        if (!d) {
            result.conversionFailed = true;
            result.errorText = InvalidIntegerText(degText);
            return false;
        }
        degrees = *d;
        s.erase(0, deg + DegreeSign.size());
        const size_t quote = s.find('\'');
        if (quote == std::string::npos) return false;
        const std::string minText = s.substr(0, quote);
        auto m = StrToInt(minText);
        if (!m) {
            result.conversionFailed = true;
            result.errorText = InvalidIntegerText(minText);
            return false;
        }
        minutes = *m;
        s.erase(0, quote + 1);
        s.erase(0, CharBytes(s, 1));
        return true;
    };

    long long degrees = 0, minutes = 0;
    if (!readPart(degrees, minutes)) return result;
    if (s.empty()) return result;
    if (s[0] == 'N')
        lat = static_cast<Real>(degrees) + static_cast<Real>(minutes) / 60;
    else if (s[0] == 'S')
        lat = -static_cast<Real>(degrees) - static_cast<Real>(minutes) / 60;
    else
        return result;
    s.erase(0, CharBytes(s, 2));
    if (s.find('/') == std::string::npos) return result;
    s.erase(0, CharBytes(s, 2));

    if (!readPart(degrees, minutes)) return result;
    if (s.empty()) return result;
    if (s[0] == 'E')
        lon = static_cast<Real>(degrees) + static_cast<Real>(minutes) / 60;
    else if (s[0] == 'W')
        lon = -static_cast<Real>(degrees) - static_cast<Real>(minutes) / 60;
    return result;
}

bool CalculAzimutDistance(PositionState& s, const BeepFn& beep) {
    bool ok = true;
    s.CentreLat = OffPole(s.CentreLat);
    const Real phi1 = s.CentreLat * Pi / 180;
    const Real lam1 = s.CentreLon * Pi / 180;
    if (s.PointLat == 90) s.PointLat = 89.9L;
    const Real phi2 = s.PointLat * Pi / 180;
    const Real lam2 = s.PointLon * Pi / 180;

    if (phi1 == phi2 && lam1 == lam2) {
        s.PointDistance = 0;
    } else {
        const Real x = std::sin(phi1) * std::sin(phi2) +
                       std::cos(phi1) * std::cos(phi2) * std::cos(lam2 - lam1);
        const Real t = 1 - x * x;
        if (!(t >= 0)) {
            // The arc cosine fails: the previous distance stays.
            ok = false;
            if (beep) beep();
        } else {
            s.PointDistance = std::atan2(std::sqrt(t), x);
        }
    }
    if (s.PointDistance >= Pi) s.PointDistance = s.PointDistance - Pi;
    const Real d = s.PointDistance;
    if (d < 1.58e-7L) {
        s.PointAzimuth = 0;
        return ok;
    }

    const Real a = 2 * std::cos(phi1);
    const Real b = std::sin(d) * a;
    Real r = 0;
    if (b != 0) {
        r = (std::sin(d + phi1) - std::sin(phi2)) / b;
        if (std::isnan(r)) r = 0;
    }
    if (r > 1) r = 1;
    if (r > 0) {
        const Real q = std::sqrt(r);
        s.PointAzimuth = 2 * std::atan2(q, std::sqrt(1 - q * q));
    } else {
        s.PointAzimuth = 0;
    }
    const Real dl = lam2 - lam1;
    if ((-Pi < dl && dl < 0) || dl > Pi) s.PointAzimuth = 2 * Pi - s.PointAzimuth;
    return ok;
}

} // namespace geo
