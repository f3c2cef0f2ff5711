// korvanta-render as a whole program: the map it writes, and its answer to
// bad input (one line on standard error, non-zero exit, no file written).
#include "ChildProcess.h"
#include "ProjectionTestWorld.h"
#include "geo/Bitmap.h"
#include "geo/GapFree.h"
#include "geo/GreyLine.h"
#include "geo/LocatorGrid.h"
#include "geo/Projection.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using child_process::ReadText;
using child_process::Result;

std::vector<uint8_t> ReadBytes(const fs::path& p) {
    const std::string s = ReadText(p);
    return {s.begin(), s.end()};
}

void WriteBytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit bottom-up Windows bitmap of RGB rows.
std::vector<uint8_t> Bmp24(const std::vector<uint8_t>& rgb, int w, int h) {
    const uint32_t rowBytes = (w * 3 + 3) / 4 * 4;
    const uint32_t size = 54 + rowBytes * h;
    std::vector<uint8_t> b;
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    b.push_back('B');
    b.push_back('M');
    put(size, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(w, 4);
    put(h, 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(rowBytes * h, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = h - 1; y >= 0; --y) {
        const size_t start = b.size();
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
        }
        while (b.size() - start < rowBytes)
            b.push_back(0);
    }
    return b;
}

class Render : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = fs::temp_directory_path() / ("korvanta-render-test-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        worldRgb_ = projection_test::NoiseRgb(geo::MercatorWidth, geo::MercatorHeight, 5);
        WriteBytes(dir_ / "world.bmp", Bmp24(worldRgb_, geo::MercatorWidth, geo::MercatorHeight));
        auto small = projection_test::NoiseRgb(1193, 765, 6);
        WriteBytes(dir_ / "narrow.bmp", Bmp24(small, 1193, 765));
        WriteBytes(dir_ / "garbage.bmp", {'B', 'M', 1, 2, 3, 4, 5});
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }

    static std::string P(const std::string& name) { return (dir_ / name).string(); }
    static std::string World() { return P("world.bmp"); }

    static Result Run(const std::vector<std::string>& args) {
        return child_process::Run(KORVANTA_RENDER, args, dir_);
    }

    // Bad input: an error line, a failure status, and nothing new in the folder.
    static void ExpectRefused(const std::vector<std::string>& args, const std::string& hint) {
        std::vector<fs::path> before;
        for (const auto& e : fs::directory_iterator(dir_))
            before.push_back(e.path().filename());
        const Result r = Run(args);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_NE(r.status, 0) << joined;
        EXPECT_EQ(r.out, "") << joined;
        ASSERT_FALSE(r.err.empty()) << joined;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << ": " << r.err;
        EXPECT_EQ(r.err.back(), '\n') << joined;
        EXPECT_NE(r.err.find(hint), std::string::npos) << joined << ": " << r.err;
        for (const auto& e : fs::directory_iterator(dir_)) {
            const auto name = e.path().filename();
            if (name == "stdout.txt" || name == "stderr.txt") continue;
            EXPECT_NE(std::find(before.begin(), before.end(), name), before.end())
                << joined << " left " << name;
        }
    }

    static inline fs::path dir_;
    static inline std::vector<uint8_t> worldRgb_;
};

TEST_F(Render, WritesTheSameMapAsTheEngineAndPrintsTheCentre) {
    const Result r = Run({"--locator", "jn18eu", "-o", P("paris.bmp"), "--world", World()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "48\xC2\xB0"
                     "51' N / 2\xC2\xB0"
                     "22' E\n");
    EXPECT_EQ(r.err, "");

    const geo::WorldIndex world = geo::WorldIndex::FromRgb(
        worldRgb_.data(), geo::MercatorWidth, geo::MercatorHeight, geo::MercatorWidth * 3);
    geo::PositionState s;
    const auto c = geo::DecodeLocator("JN18EU");
    s.CentreLat = c->lat;
    s.CentreLon = c->lon;
    geo::PaletteImage map = geo::BlankBackground();
    geo::Generate(world, s, map, nullptr, nullptr);
    // The written map is the engine's, except for the signature mark that the
    // built-in background may carry on the black of the lower right corner.
    const auto bmp = ReadBytes(P("paris.bmp"));
    const auto expected = geo::EncodeBmp4(map);
    ASSERT_EQ(bmp.size(), expected.size());
    EXPECT_TRUE(std::equal(bmp.begin(), bmp.begin() + 118, expected.begin()));
    const geo::PaletteImage bg = geo::BlankBackground();
    long differing = 0, outsideTheCorner = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 600; ++x) {
            const uint8_t b = bmp[118 + static_cast<size_t>(599 - y) * 300 + x / 2];
            const uint8_t v = x % 2 ? b & 0x0F : b >> 4;
            if (v == map.at(x, y)) continue;
            ++differing;
            if (x < 450 || y < 450 || map.at(x, y) != geo::PaletteBlack ||
                bg.at(x, y) != geo::PaletteBlack)
                ++outsideTheCorner;
        }
    }
    EXPECT_EQ(outsideTheCorner, 0) << differing << " pixels differ";
    fs::remove(P("paris.bmp"));
}

