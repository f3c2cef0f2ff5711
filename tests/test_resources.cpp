// The embedded pictures: sizes, formats, colours and geometry that the
// world-map window, the generator and the viewer rely on.

#include "resources/Resources.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QString>
#include <QVector>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <string>

namespace {

constexpr int MapW = 1194;
constexpr int MapH = 765;

constexpr std::array<QRgb, 16> Palette = {
    0x000000, 0x63C66B, 0x738CC6, 0x8484C6, 0x946B42, 0x9CDEA5, 0xA5B5EF, 0xBDDEA5,
    0xD67342, 0xDEDEDE, 0xDEF7FF, 0xFFCE9C, 0xFFFFB5, 0xA877C7, 0xB17F1D, 0xFFFFFF,
};
constexpr QRgb Sea = 0xDEF7FF;
constexpr QRgb White = 0xFFFFFF;
constexpr QRgb Black = 0x000000;

const QSet<QRgb> Americas = {0x63C66B, 0x9CDEA5, 0xBDDEA5};
const QSet<QRgb> Europe = {0x738CC6, 0x8484C6, 0xA5B5EF, 0xA877C7};
const QSet<QRgb> AfricaAsia = {0x946B42, 0xD67342, 0xFFCE9C, 0xFFFFB5, 0xB17F1D};

QImage load(const char* path) {
    QImage img(QString::fromLatin1(path));
    EXPECT_FALSE(img.isNull()) << path << " is not in the resources or not readable";
    return img;
}

// Bit depth and colour type from the PNG header of an embedded file.
struct PngHeader {
    int bitDepth = -1;
    int colourType = -1;
};

PngHeader pngHeader(const char* path) {
    QFile f(QString::fromLatin1(path));
    PngHeader h;
    if (!f.open(QIODevice::ReadOnly)) return h;
    const QByteArray head = f.read(26);
    if (head.size() < 26 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return h;
    h.bitDepth = static_cast<unsigned char>(head[24]);
    h.colourType = static_cast<unsigned char>(head[25]);
    return h;
}

QRgb rgbAt(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFF;
}

// The world-map pixel whose centre is nearest to a position.
QRgb mapAt(const QImage& map, double lat, double lon) {
    int x = static_cast<int>(std::lround((lon + 180.0) * MapW / 360.0)) % MapW;
    int y = static_cast<int>(std::lround((90.0 - lat) * MapH / 180.0));
    return rgbAt(map, x, y);
}

std::string hex(QRgb c) {
    return QString::number(c & 0xFFFFFF, 16).rightJustified(6, '0').toStdString();
}

TEST(WorldMap, IsA24BitPlateCarreeOfTheProgramSize) {
    const PngHeader h = pngHeader(res::WorldMapPath);
    EXPECT_EQ(h.bitDepth, 8);
    EXPECT_EQ(h.colourType, 2) << "truecolour without alpha";
    const QImage map = load(res::WorldMapPath);
    EXPECT_EQ(map.width(), MapW);
    EXPECT_EQ(map.height(), MapH);
    EXPECT_FALSE(map.hasAlphaChannel());
}

TEST(WorldMap, OpenSeaIsExactlyTheSeaColour) {
    const QImage map = load(res::WorldMapPath);
    struct Point {
        const char* name;
        double lat, lon;
    };
    for (const Point& p : {Point{"mid-Pacific", 0, -150}, Point{"South Atlantic", -30, -15},
                           Point{"North Atlantic", 40, -40}, Point{"Indian Ocean", -20, 80},
                           Point{"South Pacific", -45, -120}, Point{"Arctic Ocean", 88, 0},
                           Point{"North Pacific", 35, 170}}) {
        EXPECT_EQ(hex(mapAt(map, p.lat, p.lon)), hex(Sea)) << p.name;
    }
    // The top row (latitude 90) is sea all the way along.
    for (int x = 0; x < MapW; ++x)
        ASSERT_EQ(hex(rgbAt(map, x, 0)), hex(Sea)) << "column " << x;
}

TEST(WorldMap, AntarcticaIsWhiteAllRound) {
    const QImage map = load(res::WorldMapPath);
    const int y85 = static_cast<int>(std::lround((90.0 + 85.0) * MapH / 180.0));
    for (int y : {y85, MapH - 1})
        for (int x = 0; x < MapW; ++x)
            ASSERT_EQ(hex(rgbAt(map, x, y)), hex(White)) << "column " << x << " row " << y;
    // The signature picture sits on the map at (1102, 730), 80 x 17: on white.
    for (int y = 730; y < 747; ++y)
        for (int x = 1102; x < 1182; ++x)
            ASSERT_EQ(hex(rgbAt(map, x, y)), hex(White)) << x << "," << y;
}

TEST(WorldMap, CountriesHaveTheirContinentsColours) {
    const QImage map = load(res::WorldMapPath);
    struct Land {
        const char* name;
        double lat, lon;
        const QSet<QRgb>* colours;
    };
    const QSet<QRgb> anyNonSea = [] {
        QSet<QRgb> s;
        for (QRgb c : Palette)
            if (c != Sea && c != Black && c != White) s.insert(c);
        return s;
    }();
    for (const Land& p : {
             Land{"central Brazil", -10, -50, &Americas},
             Land{"Kansas", 39, -98, &Americas},
             Land{"northern Canada", 62, -110, &Americas},
             Land{"central Argentina", -35, -65, &Americas},
             Land{"Greenland", 72, -40, &Americas},
             Land{"Paris region", 48.5, 2.5, &Europe},
             Land{"central Germany", 51, 10, &Europe},
             Land{"Moscow region", 55.5, 38, &Europe},
             Land{"Siberia", 62, 100, &Europe},
             Land{"Sahara", 23, 10, &AfricaAsia},
             Land{"Congo basin", -2, 23, &AfricaAsia},
             Land{"central China", 33, 103, &AfricaAsia},
             Land{"central India", 22, 78, &AfricaAsia},
             Land{"Arabia", 23, 46, &AfricaAsia},
             Land{"central Australia", -25, 134, &anyNonSea},
             Land{"New Zealand South Island", -44, 170, &anyNonSea},
         }) {
        const QRgb c = mapAt(map, p.lat, p.lon);
        EXPECT_TRUE(p.colours->contains(c)) << p.name << " has " << hex(c);
    }
}

TEST(WorldMap, NeighboursOnLandDifferInColour) {
    const QImage map = load(res::WorldMapPath);
    struct Pair {
        const char* name;
        double lat1, lon1, lat2, lon2;
    };
    for (const Pair& p :
         {Pair{"France / Germany", 47, 3, 51, 10}, Pair{"France / Spain", 46, 1, 40, -4},
          Pair{"Poland / Germany", 52, 19, 51, 10}, Pair{"Canada / USA", 56, -100, 39, -98},
          Pair{"USA / Mexico", 39, -98, 23, -102}, Pair{"Brazil / Argentina", -10, -50, -35, -65},
          Pair{"Algeria / Libya", 28, 3, 27, 17}, Pair{"China / India", 33, 103, 22, 78},
          Pair{"China / Mongolia", 33, 103, 47, 103}, Pair{"Egypt / Sudan", 26, 30, 15, 30}}) {
        EXPECT_NE(mapAt(map, p.lat1, p.lon1), mapAt(map, p.lat2, p.lon2)) << p.name;
    }
}

// The darkest pixel (a border line) of a short run of pixels.
int darkest(const QImage& map, int x0, int y0, int dx, int dy, int n) {
    int best = 0, bestGray = 256;
    for (int i = 0; i < n; ++i) {
        const int g = qGray(map.pixel(x0 + i * dx, y0 + i * dy));
        if (g < bestGray) {
            bestGray = g;
            best = i;
        }
    }
    return best;
}

TEST(WorldMap, StraightBordersLieWherePixelToLatLonPutsThem) {
    const QImage map = load(res::WorldMapPath);
    // Canada / USA along 49 N (row 174.25) between 100 W and 120 W.
    for (double lon : {-100.0, -105.0, -110.0, -115.0, -120.0}) {
        const int x = static_cast<int>(std::lround((lon + 180.0) * MapW / 360.0));
        EXPECT_EQ(168 + darkest(map, x, 168, 0, 1, 13), 174) << "49 N at " << lon;
    }
    // Egypt / Libya along 25 E (column 679.92) between 23 N and 29 N.
    for (double lat : {23.0, 25.0, 27.0, 29.0}) {
        const int y = static_cast<int>(std::lround((90.0 - lat) * MapH / 180.0));
        EXPECT_EQ(674 + darkest(map, 674, y, 1, 0, 13), 680) << "25 E at " << lat;
    }
    // Egypt / Sudan along 22 N (row 289).
    for (double lon : {27.0, 29.0}) {
        const int x = static_cast<int>(std::lround((lon + 180.0) * MapW / 360.0));
        EXPECT_EQ(283 + darkest(map, x, 283, 0, 1, 13), 289) << "22 N at " << lon;
    }
}

TEST(WorldMap, SmallIslandsShowAtLeastADot) {
    const QImage map = load(res::WorldMapPath);
    struct Island {
        const char* name;
        double lat, lon;
    };
    for (const Island& p : {
             Island{"Malta", 35.88, 14.45},
             Island{"Mauritius", -20.25, 57.55},
             Island{"Reunion", -21.13, 55.53},
             Island{"Tonga", -21.18, -175.20},
             Island{"Nauru", -0.53, 166.93},
             Island{"St Helena", -15.96, -5.71},
             Island{"Ascension", -7.94, -14.36},
             Island{"Pitcairn", -25.07, -130.10},
             Island{"Bermuda", 32.31, -64.75},
             Island{"Lord Howe", -31.55, 159.08},
             Island{"Chatham", -43.90, -176.50},
             Island{"Norfolk", -29.03, 167.95},
             Island{"Tristan da Cunha", -37.11, -12.28},
             Island{"Bouvet", -54.42, 3.36},
             Island{"Clipperton", 10.30, -109.22},
             Island{"Easter Island", -27.12, -109.35},
         }) {
        const int x = static_cast<int>(std::lround((p.lon + 180.0) * MapW / 360.0));
        const int y = static_cast<int>(std::lround((90.0 - p.lat) * MapH / 180.0));
        bool seen = false;
        for (int dy = -1; dy <= 1 && !seen; ++dy)
            for (int dx = -1; dx <= 1 && !seen; ++dx)
                seen = rgbAt(map, (x + dx + MapW) % MapW, y + dy) != Sea;
        EXPECT_TRUE(seen) << p.name << " is not on the map";
    }
}

TEST(Background, IsAPalettePictureWithTheProgramsSixteenColours) {
    const QImage bg = load(res::BackgroundPath);
    ASSERT_EQ(bg.width(), 600);
    ASSERT_EQ(bg.height(), 600);
    EXPECT_EQ(bg.format(), QImage::Format_Indexed8);
    const QVector<QRgb> table = bg.colorTable();
    ASSERT_EQ(table.size(), 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(hex(table[i]), hex(Palette[static_cast<size_t>(i)])) << "index " << i;
}

TEST(Background, IsAWhiteDiscOnBlackWithASignatureInTheCorner) {
    const QImage bg = load(res::BackgroundPath);
    ASSERT_EQ(bg.format(), QImage::Format_Indexed8);
    int signature = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 600; ++x) {
            const int index = bg.pixelIndex(x, y);
            const double dx = x - 299, dy = y - 299;
            const bool inDisc = dx * dx + dy * dy <= 299.5 * 299.5;
            const bool inSignatureBox = x >= 540 && y >= 560;
            if (inSignatureBox) {
                ASSERT_FALSE(inDisc);
                ASSERT_TRUE(index == 0 || index == 15) << x << "," << y;
                signature += index == 15;
            } else {
                ASSERT_EQ(index, inDisc ? 15 : 0) << x << "," << y;
            }
        }
    }
    EXPECT_GT(signature, 10) << "the signature mark is missing";
    // The disc touches rows and columns 0 and 598; row and column 599 stay black.
    EXPECT_EQ(bg.pixelIndex(299, 0), 15);
    EXPECT_EQ(bg.pixelIndex(0, 299), 15);
    EXPECT_EQ(bg.pixelIndex(598, 299), 15);
    EXPECT_EQ(bg.pixelIndex(299, 598), 15);
    EXPECT_EQ(bg.pixelIndex(599, 299), 0);
    EXPECT_EQ(bg.pixelIndex(299, 599), 0);
}

TEST(Signature, IsDarkWritingOnALightBackground) {
    const PngHeader h = pngHeader(res::TovakPath);
    EXPECT_EQ(h.colourType, 2);
    const QImage t = load(res::TovakPath);
    ASSERT_EQ(t.width(), 80);
    ASSERT_EQ(t.height(), 17);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{79, 0}, std::pair{0, 16}, std::pair{79, 16}})
        EXPECT_GE(qGray(t.pixel(x, y)), 0xE0) << x << "," << y;
    int dark = 0;
    for (int y = 0; y < t.height(); ++y)
        for (int x = 0; x < t.width(); ++x)
            dark += qGray(t.pixel(x, y)) < 0x80;
    EXPECT_GT(dark, 40);
}

