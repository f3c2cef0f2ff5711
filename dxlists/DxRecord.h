// DX entries: the display row and the stored row of the ham ("My DX") and
// 11-metre ("My 11m DX") lists, the decimal-mark normalisation of coordinate
// magnitudes, the coordinate rewrite of the displayed list and the arithmetic
// of the degrees-minutes-seconds converter.
//
// Plain C++, no toolkit. Texts are UTF-8; "characters" are code points;
// upper-casing touches the ASCII letters a to z only. The system decimal mark
// is always passed in (',' or '.'), so both kinds of system can be checked on
// one machine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dx {

enum class ListKind { Ham, CB };

// The field texts of an accepted stored row: key and letters upper-cased,
// magnitudes normalised, country and time text as typed. `time` is always
// empty for an 11-metre row.
struct StoredFields {
    std::string key, country, lat, latLetter, lon, lonLetter, time;
    bool operator==(const StoredFields&) const = default;
};

// The longest time text a row keeps, in characters (code points).
inline constexpr std::size_t MaxTimeTextLength = 100;

// True when `text` reads as a number with `decimalMark` as its decimal mark:
// optional leading spaces, an optional sign, a run of digits holding at most
// one decimal mark (the run is not empty: digits, or the mark alone, "," or
// "-,"), an optional exponent (E or e, an optional sign, any number of digits,
// none included: "1E" reads) and optional trailing spaces, nothing else.
bool ReadsAsNumber(std::string_view text, char decimalMark);

// The decimal-mark normalisation of one magnitude: the text unchanged when it
// already reads as a number, otherwise its single "," or "." turned into the
// system mark when the result reads; nullopt when rejected.
std::optional<std::string> NormaliseDecimal(std::string_view text, char decimalMark);

// The stored-row acceptance rules, field by field from the left. nullopt when
// any rule fails.
std::optional<StoredFields> AcceptStoredRow(std::string_view line, ListKind kind, char decimalMark);

// Key TAB country TAB latitude+letter TAB longitude+letter, then TAB and the
// time text when it is not empty.
std::string DisplayRow(const StoredFields& fields);

// The settings value behind "DX=" (ham) or "DXCB=" (11 m) for one grid row:
// the first six cells joined by TAB, and for the ham list TAB and the seventh
// cell when that is not empty. Missing cells count as empty.
std::string StoredRowValue(const std::vector<std::string>& cells, ListKind kind);

// The first `maxChars` code points of a UTF-8 text (never cutting inside one).
std::string_view CutToCharacters(std::string_view text, std::size_t maxChars);

// The displayed-list rewrite of a built-in row's coordinates for a system
// whose decimal mark is not a comma: each magnitude is read with a comma as
// decimal mark and written back in its shortest general form (at most 15
// significant digits) with `decimalMark`. Rows with fewer than three tabs, an
// empty row and every row on a comma system come back unchanged. A magnitude
// that does not read as a number is left as it stood.
std::string RewriteCoordinatesForDisplay(std::string_view row, char decimalMark);

// --- Degrees-minutes-seconds converter ---

// A field of the converter read as a whole number: empty counts as 0;
// otherwise optional leading spaces, an optional sign and one or more decimal
// digits, nothing else (nullopt, also when the value does not fit).
std::optional<long long> ReadWholeNumber(std::string_view text);

// deg + min / 60 + (sec + ms / 1000) / 3600, in extended precision.
long double DmsToDecimal(long long deg, long long min, long long sec, long long ms);

// Fixed-point text with exactly six decimals, the value first rounded to ten
// significant digits (halves away from zero), with the given decimal mark:
// 45.504306, 45,504306, 0.000000 (never "-0.000000").
std::string FormatFixed6(long double value, char decimalMark);

} // namespace dx
