#include "dxlists/DxRecord.h"

#include <gtest/gtest.h>

#include <string>

using namespace dx;

namespace {

// Rows in these tests are written with '|' standing for the tab.
std::string T(std::string s) {
    for (char& c : s) {
        if (c == '|') c = '\t';
    }
    return s;
}

std::optional<std::string> Norm(std::string_view text, char mark) {
    return NormaliseDecimal(text, mark);
}

} // namespace

TEST(ReadsAsNumber, AcceptsTheNumberFormWithTheGivenMark) {
    EXPECT_TRUE(ReadsAsNumber("14", ','));
    EXPECT_TRUE(ReadsAsNumber("14,58", ','));
    EXPECT_TRUE(ReadsAsNumber("14.58", '.'));
    EXPECT_TRUE(ReadsAsNumber("  14,5  ", ','));
    EXPECT_TRUE(ReadsAsNumber("-14,5", ','));
    EXPECT_TRUE(ReadsAsNumber("+14", '.'));
    EXPECT_TRUE(ReadsAsNumber(",5", ','));
    EXPECT_TRUE(ReadsAsNumber("5,", ','));
    EXPECT_TRUE(ReadsAsNumber("1,5E3", ','));
    EXPECT_TRUE(ReadsAsNumber("1e-3", '.'));
    EXPECT_TRUE(ReadsAsNumber("1E", '.')); // exponent with no digits is allowed
    EXPECT_TRUE(ReadsAsNumber("1E+", '.'));
    // The digit run may consist of the mark alone.
    EXPECT_TRUE(ReadsAsNumber(",", ','));
    EXPECT_TRUE(ReadsAsNumber("-.", '.'));
}

TEST(ReadsAsNumber, RejectsEverythingElse) {
    EXPECT_FALSE(ReadsAsNumber("", ','));
    EXPECT_FALSE(ReadsAsNumber("   ", ','));
    EXPECT_FALSE(ReadsAsNumber("-", ','));
    EXPECT_FALSE(ReadsAsNumber("14.58", ',')); // wrong mark
    EXPECT_FALSE(ReadsAsNumber("14,58", '.'));
    EXPECT_FALSE(ReadsAsNumber("1,2,3", ',')); // two marks
    EXPECT_FALSE(ReadsAsNumber("abc", ','));
    EXPECT_FALSE(ReadsAsNumber("14N", ','));
    EXPECT_FALSE(ReadsAsNumber("E5", '.'));    // exponent without digit run
    EXPECT_FALSE(ReadsAsNumber("1E5,2", ',')); // mark inside the exponent
    EXPECT_FALSE(ReadsAsNumber("1 4", ','));   // space inside
    EXPECT_FALSE(ReadsAsNumber("--1", ','));
    EXPECT_FALSE(ReadsAsNumber("\t1", ',')); // only spaces may surround it
}

TEST(NormaliseDecimal, ChangesTheOtherMarkIntoTheSystemMark) {
    EXPECT_EQ(Norm("14.58", ','), "14,58");
    EXPECT_EQ(Norm("14,58", '.'), "14.58");
    EXPECT_EQ(Norm("14", ','), "14");
    EXPECT_EQ(Norm("14", '.'), "14");
    EXPECT_EQ(Norm("14,58", ','), "14,58");
    EXPECT_EQ(Norm("  14,5  ", ','), "  14,5  "); // spaces kept
    EXPECT_EQ(Norm(" -1.5e2 ", ','), " -1,5e2 ");
    EXPECT_EQ(Norm("1.5E", ','), "1,5E");
    // A lone mark of the other kind becomes a lone system mark, which reads.
    EXPECT_EQ(Norm(",", '.'), ".");
}

TEST(NormaliseDecimal, RejectsMixedRepeatedAndNonNumbers) {
    for (char mark : {',', '.'}) {
        EXPECT_EQ(Norm("1,5.2", mark), std::nullopt);
        EXPECT_EQ(Norm("1,2,3", mark), std::nullopt);
        EXPECT_EQ(Norm("1.2.3", mark), std::nullopt);
        EXPECT_EQ(Norm("abc", mark), std::nullopt);
        EXPECT_EQ(Norm("", mark), std::nullopt);
        EXPECT_EQ(Norm("   ", mark), std::nullopt);
        EXPECT_EQ(Norm("12a", mark), std::nullopt);
    }
    // The system mark itself in a text that still does not read.
    EXPECT_EQ(Norm("1,a", ','), std::nullopt);
    EXPECT_EQ(Norm("1.a", '.'), std::nullopt);
    // The other mark, but the text does not read after the change.
    EXPECT_EQ(Norm("1.a", ','), std::nullopt);
    EXPECT_EQ(Norm("N1,5", '.'), std::nullopt);
}

