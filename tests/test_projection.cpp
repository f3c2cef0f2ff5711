// The palette, the world index, the background, the landing places of the
// worked examples, the pole row, the generated map's rim, and the bitmap writer.
#include "ProjectionTestWorld.h"
#include "geo/Bitmap.h"
#include "geo/Projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

using namespace geo;
namespace fs = std::filesystem;

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint32_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8);
}

std::vector<uint8_t> ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path FreshFolder(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / ("korvanta-projection-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

WorldIndex OneColourWorld(uint32_t rgb) {
    std::vector<uint8_t> px(static_cast<size_t>(MercatorWidth) * MercatorHeight * 3);
    for (size_t i = 0; i < px.size(); i += 3) {
        px[i] = static_cast<uint8_t>(rgb >> 16);
        px[i + 1] = static_cast<uint8_t>(rgb >> 8);
        px[i + 2] = static_cast<uint8_t>(rgb);
    }
    return WorldIndex::FromRgb(px.data(), MercatorWidth, MercatorHeight,
                               static_cast<size_t>(MercatorWidth) * 3);
}

} // namespace

TEST(Palette, EveryPaletteColourMapsToItselfAndOthersToTheNearest) {
    for (size_t i = 0; i < Palette.size(); ++i)
        EXPECT_EQ(NearestPaletteIndex(Palette[i]), i) << std::hex << Palette[i];
    EXPECT_EQ(NearestPaletteIndex(0xDEF6FE), 10); // anti-aliased sea
    EXPECT_EQ(NearestPaletteIndex(0x101010), 0);
    EXPECT_EQ(NearestPaletteIndex(0xF8F8F8), 15);
    EXPECT_EQ(NearestPaletteIndex(0xFF0000), 8); // pure red: the orange D67342
}

TEST(WorldIndex, ReducesEveryPixelToItsNearestColourWithRowStride) {
    // Many distinct colours (the colour cache must not mix them up) and a
    // row stride larger than the pixels.
    const int w = 97, h = 13;
    const size_t stride = w * 3 + 5;
    auto noise = projection_test::NoiseRgb(w + 2, h, 3);
    std::vector<uint8_t> rgb(stride * h, 0xAB);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            rgb[y * stride + x] = noise[static_cast<size_t>(y) * w * 3 + x];
    // A run of one colour, then a palette colour again.
    for (int x = 10; x < 30; ++x) {
        rgb[2 * stride + 3 * x] = 0x94;
        rgb[2 * stride + 3 * x + 1] = 0x6B;
        rgb[2 * stride + 3 * x + 2] = 0x42;
    }
    const WorldIndex world = WorldIndex::FromRgb(rgb.data(), w, h, stride);
    ASSERT_EQ(world.width(), w);
    ASSERT_EQ(world.height(), h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgb[y * stride + 3 * x];
            const uint32_t c = (p[0] << 16) | (p[1] << 8) | p[2];
            ASSERT_EQ(world.at(x, y), NearestPaletteIndex(c)) << x << "," << y;
        }
    }
    EXPECT_EQ(world.at(20, 2), 4);
}

TEST(Background, WhiteDiscOfDiameter599OnPixel299) {
    const PaletteImage bg = BlankBackground();
    ASSERT_EQ(bg.width, 600);
    ASSERT_EQ(bg.height, 600);
    EXPECT_EQ(bg.at(299, 299), PaletteWhite);
    // Rows and columns 0 and 598 are touched, 599 is black.
    EXPECT_EQ(bg.at(0, 299), PaletteWhite);
    EXPECT_EQ(bg.at(598, 299), PaletteWhite);
    EXPECT_EQ(bg.at(299, 0), PaletteWhite);
    EXPECT_EQ(bg.at(299, 598), PaletteWhite);
    for (int i = 0; i < 600; ++i) {
        EXPECT_EQ(bg.at(599, i), PaletteBlack);
        EXPECT_EQ(bg.at(i, 599), PaletteBlack);
    }
    EXPECT_EQ(bg.at(0, 0), PaletteBlack);
    EXPECT_EQ(bg.at(598, 598), PaletteBlack);
    EXPECT_EQ(bg.at(0, 298), PaletteWhite); // 299^2 + 1 <= 299.5^2
    EXPECT_EQ(bg.at(0, 281), PaletteBlack); // 299^2 + 18^2 > 299.5^2
}