// A marker pixel is either opaque black or transparent white.
void expectBlackOnTransparentWhite(const QImage& m) {
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x) {
            const QRgb p = m.pixel(x, y);
            const bool figure = qAlpha(p) == 255 && (p & 0xFFFFFF) == Black;
            const bool clear = qAlpha(p) == 0 && (p & 0xFFFFFF) == White;
            ASSERT_TRUE(figure || clear) << x << "," << y << " is " << std::hex << p;
        }
}

bool ink(const QImage& m, int x, int y) {
    return qAlpha(m.pixel(x, y)) == 255;
}

void expectMarkerBasics(const QImage& m) {
    ASSERT_EQ(m.width(), res::MarkerSize);
    ASSERT_EQ(m.height(), res::MarkerSize);
    EXPECT_TRUE(m.hasAlphaChannel());
    expectBlackOnTransparentWhite(m);
    const int c = res::MarkerCentre, e = res::MarkerSize - 1;
    for (auto [x, y] : {std::pair{0, 0}, std::pair{e, 0}, std::pair{0, e}, std::pair{e, e}})
        EXPECT_FALSE(ink(m, x, y)) << "corner " << x << "," << y;
    // The plus sign on the centre pixel, with clear pixels on its diagonals.
    for (auto [x, y] : {std::pair{c, c}, std::pair{c - 1, c}, std::pair{c + 1, c},
                        std::pair{c, c - 1}, std::pair{c, c + 1}})
        EXPECT_TRUE(ink(m, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{c - 1, c - 1}, std::pair{c + 1, c - 1}, std::pair{c - 1, c + 1},
                        std::pair{c + 1, c + 1}})
        EXPECT_FALSE(ink(m, x, y)) << x << "," << y;
    // The figure looks the same after a quarter turn and in a mirror.
    for (int y = 0; y <= e; ++y)
        for (int x = 0; x <= e; ++x) {
            ASSERT_EQ(ink(m, x, y), ink(m, e - x, y)) << x << "," << y;
            ASSERT_EQ(ink(m, x, y), ink(m, x, e - y)) << x << "," << y;
            ASSERT_EQ(ink(m, x, y), ink(m, y, x)) << x << "," << y;
        }
}