TEST(AcceptStoredRow, UpperCasesKeyAndLettersAndKeepsCountry) {
    auto f = AcceptStoredRow(T("dl|Germany (Eu)|51|n|10|e"), ListKind::Ham, ',');
    ASSERT_TRUE(f);
    EXPECT_EQ(f->key, "DL");
    EXPECT_EQ(f->country, "Germany (Eu)");
    EXPECT_EQ(f->lat, "51");
    EXPECT_EQ(f->latLetter, "N");
    EXPECT_EQ(f->lon, "10");
    EXPECT_EQ(f->lonLetter, "E");
    EXPECT_EQ(f->time, "");
    EXPECT_EQ(DisplayRow(*f), T("DL|Germany (Eu)|51N|10E"));

    // Only ASCII letters are upper-cased; the country keeps its case.
    auto g =
        AcceptStoredRow(T("vk9l\xC3\xA9|lord howe|31,5|s|159,08|w|utc+10h30*"), ListKind::Ham, ',');
    ASSERT_TRUE(g);
    EXPECT_EQ(g->key, "VK9L\xC3\xA9");
    EXPECT_EQ(g->country, "lord howe");
    EXPECT_EQ(g->time, "utc+10h30*");
}

TEST(AcceptStoredRow, NormalisesBothMagnitudes) {
    auto c = AcceptStoredRow(T("1A|Malta (Eu)|35.83|N|14.58|E|UTC+1*"), ListKind::Ham, ',');
    ASSERT_TRUE(c);
    EXPECT_EQ(c->lat, "35,83");
    EXPECT_EQ(c->lon, "14,58");
    EXPECT_EQ(DisplayRow(*c), T("1A|Malta (Eu)|35,83N|14,58E|UTC+1*"));

    auto p = AcceptStoredRow(T("1A|Malta (Eu)|35,83|N|14,58|E"), ListKind::Ham, '.');
    ASSERT_TRUE(p);
    EXPECT_EQ(p->lat, "35.83");
    EXPECT_EQ(p->lon, "14.58");

    // Signs, spaces and exponents pass through as typed.
    auto s = AcceptStoredRow(T("X| | -1,5e1 |S|+2|W"), ListKind::CB, ',');
    ASSERT_TRUE(s);
    EXPECT_EQ(s->country, " ");
    EXPECT_EQ(s->lat, " -1,5e1 ");
    EXPECT_EQ(s->lon, "+2");

    EXPECT_FALSE(AcceptStoredRow(T("1A|Malta|1,5.2|N|14|E"), ListKind::Ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("1A|Malta|35|N|1,2,3|E"), ListKind::Ham, '.'));
    EXPECT_FALSE(AcceptStoredRow(T("1A|Malta|abc|N|14|E"), ListKind::Ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("1A|Malta|35|N|east|E"), ListKind::Ham, ','));
}

TEST(AcceptStoredRow, SixOrSevenFieldsForHamExactlySixForCB) {
    auto six = AcceptStoredRow(T("K|U.S.A.|38|N|97|W"), ListKind::Ham, ',');
    ASSERT_TRUE(six);
    EXPECT_EQ(six->time, "");
    EXPECT_EQ(DisplayRow(*six), T("K|U.S.A.|38N|97W"));

    auto seven = AcceptStoredRow(T("K|U.S.A.|38|N|97|W|UTC-5/-8*"), ListKind::Ham, ',');
    ASSERT_TRUE(seven);
    EXPECT_EQ(seven->time, "UTC-5/-8*");

    // An empty seventh field gives an empty time text.
    auto emptyTime = AcceptStoredRow(T("K|U.S.A.|38|N|97|W|"), ListKind::Ham, ',');
    ASSERT_TRUE(emptyTime);
    EXPECT_EQ(emptyTime->time, "");

    // The time text is everything behind the letter's tab, tabs included.
    auto tabs = AcceptStoredRow(T("K|U.S.A.|38|N|97|W|a|b"), ListKind::Ham, ',');
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->time, T("a|b"));

    // An 11-metre row takes the whole rest as its letter.
    auto cb = AcceptStoredRow(T("25|Japan (As)|36|n|138|e"), ListKind::CB, ',');
    ASSERT_TRUE(cb);
    EXPECT_EQ(DisplayRow(*cb), T("25|Japan (As)|36N|138E"));
    EXPECT_FALSE(AcceptStoredRow(T("25|Japan (As)|36|N|138|E|UTC+9"), ListKind::CB, ','));
    EXPECT_FALSE(AcceptStoredRow(T("25|Japan (As)|36|N|138|E|"), ListKind::CB, ','));
}

