// A live station: one spot heard from a DX cluster or decoded by an FT8
// program, as the store keeps it. Plain C++, no Qt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace live {

// Where a spot came from.
enum class SpotSource {
    Cluster, // a DX cluster spot line (pushed or listed by SH/DX)
    Ft8,     // a decode of an FT8/FT4 program (Decode, QSO logged)
    Wspr,    // a WSPR decode of the same program
};

// "cluster", "ft8", "wspr": the word the command-line tool prints.
std::string_view SourceWord(SpotSource s);

// How a spot's position was found (see Placement.h).
enum class PositionSource {
    None,         // nowhere to put it
    Locator,      // the source's locator (a decode's grid, a locator in the comment)
    CountryExact, // the country file's whole-call entry
    CountryFile,  // the country file's prefix (portable forms included)
    BuiltinList,  // the built-in ham list's row
};

// Longest texts a spot keeps (bytes); longer ones are cut.
inline constexpr std::size_t MaxCallLength = 16;
inline constexpr std::size_t MaxCommentLength = 64;
inline constexpr std::size_t MaxModeLength = 8;

struct Spot {
    SpotSource source = SpotSource::Cluster;
    std::string spotter;  // cluster: the spotting call ("W3OA-#"); FT8: the program's id
    std::string call;     // the station heard
    double kHz = 0;       // 0 when unknown (a decode before any status)
    std::string band;     // "20m", empty when the frequency is on no band
    std::string mode;     // FT8: the program's mode ("FT8", "FT4"); cluster: empty
    std::string comment;  // cluster: the comment; FT8: the message text
    std::string locator;  // the heard station's locator when the source gives one
    int minuteOfDay = -1; // the source's UTC time of day (0..1439), -1 when none
    int snr = 0;          // FT8/WSPR: the report in dB
    bool hasSnr = false;
    // When the program received it (ms since the epoch, UTC); the store's clock.
    std::int64_t receivedMs = 0;

    // Where it is placed (filled by Place(), see Placement.h).
    PositionSource positionSource = PositionSource::None;
    std::string entity; // the country file's or built-in list's entity name
    double lat = 0, lon = 0;
    double bearing = 0, longBearing = 0; // degrees from the map centre, 0..360
    double km = 0, longKm = 0;           // short and long path, kilometres
};

// The key of the store: one entry per call and band.
std::string SpotKey(const Spot& s);

// Cuts a text to `max` bytes, never inside a UTF-8 sequence.
std::string CutText(std::string_view text, std::size_t max);

} // namespace live

namespace live {

// The command-line tool's line for a spot, tab separated, without a line
// end: UTC time of receipt (ISO 8601), source, spotter, frequency in kHz,
// band, call, entity, latitude, longitude, bearing, distance in km (short
// path), comment. Unknown values are empty fields (a frequency of 0, no
// position; bearing and distance also when `measured` is false). Tabs and
// control characters inside a field become blanks.
std::string SpotTsv(const Spot& s, bool measured);

} // namespace live
