// The toolkit-free rules of the azimuth link: service name, value framing,
// line limits, the client's reply reader, the socket's folder, the rotator's
// addresses, commands and answers.
#include "link/LinkProtocol.h"

#include "geo/Position.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace azlink;

TEST(LinkRules, ServiceNameIsTheFileNameCutBeforeItsFirstDot) {
    const struct {
        const char* path;
        const char* service;
    } cases[] = {
        {"/usr/bin/korvanta", "korvanta"},
        {"korvanta.exe", "korvanta"},
        {"/opt/k.v2/korvanta.test.bin", "korvanta"},
        {"/home/me/radio-map", "radio-map"},
        {"/home/me/.hidden", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ServiceName(c.path), c.service) << c.path;
}

TEST(LinkRules, ValueIsTheLineWithCrLfThenNul) {
    EXPECT_EQ(ItemValue(""), std::string(1, '\0'));
    EXPECT_EQ(ItemValue("237"), std::string("237\r\n\0", 6));
    EXPECT_EQ(DataMessage(ItemValue("5")), std::string("DATA 4\n5\r\n\0", 11));
    EXPECT_EQ(AdviseMessage(ItemValue("")), std::string("ADVISE 1\n\0", 10));
    EXPECT_EQ(ValueDigits(ItemValue("360")), "360");
    EXPECT_EQ(ValueDigits(ItemValue("")), "");
}

TEST(LinkRules, PublishedFormRoundsHalvesToEvenAndKeeps360) {
    const struct {
        geo::Real bearing;
        long long published;
    } cases[] = {{359.7L, 360}, {90.5L, 90}, {91.5L, 92}, {0.5L, 0}, {2.5L, 2}, {359.4L, 359}};
    for (const auto& c : cases) {
        EXPECT_EQ(geo::Round(c.bearing), c.published) << static_cast<double>(c.bearing);
        // The rotator takes 0..359.
        EXPECT_EQ(RotatorAzimuth(c.published), c.published == 360 ? 0 : c.published);
    }
}

TEST(LinkRules, LinesEndAtLfWithoutCrAndAtMost256Bytes) {
    LineSplitter s;
    std::vector<std::string> lines;
    EXPECT_TRUE(s.feed("CONNECT Da", lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(s.feed("ta\r\nREQUEST Azimuth CF_TEXT\nPO", lines));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "CONNECT Data");
    EXPECT_EQ(lines[1], "REQUEST Azimuth CF_TEXT");
    EXPECT_EQ(s.pending(), 2u);

    LineSplitter full;
    lines.clear();
    EXPECT_TRUE(full.feed(std::string(256, 'A') + "\r\n", lines));
    EXPECT_EQ(lines.size(), 1u);
    LineSplitter over;
    EXPECT_FALSE(over.feed(std::string(257, 'A') + "\n", lines));
    EXPECT_FALSE(over.feed("CONNECT Data\n", lines)); // for good
    LineSplitter unfinished;
    EXPECT_FALSE(unfinished.feed(std::string(300, 'A'), lines));
}

TEST(LinkRules, ReplyReaderSeparatesLinesAndValueBlocks) {
    ReplyReader r;
    std::vector<ServerMessage> out;
    const std::string stream = std::string("OK\nDATA 6\n237\r\n\0ADVISE 1\n\0NODATA\n", 33);
    // Byte by byte: blocks may arrive in pieces.
    for (char c : stream)
        ASSERT_TRUE(r.feed(std::string_view(&c, 1), out));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].text, "OK");
    EXPECT_EQ(out[1].kind, ServerMessage::Kind::Data);
    EXPECT_EQ(out[1].text, std::string("237\r\n\0", 6));
    EXPECT_EQ(out[2].kind, ServerMessage::Kind::Advise);
    EXPECT_EQ(out[2].text, std::string(1, '\0'));
    EXPECT_EQ(out[3].text, "NODATA");
    ReplyReader bad;
    EXPECT_FALSE(bad.feed("DATA x\n", out));
}