TEST(AcceptStoredRow, TimeTextIsCutToHundredCharacters) {
    std::string longTime;
    for (int i = 0; i < 120; ++i)
        longTime += "\xC3\xA9"; // a two-byte character
    auto f = AcceptStoredRow(T("K|U.S.A.|38|N|97|W|") + longTime, ListKind::Ham, ',');
    ASSERT_TRUE(f);
    EXPECT_EQ(f->time.size(), 200u); // 100 characters, none cut in half
    EXPECT_EQ(f->time, longTime.substr(0, 200));

    auto ascii =
        AcceptStoredRow(T("K|U.S.A.|38|N|97|W|") + std::string(150, 'x'), ListKind::Ham, ',');
    ASSERT_TRUE(ascii);
    EXPECT_EQ(ascii->time, std::string(100, 'x'));
}

TEST(AcceptStoredRow, RejectsMissingOrMisplacedFields) {
    const ListKind ham = ListKind::Ham;
    EXPECT_FALSE(AcceptStoredRow("", ham, ','));
    EXPECT_FALSE(AcceptStoredRow("DL", ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("|Germany|51|N|10|E"), ham, ','));    // empty key
    EXPECT_FALSE(AcceptStoredRow(T("DL||51|N|10|E"), ham, ','));         // empty country
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|"), ham, ','));           // nothing follows
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany||N|10|E"), ham, ','));    // empty latitude
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|NS|10|E"), ham, ',')); // NS
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51||10|E"), ham, ','));   // empty letter
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|X|10|E"), ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N||E"), ham, ','));  // empty longitude
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N|10|"), ham, ',')); // empty letter
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N|10"), ham, ','));  // letter missing
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N|10|EW"), ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N|10|East"), ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N|10||UTC+1"), ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N|10|E "), ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N"), ham, ','));
    EXPECT_FALSE(AcceptStoredRow(T("DL|Germany|51|N|"), ham, ','));
}

TEST(StoredRowValue, JoinsSixCellsAndTheTimeOnlyForHam) {
    const std::vector<std::string> seven{"DL", "Germany (Eu)", "51", "N", "10", "E", "UTC+1*"};
    EXPECT_EQ(StoredRowValue(seven, ListKind::Ham), T("DL|Germany (Eu)|51|N|10|E|UTC+1*"));
    EXPECT_EQ(StoredRowValue(seven, ListKind::CB), T("DL|Germany (Eu)|51|N|10|E"));

    std::vector<std::string> noTime = seven;
    noTime[6].clear();
    EXPECT_EQ(StoredRowValue(noTime, ListKind::Ham), T("DL|Germany (Eu)|51|N|10|E"));

    // A grid row saved as typed, with holes, keeps the positions of its cells.
    const std::vector<std::string> holes{"DL", "", "51"};
    EXPECT_EQ(StoredRowValue(holes, ListKind::Ham), T("DL||51|||"));

    // What is written reads back as the same fields.
    auto back = AcceptStoredRow(StoredRowValue(seven, ListKind::Ham), ListKind::Ham, ',');
    ASSERT_TRUE(back);
    EXPECT_EQ(back->time, "UTC+1*");
}

TEST(RewriteCoordinates, PointSystemGetsShortestFormWithItsMark) {
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("1A|Malta (Eu)|35,83N|14,58E|UTC+1*"), '.'),
              T("1A|Malta (Eu)|35.83N|14.58E|UTC+1*"));
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("X|Y|12,50S|167,0E"), '.'), T("X|Y|12.5S|167E"));
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("4M|Venezuela (SAm)|8N|66W|UTC-4h30"), '.'),
              T("4M|Venezuela (SAm)|8N|66W|UTC-4h30"));
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("140|Antartica|89S|0E"), '.'),
              T("140|Antartica|89S|0E"));
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("X|Y|0,10N|0,05W"), '.'), T("X|Y|0.1N|0.05W"));
}

