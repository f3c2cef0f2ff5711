// Maidenhead locators as they appear in spots: in a cluster comment
// ("JN18>FN42"), as the last word of an FT8 message ("CQ K1ABC FN42"), in a
// WSPR decode. Plain C++, no Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace live {

struct LocatorPoint {
    double lat = 0;
    double lon = 0;
};

// Whether `text` is a four- or six-character locator: two field letters A-R,
// two digits, optionally two sub-square letters A-X (either case). "RR73" is
// the FT8 sign-off, never a locator.
bool IsLocator(std::string_view text);

// The centre of the locator's square or sub-square; nothing for a text that
// is not a locator.
std::optional<LocatorPoint> LocatorCentre(std::string_view text);

// The locator a cluster comment gives for the heard station: the last
// locator word of the comment (words are split at blanks and at '<', '>',
// ',', ';', '(', ')'), so that "JN18>FN42" and "IO91<ES>JN45" give the far
// end; empty when there is none. Upper-cased field letters.
std::string LocatorInComment(std::string_view comment);

// What an FT8/FT4 message says about its sender.
struct FtMessage {
    std::string call;    // the sending station, empty when the text names none
    std::string locator; // its locator when the message ends with one
};

// "CQ K1ABC FN42" -> K1ABC at FN42; "CQ DX JA1XYZ PM95" -> JA1XYZ at PM95;
// "K1ABC G4XYZ IO91" -> G4XYZ (the second word sends) at IO91;
// "K1ABC G4XYZ -12", "... RR73", "... 73" -> no locator. Hashed calls
// "<K1ABC>" lose their brackets.
FtMessage ReadFtMessage(std::string_view text);

// Whether a word looks like a call sign: 3 to 16 characters A-Z, 0-9 and
// '/', at least one letter and one digit (upper case expected).
bool LooksLikeCall(std::string_view word);

} // namespace live
