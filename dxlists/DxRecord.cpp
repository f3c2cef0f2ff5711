#include "dxlists/DxRecord.h"

#include "geo/Position.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace dx {

namespace {

constexpr char Tab = '\t';

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// Reads a magnitude written with `mark` as its decimal mark into a double.
// Only texts that read as a number are converted; the conversion does not
// depend on the process locale. A lone mark counts as 0 and an exponent
// without digits as no exponent.
std::optional<double> ReadMagnitude(std::string_view text, char mark) {
    if (!ReadsAsNumber(text, mark)) return std::nullopt;
    std::string intPart, fracPart, expPart;
    bool negative = false;
    bool expNegative = false;
    int stage = 0; // 0 integer digits, 1 fraction digits, 2 exponent digits
    for (char c : text) {
        if (c == ' ') continue;
        if (c == '+' || c == '-') {
            (stage == 2 ? expNegative : negative) = (c == '-');
        } else if (c == mark && stage == 0) {
            stage = 1;
        } else if (c == 'e' || c == 'E') {
            stage = 2;
        } else {
            (stage == 0 ? intPart : stage == 1 ? fracPart : expPart) += c;
        }
    }
    std::string canonical = negative ? "-" : "";
    canonical += intPart.empty() ? "0" : intPart;
    if (!fracPart.empty()) canonical += "." + fracPart;
    if (!expPart.empty()) canonical += std::string(expNegative ? "e-" : "e") + expPart;
    double value = 0;
    const char* last = canonical.data() + canonical.size();
    auto [ptr, ec] = std::from_chars(canonical.data(), last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Shortest general form with at most 15 significant digits, no trailing zeros.
std::string FormatGeneral15(double value, char mark) {
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (ec != std::errc()) return {};
    std::string out(buf, ptr);
    for (char& c : out) {
        if (c == '.') c = mark;
    }
    return out;
}

// One coordinate field of a built-in row: remove `letter`, rewrite the
// magnitude, append the letter again.
std::string RewriteCoordinate(std::string_view field, char letter, char mark) {
    std::string magnitude(field);
    if (auto pos = magnitude.find(letter); pos != std::string::npos) magnitude.erase(pos, 1);
    auto value = ReadMagnitude(magnitude, ',');
    if (!value) return std::string(field);
    return FormatGeneral15(*value, mark) + letter;
}

} // namespace

bool ReadsAsNumber(std::string_view text, char decimalMark) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ')
        ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool runPresent = false;
    bool markSeen = false;
    while (i < n) {
        if (IsDigit(text[i])) {
            runPresent = true;
        } else if (text[i] == decimalMark && !markSeen) {
            markSeen = true;
            runPresent = true;
        } else {
            break;
        }
        ++i;
    }
    if (!runPresent) return false;
    if (i < n && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        while (i < n && IsDigit(text[i]))
            ++i;
    }
    while (i < n && text[i] == ' ')
        ++i;
    return i == n;
}

std::optional<std::string> NormaliseDecimal(std::string_view text, char decimalMark) {
    if (ReadsAsNumber(text, decimalMark)) return std::string(text);
    const auto comma = text.find(',');
    const auto point = text.find('.');
    if (comma == std::string_view::npos && point == std::string_view::npos) return std::nullopt;
    if (comma != std::string_view::npos && point != std::string_view::npos) return std::nullopt;
    std::string changed(text);
    if (comma != std::string_view::npos) {
        if (decimalMark == ',') return std::nullopt;
        changed[comma] = decimalMark;
    } else {
        if (decimalMark == '.') return std::nullopt;
        changed[point] = decimalMark;
    }
    if (!ReadsAsNumber(changed, decimalMark)) return std::nullopt;
    return changed;
}

std::optional<StoredFields> AcceptStoredRow(std::string_view line, ListKind kind,
                                            char decimalMark) {
    StoredFields f;
    std::string_view rest = line;

    // Takes the field before the next tab when that tab stands at the second
    // position of `rest` or later; `rest` then starts behind the tab.
    auto takeField = [&rest](std::string_view& out) {
        if (rest.empty()) return false;
        const auto tab = rest.find(Tab);
        if (tab == std::string_view::npos || tab == 0) return false;
        out = rest.substr(0, tab);
        rest.remove_prefix(tab + 1);
        return true;
    };

    std::string_view key, country, lat, latLetter, lon;
    // 1. key
    if (!takeField(key)) return std::nullopt;
    f.key = UpperAscii(key);
    // 2. country
    if (!takeField(country)) return std::nullopt;
    f.country = std::string(country);
    // 3. latitude magnitude
    if (!takeField(lat)) return std::nullopt;
    auto latNorm = NormaliseDecimal(lat, decimalMark);
    if (!latNorm) return std::nullopt;
    f.lat = std::move(*latNorm);
    // 4. latitude letter: exactly one character before the next tab
    if (rest.size() < 2 || rest[1] != Tab) return std::nullopt;
    latLetter = rest.substr(0, 1);
    rest.remove_prefix(2);
    f.latLetter = UpperAscii(latLetter);
    if (f.latLetter != "N" && f.latLetter != "S") return std::nullopt;
    // 5. longitude magnitude
    if (!takeField(lon)) return std::nullopt;
    auto lonNorm = NormaliseDecimal(lon, decimalMark);
    if (!lonNorm) return std::nullopt;
    f.lon = std::move(*lonNorm);
    // 6. longitude letter (and, for a ham row, the time text)
    if (rest.empty()) return std::nullopt;
    std::string_view lonLetter = rest;
    if (kind == ListKind::Ham) {
        if (const auto tab = rest.find(Tab); tab != std::string_view::npos) {
            lonLetter = rest.substr(0, tab);
            f.time = std::string(CutToCharacters(rest.substr(tab + 1), MaxTimeTextLength));
        }
    }
    f.lonLetter = UpperAscii(lonLetter);
    if (f.lonLetter != "E" && f.lonLetter != "W") return std::nullopt;
    return f;
}

std::string DisplayRow(const StoredFields& f) {
    std::string row;
    row.reserve(f.key.size() + f.country.size() + f.lat.size() + f.lon.size() + f.time.size() + 8);
    row += f.key;
    row += Tab;
    row += f.country;
    row += Tab;
    row += f.lat;
    row += f.latLetter;
    row += Tab;
    row += f.lon;
    row += f.lonLetter;
    if (!f.time.empty()) {
        row += Tab;
        row += f.time;
    }
    return row;
}

std::string StoredRowValue(const std::vector<std::string>& cells, ListKind kind) {
    auto cell = [&cells](std::size_t i) -> std::string_view {
        return i < cells.size() ? std::string_view(cells[i]) : std::string_view();
    };
    std::string value;
    for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0) value += Tab;
        value += cell(i);
    }
    if (kind == ListKind::Ham && !cell(6).empty()) {
        value += Tab;
        value += cell(6);
    }
    return value;
}

