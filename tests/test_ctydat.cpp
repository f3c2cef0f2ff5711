// The country file reader and the call-sign resolver, on a small excerpt made
// for these tests (tests/data/cty_excerpt.dat) and on the Debian file.
#include "dxlists/CtyDat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace {

const std::string Excerpt = std::string(KORVANTA_SOURCE_DIR) + "/tests/data/cty_excerpt.dat";
const std::string Debian = "/usr/share/hamradio-files/cty.dat";

const dx::CtyDatabase& Db() {
    static const dx::CtyDatabase db = [] {
        dx::CtyError e;
        auto loaded = dx::CtyDatabase::Load(Excerpt, e);
        if (!loaded) ADD_FAILURE() << dx::DescribeCtyError(e);
        return loaded.value_or(dx::CtyDatabase{});
    }();
    return db;
}

struct Row {
    const char* call;
    const char* entity; // "" = no entity
    const char* matched;
    int cq;
    int itu;
    const char* continent;
};

std::ostream& operator<<(std::ostream& o, const Row& r) {
    return o << '"' << r.call << '"';
}

class Resolve : public testing::TestWithParam<Row> {};

TEST_P(Resolve, Rule) {
    const Row& r = GetParam();
    const dx::CtyAnswer a = Db().Resolve(r.call);
    if (*r.entity == '\0') {
        EXPECT_FALSE(a.found());
        return;
    }
    ASSERT_TRUE(a.found());
    EXPECT_EQ(a.entity->name, r.entity);
    EXPECT_EQ(a.matched, r.matched);
    EXPECT_EQ(a.values.cqZone, r.cq);
    EXPECT_EQ(a.values.ituZone, r.itu);
    EXPECT_EQ(a.values.continent, r.continent);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Resolve,
    testing::Values(
        // Trimmed and upper-cased.
        Row{" ea6ab ", "Balearic Islands", "EA6", 14, 37, "EU"}, Row{"", "", "", 0, 0, ""},
        Row{"   ", "", "", 0, 0, ""},
        // The longest prefix decides.
        Row{"EA6AB", "Balearic Islands", "EA6", 14, 37, "EU"},
        Row{"EA1AB", "Spain", "EA", 14, 37, "EU"},
        Row{"1A", "Sov Mil Order of Malta", "1A", 15, 28, "EU"}, Row{"QQ1ABC", "", "", 0, 0, ""},
        // Whole calls: they win, and never act as a prefix.
        Row{"EF6", "Spain", "EF6", 14, 37, "EU"},
        Row{"EF6AB", "Balearic Islands", "EF6", 14, 37, "EU"},
        Row{"EA3HZX/P", "Balearic Islands", "EA3HZX/P", 14, 37, "EU"},
        Row{"EA3HZX", "Spain", "EA", 14, 37, "EU"},
        Row{"3D2AG/P", "Rotuma Island", "3D2AG/P", 32, 56, "OC"},
        Row{"3D2AG", "Fiji", "3D2", 32, 56, "OC"},
        // Suffixes that keep the home entity, then the whole call again.
        Row{"G3ABC/P", "England", "G", 14, 27, "EU"},
        Row{"EA1AB/M", "Spain", "EA", 14, 37, "EU"}, // not England (M)
        Row{"EA1AB/R", "Spain", "EA", 14, 37, "EU"}, // not Russia (R)
        Row{"EA1AB/B", "Spain", "EA", 14, 37, "EU"}, // not China (B)
        Row{"EA1AB/QRP", "Spain", "EA", 14, 37, "EU"}, Row{"EA1AB/A", "Spain", "EA", 14, 37, "EU"},
        Row{"EA1AB/M/P", "Spain", "EA", 14, 37, "EU"},
        Row{"3D2EU/P", "Rotuma Island", "3D2EU", 32, 56, "OC"},
        // Maritime and aeronautical mobile: no entity.
        Row{"EA1AB/MM", "", "", 0, 0, ""}, Row{"EA1AB/AM", "", "", 0, 0, ""},
        // Call area digit.
        Row{"EA1ABC/6", "Balearic Islands", "EA6", 14, 37, "EU"},
        Row{"W1ABC/6", "United States", "W6", 3, 6, "NA"},
        // Prefix side of a portable call: the shorter, the left at equal length.
        Row{"EA6/G3ABC", "Balearic Islands", "EA6", 14, 37, "EU"},
        Row{"G3ABC/EA6", "Balearic Islands", "EA6", 14, 37, "EU"},
        Row{"KH6/W1ABC", "Hawaii", "KH6", 31, 61, "OC"},
        Row{"EA1/EA6", "Spain", "EA", 14, 37, "EU"}, Row{"F/G3ABC/5", "", "", 0, 0, ""},
        // KG4: two letters Guantanamo Bay, any other suffix the USA.
        Row{"KG4AB", "Guantanamo Bay", "KG4", 8, 11, "NA"},
        Row{"KG4AC", "Guantanamo Bay", "KG4AC", 8, 11, "NA"},
        Row{"KG4ABC", "United States", "K", 5, 8, "NA"},
        Row{"KG4A", "United States", "K", 5, 8, "NA"},
        Row{"KG44A", "United States", "K", 5, 8, "NA"},
        Row{"KG4/W1ABC", "Guantanamo Bay", "KG4", 8, 11, "NA"},
        Row{"KG4AB/P", "Guantanamo Bay", "KG4", 8, 11, "NA"},
        // Overrides of one alias: zones, continent, position, offset.
        Row{"UA9ABC", "European Russia", "UA9", 17, 30, "AS"},
        Row{"UA3ABC", "European Russia", "UA", 16, 29, "EU"},
        Row{"W1AW", "United States", "W1AW", 5, 8, "NA"}));

