// The rotator's rules: the command texts of the three channels, the parsers
// of their answers, the long path and the turn gate.
#include "link/RotatorProtocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace azlink;

TEST(RotatorCommands, ExactTexts) {
    struct Row {
        std::string got, want;
    };
    const std::vector<Row> rows = {
        {RotctldTurn(123), "P 123 0\n"},
        {RotctldTurn(360), "P 0 0\n"},
        {RotctldTurn(-1), "P 359 0\n"},
        {RotctldStop(), "S\n"},
        {RotctldPark(), "K\n"},
        {RotctldPosition(), "p\n"},
        {PstTurn(1230), "<PST><AZIMUTH>123</AZIMUTH></PST>"},
        {PstTurn(1235), "<PST><AZIMUTH>123.5</AZIMUTH></PST>"},
        {PstTurn(0), "<PST><AZIMUTH>0</AZIMUTH></PST>"},
        {PstTurn(3600), "<PST><AZIMUTH>0</AZIMUTH></PST>"},
        {PstTurn(3599), "<PST><AZIMUTH>359.9</AZIMUTH></PST>"},
        {PstTurn(-10), "<PST><AZIMUTH>359</AZIMUTH></PST>"},
        {PstStop(), "<PST><STOP>1</STOP></PST>"},
        {PstPark(), "<PST><PARK>1</PARK></PST>"},
        {PstQuery(), "<PST>AZ?</PST>"},
        {N1mmTurn("Tower", 550),
         "<N1MMRotor><rotor>Tower</rotor><goazi>55.0</goazi><offset>0.0</offset>"
         "<bidirectional>0</bidirectional><freqband>14</freqband></N1MMRotor>"},
        {N1mmTurn("A&B <1>", 3595),
         "<N1MMRotor><rotor>A&amp;B &lt;1&gt;</rotor><goazi>359.5</goazi><offset>0.0</offset>"
         "<bidirectional>0</bidirectional><freqband>14</freqband></N1MMRotor>"},
        {N1mmStop("Tower"),
         "<N1MMRotor><stop><rotor>Tower</rotor><freqband>14</freqband></stop></N1MMRotor>"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.got, r.want);
}

TEST(RotatorCommands, NoFormattingGarbage) {
    // Every azimuth in tenths: digits and at most one point with one decimal.
    for (int t = -3600; t <= 7200; ++t) {
        const std::string s = PstTurn(t);
        const std::string value = s.substr(14, s.size() - 14 - 16);
        ASSERT_LE(value.size(), 5u) << s;
        const auto point = value.find('.');
        if (point != std::string::npos) {
            ASSERT_EQ(point, value.size() - 2) << s;
        }
        ASSERT_EQ(value.find_first_not_of("0123456789."), std::string::npos) << s;
    }
}

TEST(RotatorPaths, LongPathAndDistance) {
    struct Row {
        long long sp;
        int lp;
    };
    for (const Row r : {Row{0, 180}, Row{76, 256}, Row{179, 359}, Row{180, 0}, Row{181, 1},
                        Row{359, 179}, Row{360, 180}, Row{-90, 90}, Row{1000000000007LL, 107}})
        EXPECT_EQ(LongPath(r.sp), r.lp) << r.sp;
    struct D {
        int a, b, d;
    };
    for (const D r : {D{0, 359, 1}, D{359, 0, 1}, D{10, 190, 180}, D{350, 5, 15}, D{90, 92, 2},
                      D{200, 30, 170}})
        EXPECT_EQ(AzimuthDistance(r.a, r.b), r.d) << r.a << " " << r.b;
}

TEST(RotatorKinds, TextsAndPorts) {
    EXPECT_EQ(RotatorKindFromText(""), RotatorKind::Rotctld);
    EXPECT_EQ(RotatorKindFromText("rotctld"), RotatorKind::Rotctld);
    EXPECT_EQ(RotatorKindFromText(" PST "), RotatorKind::Pst);
    EXPECT_EQ(RotatorKindFromText("n1mm"), RotatorKind::N1mm);
    EXPECT_EQ(RotatorKindFromText("N1MMX"), std::nullopt);
    EXPECT_EQ(DefaultPort(RotatorKind::Rotctld), 4533);
    EXPECT_EQ(DefaultPort(RotatorKind::Pst), 12000);
    EXPECT_EQ(DefaultPort(RotatorKind::N1mm), 12040);
    for (RotatorKind k : {RotatorKind::Rotctld, RotatorKind::Pst, RotatorKind::N1mm})
        EXPECT_EQ(RotatorKindFromText(RotatorKindText(k)), k);
}

TEST(RotatorAnswers, Rotctld) {
    using K = RotctldLine::Kind;
    struct Row {
        std::string line;
        K kind;
        double value;
    };
    const std::vector<Row> rows = {
        {"RPRT 0", K::Report, 0},
        {"RPRT -1\r", K::Report, -1},
        {"RPRT -11", K::Report, -11},
        {"RPRT", K::Other, 0},
        {"RPRT x", K::Other, 0},
        {"RPRT 1.5", K::Other, 0},
        {"RPRT 99999999", K::Other, 0},
        {"123.000000", K::Number, 123},
        {"-45.500000", K::Number, -45.5},
        {"0.000000", K::Number, 0},
        {"Azimuth: 12.5", K::Number, 12.5},
        {"1e5", K::Other, 0},
        {"nan", K::Other, 0},
        {"inf", K::Other, 0},
        {"0x10", K::Other, 0},
        {"", K::Other, 0},
        {"12 34", K::Other, 0},
        {std::string(600, '1'), K::Other, 0},
    };
    for (const Row& r : rows) {
        const RotctldLine got = ParseRotctldLine(r.line);
        EXPECT_EQ(got.kind, r.kind) << r.line;
        if (r.kind == K::Report) {
            EXPECT_EQ(got.code, static_cast<int>(r.value)) << r.line;
        }
        if (r.kind == K::Number) {
            EXPECT_DOUBLE_EQ(got.value, r.value) << r.line;
        }
    }
}

TEST(RotatorAnswers, Pst) {
    struct Row {
        std::string datagram;
        std::optional<double> heading;
    };
    const std::vector<Row> rows = {
        {"AZ:123\r", 123},
        {"AZ:123", 123},
        {"AZ: 45.5\r\n", 45.5},
        {"az:7", 7},
        {"AZ:360", 0},
        {"AZ:0", 0},
        {"AZ:361", {}},
        {"AZ:-1", {}},
        {"AZ:", {}},
        {"AZ:abc", {}},
        {"EL:10", {}},
        {"AZ:1e2", {}},
        {"AZ:12.3.4", {}},
        {"", {}},
        {"AZ", {}},
        {"AZ:nan", {}},
        {std::string("AZ:9\0", 5), 9},
        {"AZ:" + std::string(600, '9'), {}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ParsePstAnswer(r.datagram), r.heading) << r.datagram;
}

TEST(RotatorAnswers, N1mm) {
    struct Row {
        std::string datagram;
        bool ok;
        std::string name;
        double heading;
    };
    const std::vector<Row> rows = {
        {"Tower @ 360", true, "Tower", 36},
        {"Tower @ 3595", true, "Tower", 359.5},
        {"Tower @ 0", true, "Tower", 0},
        {"Tower @ 3600", true, "Tower", 0},
        {"My Rotor @ 1800\r\n", true, "My Rotor", 180},
        {"a@b @ 10", true, "a@b", 1},
        {"Tower @ 3601", false, "", 0},
        {"Tower @ -10", false, "", 0},
        {"Tower @ ", false, "", 0},
        {"Tower 360", false, "", 0},
        {"Tower @ 36.0", false, "", 0},
        {"Tower @ 999999", false, "", 0},
        {std::string("Tow\x01r @ 10"), false, "", 0},
        {"", false, "", 0},
    };
    for (const Row& r : rows) {
        const auto got = ParseN1mmHeading(r.datagram);
        EXPECT_EQ(got.has_value(), r.ok) << r.datagram;
        if (got && r.ok) {
            EXPECT_EQ(got->name, r.name);
            EXPECT_DOUBLE_EQ(got->heading, r.heading);
        }
    }
    EXPECT_TRUE(SameRotorName("tower", " TOWER "));
    EXPECT_TRUE(SameRotorName("", "anything"));
    EXPECT_FALSE(SameRotorName("Tower", "Tower2"));
}

TEST(TurnGate, SendsOnlyNewTargets) {
    struct Step {
        int target;
        bool sent;
    };
    struct Case {
        double min;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        // The same target twice in a row is sent once.
        {2, {{76, true}, {76, false}, {76, false}, {256, true}, {76, true}}},
        // Within 2 degrees of the one under way: not sent; 3 away: sent.
        {2, {{100, true}, {101, false}, {102, false}, {98, false}, {103, true}}},
        // Across north.
        {2, {{359, true}, {1, false}, {0, false}, {2, true}}},
        // 0 turns the minimum off, but the same target is still sent once.
        {0, {{100, true}, {101, true}, {101, false}, {100, true}}},
        {10, {{0, true}, {10, false}, {350, false}, {11, true}}},
    };
    for (const Case& c : cases) {
        TurnGate gate(c.min);
        for (const Step& s : c.steps)
            EXPECT_EQ(gate.Admit(s.target), s.sent) << "min " << c.min << " target " << s.target;
    }
    TurnGate gate;
    EXPECT_TRUE(gate.Admit(50));
    gate.Clear(); // a stop, a park, a failure
    EXPECT_TRUE(gate.Admit(50));
    EXPECT_EQ(gate.underWay(), 50);
    gate.SetMinimum(-5);
    EXPECT_EQ(gate.minimum(), 0);
}