std::string_view CutToCharacters(std::string_view text, std::size_t maxChars) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A code point starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == maxChars) return text.substr(0, i);
            ++count;
        }
    }
    return text;
}

std::string RewriteCoordinatesForDisplay(std::string_view row, char decimalMark) {
    if (decimalMark == ',' || row.empty()) return std::string(row);
    const auto t1 = row.find(Tab);
    if (t1 == std::string_view::npos) return std::string(row);
    const auto t2 = row.find(Tab, t1 + 1);
    if (t2 == std::string_view::npos) return std::string(row);
    const auto t3 = row.find(Tab, t2 + 1);
    if (t3 == std::string_view::npos) return std::string(row);

    const std::string_view key = row.substr(0, t1);
    const std::string_view country = row.substr(t1 + 1, t2 - t1 - 1);
    const std::string_view latField = row.substr(t2 + 1, t3 - t2 - 1);
    const std::string_view rest = row.substr(t3 + 1);

    std::string_view lonField = rest;
    std::string_view time;
    if (const auto t4 = rest.find(Tab); t4 != std::string_view::npos) {
        lonField = rest.substr(0, t4);
        time = CutToCharacters(rest.substr(t4 + 1), MaxTimeTextLength);
    }

    const char latLetter = latField.find('N') != std::string_view::npos ? 'N' : 'S';
    const char lonLetter = lonField.find('E') != std::string_view::npos ? 'E' : 'W';

    std::string out;
    out.reserve(row.size() + 4);
    out += key;
    out += Tab;
    out += country;
    out += Tab;
    out += RewriteCoordinate(latField, latLetter, decimalMark);
    out += Tab;
    out += RewriteCoordinate(lonField, lonLetter, decimalMark);
    if (!time.empty()) {
        out += Tab;
        out += time;
    }
    return out;
}