TEST(CtyDat, KindsWithoutEntity) {
    EXPECT_EQ(Db().Resolve("G3ABC/MM").kind, dx::CtyAnswer::Kind::MaritimeMobile);
    EXPECT_EQ(Db().Resolve("g3abc/am").kind, dx::CtyAnswer::Kind::AeronauticalMobile);
    EXPECT_EQ(Db().Resolve("QQ1ABC").kind, dx::CtyAnswer::Kind::Unknown);
}

TEST(CtyDat, PositionsAndOffsetsTurnedEastPositive) {
    const auto spain = Db().Resolve("EA1AB");
    ASSERT_TRUE(spain.found());
    EXPECT_DOUBLE_EQ(spain.values.lat, 40.32);
    EXPECT_DOUBLE_EQ(spain.values.lon, -3.43);
    EXPECT_DOUBLE_EQ(spain.values.utcOffset, 1.0);
    const auto nepal = Db().Resolve("9N1AA");
    ASSERT_TRUE(nepal.found());
    EXPECT_DOUBLE_EQ(nepal.values.lon, 85.33);
    EXPECT_DOUBLE_EQ(nepal.values.utcOffset, 5.75);
    EXPECT_EQ(dx::UtcOffsetText(nepal.values.utcOffset), "UTC+5:45");
    const auto w1aw = Db().Resolve("W1AW");
    EXPECT_DOUBLE_EQ(w1aw.values.lat, 41.71);
    EXPECT_DOUBLE_EQ(w1aw.values.lon, -72.73);
    EXPECT_DOUBLE_EQ(w1aw.values.utcOffset, -5.0);
    const auto ua9 = Db().Resolve("UA9ABC");
    EXPECT_DOUBLE_EQ(ua9.values.lon, 83.0);
    EXPECT_DOUBLE_EQ(ua9.values.utcOffset, 7.0);
    // The override belongs to its alias alone.
    EXPECT_DOUBLE_EQ(Db().Resolve("UA3ABC").values.lon, 41.37);
    EXPECT_EQ(dx::UtcOffsetText(-5.0), "UTC-5");
}

TEST(CtyDat, WaeOnlyEntityIsMarked) {
    const auto a = Db().Resolve("IT9ABC");
    ASSERT_TRUE(a.found());
    EXPECT_EQ(a.entity->name, "Sicily");
    EXPECT_TRUE(a.entity->waeOnly);
    EXPECT_EQ(a.entity->primaryPrefix, "IT9");
    EXPECT_FALSE(Db().Resolve("EA1AB").entity->waeOnly);
}

// ---------------------------------------------------------------------------
// Faulty files.

struct Bad {
    const char* name;
    std::string text;
    dx::CtyError::Kind kind;
    int line;
};

std::ostream& operator<<(std::ostream& o, const Bad& b) {
    return o << b.name;
}

const std::string Good = "Spain: 14: 37: EU: 40.32: 3.43: -1.0: EA:\n    EA,EB;\n";

class Faulty : public testing::TestWithParam<Bad> {};

TEST_P(Faulty, NamesTheLineAndKeepsNothing) {
    const Bad& b = GetParam();
    dx::CtyError e;
    const auto db = dx::CtyDatabase::Parse(b.text, e);
    EXPECT_FALSE(db.has_value());
    EXPECT_EQ(e.kind, b.kind) << dx::DescribeCtyError(e);
    EXPECT_EQ(e.line, b.line) << dx::DescribeCtyError(e);
    if (b.line > 0) {
        EXPECT_EQ(dx::DescribeCtyError(e).rfind("line " + std::to_string(b.line) + ": ", 0), 0u);
    }
}