TEST_F(Render, TheThreeFormsOfTheCentreAndPng) {
    Result r = Run({"--latlon=48.85,2.35", "--output", P("a.PNG"), "--world=" + World()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "48\xC2\xB0"
                     "51' N / 2\xC2\xB0"
                     "21' E\n");
    const auto png = ReadBytes(P("a.PNG"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);

    r = Run({"--pixel", "597,382", "-o", P("b.bmp"), "--world", World()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0\xC2\xB0"
                     "7' N / 0\xC2\xB0"
                     "0' E\n");
    EXPECT_EQ(ReadBytes(P("b.bmp")).size(), 118u + 300 * 600);

    // The pole row: the text reads 90 degrees.
    r = Run({"--pixel", "0,0", "-o", P("c.bmp"), "--world", World()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "90\xC2\xB0"
                     "0' N / 180\xC2\xB0"
                     "0' W\n");
    for (const char* f : {"a.PNG", "b.bmp", "c.bmp"})
        fs::remove(P(f));
}

#if __has_include("resources/Resources.h")
TEST_F(Render, TheBuiltInWorldMapNeedsNoFile) {
    const Result r = Run({"--locator", "JN18EU", "-o", P("built-in.bmp")});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto bmp = ReadBytes(P("built-in.bmp"));
    ASSERT_EQ(bmp.size(), 118u + 300 * 600);
    // Bottom-up rows, two pixels a byte: the centre pixel (300, 300) is Paris
    // (land, not sea), the corner (0, 0) black.
    auto at = [&](int x, int y) {
        const uint8_t b = bmp[118 + static_cast<size_t>(599 - y) * 300 + x / 2];
        return x % 2 ? b & 0x0F : b >> 4;
    };
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_NE(at(300, 300), 10);
    EXPECT_NE(at(300, 300), 0);
    fs::remove(P("built-in.bmp"));
}
#endif

TEST_F(Render, GreyLineAndGridOverTheMap) {
    // A 24-bit bitmap: the plain map where the sun shines, darker in the
    // night, the grid lines on top.
    Result r = Run({"--locator", "JN18EU", "-o", P("plain.bmp"), "--world", World()});
    ASSERT_EQ(r.status, 0) << r.err;
    r = Run({"--locator", "JN18EU", "-o", P("night.bmp"), "--world", World(), "--greyline",
             "2026-06-21T12:00Z"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto plain = ReadBytes(P("plain.bmp"));
    const auto night = ReadBytes(P("night.bmp"));
    ASSERT_EQ(plain.size(), 118u + 300 * 600);
    ASSERT_EQ(night.size(), 54u + 1800 * 600);
    auto plainAt = [&](int x, int y) {
        const uint8_t b = plain[118 + static_cast<size_t>(599 - y) * 300 + x / 2];
        return geo::Palette[x % 2 ? b & 0x0F : b >> 4];
    };
    auto rgbAt = [&](const std::vector<uint8_t>& bmp, int x, int y) {
        const uint8_t* p = &bmp[54 + static_cast<size_t>(599 - y) * 1800 + x * 3];
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    };
    auto brightness = [](uint32_t c) { return (c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF); };

    const auto c = geo::DecodeLocator("JN18EU");
    const geo::PositionGrid grid(c->lat, c->lon);
    const geo::SunPosition sun = geo::SunAt(geo::UnixTime(2026, 6, 21, 12));
    std::vector<geo::Daylight> classes;
    geo::SphereGrid(grid).Classify(sun, classes);
    const auto sunAt = geo::ProjectToMap(static_cast<double>(c->lat), static_cast<double>(c->lon),
                                         sun.subsolarLat, sun.subsolarLon);
    ASSERT_TRUE(sunAt);
    long day = 0, dayChanged = 0, dark = 0, darker = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) {
            if (std::hypot(x - sunAt->p.x, y - sunAt->p.y) < 12) continue; // the sun symbol
            const auto d = classes[static_cast<size_t>(y) * 600 + x];
            if (d == geo::Daylight::Day) {
                ++day;
                if (rgbAt(night, x, y) != plainAt(x, y)) ++dayChanged;
            } else if (d == geo::Daylight::Night) {
                ++dark;
                if (brightness(rgbAt(night, x, y)) < brightness(plainAt(x, y))) ++darker;
            }
        }
    EXPECT_GT(day, 100000);
    EXPECT_EQ(dayChanged, 0);
    EXPECT_GT(dark, 50000);
    EXPECT_GT(darker, dark * 95 / 100) << darker << " of " << dark;

    // The grid alone, as PNG: lines and names change some pixels, not most.
    r = Run({"--locator", "JN18EU", "-o", P("grid.png"), "--world", World(), "--grid"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto png = ReadBytes(P("grid.png"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    for (const char* f : {"plain.bmp", "night.bmp", "grid.png"})
        fs::remove(P(f));
}

TEST_F(Render, RefusesBadOverlayTimes) {
    const std::string o = P("x.bmp"), w = World();
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", w, "--greyline", "2026-06-21T12:00"},
                  "UTC moment");
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", w, "--greyline=2026-02-30T12:00Z"},
                  "2026-02-30");
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", w, "--greyline"}, "needs a value");
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", w, "--greyline", "2026-06-21T12:00Z",
                   "--greyline", "2026-06-21T13:00Z"},
                  "twice");
}

TEST_F(Render, HelpDocumentsTheOptions) {
    const Result r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"--locator", "--latlon", "--pixel", "-o", "--world", ".bmp", ".png",
                             "uncompressed", "--greyline", "--grid"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST_F(Render, RefusesBadCentres) {
    const std::string o = P("x.bmp"), w = World();
    ExpectRefused({"--locator", "JN18", "-o", o, "--world", w}, "JN18");
    ExpectRefused({"--locator", "JS18EU", "-o", o, "--world", w}, "not accepted");
    ExpectRefused({"--locator", "JN18EZ", "-o", o, "--world", w}, "not accepted");
    ExpectRefused({"--latlon", "91,0", "-o", o, "--world", w}, "latitude");
    ExpectRefused({"--latlon", "0,-180.5", "-o", o, "--world", w}, "longitude");
    ExpectRefused({"--latlon", "48.85", "-o", o, "--world", w}, "--latlon");
    ExpectRefused({"--latlon", "48.85,2.35,1", "-o", o, "--world", w}, "--latlon");
    ExpectRefused({"--latlon", "4x,2", "-o", o, "--world", w}, "--latlon");
    ExpectRefused({"--latlon", "nan,2", "-o", o, "--world", w}, "--latlon");
    ExpectRefused({"--latlon", ",", "-o", o, "--world", w}, "--latlon");
    ExpectRefused({"--pixel", "1194,0", "-o", o, "--world", w}, "outside");
    ExpectRefused({"--pixel", "0,765", "-o", o, "--world", w}, "outside");
    ExpectRefused({"--pixel", "-1,3", "-o", o, "--world", w}, "outside");
    ExpectRefused({"--pixel", "1.5,2", "-o", o, "--world", w}, "--pixel");
    ExpectRefused({"--pixel", "99999999999,2", "-o", o, "--world", w}, "--pixel");
    ExpectRefused({"-o", o, "--world", w}, "no centre");
    ExpectRefused({"--locator", "JN18EU", "--pixel", "1,1", "-o", o, "--world", w}, "only one");
    ExpectRefused({"--locator", "JN18\nEU", "-o", o, "--world", w}, "not accepted");
}

TEST_F(Render, RefusesBadOptionsWorldsAndOutputs) {
    const std::string o = P("x.bmp"), w = World();
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", w, "--frobnicate"}, "unknown option");
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", w, "stray"}, "unexpected");
    ExpectRefused({"--locator", "JN18EU", "--world", w, "-o"}, "needs a value");
    ExpectRefused({"--locator"}, "needs a value");
    ExpectRefused({"--locator", "JN18EU", "--world", w}, "no output");
    ExpectRefused({"--locator", "JN18EU", "-o", o, "-o", o, "--world", w}, "twice");
    ExpectRefused({"--locator", "JN18EU", "-o", P("x.gif"), "--world", w}, ".bmp, .png or .pdf");
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", P("missing.png")}, "missing.png");
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", P("narrow.bmp")}, "1193 x 765");
    ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", P("garbage.bmp")}, "garbage.bmp");
    ExpectRefused({"--locator", "JN18EU", "-o", P("no/such/folder/x.bmp"), "--world", w}, "x.bmp");
    fs::create_directory(P("taken.bmp"));
    ExpectRefused({"--locator", "JN18EU", "-o", P("taken.bmp"), "--world", w}, "taken.bmp");
    fs::remove(P("taken.bmp"));
}

TEST_F(Render, RefusesDamagedWorldPictures) {
    // A bitmap cut short: the reader would fill in the missing rows.
    auto bmp = Bmp24(worldRgb_, geo::MercatorWidth, geo::MercatorHeight);
    bmp.resize(bmp.size() / 2);
    WriteBytes(P("short.bmp"), bmp);
    ExpectRefused({"--locator", "JN18EU", "-o", P("x.bmp"), "--world", P("short.bmp")}, "damaged");
    fs::remove(P("short.bmp"));

    // A PNG cut short: the picture library's own complaint stays off the screen.
    const fs::path png = fs::path(KORVANTA_SOURCE_DIR) / "resources" / "worldmap.png";
    if (!fs::exists(png)) GTEST_SKIP() << "no PNG world map in the sources yet";
    auto bytes = ReadBytes(png);
    bytes.resize(bytes.size() / 3);
    WriteBytes(P("short.png"), bytes);
    ExpectRefused({"--locator", "JN18EU", "-o", P("x.bmp"), "--world", P("short.png")},
                  "short.png");
    fs::remove(P("short.png"));
}

TEST_F(Render, OnlyPlainFilesOfFormatsWhoseDamageShows) {
    const std::string o = P("x.bmp");
    auto refused = [&](const std::string& world, const std::string& hint) {
        ExpectRefused({"--locator", "JN18EU", "-o", o, "--world", world}, hint);
    };
    // A pipe without a writer would wait for ever in the reader's open.
    ASSERT_EQ(mkfifo(P("fifo.png").c_str(), 0600), 0);
    refused(P("fifo.png"), "not a plain file");
    fs::remove(P("fifo.png"));
    refused(dir_.string(), "not a plain file");
    // The real reason, not "File not found".
    refused(World() + "/x.png", "Not a directory");

    // A run-length bitmap holding 100 of its 765 rows: refused as compressed.
    std::vector<uint8_t> rle = Bmp24({}, 0, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            rle[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(18, geo::MercatorWidth);
    put32(22, geo::MercatorHeight);
    rle[28] = 8;
    put32(30, 1); // BI_RLE8
    for (int row = 0; row < 100; ++row) {
        for (int left = geo::MercatorWidth; left > 0; left -= 200)
            rle.insert(rle.end(), {static_cast<uint8_t>(std::min(left, 200)), 3});
        rle.insert(rle.end(), {0, 0});
    }
    rle.insert(rle.end(), {0, 1});
    WriteBytes(P("rle.bmp"), rle);
    refused(P("rle.bmp"), "compressed");
    fs::remove(P("rle.bmp"));

    // A GIF (cut in half or whole): not a format whose damage can be told.
    WriteBytes(P("half.gif"), {'G', 'I', 'F', '8', '9', 'a', 0xAA, 0x04, 0xFD, 0x02, 0xF7, 0});
    refused(P("half.gif"), "neither a PNG nor an uncompressed Windows bitmap");
    fs::remove(P("half.gif"));

    const fs::path png = fs::path(KORVANTA_SOURCE_DIR) / "resources" / "worldmap.png";
    if (!fs::exists(png)) GTEST_SKIP() << "no PNG world map in the sources";
    auto bytes = ReadBytes(png);
    // A damaged header: the one error line, no line of the picture library.
    auto header = bytes;
    header[20] ^= 0x40; // the width in IHDR
    WriteBytes(P("header.png"), header);
    refused(P("header.png"), "damaged");
    // A byte changed in the middle of the picture data.
    auto middle = bytes;
    middle[middle.size() / 2] ^= 0x01;
    WriteBytes(P("middle.png"), middle);
    refused(P("middle.png"), "damaged");
    fs::remove(P("header.png"));
    fs::remove(P("middle.png"));
    // The whole file is still drawn from.
    WriteBytes(P("whole.png"), bytes);
    EXPECT_EQ(Run({"--locator", "JN18EU", "-o", o, "--world", P("whole.png")}).status, 0);
    fs::remove(P("whole.png"));
    fs::remove(o);
}

TEST_F(Render, OutputNamesUpToTheLongestAFolderTakes) {
    for (const size_t length : {249u, 255u}) {
        const std::string name = P(std::string(length - 4, 'o') + ".bmp");
        const Result r = Run({"--locator", "JN18EU", "-o", name, "--world", World()});
        EXPECT_EQ(r.status, 0) << length << ": " << r.err;
        EXPECT_EQ(ReadBytes(name).size(), 118u + 300 * 600) << length;
        fs::remove(name);
    }
}

TEST_F(Render, AFailedRunLeavesTheOldMapAlone) {
    WriteBytes(P("old.bmp"), {'o', 'l', 'd'});
    ExpectRefused({"--locator", "JN18EU", "-o", P("old.bmp"), "--world", P("narrow.bmp")}, "1193");
    EXPECT_EQ(ReadText(P("old.bmp")), "old");
    const Result r = Run({"--locator", "JN18EU", "-o", P("old.bmp"), "--world", World()});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadBytes(P("old.bmp")).size(), 118u + 300 * 600);
    fs::remove(P("old.bmp"));
}

// Width and height of a PNG file from its header.
std::pair<uint32_t, uint32_t> PngSize(const std::vector<uint8_t>& b) {
    if (b.size() < 24 || b[1] != 'P' || b[2] != 'N' || b[3] != 'G') return {0, 0};
    auto be32 = [&](size_t at) {
        return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
               uint32_t(b[at + 3]);
    };
    return {be32(16), be32(20)};
}

// A binary PPM picture (as pdftoppm writes it).
struct Ppm {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    uint32_t at(int x, int y) const {
        const size_t i = (static_cast<size_t>(y) * width + x) * 3;
        return uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2];
    }
};

Ppm ReadPpm(const fs::path& p) {
    Ppm out;
    std::ifstream in(p, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> out.width >> out.height >> maxval;
    in.get();
    if (magic != "P6" || maxval != 255 || out.width <= 0 || out.height <= 0) return {};
    out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
    in.read(reinterpret_cast<char*>(out.rgb.data()), static_cast<std::streamsize>(out.rgb.size()));
    return in ? out : Ppm{};
}

TEST_F(Render, GapFreeMapsAtEverySize) {
    for (int size : {300, 600, 1200}) {
        const std::string out = P("fill" + std::to_string(size) + ".png");
        const Result r =
            Run({"--locator", "JN18EU", "--fill", "--size", std::to_string(size), "-o", out});
        ASSERT_EQ(r.status, 0) << r.err;
        const auto [w, h] = PngSize(ReadBytes(out));
        EXPECT_EQ(w, static_cast<uint32_t>(size));
        EXPECT_EQ(h, static_cast<uint32_t>(size));
        fs::remove(out);
    }
    // The gap-free 600 bitmap from a given world is the engine's map.
    const Result r =
        Run({"--latlon", "-33.9,151.2", "--fill", "-o", P("f.bmp"), "--world", World()});
    ASSERT_EQ(r.status, 0) << r.err;
    const geo::WorldIndex world = geo::WorldIndex::FromRgb(
        worldRgb_.data(), geo::MercatorWidth, geo::MercatorHeight, geo::MercatorWidth * 3);
    geo::PaletteImage map = geo::BlankBackground();
    geo::GenerateGapFree(world, -33.9L, 151.2L, map);
    const auto bmp = ReadBytes(P("f.bmp"));
    ASSERT_EQ(bmp.size(), 118u + 300 * 600);
    long differing = 0;
    for (int y = 0; y < 450; ++y) // above the signature corner
        for (int x = 0; x < 600; ++x) {
            const uint8_t b = bmp[118 + static_cast<size_t>(599 - y) * 300 + x / 2];
            if ((x % 2 ? b & 0x0F : b >> 4) != map.at(x, y)) ++differing;
        }
    EXPECT_EQ(differing, 0);
    fs::remove(P("f.bmp"));
}

TEST_F(Render, SizeAndPosterOptionsAreChecked) {
    const std::string o = P("x.png");
    ExpectRefused({"--locator", "JN18EU", "--size", "1200", "-o", o}, "needs --fill");
    ExpectRefused({"--locator", "JN18EU", "--fill", "--size", "299", "-o", o}, "300 to 4800");
    ExpectRefused({"--locator", "JN18EU", "--fill", "--size", "4801", "-o", o}, "300 to 4800");
    ExpectRefused({"--locator", "JN18EU", "--fill", "--size", "12x", "-o", o}, "whole number");
    ExpectRefused({"--locator", "JN18EU", "--fill", "--size", "600", "--size=600", "-o", o},
                  "twice");
    ExpectRefused({"--locator", "JN18EU", "--paper", "A4", "-o", o}, "add --pdf");
    ExpectRefused({"--locator", "JN18EU", "--pdf", "--paper", "A5", "-o", P("x.pdf")}, "A5");
    ExpectRefused({"--locator", "JN18EU", "--pdf", "-o", o}, "must end in .pdf");
    ExpectRefused({"--locator", "JN18EU", "-o", P("x.pdf")}, "add --pdf");
    ExpectRefused({"--locator", "JN18EU", "--pdf", "-o", P("no/such/folder/x.pdf")}, "x.pdf");
    const Result help = Run({"--help"});
    for (const char* word : {"--fill", "--size", "--pdf", "--paper", "Tabloid"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
}

TEST_F(Render, PosterPdfOpensAsAPage) {
    if (std::system("pdftoppm -v >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    for (const char* paper : {"A4", "Letter"}) {
        const std::string pdf = P(std::string("poster-") + paper + ".pdf");
        const Result r =
            Run({"--locator", "JN18EU", "--pdf", "--paper", paper, "-o", pdf, "--size", "1200"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ReadText(pdf).substr(0, 5), "%PDF-");
        // Page 1 at 36 dots per inch.
        const std::string cmd =
            "pdftoppm -r 36 -f 1 -l 1 -singlefile '" + pdf + "' '" + P("page") + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        const Ppm page = ReadPpm(P("page.ppm"));
        // A4 is 8.27 x 11.69 inches, Letter 8.5 x 11.
        if (std::string(paper) == "A4") {
            EXPECT_NEAR(page.width, 298, 1);
            EXPECT_NEAR(page.height, 421, 1);
        } else {
            EXPECT_NEAR(page.width, 306, 1);
            EXPECT_NEAR(page.height, 396, 1);
        }
        ASSERT_GT(page.width, 100);
        // White paper in the corners, the sea colour inside the map's disc,
        // dark title text at the top.
        EXPECT_EQ(page.at(3, 3), 0xFFFFFFu);
        EXPECT_EQ(page.at(page.width - 4, page.height - 4), 0xFFFFFFu);
        long sea = 0, dark = 0;
        for (int y = page.height / 4; y < page.height * 3 / 4; ++y)
            for (int x = page.width / 4; x < page.width * 3 / 4; ++x) {
                const uint32_t c = page.at(x, y);
                const int dr = int(c >> 16) - 0xDE, dg = int((c >> 8) & 255) - 0xF7,
                          db = int(c & 255) - 0xFF;
                if (dr * dr + dg * dg + db * db < 300) ++sea;
            }
        for (int y = 0; y < page.height / 10; ++y)
            for (int x = 0; x < page.width; ++x)
                if ((page.at(x, y) >> 16) < 100) ++dark;
        EXPECT_GT(sea, page.width * page.height / 4 / 10) << paper;
        EXPECT_GT(dark, 20) << paper;
        fs::remove(P("page.ppm"));
        fs::remove(pdf);
    }
}

// Regional maps: refused values, and a 16-colour bitmap of JN18EU at 500 km:
// black corners, land at the centre, the Channel, and the white scale
// bar in the lower left corner only.
TEST_F(Render, RegionalMaps) {
    const std::string o = P("r.bmp");
    ExpectRefused({"--locator", "JN18EU", "--range", "5", "-o", o}, "10 to 20000");
    ExpectRefused({"--locator", "JN18EU", "--range", "20001", "-o", o}, "10 to 20000");
    ExpectRefused({"--locator", "JN18EU", "--range", "1e3", "-o", o}, "kilometres");
    ExpectRefused({"--locator", "JN18EU", "--range", "500", "--range", "250", "-o", o}, "twice");
    ExpectRefused({"--locator", "JN18EU", "--miles", "-o", o}, "--range");
    const Result r = Run({"--locator", "JN18EU", "--range", "500", "-o", o});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto bmp = ReadBytes(o);
    ASSERT_EQ(bmp.size(), 118u + 300 * 600);
    auto at = [&](int x, int y) {
        const uint8_t b = bmp[118 + static_cast<size_t>(599 - y) * 300 + x / 2];
        return x % 2 ? b & 0x0F : b >> 4;
    };
    EXPECT_EQ(at(0, 0), geo::PaletteBlack);
    EXPECT_EQ(at(599, 0), geo::PaletteBlack);
    EXPECT_NE(at(300, 300), 10); // Paris: land
    // The Channel, 150 to 230 km north-west of Paris.
    long sea = 0;
    for (int x = 160; x < 240; ++x)
        sea += at(x, 210) == 10;
    EXPECT_GT(sea, 70);
    long whiteLeft = 0, whiteRight = 0;
    for (int y = 540; y < 600; ++y)
        for (int x = 0; x < 150; ++x) {
            whiteLeft += at(x, y) == geo::PaletteWhite;
            whiteRight += at(599 - x, y) == geo::PaletteWhite;
        }
    EXPECT_GT(whiteLeft, 100);
    EXPECT_EQ(whiteRight, 0);
    // The overlays at the regional frame: at midnight UTC in December the
    // whole 500 km disc around Paris is in the night, so the grey line
    // darkens it (a 24-bit bitmap), and the grid's square lines (about 67
    // pixels apart at this range) and names change some pixels more, not most.
    const std::string n = P("rn.bmp"), g = P("rg.bmp");
    for (const auto& [file, grid] : {std::pair{n, false}, std::pair{g, true}}) {
        std::vector<std::string> args = {
            "--locator", "JN18EU", "--range", "500", "--greyline", "2026-12-21T00:00Z", "-o", file};
        if (grid) args.push_back("--grid");
        const Result k = Run(args);
        ASSERT_EQ(k.status, 0) << k.err;
    }
    const auto night = ReadBytes(n), gridded = ReadBytes(g);
    ASSERT_EQ(night.size(), 54u + 1800 * 600);
    ASSERT_EQ(gridded.size(), night.size());
    auto rgbAt = [](const std::vector<uint8_t>& bmp, int x, int y) {
        const uint8_t* p = &bmp[54 + static_cast<size_t>(599 - y) * 1800 + x * 3];
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    };
    auto brightness = [](uint32_t c) { return (c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF); };
    long inside = 0, darker = 0, lined = 0;
    for (int y = 0; y < 540; ++y) // above the scale bar
        for (int x = 0; x < 600; ++x) {
            if (std::hypot(x - 300, y - 300) > 290) continue;
            ++inside;
            if (brightness(rgbAt(night, x, y)) < brightness(geo::Palette[at(x, y)])) ++darker;
            if (rgbAt(gridded, x, y) != rgbAt(night, x, y)) ++lined;
        }
    EXPECT_GT(darker, inside * 9 / 10) << darker << " of " << inside;
    EXPECT_GT(lined, inside / 100) << lined << " of " << inside;
    EXPECT_LT(lined, inside / 2) << lined << " of " << inside;
    fs::remove(g);
    fs::remove(n);
    fs::remove(o);
    // Every size, the gap-free form and the poster.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--range", "2500", "--size", "300", "-o", P("r.png")},
          {"--range", "100", "--fill", "--size", "1200", "-o", P("r.png")},
          {"--range", "10000", "--miles", "-o", P("r.png")},
          {"--range", "1000", "--pdf", "--size", "600", "-o", P("r.pdf")}}) {
        std::vector<std::string> all = {"--latlon", "-17.8,179.9"};
        all.insert(all.end(), args.begin(), args.end());
        const Result k = Run(all);
        EXPECT_EQ(k.status, 0) << k.err;
        const auto bytes = ReadBytes(all.back());
        ASSERT_GT(bytes.size(), 100u);
        fs::remove(all.back());
    }
}

} // namespace