TEST(Markers, DiagonalArrowheadsAroundAClearCross) {
    const QImage m = load(res::DxMarkerPath);
    expectMarkerBasics(m);
    const int c = res::MarkerCentre;
    // Rows and columns c-1..c+1 carry nothing but the plus sign.
    for (int i = 0; i < res::MarkerSize; ++i)
        for (int d = -1; d <= 1; ++d) {
            const bool plus = std::abs(i - c) + std::abs(d) <= 1;
            EXPECT_EQ(ink(m, i, c + d), plus) << i << "," << c + d;
            EXPECT_EQ(ink(m, c + d, i), plus) << c + d << "," << i;
        }
    // The cross is three pixels wide: the arrowheads border it along its arms.
    for (int i = 4; i <= c - 2; ++i)
        for (const int side : {c - 2, c + 2}) {
            EXPECT_TRUE(ink(m, i, side)) << i << "," << side;
            EXPECT_TRUE(ink(m, side, i)) << side << "," << i;
            EXPECT_TRUE(ink(m, res::MarkerSize - 1 - i, side)) << i << "," << side;
        }
    // A solid arrowhead on each diagonal, not touching the edges' midpoints.
    EXPECT_TRUE(ink(m, 8, 8));
    EXPECT_TRUE(ink(m, 20, 20));
    EXPECT_FALSE(ink(m, c, 0));
    EXPECT_FALSE(ink(m, 0, c));
}

TEST(Markers, AxisArrowsWithFivePixelShafts) {
    const QImage m = load(res::Dx45MarkerPath);
    expectMarkerBasics(m);
    const int c = res::MarkerCentre;
    // The shaft leaves the top edge five pixels wide.
    for (int x = 0; x < res::MarkerSize; ++x)
        EXPECT_EQ(ink(m, x, 0), std::abs(x - c) <= 2) << "column " << x;
    // The head points at the centre and stops short of the plus sign.
    EXPECT_TRUE(ink(m, c, c - 3));
    EXPECT_FALSE(ink(m, c, c - 2));
    // The diagonals stay clear.
    for (int i = 0; i < res::MarkerSize; ++i)
        if (i != c) {
            EXPECT_FALSE(ink(m, i, i)) << i;
        }
}

TEST(Icon, IsARoundPictureOnTransparency) {
    const QImage icon = load(res::IconPath);
    EXPECT_EQ(icon.width(), 64);
    EXPECT_EQ(icon.height(), 64);
    EXPECT_TRUE(icon.hasAlphaChannel());
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(63, 63)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(32, 32)), 255);
}

} // namespace