TEST(Projection, TheThreeWorldPixelsOfTheParisMapLandWhereTheWorkedExampleSays) {
    const auto jn18eu = DecodeLocator("JN18EU");
    ASSERT_TRUE(jn18eu);
    struct Case {
        int X, Y;
        double distance, azimuth;
        int px, py;
    };
    const Case cases[] = {
        {352, 180, 0.847440, 5.22191, 229, 261},
        {1000, 600, 2.477531, 117.31 * M_PI / 180, 510, 409},
        {632, 243, -1, -1, 312, 326},
    };
    for (const Case& c : cases) {
        PositionState s;
        s.CentreLat = jn18eu->lat;
        s.CentreLon = jn18eu->lon;
        const LatLon p = PixelToLatLon(c.X, c.Y);
        s.PointLat = p.lat;
        s.PointLon = p.lon;
        ASSERT_TRUE(CalculAzimutDistance(s, nullptr));
        if (c.distance > 0) {
            EXPECT_NEAR(static_cast<double>(s.PointDistance), c.distance, 5e-7);
            EXPECT_NEAR(static_cast<double>(s.PointAzimuth), c.azimuth, 1e-4);
        }
        const TargetPixel t = TargetOf(s.PointDistance, s.PointAzimuth);
        EXPECT_EQ(t.px, c.px) << c.X << "," << c.Y;
        EXPECT_EQ(t.py, c.py) << c.X << "," << c.Y;
    }
}

TEST(Projection, AClickInThePoleRowGeneratesAt89_9WhileTheCentreTextReads90) {
    const LatLon click = PixelToLatLon(600, 0);
    ASSERT_EQ(click.lat, 90);
    PositionState s;
    s.CentreLat = click.lat;
    s.CentreLon = click.lon;
    s.CentreText = FormatPosition(s.CentreLat, s.CentreLon);
    EXPECT_EQ(s.CentreText.substr(0, 2 + DegreeSign.size() + 4),
              "90" + std::string(DegreeSign) + "0' N");
    PaletteImage target = BlankBackground();
    Generate(projection_test::NoiseWorld(), s, target, nullptr, nullptr);
    EXPECT_EQ(s.CentreLat, 89.9L);
    EXPECT_EQ(s.CentreLon, click.lon);
    EXPECT_EQ(s.PointLat, PixelToLatLon(1193, 764).lat);
    EXPECT_EQ(s.PointLon, PixelToLatLon(1193, 764).lon);
}

TEST(Projection, OutsideTheDiscOnlyPixelsThatLandedThereAreNotBlack) {
    // A world of one colour that is neither black nor white.
    const WorldIndex world = OneColourWorld(0xFFFFB5);
    const PaletteImage bg = BlankBackground();
    for (const char* locator : {"JN18EU", "AA00AA", "RR99XX", "FF55MM"}) {
        const auto c = DecodeLocator(locator);
        ASSERT_TRUE(c);
        PositionState s;
        s.CentreLat = c->lat;
        s.CentreLon = c->lon;
        PaletteImage map = bg;
        Generate(world, s, map, nullptr, nullptr);
        long landedOutside = 0;
        for (int y = 0; y < MapSize; ++y) {
            for (int x = 0; x < MapSize; ++x) {
                const uint8_t v = map.at(x, y);
                if (bg.at(x, y) == PaletteWhite) {
                    EXPECT_TRUE(v == PaletteWhite || v == 12) << x << "," << y;
                    continue;
                }
                if (v == PaletteBlack) continue;
                ASSERT_EQ(v, 12) << locator << " " << x << "," << y;
                // Landed: within the rim circle of radius 300 around (300, 300),
                // give or take the rounding to whole pixels.
                const double r = std::hypot(x - 300.0, y - 300.0);
                EXPECT_LE(r, 300 + std::sqrt(0.5)) << locator << " " << x << "," << y;
                ++landedOutside;
            }
        }
        EXPECT_GT(landedOutside, 0) << locator; // the right and lower rim get some
    }
}

TEST(Projection, RejectsPicturesOfTheWrongSize) {
    std::vector<uint8_t> small(30 * 20 * 3, 0);
    const WorldIndex world = WorldIndex::FromRgb(small.data(), 30, 20, 90);
    PositionState s;
    PaletteImage target = BlankBackground();
    EXPECT_THROW(Generate(world, s, target, nullptr, nullptr), std::invalid_argument);
    EXPECT_THROW(GenerateReference(world, s, target, nullptr, nullptr), std::invalid_argument);
    PaletteImage wrong(600, 599);
    EXPECT_THROW(Generate(OneColourWorld(0), s, wrong, nullptr, nullptr), std::invalid_argument);
}