using K = dx::CtyError::Kind;
INSTANTIATE_TEST_SUITE_P(
    Files, Faulty,
    testing::Values(
        Bad{"Empty", "", K::NoEntity, 0}, Bad{"Blank", "\n  \n", K::NoEntity, 0},
        Bad{"SevenFields", Good + "Balearic: 14: 37: EU: 39.6: -2.95: -1.0:\n  EA6;\n",
            K::HeaderFields, 3},
        Bad{"TextAfterHeader", Good + "Balearic: 14: 37: EU: 39.6: -2.95: -1.0: EA6: x\n EA6;\n",
            K::HeaderFields, 3},
        Bad{"NoName", Good + ": 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6;\n", K::BadName, 3},
        Bad{"CqZone41", Good + "B: 41: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6;\n", K::BadZone, 3},
        Bad{"ItuZoneText", Good + "B: 14: x: EU: 39.6: -2.95: -1.0: EA6:\n EA6;\n", K::BadZone, 3},
        Bad{"Continent", Good + "B: 14: 37: XX: 39.6: -2.95: -1.0: EA6:\n EA6;\n", K::BadContinent,
            3},
        Bad{"Latitude", Good + "B: 14: 37: EU: 39,6: -2.95: -1.0: EA6:\n EA6;\n", K::BadNumber, 3},
        Bad{"Longitude181", Good + "B: 14: 37: EU: 39.6: 181: -1.0: EA6:\n EA6;\n", K::BadNumber,
            3},
        Bad{"NoPrimaryPrefix", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: *:\n EA6;\n", K::BadPrefix,
            3},
        Bad{"BlankInAlias", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6,\n EA 7;\n",
            K::BadAlias, 5},
        Bad{"LowerCaseAlias", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n ea6;\n", K::BadAlias,
            4},
        Bad{"EmptyAlias", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6,,EB6;\n",
            K::BadAlias, 4},
        Bad{"EmptyExact", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n =;\n", K::BadAlias, 4},
        Bad{"UnclosedZone", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6(14;\n",
            K::BadOverride, 4},
        Bad{"ItuOverride99", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6[99];\n",
            K::BadOverride, 4},
        Bad{"PositionWithoutSlash", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6<39>;\n",
            K::BadOverride, 4},
        Bad{"ContinentOverride", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6{EUR};\n",
            K::BadOverride, 4},
        Bad{"OffsetOverride", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6~x~;\n",
            K::BadOverride, 4},
        Bad{"AfterSemicolon", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6; EB6\n",
            K::TextAfterEnd, 4},
        Bad{"LastRecordOpen", Good + "B: 14: 37: EU: 39.6: -2.95: -1.0: EA6:\n EA6,\n",
            K::UnterminatedRecord, 3},
        Bad{"RecordRunsIntoNext", "Spain: 14: 37: EU: 40.32: 3.43: -1.0: EA:\n    EA,\n" + Good,
            K::UnterminatedRecord, 1}));

TEST(CtyDat, AcceptsCrLfAndBlankLines) {
    dx::CtyError e;
    const auto db = dx::CtyDatabase::Parse(
        "\r\nSpain: 14: 37: EU: 40.32: 3.43: -1.0: EA:\r\n    EA,\r\n\r\n    EB;\r\n", e);
    ASSERT_TRUE(db.has_value()) << dx::DescribeCtyError(e);
    EXPECT_EQ(db->Resolve("EB1A").entity->name, "Spain");
    EXPECT_EQ(db->prefixCount(), 2u);
}

TEST(CtyDat, MissingFileIsUnreadable) {
    dx::CtyError e;
    EXPECT_FALSE(dx::CtyDatabase::Load("/nonexistent/cty.dat", e).has_value());
    EXPECT_EQ(e.kind, dx::CtyError::Kind::Unreadable);
    EXPECT_NE(dx::DescribeCtyError(e).find("/nonexistent/cty.dat"), std::string::npos);
}

// ---------------------------------------------------------------------------
// The Debian file (package hamradio-files).

TEST(CtyDatDebian, StableAnswers) {
    if (!std::filesystem::exists(Debian))
        GTEST_SKIP() << Debian << " is absent (Debian package hamradio-files not installed)";
    dx::CtyError e;
    const auto db = dx::CtyDatabase::Load(Debian, e);
    ASSERT_TRUE(db.has_value()) << dx::DescribeCtyError(e);
    EXPECT_GT(db->entities().size(), 300u);
    const struct {
        const char* call;
        const char* entity;
    } rows[] = {{"1A", "Sov Mil Order of Malta"}, {"3B8", "Mauritius"},
                {"EA6AB", "Balearic Islands"},    {"EA1AB", "Spain"},
                {"KG4AB", "Guantanamo Bay"},      {"KG4ABC", "United States of America"}};
    for (const auto& r : rows) {
        const auto a = db->Resolve(r.call);
        ASSERT_TRUE(a.found()) << r.call;
        EXPECT_EQ(a.entity->name, r.entity) << r.call;
    }
}

} // namespace
