// The lines a DX cluster node sends, read one at a time. Plain C++, no Qt.
//
// Spot lines come in the usual layout
//
//   DX de G4XYZ:     14025.0  K1ABC        cq test                        1302Z
//
// and in the shifted columns of other node software; the reader does not
// count columns: the spotter is what lies between "DX de " and the first
// ':', then come the frequency in kHz and the DX call, the last HHMMZ word
// is the time, what lies between call and time is the comment, and a
// locator right after the time is the spotter's. SH/DX listings come without
// "DX de":
//
//   14222.0  9L5M        04-Dec-2026 1655Z  TNX   <EB1DJ>
//
// Control characters (the BEL bytes of a node's beep, CR, NUL) are dropped
// and tabs read as blanks before anything else.
#pragma once

#include <string>
#include <string_view>

namespace live {

enum class ClusterLineKind {
    Empty,        // nothing but blanks and control characters
    Spot,         // a spot (pushed "DX de" or an SH/DX listing row)
    LoginPrompt,  // "login:" or "Please enter your call"
    Prompt,       // "N0CALL de NODE 8-Dec-2026 1302Z dxspider >"
    Wwv,          // "WWV de ..." propagation figures
    Wcy,          // "WCY de ..." propagation figures
    Announcement, // "To ALL de ...", "To LOCAL de ..."
    Talk,         // "To N0CALL de G4XYZ: ...", "G4XYZ de K1ABC: ..."
    Other,        // banner, hints, anything else
};

struct ClusterSpot {
    std::string spotter;        // "W3OA-#", upper case
    std::string call;           // the DX call, upper case
    double kHz = 0;             // the spot's frequency
    std::string comment;        // blanks trimmed, inner runs kept
    int minuteOfDay = -1;       // from HHMMZ, -1 when the line has none
    std::string spotterLocator; // the four-character locator after the time, if any
    std::string locator;        // the DX's locator found in the comment, if any
    bool listing = false;       // from an SH/DX listing
};

struct ClusterLine {
    ClusterLineKind kind = ClusterLineKind::Empty;
    ClusterSpot spot; // for Spot only
};

// Longest line the reader looks at (bytes); the rest of a longer line is
// ignored. Node lines are 80 characters or less.
inline constexpr std::size_t MaxClusterLine = 512;

// The line without control characters, tabs as blanks, cut to MaxClusterLine.
std::string CleanClusterLine(std::string_view raw);

// Reads one line (with or without its CR LF).
ClusterLine ReadClusterLine(std::string_view raw);

// Whether text received without a line end yet is the node's login prompt
// ("login: ", "Please enter your call: ").
bool IsLoginPrompt(std::string_view text);

} // namespace live
