#include "viewer/DxLookup.h"

#include "dxlists/DxRecord.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace viewer {

namespace {

constexpr char Tab = '\t';

bool Contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// The text without its last character (a whole UTF-8 sequence).
std::string_view DropLastCharacter(std::string_view text) {
    if (text.empty()) return text;
    std::size_t end = text.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

// The code points of a UTF-8 text; a stray byte counts as one character.
std::u32string CodePoints(std::string_view text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        if (i + static_cast<std::size_t>(extra) >= text.size()) extra = 0; // cut-off sequence
        char32_t cp = extra == 0   ? b
                      : extra == 1 ? (b & 0x1F)
                      : extra == 2 ? (b & 0x0F)
                                   : (b & 0x07);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            const auto n = static_cast<unsigned char>(text[i + k]);
            if ((n & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (n & 0x3F);
        }
        if (!valid) {
            extra = 0;
            cp = b;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

// The key of a displayed row (the text before the first separator), or
// nullopt for an empty row or a row without a separator.
std::optional<std::string_view> RowKey(std::string_view row, char separator) {
    if (row.empty()) return std::nullopt;
    const auto p = row.find(separator);
    if (p == std::string_view::npos) return std::nullopt;
    return row.substr(0, p);
}

} // namespace

std::string DxHint(std::string_view row, char separator) {
    std::string out = "  ";
    for (char c : row) {
        if (c == separator) {
            out += "  ";
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<geo::Real> ReadCoordinateNumber(std::string_view field, char decimalMark) {
    std::string text(field);
    const auto comma = text.find(',');
    const auto point = text.find('.');
    if (comma != std::string::npos && point != std::string::npos) return std::nullopt;
    if (comma != std::string::npos) text[comma] = decimalMark;
    if (point != std::string::npos) text[point] = decimalMark;
    if (!dx::ReadsAsNumber(text, decimalMark)) return std::nullopt;

    // The text now has the form the number check allows: blanks, a sign,
    // digits with at most one mark, an exponent whose digits may be missing.
    std::string canonical;
    std::string exponent;
    bool inExponent = false;
    for (char c : text) {
        if (c == ' ') continue;
        if (c == 'e' || c == 'E') {
            inExponent = true;
        } else if (inExponent) {
            exponent += c;
        } else if (c == decimalMark) {
            canonical += '.';
        } else if (c != '+') {
            canonical += c;
        }
    }
    // A lone mark reads as 0 ("," or "-,"); so does a missing integer part.
    std::string digits = canonical;
    const bool negative = !digits.empty() && digits[0] == '-';
    if (negative) digits.erase(0, 1);
    if (digits.empty() || digits[0] == '.') digits = "0" + digits;
    if (digits.back() == '.') digits.pop_back();
    if (!exponent.empty() && exponent.find_first_of("0123456789") != std::string::npos) {
        digits += 'e';
        digits += exponent;
    }
    long double value = 0;
    const char* last = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

DxRowReading ReadDxRow(std::string_view row, char separator, char decimalMark) {
    using Stop = DxRowReading::Stop;
    DxRowReading r;
    std::string_view rest = row;

    auto p = rest.find(separator);
    if (p == std::string_view::npos) {
        r.stop = Stop::NoKeySeparator;
        return r;
    }
    r.key = std::string(rest.substr(0, p));
    rest.remove_prefix(p + 1);

    p = rest.find(separator);
    if (p == std::string_view::npos) {
        r.stop = Stop::NoCountrySeparator;
        return r;
    }
    rest.remove_prefix(p + 1);

    p = rest.find(separator);
    if (p == std::string_view::npos) {
        r.stop = Stop::NoLatitudeSeparator;
        return r;
    }
    const std::string_view latField = rest.substr(0, p);
    if (!Contains(latField, 'N') && !Contains(latField, 'S')) {
        r.stop = Stop::NoLatitudeLetter;
        return r;
    }
    const geo::Real latSign = Contains(latField, 'S') ? -1 : 1;
    const auto lat = ReadCoordinateNumber(DropLastCharacter(latField), decimalMark);
    if (!lat) {
        r.stop = Stop::LatitudeNumber;
        return r;
    }
    rest.remove_prefix(p + 1);

    p = rest.find(separator);
    if (p != std::string_view::npos) {
        r.time = std::string(dx::CutToCharacters(rest.substr(p + 1), dx::MaxTimeTextLength));
        rest = rest.substr(0, p);
    }
    if (!Contains(rest, 'W') && !Contains(rest, 'E')) {
        r.stop = Stop::NoLongitudeLetter;
        return r;
    }
    const geo::Real lonSign = Contains(rest, 'W') ? -1 : 1;
    const auto lon = ReadCoordinateNumber(DropLastCharacter(rest), decimalMark);
    if (!lon) {
        r.stop = Stop::LongitudeNumber;
        return r;
    }
    r.lat = *lat * latSign;
    r.lon = *lon * lonSign;
    return r;
}

DxReadout ComputeDxReadout(geo::Real a, geo::Real d, geo::Real unitFactor) {
    constexpr geo::Real R = geo::MapRadius;
    DxReadout r;
    const geo::Real degrees = a * 180.0L / geo::Pi;
    const geo::Real km = d * 60.0L * 180.0L * 1.852L / geo::Pi;
    r.bearing = geo::Round(degrees);
    r.distance = geo::Round(km / unitFactor);
    r.longPathBearing = geo::Round(degrees + 180.0L) % 360;
    r.longPathDistance = geo::Round(40000.0L / unitFactor - km / unitFactor);
    r.markerX = static_cast<int>(geo::Round(std::sin(a) * d * R / geo::Pi + R));
    r.markerY = static_cast<int>(geo::Round(R - std::cos(a) * d * R / geo::Pi));
    return r;
}

DxReadout ComputeDxReadout(geo::Real a, geo::Real d, geo::Real unitFactor,
                           const geo::MapFrame& frame, geo::Real lat, geo::Real lon) {
    DxReadout r = ComputeDxReadout(a, d, unitFactor);
    // The whole-world frame of the classic size keeps the classic pixels.
    if (frame.wholeWorld() && frame.size() == geo::MapSize) return r;
    const auto p = frame.Project(static_cast<double>(lat), static_cast<double>(lon));
    r.markerShown = p.has_value();
    if (p) {
        r.markerX = static_cast<int>(std::lround(static_cast<double>(p->p.x)));
        r.markerY = static_cast<int>(std::lround(static_cast<double>(p->p.y)));
    }
    return r;
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

int HamLookup(const std::vector<std::string>& rows, std::string_view call, char separator) {
    const std::u32string c = CodePoints(call);
    const int count = static_cast<int>(rows.size());
    int candidate = 0;
    for (std::size_t i = 1; i <= c.size(); ++i) {
        const std::u32string before = c.substr(0, i - 1);
        for (int r = candidate; r < count; ++r) {
            const auto keyText = RowKey(rows[static_cast<std::size_t>(r)], separator);
            if (!keyText) continue;
            const std::u32string key = CodePoints(*keyText);
            if (key.substr(0, i - 1) != before) break;
            if (key.size() < i) continue;
            const char32_t typed = c[i - 1];
            const char32_t k = key[i - 1];
            if (typed > k) {
                candidate = r;
            } else if (typed == k) {
                candidate = r;
                break;
            } else {
                break;
            }
        }
    }
    return candidate;
}

std::optional<int> CbLookup(const std::vector<std::string>& rows, std::string_view call,
                            char separator) {
    const auto n = geo::StrToInt(call);
    if (!n) return std::nullopt;
    int candidate = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto key = RowKey(rows[r], separator);
        if (!key) continue;
        const auto m = geo::StrToInt(*key);
        if (!m) return std::nullopt;
        if (*n < *m) break;
        candidate = static_cast<int>(r);
    }
    return candidate;
}

std::string WithSeparator(std::string_view tabRow, char separator) {
    std::string out(tabRow);
    if (separator == Tab) return out;
    for (char& c : out) {
        if (c == Tab) c = separator;
    }
    return out;
}

std::string DisplayedBuiltinRow(std::string_view row, char separator, char decimalMark) {
    return WithSeparator(dx::RewriteCoordinatesForDisplay(row, decimalMark), separator);
}

bool CharacterCodeLess(std::string_view a, std::string_view b, char separator) {
    auto code = [separator](char c) {
        return c == separator ? static_cast<unsigned char>(Tab) : static_cast<unsigned char>(c);
    };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = code(a[i]);
        const unsigned char y = code(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

} // namespace viewer