std::optional<long long> ReadWholeNumber(std::string_view text) {
    // An empty field counts as 0; otherwise the integer rule of the settings.
    if (text.empty()) return 0;
    return geo::StrToInt(text);
}

long double DmsToDecimal(long long deg, long long min, long long sec, long long ms) {
    const long double d = static_cast<long double>(deg);
    const long double m = static_cast<long double>(min);
    const long double s = static_cast<long double>(sec);
    const long double f = static_cast<long double>(ms);
    return d + m / 60.0L + (s + f / 1000.0L) / 3600.0L;
}

std::string FormatFixed6(long double value, char decimalMark) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    const bool negative = std::signbit(value);
    const long double magnitude = std::fabs(value);

    // Ten significant digits: d.ddddddddde[+-]x
    char buf[64];
    auto [ptr, ec] =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 9);
    if (ec != std::errc() || ptr == buf) return std::string("0") + decimalMark + "000000";
    const std::string_view sci(buf, static_cast<std::size_t>(ptr - buf));
    std::string digits;
    std::size_t i = 0;
    for (; i < sci.size() && sci[i] != 'e'; ++i) {
        if (IsDigit(sci[i])) digits += sci[i];
    }
    int exponent = 0;
    if (i + 1 < sci.size()) {
        const char* e = sci.data() + i + 1;
        if (*e == '+') ++e;
        std::from_chars(e, sci.data() + sci.size(), exponent);
    }

    // The value is digits x 10^(exponent - 9); scaled by 10^6 it is
    // digits x 10^(exponent - 3), rounded to a whole number, halves away from zero.
    std::string scaled;
    const int shift = exponent - 3;
    const int n = static_cast<int>(digits.size());
    if (shift >= 0) {
        scaled = digits + std::string(static_cast<std::size_t>(shift), '0');
    } else if (-shift > n) {
        scaled.assign(1, '0');
    } else {
        const int keep = n + shift;
        scaled = digits.substr(0, static_cast<std::size_t>(keep));
        if (scaled.empty()) scaled.assign(1, '0');
        if (digits[static_cast<std::size_t>(keep)] >= '5') {
            int j = static_cast<int>(scaled.size()) - 1;
            while (j >= 0 && scaled[static_cast<std::size_t>(j)] == '9') {
                scaled[static_cast<std::size_t>(j)] = '0';
                --j;
            }
            if (j < 0)
                scaled.insert(scaled.begin(), '1');
            else
                ++scaled[static_cast<std::size_t>(j)];
        }
    }
    while (scaled.size() > 1 && scaled.front() == '0')
        scaled.erase(scaled.begin());
    const bool zero = scaled == "0";
    if (scaled.size() < 7) scaled.insert(0, 7 - scaled.size(), '0');
    std::string out;
    if (negative && !zero) out += '-';
    out.append(scaled, 0, scaled.size() - 6);
    out += decimalMark;
    out.append(scaled, scaled.size() - 6, 6);
    return out;
}

} // namespace dx
