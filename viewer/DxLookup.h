// The rules of the viewer's DX list that need no window: reading a displayed
// row for its selection, the readouts and the marker place of a selected
// entity, the call-sign lookup of both lists, and the rows of the displayed
// list with their separator and order.
//
// Plain C++ on UTF-8 texts. The separator of the displayed list is one ASCII
// character (tab, "_", "/" or "="); the system decimal mark is passed in.
#pragma once

#include "geo/MapFrame.h"
#include "geo/Position.h"
#include "geo/Projection.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace viewer {

// The list's hint for a row: two blanks, then the row with every separator
// replaced by two blanks.
std::string DxHint(std::string_view row, char separator);

// What the selection of a displayed row reads, step by step. A row that
// breaks off (`stop` other than None) keeps what was read before that step:
// the key once the first separator was found, the time text once the
// longitude field was cut from it.
struct DxRowReading {
    enum class Stop {
        None,
        NoKeySeparator,      // no separator at all
        NoCountrySeparator,  // no separator behind the country
        NoLatitudeSeparator, // no separator behind the latitude
        NoLatitudeLetter,    // latitude without N or S
        LatitudeNumber,      // both marks, or a latitude that does not convert
        NoLongitudeLetter,   // longitude without E or W
        LongitudeNumber,
    };
    Stop stop = Stop::None;
    std::optional<std::string> key;  // field 1
    std::optional<std::string> time; // field 5, at most 100 characters, when the row has one
    geo::Real lat = 0;               // signed degrees, valid when stop is None
    geo::Real lon = 0;
    bool ok() const { return stop == Stop::None; }
};
DxRowReading ReadDxRow(std::string_view row, char separator, char decimalMark);

// One coordinate field without its letter: a "," or "." becomes the system
// decimal mark (both in one field: nullopt), then the text must read as a
// number with that mark (spaces around it and an exponent allowed).
std::optional<geo::Real> ReadCoordinateNumber(std::string_view field, char decimalMark);

// The readouts of a selected entity from the great-circle results
// a = PointAzimuth and d = PointDistance (radians): bearings in whole
// degrees, distances in whole display units (kilometres k = d * 60 * 180 *
// 1.852 / pi, one minute of arc being one nautical mile), and the map pixel
// the marker is centred on.
struct DxReadout {
    long long bearing = 0;          // Round(a * 180 / pi): the published bearing
    long long distance = 0;         // Round(k / unitFactor)
    long long longPathBearing = 0;  // Round(a * 180 / pi + 180) mod 360
    long long longPathDistance = 0; // Round(40000 / unitFactor - k / unitFactor)
    int markerX = 0;                // Round(sin(a) * d * R / pi + R)
    int markerY = 0;                // Round(R - cos(a) * d * R / pi)
    bool markerShown = true;        // false beyond a regional frame's rim
};
DxReadout ComputeDxReadout(geo::Real azimuth, geo::Real distance, geo::Real unitFactor);
// The same with the marker placed on `frame` at (lat, lon): on a regional
// frame a position beyond the rim has no marker (markerShown false).
DxReadout ComputeDxReadout(geo::Real azimuth, geo::Real distance, geo::Real unitFactor,
                           const geo::MapFrame& frame, geo::Real lat, geo::Real lon);

// The call-sign field upper-cased (ASCII letters only).
std::string UpperAscii(std::string_view text);

// Ham lookup: the index of the candidate row for the (upper-cased) call,
// comparing the call with the keys character by character by character
// code. 0 when no row matches (also for an empty list).
int HamLookup(const std::vector<std::string>& rows, std::string_view call, char separator);

// 11-metre lookup: the last row whose number is not above the typed number
// (the first row when the number is below all of them). nullopt (a beep)
// when the call or a key read before the end of the scan is not a whole
// number.
std::optional<int> CbLookup(const std::vector<std::string>& rows, std::string_view call,
                            char separator);

// A tab-joined row with its tabs replaced by the list's separator.
std::string WithSeparator(std::string_view tabRow, char separator);

// A built-in row as the displayed list shows it: coordinates rewritten with
// the system decimal mark, fields joined by the separator.
std::string DisplayedBuiltinRow(std::string_view row, char separator, char decimalMark);

// The order of the displayed ham list: by character codes (UTF-8 bytes,
// which is code-point order), the list's separator counting as a tab (code
// 9, below every other character of a row). So the order is the same with
// every separator, and a key always stands before the keys it begins (F
// before FG, K before K2), which is what the call-sign lookup relies on.
bool CharacterCodeLess(std::string_view a, std::string_view b, char separator);

} // namespace viewer