TEST(LinkRules, PrivateFolderBelongsToUsAndIsClosedToOthers) {
    const struct {
        bool isFolder;
        unsigned owner, mode;
        FolderProblem expected;
    } cases[] = {
        {true, 1000, 040700, FolderProblem::None},
        {true, 1000, 040500, FolderProblem::None},
        {false, 1000, 0100600, FolderProblem::NotAFolder},
        {true, 0, 040700, FolderProblem::OtherOwner},
        {true, 1000, 040750, FolderProblem::OpenToOthers},
        {true, 1000, 040701, FolderProblem::OpenToOthers},
        {true, 1000, 041777, FolderProblem::OpenToOthers},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckPrivateFolder(c.isFolder, c.owner, c.mode, 1000), c.expected) << c.mode;
    EXPECT_NE(FolderProblemText(FolderProblem::OtherOwner, "/tmp/x").find("another user"),
              std::string::npos);
}

TEST(LinkRules, SocketLivesInTheRuntimeFolderElseInAPrivateTemporaryOne) {
    const SocketPlace xdg = ChooseSocketPlace("korvanta", "/run/user/1000", "/tmp", 1000, true);
    EXPECT_EQ(xdg.path, "/run/user/1000/korvanta.sock");
    EXPECT_FALSE(xdg.createFolder);
    for (const char* runtime : {static_cast<const char*>(nullptr), "", "/run/user/1000"}) {
        const SocketPlace t = ChooseSocketPlace("korvanta", runtime, "/var/tmp/", 1000, false);
        EXPECT_EQ(t.folder, "/var/tmp/korvanta-1000");
        EXPECT_EQ(t.path, "/var/tmp/korvanta-1000/korvanta.sock");
        EXPECT_TRUE(t.createFolder);
    }
}

TEST(LinkRules, FallbackFolderIsMadePrivateAndRefusedWhenOpenOrALink) {
    char pattern[] = "/tmp/korvanta-rules-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string base = pattern;
    const SocketPlace place = ChooseSocketPlace("svc", nullptr, base, ::getuid(), false);
    EXPECT_FALSE(PrepareSocketFolder(place, ::getuid()).has_value());
    struct stat st {};
    ASSERT_EQ(::stat(place.folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Made open to others (by someone else): refused, and left as it is.
    ::chmod(place.folder.c_str(), 0755);
    const auto open = PrepareSocketFolder(place, ::getuid());
    ASSERT_TRUE(open.has_value());
    EXPECT_NE(open->find("open to other users"), std::string::npos);
    ::stat(place.folder.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    // A link put in its place is no folder of ours.
    const SocketPlace other = ChooseSocketPlace("lnk", nullptr, base, ::getuid(), false);
    std::filesystem::create_directory_symlink(place.folder, other.folder);
    EXPECT_TRUE(PrepareSocketFolder(other, ::getuid()).has_value());
    std::filesystem::remove_all(base);
}

TEST(LinkRules, RotatorAddressIsHostWithAnOptionalPort) {
    const struct {
        const char* text;
        bool valid;
        const char* host;
        int port;
    } cases[] = {
        {"localhost:4533", true, "localhost", 4533},
        {" 127.0.0.1:4600 ", true, "127.0.0.1", 4600},
        {"rotor.lan", true, "rotor.lan", 4533},
        {"[::1]:4533", true, "::1", 4533},
        {"::1", true, "::1", 4533},
        {"host:", false, "", 0},
        {"host:0", false, "", 0},
        {"host:65536", false, "", 0},
        {"host:45x", false, "", 0},
        {":4533", false, "", 0},
        {"", false, "", 0},
        {"bad host:4533", false, "", 0},
        {"[::1", false, "", 0},
    };
    for (const auto& c : cases) {
        const auto hp = ParseHostPort(c.text);
        ASSERT_EQ(hp.has_value(), c.valid) << c.text;
        if (!hp) continue;
        EXPECT_EQ(hp->host, c.host) << c.text;
        EXPECT_EQ(hp->port, c.port) << c.text;
    }
}

TEST(LinkRules, RotatorCommandAndAnswers) {
    EXPECT_EQ(RotatorCommand(RotatorAzimuth(360)), "P 0 0\n");
    EXPECT_EQ(RotatorCommand(RotatorAzimuth(237)), "P 237 0\n");
    EXPECT_EQ(RotatorReply("RPRT 0\n"), 0);
    EXPECT_EQ(RotatorReply("RPRT -1"), -1);
    EXPECT_EQ(RotatorReply("RPRT -11\r\n"), -11);
    EXPECT_FALSE(RotatorReply("237.000000").has_value());
    EXPECT_FALSE(RotatorReply("RPRT").has_value());
    EXPECT_FALSE(RotatorReply("RPRT x").has_value());
}
