// The new-version check's rules: version numbers, the program's line in the
// published list, the list's address and the private answer file.
#include "viewer/VersionCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace {

struct NumberCase {
    const char* text;
    int number;
};

class VersionNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(VersionNumberTest, OnlyTheFirstCharacterOfEachComponentCounts) {
    EXPECT_EQ(version::VersionNumber(GetParam().text), GetParam().number) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Examples, VersionNumberTest,
                         testing::Values(NumberCase{"2.2.1", 221}, NumberCase{"3.0", 300},
                                         NumberCase{"2.10.0", 210}, NumberCase{"10.0.0", 100},
                                         NumberCase{"2.3.0 ", 230}, NumberCase{"", 0},
                                         NumberCase{"2", 200}, NumberCase{"2.", 200},
                                         NumberCase{".5.1", 51}, NumberCase{"2..1", 201},
                                         NumberCase{"x.2.1", 0}, NumberCase{"2.x.1", 200},
                                         NumberCase{"2.2.x", 220}, NumberCase{"9.9.9.9", 999},
                                         NumberCase{"2.3.0\r", 230}, NumberCase{"v2.3", 0}));

TEST(VersionCompare, NewerOnlyWhenStrictlyGreater) {
    EXPECT_TRUE(version::IsNewer("2.3.0", "2.2.1"));
    EXPECT_TRUE(version::IsNewer("2.2.2", "2.2.1"));
    EXPECT_FALSE(version::IsNewer("2.2.1", "2.2.1"));
    EXPECT_FALSE(version::IsNewer("2.10.0", "2.2.1")); // 210
    EXPECT_FALSE(version::IsNewer("10.0.0", "2.2.1")); // 100
    EXPECT_FALSE(version::IsNewer("", "2.2.1"));
}

struct AnswerCase {
    const char* name;
    std::string answer;
    std::string version;
};

class PublishedLineTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(PublishedLineTest, FindsTheExactKeyOnly) {
    EXPECT_EQ(version::PublishedVersionIn(GetParam().answer, "korvanta"), GetParam().version);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PublishedLineTest,
    testing::Values(AnswerCase{"Alone", "korvanta=2.2.1", "2.2.1"},
                    AnswerCase{"CrLf", "pelmarin=1.4\r\nkorvanta=2.3.0\r\nother=1", "2.3.0"},
                    AnswerCase{"Lf", "pelmarin=1.4\nkorvanta=2.3.0\n", "2.3.0"},
                    AnswerCase{"Cr", "pelmarin=1.4\rkorvanta=2.3.0\r", "2.3.0"},
                    AnswerCase{"TrailingBlankKept", "korvanta=2.3.0 \r\n", "2.3.0 "},
                    AnswerCase{"PrefixedKey", "xkorvanta=9.9.9\r\n", ""},
                    AnswerCase{"UpperCaseKey", "Korvanta=9.9.9\r\n", ""},
                    AnswerCase{"KeyWithBlank", "korvanta =9.9.9\r\n", ""},
                    AnswerCase{"FirstMatchWins", "korvanta=2.3.0\nkorvanta=9.9.9\n", "2.3.0"},
                    AnswerCase{"OnlyTheFirstEqualsSplits", "korvanta=2.3=0\n", "2.3=0"},
                    AnswerCase{"EqualsFirst", "=korvanta=9\nkorvanta=2.2.1", "2.2.1"},
                    AnswerCase{"EmptyValue", "korvanta=\n", ""},
                    AnswerCase{"NoLine", "pelmarin=1.4\nother=2\n", ""},
                    AnswerCase{"Empty", "", ""}, AnswerCase{"TwoBytes", "ab", ""},
                    AnswerCase{"ThreeBytesNoLine", "abc", ""},
                    AnswerCase{"WebPage", "<html><body>korvanta=9.9.9</body></html>", ""},
                    AnswerCase{"WebPageAfterBlank", "  <p>\nkorvanta=9.9.9", ""},
                    AnswerCase{"AngleLaterIsFine", "abc<\nkorvanta=2.3.0", "2.3.0"},
                    AnswerCase{"BlankLinesBetween", "\r\n\r\n\nkorvanta=2.3.0", "2.3.0"}),
    [](const testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST(Lines, EndAtCrLfLfOrCr) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(version::Lines("a\r\nb\nc\rd"), (V{"a", "b", "c", "d"}));
    EXPECT_EQ(version::Lines("a\n\nb\r\n"), (V{"a", "", "b"}));
    EXPECT_EQ(version::Lines("\r\r\n"), (V{"", ""}));
    EXPECT_TRUE(version::Lines("").empty());
}

TEST(SiteAddress, TheVariableReplacesTheRoot) {
    EXPECT_EQ(version::SiteRoot(nullptr, "http://www.tovak.example/"), "http://www.tovak.example/");
    EXPECT_EQ(version::SiteRoot("", "http://www.tovak.example/"), "http://www.tovak.example/");
    EXPECT_EQ(version::SiteRoot("http://127.0.0.1:8080", "http://www.tovak.example/"),
              "http://127.0.0.1:8080/");
    EXPECT_EQ(version::VersionsUrl("http://mirror.example/tovak/"),
              "http://mirror.example/tovak/index_fichiers/versions.txt");
}

// The answer file: private, outside the current folder, removed whatever happens.
TEST(FetchPublishedVersion, TheAnswerFileIsPrivateAndAlwaysRemoved) {
    for (const bool succeeds : {true, false}) {
        std::string seen;
        std::string url;
        const std::string v = version::FetchPublishedVersion(
            "korvanta", "http://site/index_fichiers/versions.txt",
            [&](const std::string& u, const std::string& file) {
                url = u;
                seen = file;
                struct stat st {};
                EXPECT_EQ(stat(file.c_str(), &st), 0);
                EXPECT_EQ(st.st_mode & 0777, 0600u);
                EXPECT_NE(std::filesystem::path(file).filename(), "versions.txt");
                EXPECT_NE(std::filesystem::absolute(file).parent_path(),
                          std::filesystem::current_path());
                std::ofstream(file, std::ios::binary) << "korvanta=2.3.0\r\n";
                return succeeds;
            });
        EXPECT_EQ(url, "http://site/index_fichiers/versions.txt");
        EXPECT_EQ(v, succeeds ? "2.3.0" : "");
        ASSERT_FALSE(seen.empty());
        EXPECT_FALSE(std::filesystem::exists(seen));
    }
}

TEST(FetchPublishedVersion, AFileRemovedByTheDownloadIsAnEmptyAnswer) {
    const std::string v = version::FetchPublishedVersion(
        "korvanta", "u", [](const std::string&, const std::string& file) {
            std::filesystem::remove(file);
            return true;
        });
    EXPECT_EQ(v, "");
}

} // namespace
