#include "viewer/DxLookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace viewer;
using Stop = DxRowReading::Stop;

namespace {

// Rows in these tests are written with '|' standing for the tab.
std::string T(std::string s) {
    std::replace(s.begin(), s.end(), '|', '\t');
    return s;
}

// The readout of a place seen from the map centre 48.85 N, 2.35 E.
DxReadout FromParis(geo::Real lat, geo::Real lon, geo::Real unitFactor = 1) {
    geo::PositionState s;
    s.CentreLat = 48.85L;
    s.CentreLon = 2.35L;
    s.PointLat = lat;
    s.PointLon = lon;
    EXPECT_TRUE(geo::CalculAzimutDistance(s, [] {}));
    return ComputeDxReadout(s.PointAzimuth, s.PointDistance, unitFactor);
}

} // namespace

TEST(DxHint, ReplacesEverySeparatorByTwoBlanks) {
    EXPECT_EQ(DxHint(T("1A|Malta (Eu)|35.83N|14.58E|UTC+1*"), '\t'),
              "  1A  Malta (Eu)  35.83N  14.58E  UTC+1*");
    EXPECT_EQ(DxHint("FO/A/Austral Is(Oc)/23S/150W/UTC-10", '/'),
              "  FO  A  Austral Is(Oc)  23S  150W  UTC-10");
    EXPECT_EQ(DxHint("", '\t'), "  ");
}

TEST(ReadDxRow, ReadsAHamRowWithItsTimeText) {
    const auto r = ReadDxRow(T("JA-JS|Japan (As)|40N|135E|UTC+9"), '\t', '.');
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.key, "JA-JS");
    EXPECT_EQ(r.time, "UTC+9");
    EXPECT_DOUBLE_EQ(static_cast<double>(r.lat), 40.0);
    EXPECT_DOUBLE_EQ(static_cast<double>(r.lon), 135.0);
}

TEST(ReadDxRow, LettersGiveTheSignsAndSouthOrWestDecides) {
    auto r = ReadDxRow("VK9L=Lord Howe (Oc)=31.5S=159.08E=UTC+10h30*", '=', '.');
    ASSERT_TRUE(r.ok());
    EXPECT_DOUBLE_EQ(static_cast<double>(r.lat), -31.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(r.lon), 159.08);
    r = ReadDxRow(T("X|c|10N|20W"), '\t', '.');
    ASSERT_TRUE(r.ok());
    EXPECT_DOUBLE_EQ(static_cast<double>(r.lon), -20.0);
    // Only the last character is dropped: a field with both letters is no number.
    EXPECT_EQ(ReadDxRow(T("X|c|1NS|2E"), '\t', '.').stop, Stop::LatitudeNumber);
    // "2EW": W decides the sign and "2E" reads as 2 (an exponent without digits).
    r = ReadDxRow(T("X|c|1N|2EW"), '\t', '.');
    ASSERT_TRUE(r.ok());
    EXPECT_DOUBLE_EQ(static_cast<double>(r.lon), -2.0);
}

TEST(ReadDxRow, AcceptsEitherMarkButNotBoth) {
    for (char mark : {'.', ','}) {
        auto point = ReadDxRow(T("1A|Malta (Eu)|35.83N|14,58E|UTC+1*"), '\t', mark);
        ASSERT_TRUE(point.ok()) << mark;
        EXPECT_NEAR(static_cast<double>(point.lat), 35.83, 1e-12);
        EXPECT_NEAR(static_cast<double>(point.lon), 14.58, 1e-12);
        auto both = ReadDxRow(T("1A|Malta (Eu)|35,8.3N|14,58E|UTC+1*"), '\t', mark);
        EXPECT_EQ(both.stop, Stop::LatitudeNumber);
        EXPECT_EQ(both.key, "1A");
    }
    EXPECT_EQ(ReadDxRow(T("X|c|40N|1,2.0E"), '\t', '.').stop, Stop::LongitudeNumber);
    EXPECT_EQ(ReadDxRow(T("X|c|4x0N|10E"), '\t', '.').stop, Stop::LatitudeNumber);
    EXPECT_EQ(ReadDxRow(T("X|c|N|10E"), '\t', '.').stop, Stop::LatitudeNumber);
}

TEST(ReadDxRow, ElevenMetreRowKeepsNoTimeText) {
    const auto r = ReadDxRow(T("25|Japan (As)|36N|138E"), '\t', '.');
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.key, "25");
    EXPECT_FALSE(r.time.has_value());
}