TEST(Projection, GenerateMapStartsFromTheBackground) {
    const WorldIndex world = projection_test::NoiseWorld(11);
    const PaletteImage bg = BlankBackground();
    PositionState a, b;
    a.CentreLat = b.CentreLat = 10;
    a.CentreLon = b.CentreLon = 20;
    PaletteImage expected = bg;
    Generate(world, a, expected, nullptr, nullptr);
    PaletteImage dirty(600, 600, 7);
    GenerateMap(world, bg, b, dirty, nullptr, nullptr);
    EXPECT_TRUE(dirty == expected);
    EXPECT_EQ(a.PointAzimuth, b.PointAzimuth);
}

TEST(Bitmap, FourBitBitmapLayout) {
    PaletteImage img(3, 2);
    // top row: 1 2 3, bottom row: 13 14 15
    img.set(0, 0, 1);
    img.set(1, 0, 2);
    img.set(2, 0, 3);
    img.set(0, 1, 13);
    img.set(1, 1, 14);
    img.set(2, 1, 15);
    const auto b = EncodeBmp4(img);
    ASSERT_EQ(b.size(), 14u + 40 + 64 + 2 * 4);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size());
    EXPECT_EQ(Le32(b, 10), 118u);                 // pixel data offset
    EXPECT_EQ(Le32(b, 14), 40u);                  // BITMAPINFOHEADER
    EXPECT_EQ(Le32(b, 18), 3u);                   // width
    EXPECT_EQ(Le32(b, 22), 2u);                   // height, positive: bottom-up
    EXPECT_EQ(Le16(b, 26), 1u);                   // planes
    EXPECT_EQ(Le16(b, 28), 4u);                   // bits per pixel
    EXPECT_EQ(Le32(b, 30), 0u);                   // uncompressed
    EXPECT_EQ(Le32(b, 46), 16u);                  // colours used
    EXPECT_EQ(Le32(b, 54 + 4 * 10), 0x00DEF7FFu); // palette entry 10: B G R 0
    EXPECT_EQ(b[54 + 4 * 10], 0xFF);
    EXPECT_EQ(b[54 + 4 * 10 + 2], 0xDE);
    // Bottom row first, high nibble = left pixel, rows padded to 4 bytes.
    const size_t px = 118;
    EXPECT_EQ(b[px], 0xDE);
    EXPECT_EQ(b[px + 1], 0xF0);
    EXPECT_EQ(b[px + 2], 0);
    EXPECT_EQ(b[px + 3], 0);
    EXPECT_EQ(b[px + 4], 0x12);
    EXPECT_EQ(b[px + 5], 0x30);

    const auto map = EncodeBmp4(BlankBackground());
    EXPECT_EQ(map.size(), 118u + 300 * 600);
}

TEST(Bitmap, WritesThroughATemporaryFileAndLeavesNothingOnFailure) {
    const fs::path dir = FreshFolder("bitmap");
    const fs::path out = dir / "map.bmp";
    PaletteImage img = BlankBackground();
    EXPECT_EQ(WriteBmp4(img, out.string()), "");
    EXPECT_EQ(ReadFile(out), EncodeBmp4(img));

    // Overwriting replaces the whole file.
    img.set(5, 5, 9);
    EXPECT_EQ(WriteBmp4(img, out.string()), "");
    EXPECT_EQ(ReadFile(out), EncodeBmp4(img));

    // A folder that does not exist, and a folder in the way of the file.
    const std::string missing = WriteBmp4(img, (dir / "no" / "map.bmp").string());
    EXPECT_NE(missing, "");
    EXPECT_NE(missing.find("map.bmp"), std::string::npos);
    fs::create_directory(dir / "taken.bmp");
    EXPECT_NE(WriteBmp4(img, (dir / "taken.bmp").string()), "");
    EXPECT_NE(WriteFileAtomically("", {1, 2}), "");

    // Only the good map and the folder remain: no temporary files left behind.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);

    // A write-protected file is not replaced behind its owner's back.
    fs::permissions(out, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::vector<uint8_t> before = ReadFile(out);
    const std::string refused = WriteBmp4(BlankBackground(), out.string());
    EXPECT_NE(refused.find("Permission denied"), std::string::npos) << refused;
    EXPECT_EQ(ReadFile(out), before);

    // A name of up to 255 bytes, the longest a folder entry takes, is written.
    for (const size_t length : {249u, 255u}) {
        const fs::path longName = dir / (std::string(length - 4, 'm') + ".bmp");
        EXPECT_EQ(WriteBmp4(img, longName.string()), "") << length;
        EXPECT_EQ(ReadFile(longName), EncodeBmp4(img)) << length;
    }
    fs::remove_all(dir);
}