TEST(RewriteCoordinates, CommaSystemAndShortRowsStayUnchanged) {
    const std::string malta = T("1A|Malta (Eu)|35,83N|14,58E|UTC+1*");
    EXPECT_EQ(RewriteCoordinatesForDisplay(malta, ','), malta);
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("12,50S|167,0E"), '.'), T("12,50S|167,0E"));
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("292|Abu Ail Island (As) deleted"), '.'),
              T("292|Abu Ail Island (As) deleted"));
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("a|b|c"), '.'), T("a|b|c"));
    EXPECT_EQ(RewriteCoordinatesForDisplay("", '.'), "");
}

TEST(RewriteCoordinates, LettersAndTimeTextFollowTheRowRule) {
    // No N: the latitude counts as S; no E: the longitude counts as W.
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("X|Y|1,50|2,50"), '.'), T("X|Y|1.5S|2.5W"));
    // An empty time text drops its tab; the time text keeps its own tabs and is cut.
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("X|Y|1N|2E|"), '.'), T("X|Y|1N|2E"));
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("X|Y|1N|2E|a|b"), '.'), T("X|Y|1N|2E|a|b"));
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("X|Y|1N|2E|") + std::string(130, 't'), '.'),
              T("X|Y|1N|2E|") + std::string(100, 't'));
    // A magnitude that does not read stays as it stood.
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("X|Y|abcN|2,5E"), '.'), T("X|Y|abcN|2.5E"));
    // Fifteen significant digits at most.
    EXPECT_EQ(RewriteCoordinatesForDisplay(T("X|Y|0,1234567890123456N|1E"), '.'),
              T("X|Y|0.123456789012346N|1E"));
}

TEST(ReadWholeNumber, EmptyIsZeroAndOnlyDigitsRead) {
    EXPECT_EQ(ReadWholeNumber(""), 0);
    EXPECT_EQ(ReadWholeNumber("000"), 0);
    EXPECT_EQ(ReadWholeNumber("179"), 179);
    EXPECT_EQ(ReadWholeNumber("  12"), 12);
    EXPECT_EQ(ReadWholeNumber("-5"), -5);
    EXPECT_EQ(ReadWholeNumber("+7"), 7);
    EXPECT_EQ(ReadWholeNumber(" "), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("-"), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("a"), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("1a"), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("12 "), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("1.5"), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("- 1"), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("99999999999999999999"), std::nullopt);
}

TEST(Converter, ResultsWithSixDecimals) {
    auto conv = [](long long d, long long m, long long s, long long ms, char mark) {
        return FormatFixed6(DmsToDecimal(d, m, s, ms), mark);
    };
    EXPECT_EQ(conv(45, 30, 15, 500, '.'), "45.504306");
    EXPECT_EQ(conv(45, 30, 15, 500, ','), "45,504306");
    EXPECT_EQ(conv(0, 0, 0, 0, '.'), "0.000000");
    EXPECT_EQ(conv(0, 0, 0, 0, ','), "0,000000");
    EXPECT_EQ(conv(12, 0, 0, 0, '.'), "12.000000");
    EXPECT_EQ(conv(0, 59, 59, 999, '.'), "1.000000");
    EXPECT_EQ(conv(179, 59, 59, 999, '.'), "180.000000");
    EXPECT_EQ(conv(0, 0, 0, 1, '.'), "0.000000");
    EXPECT_EQ(conv(0, 0, 0, 2, '.'), "0.000001");
    EXPECT_EQ(conv(-12, 30, 0, 0, '.'), "-11.500000"); // a minus sign is used as typed
    EXPECT_EQ(conv(0, 0, 0, -1, '.'), "0.000000");     // never "-0.000000"
    EXPECT_EQ(conv(0, 0, 0, -2, '.'), "-0.000001");
}

TEST(Converter, TenSignificantDigitsThenSixDecimals) {
    EXPECT_EQ(FormatFixed6(1234.5678904L, '.'), "1234.567890");
    // 1.2345674999 has the ten significant digits 1.234567500, whose half rounds up.
    EXPECT_EQ(FormatFixed6(1.2345674999L, '.'), "1.234568");
    EXPECT_EQ(FormatFixed6(0.0000005L, '.'), "0.000001");
    EXPECT_EQ(FormatFixed6(0.00000049L, '.'), "0.000000");
    EXPECT_EQ(FormatFixed6(999.9999996L, '.'), "1000.000000");
}