TEST(ReadDxRow, StopsAtTheFirstMissingPieceKeepingWhatWasRead) {
    EXPECT_EQ(ReadDxRow("no separator", '\t', '.').stop, Stop::NoKeySeparator);
    EXPECT_FALSE(ReadDxRow("no separator", '\t', '.').key.has_value());
    const auto deleted = ReadDxRow(T("292|Abu Ail Island (As) deleted"), '\t', '.');
    EXPECT_EQ(deleted.stop, Stop::NoCountrySeparator);
    EXPECT_EQ(deleted.key, "292");
    EXPECT_EQ(ReadDxRow(T("292|Abu Ail Island (As) deleted||"), '\t', '.').stop,
              Stop::NoLatitudeLetter);
    EXPECT_EQ(ReadDxRow(T("X|c|40N"), '\t', '.').stop, Stop::NoLatitudeSeparator);
    // The time text is taken before the longitude fails.
    const auto noLetter = ReadDxRow(T("X|c|40N|135|UTC+9"), '\t', '.');
    EXPECT_EQ(noLetter.stop, Stop::NoLongitudeLetter);
    EXPECT_EQ(noLetter.time, "UTC+9");
    // A slash separator splits the keys that hold a slash, which then fail.
    EXPECT_FALSE(ReadDxRow("FO/A/Austral Is(Oc)/23S/150W/UTC-10", '/', '.').ok());
    // ... while a time text with its own slash is kept whole.
    const auto canada = ReadDxRow("CY-CZ/Canada (NAm)/51N/85W/UTC-4/-8*", '/', '.');
    ASSERT_TRUE(canada.ok());
    EXPECT_EQ(canada.time, "UTC-4/-8*");
}

TEST(ReadDxRow, TimeTextIsCutTo100Characters) {
    const std::string longTime(150, 'x');
    const auto r = ReadDxRow(T("X|c|1N|2E|") + longTime, '\t', '.');
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.time, std::string(100, 'x'));
}

TEST(ReadCoordinateNumber, FollowsTheSystemNumberForm) {
    EXPECT_EQ(ReadCoordinateNumber(" 12 ", '.'), 12.0L);
    EXPECT_EQ(ReadCoordinateNumber("1e1", '.'), 10.0L);
    EXPECT_EQ(ReadCoordinateNumber("-,5", ','), -0.5L);
    EXPECT_FALSE(ReadCoordinateNumber("", '.').has_value());
    EXPECT_FALSE(ReadCoordinateNumber("1,2,3", ',').has_value());
    EXPECT_FALSE(ReadCoordinateNumber("1 2", '.').has_value());
}

TEST(ComputeDxReadout, JapanSeenFromParis) {
    const auto r = FromParis(40, 135);
    EXPECT_EQ(r.bearing, 35);
    EXPECT_EQ(r.distance, 9091);
    EXPECT_EQ(r.longPathBearing, 215);
    EXPECT_EQ(r.longPathDistance, 30909);
    EXPECT_EQ(r.markerX, 378);
    EXPECT_EQ(r.markerY, 188);
    const auto miles = FromParis(40, 135, 1.609344L);
    EXPECT_EQ(miles.distance, 5649);
    EXPECT_EQ(miles.longPathDistance, 19206);
}

TEST(ComputeDxReadout, TheCentreItselfAndTheAntipodeDirection) {
    const auto r = ComputeDxReadout(0, 0, 1);
    EXPECT_EQ(r.bearing, 0);
    EXPECT_EQ(r.distance, 0);
    EXPECT_EQ(r.longPathBearing, 180);
    EXPECT_EQ(r.longPathDistance, 40000);
    EXPECT_EQ(r.markerX, 300);
    EXPECT_EQ(r.markerY, 300);
    // Half a great circle: 20001.6 km by the nautical-mile rule, on the rim.
    const auto rim = ComputeDxReadout(geo::Pi / 2, geo::Pi, 1);
    EXPECT_EQ(rim.distance, 20002);
    EXPECT_EQ(rim.markerX, 600);
    EXPECT_EQ(rim.markerY, 300);
    // A full turn is the same place as no turn.
    const auto turn = ComputeDxReadout(2 * geo::Pi, geo::Pi / 2, 1);
    EXPECT_EQ(turn.markerX, 300);
    EXPECT_EQ(turn.markerY, 150);
    EXPECT_EQ(turn.bearing, 360);
    EXPECT_EQ(turn.longPathBearing, 180);
}

TEST(HamLookup, ComparesKeysAsPlainTextByCharacterCode) {
    std::vector<std::string> rows = {
        T("F|France (Eu)|46N|2E|UTC+1*"),           T("FG|Guadeloupe (NAm)|16N|61W|UTC-4"),
        T("K|U.S.A. (NAm)|38N|97W|UTC-5"),          T("ZL7|Chatham (Oc)|43,92S|176,5W|UTC+12h45"),
        T("ZR-ZS|South Africa|30S|26E|x"),          T("ZS2M|Marion Is (Af)|46,87S|37,85E|UTC+3"),
        T("ZS7|Antarctica (Af)|70S|0E|x"),          T("ZS8|Marion (Af)|47S|38E|x"),
        T("ZT-ZU|South Africa (Af)|30S|26E|UTC+2"),
    };
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return CharacterCodeLess(a, b, '\t'); });
    auto keyOf = [&](int i) {
        return rows[static_cast<std::size_t>(i)].substr(
            0, rows[static_cast<std::size_t>(i)].find('\t'));
    };
    EXPECT_EQ(keyOf(HamLookup(rows, "ZS6AAA", '\t')), "ZS2M");
    EXPECT_EQ(keyOf(HamLookup(rows, "F4ABC", '\t')), "F");
    EXPECT_EQ(keyOf(HamLookup(rows, "FG", '\t')), "FG");
    EXPECT_EQ(keyOf(HamLookup(rows, "ZT", '\t')), "ZT-ZU");
    EXPECT_EQ(HamLookup(rows, "", '\t'), 0);
    EXPECT_EQ(HamLookup({}, "K", '\t'), 0);
    // Empty rows and rows without a separator are passed over.
    std::vector<std::string> gappy = {"", "junk", T("K|x|1N|1E")};
    EXPECT_EQ(HamLookup(gappy, "K", '\t'), 2);
}

