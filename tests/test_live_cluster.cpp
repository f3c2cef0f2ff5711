// The cluster line reader over lines in the formats nodes send.
#include "live/ClusterLine.h"
#include "live/Locator.h"

#include <gtest/gtest.h>

#include <string>

using live::ClusterLineKind;

namespace {

struct SpotCase {
    const char* line;
    const char* spotter;
    double kHz;
    const char* call;
    const char* comment;
    int minute;
    const char* spotterLocator;
    const char* locator;
};

const SpotCase SpotCases[] = {
    // The most common node software, with its two BEL bytes and CR LF.
    {"DX de G4XYZ:     14025.0  K1ABC        cq test                        1302Z\a\a\r\n", "G4XYZ",
     14025.0, "K1ABC", "cq test", 13 * 60 + 2, "", ""},
    // The column layout of a skimmer network node.
    {"DX de W3OA-#:    14029.0  VU2TMP       CW  8 dB 27 WPM CQ             1658Z", "W3OA-#",
     14029.0, "VU2TMP", "CW  8 dB 27 WPM CQ", 16 * 60 + 58, "", ""},
    // With the spotter's locator after the time.
    {"DX de DL1ABC:    7074.0  JA1XYZ       FT8 -12 dB                     0815Z JO62", "DL1ABC",
     7074.0, "JA1XYZ", "FT8 -12 dB", 8 * 60 + 15, "JO62", ""},
    // Shifted columns: a wide frequency field, the call right after the colon.
    {"DX de OH2BH:1832.5 OH0Z cq cq 0001Z", "OH2BH", 1832.5, "OH0Z", "cq cq", 1, "", ""},
    {"DX de K3LR:   144174.0  EA8TL  JN18>FN42 ES   2359Z", "K3LR", 144174.0, "EA8TL",
     "JN18>FN42 ES", 23 * 60 + 59, "", "FN42"},
    // A VHF spot with both ends' locators.
    {"DX de IK2XYZ:  50313.0  ZS6ABC  IO91<ES>jn45ab  1200Z", "IK2XYZ", 50313.0, "ZS6ABC",
     "IO91<ES>jn45ab", 12 * 60, "", "JN45AB"},
    // No time at all: the comment runs to the end.
    {"DX de N0CALL: 28074 k1abc/p up 1", "N0CALL", 28074, "K1ABC/P", "up 1", -1, "", ""},
    // Lower-case, tabs, a time word inside the comment: the last one counts.
    {"dx de g4xyz:\t3573.0\tk1abc\tQSX 1200Z 1734Z", "G4XYZ", 3573.0, "K1ABC", "QSX 1200Z",
     17 * 60 + 34, "", ""},
    // RR73 is a sign-off, not a locator.
    {"DX de G4XYZ: 14074.0 K1ABC FT8 RR73 1200Z", "G4XYZ", 14074.0, "K1ABC", "FT8 RR73", 720, "",
     ""},
    // SH/DX listings.
    {"   14222.0  9L5M        04-Dec-2026 1655Z  TNX   <EB1DJ>", "EB1DJ", 14222.0, "9L5M", "TNX",
     16 * 60 + 55, "", ""},
    {"  7005.0 TO5A 4-Dec-2026 0005Z <W3OA-#>", "W3OA-#", 7005.0, "TO5A", "", 5, "", ""},
    {"1840.0  JA1XYZ  08-Dec-2026 2101Z  FT8 PM95 <DL1ABC>", "DL1ABC", 1840.0, "JA1XYZ", "FT8 PM95",
     21 * 60 + 1, "", "PM95"},
};

TEST(ClusterLine, ReadsSpotLinesOfEveryLayout) {
    for (const SpotCase& c : SpotCases) {
        SCOPED_TRACE(c.line);
        const live::ClusterLine r = live::ReadClusterLine(c.line);
        ASSERT_EQ(r.kind, ClusterLineKind::Spot);
        EXPECT_EQ(r.spot.spotter, c.spotter);
        EXPECT_DOUBLE_EQ(r.spot.kHz, c.kHz);
        EXPECT_EQ(r.spot.call, c.call);
        EXPECT_EQ(r.spot.comment, c.comment);
        EXPECT_EQ(r.spot.minuteOfDay, c.minute);
        EXPECT_EQ(r.spot.spotterLocator, c.spotterLocator);
        EXPECT_EQ(r.spot.locator, c.locator);
    }
}

struct KindCase {
    const char* line;
    ClusterLineKind kind;
};

const KindCase KindCases[] = {
    {"", ClusterLineKind::Empty},
    {"\a\a\r\n", ClusterLineKind::Empty},
    {"login: ", ClusterLineKind::LoginPrompt},
    {"Please enter your call: ", ClusterLineKind::LoginPrompt},
    {"N0CALL de NODE  8-Dec-2026 1302Z dxspider >", ClusterLineKind::Prompt},
    {"N0CALL de GB7XYZ 08-Dec-2026 1200Z >\r\n", ClusterLineKind::Prompt},
    {"WWV de W0MU <18Z> :   SFI=150, A=5, K=1, No Storms -> No Storms", ClusterLineKind::Wwv},
    {"WCY de DK0WCY-1 <17> : K=2 expK=0 A=8 R=97 SFI=156 SA=qui GMF=qui Au=no",
     ClusterLineKind::Wcy},
    {"To ALL de G4XYZ: contest starts at 1200Z", ClusterLineKind::Announcement},
    {"To LOCAL de GB7XYZ: node restart in 5 minutes", ClusterLineKind::Announcement},
    {"To N0CALL de G4XYZ: hello there", ClusterLineKind::Talk},
    {"G4XYZ de K1ABC: are you on 20m?", ClusterLineKind::Talk},
    {"Hello N0CALL, this is NODE in Somewhere", ClusterLineKind::Other},
    {"Please enter your name with set/name <your name>", ClusterLineKind::Other},
    // Spot-like lines that are not spots.
    {"DX de G4XYZ 14025.0 K1ABC no colon 1200Z", ClusterLineKind::Other},
    {"DX de G4XYZ: abc K1ABC text 1200Z", ClusterLineKind::Other},
    {"DX de G4XYZ: 14025.0 ----- text 1200Z", ClusterLineKind::Other},
    {"DX de G4XYZ: -14025.0 K1ABC text", ClusterLineKind::Other},
    {"DX de : 14025.0 K1ABC text", ClusterLineKind::Other},
    {"DX de G4XYZ: 1e99 K1ABC text", ClusterLineKind::Other},
    {"14222.0 9L5M yesterday 1655Z <EB1DJ>", ClusterLineKind::Other},
    {"\x01\x02\x03\xff\xfe binary", ClusterLineKind::Other},
};

TEST(ClusterLine, RecognisesAndSkipsTheOtherTraffic) {
    for (const KindCase& c : KindCases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(live::ReadClusterLine(c.line).kind, c.kind);
    }
}

TEST(ClusterLine, ControlCharactersGoAndLongLinesAreCut) {
    EXPECT_EQ(live::CleanClusterLine(std::string("a\0b\a\x7f\tc\r\n", 9)), "ab c");
    const std::string huge(1 << 20, 'x');
    EXPECT_EQ(live::CleanClusterLine(huge).size(), live::MaxClusterLine);
    EXPECT_EQ(live::ReadClusterLine(huge).kind, ClusterLineKind::Other);
    // A spot line padded far beyond the limit still reads up to the limit.
    const std::string padded = "DX de G4XYZ: 14025.0 K1ABC " + std::string(2000, ' ') + "1200Z";
    const auto r = live::ReadClusterLine(padded);
    ASSERT_EQ(r.kind, ClusterLineKind::Spot);
    EXPECT_EQ(r.spot.minuteOfDay, -1);
}

TEST(ClusterLine, LoginPromptWithoutLineEnd) {
    EXPECT_TRUE(live::IsLoginPrompt("login: "));
    EXPECT_TRUE(live::IsLoginPrompt("\r\nLogin:"));
    EXPECT_FALSE(live::IsLoginPrompt("Hello N0CALL, this is NODE"));
    EXPECT_FALSE(live::IsLoginPrompt("login: N0CALL"));
}

struct LocatorCase {
    const char* text;
    bool locator;
    double lat, lon;
};

const LocatorCase LocatorCases[] = {
    {"JN18", true, 48.5, 3.0},
    {"FN42", true, 42.5, -71.0},
    {"jn18eu", true, 48.854166666, 2.375},
    {"AA00", true, -89.5, -179.0},
    {"RR99", true, 89.5, 179.0},
    {"RR73", false, 0, 0},
    {"SS00", false, 0, 0},
    {"JN1", false, 0, 0},
    {"JN18E", false, 0, 0},
    {"JN18YY", false, 0, 0},
    {"-12", false, 0, 0},
    {"R-05", false, 0, 0},
    {"73", false, 0, 0},
    {"", false, 0, 0},
};

TEST(Locator, CentresOfSquaresAndSubSquares) {
    for (const LocatorCase& c : LocatorCases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(live::IsLocator(c.text), c.locator);
        const auto p = live::LocatorCentre(c.text);
        ASSERT_EQ(p.has_value(), c.locator);
        if (p) {
            EXPECT_NEAR(p->lat, c.lat, 1e-6);
            EXPECT_NEAR(p->lon, c.lon, 1e-6);
        }
    }
}

struct FtCase {
    const char* text;
    const char* call;
    const char* locator;
};

const FtCase FtCases[] = {
    {"CQ K1ABC FN42", "K1ABC", "FN42"},
    {"CQ DX JA1XYZ PM95", "JA1XYZ", "PM95"},
    {"CQ POTA W1AW FN31", "W1AW", "FN31"},
    {"CQ 310 K1ABC FN42", "K1ABC", "FN42"},
    {"K1ABC G4XYZ IO91", "G4XYZ", "IO91"},
    {"K1ABC G4XYZ -12", "G4XYZ", ""},
    {"K1ABC G4XYZ R-05", "G4XYZ", ""},
    {"K1ABC G4XYZ RR73", "G4XYZ", ""},
    {"K1ABC G4XYZ 73", "G4XYZ", ""},
    {"K1ABC <PJ4/G4XYZ> RRR", "PJ4/G4XYZ", ""},
    {"CQ K1ABC", "K1ABC", ""},
    {"CQ DX K1ABC", "K1ABC", ""},
    {"CQ FN42", "", ""},
    {"TNX 73 GL", "", ""},
    {"K1ABC <...> FN42", "", ""},
    {"", "", ""},
};

TEST(Locator, FtMessagesNameTheirSenderAndGrid) {
    for (const FtCase& c : FtCases) {
        SCOPED_TRACE(c.text);
        const live::FtMessage m = live::ReadFtMessage(c.text);
        EXPECT_EQ(m.call, c.call);
        EXPECT_EQ(m.locator, c.locator);
    }
}

} // namespace