TEST(CbLookup, FindsTheNumberOrTheNearestBelow) {
    std::vector<std::string> rows;
    for (int n = 1; n <= 351; ++n)
        rows.push_back(std::to_string(n) + "=x=1N=1E");
    EXPECT_EQ(CbLookup(rows, "25", '='), 24);
    EXPECT_EQ(CbLookup(rows, "500", '='), 350);
    EXPECT_EQ(CbLookup(rows, "0", '='), 0);
    EXPECT_FALSE(CbLookup(rows, "abc", '=').has_value());
    EXPECT_FALSE(CbLookup(rows, "2 5", '=').has_value());
    // A user row behind the built-in ones is found by its number too ...
    rows.push_back("400=mine=1N=1E");
    EXPECT_EQ(CbLookup(rows, "400", '='), 351);
    // ... and a key that is not a number beeps once the scan reaches it.
    rows.push_back("X1=mine=1N=1E");
    EXPECT_EQ(CbLookup(rows, "3", '='), 2);
    EXPECT_FALSE(CbLookup(rows, "450", '=').has_value());
}

TEST(DisplayedBuiltinRow, RewritesTheMarkAndPlacesTheSeparator) {
    const std::string malta = T("1A|Malta (Eu)|35,83N|14,58E|UTC+1*");
    EXPECT_EQ(DisplayedBuiltinRow(malta, '\t', '.'), T("1A|Malta (Eu)|35.83N|14.58E|UTC+1*"));
    EXPECT_EQ(DisplayedBuiltinRow(malta, '_', '.'), "1A_Malta (Eu)_35.83N_14.58E_UTC+1*");
    EXPECT_EQ(DisplayedBuiltinRow(malta, '=', ','), "1A=Malta (Eu)=35,83N=14,58E=UTC+1*");
    EXPECT_EQ(DisplayedBuiltinRow(T("337|Temotu Is (Oc)|10,75S|167,0E"), '/', '.'),
              "337/Temotu Is (Oc)/10.75S/167E");
    EXPECT_EQ(DisplayedBuiltinRow(T("Y|c|12,50S|1W|UTC-5/-8*"), '/', '.'),
              "Y/c/12.5S/1W/UTC-5/-8*");
}

TEST(CharacterCodeLess, OrdersByByteNotByCollation) {
    std::vector<std::string> keys = {T("CY9|a"), T("CY-CZ|a"), T("K2|a"), T("K|a"), "a", "B"};
    std::sort(keys.begin(), keys.end(),
              [](const auto& a, const auto& b) { return CharacterCodeLess(a, b, '\t'); });
    EXPECT_EQ(keys,
              (std::vector<std::string>{"B", T("CY-CZ|a"), T("CY9|a"), T("K|a"), T("K2|a"), "a"}));
    // Every separator ranks as the tab: a key stands before the longer keys
    // it begins, whatever the separator's own code ("_" is above the digits
    // and the capitals, "=" above the digits).
    for (char sep : {'\t', '_', '/', '='}) {
        const std::string k = std::string("K") + sep + "a";
        const std::string k2 = std::string("K2") + sep + "a";
        const std::string f = std::string("F") + sep + "a";
        const std::string fg = std::string("FG") + sep + "a";
        EXPECT_TRUE(CharacterCodeLess(k, k2, sep)) << sep;
        EXPECT_FALSE(CharacterCodeLess(k2, k, sep)) << sep;
        EXPECT_TRUE(CharacterCodeLess(f, fg, sep)) << sep;
    }
    // A character that is not the separator keeps its own code.
    EXPECT_TRUE(CharacterCodeLess("K2_a", "K_a", '='));
    EXPECT_FALSE(CharacterCodeLess("K2_a", "K2_a", '_'));
    EXPECT_TRUE(CharacterCodeLess("K2", "K2_a", '_'));
    // Non-ASCII characters sort by code point, after ASCII.
    EXPECT_TRUE(CharacterCodeLess("Z", "\xC3\x87", '\t'));
}

TEST(UpperAscii, TouchesOnlyTheAsciiLetters) {
    EXPECT_EQ(UpperAscii("f4abc"), "F4ABC");
    EXPECT_EQ(UpperAscii("\xC3\xA9z"), "\xC3\xA9Z");
}
