// The built-in world map through the engine and through the plain loop: the
// same map, and the map's colours reduced one by one to the palette.
#include "geo/Projection.h"
#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

using namespace geo;

namespace {

QImage WorldMap() {
    return QImage(QString::fromLatin1(res::WorldMapPath)).convertToFormat(QImage::Format_RGB888);
}

} // namespace

TEST(BuiltInWorldMap, EveryPixelBecomesItsNearestPaletteColour) {
    const QImage map = WorldMap();
    ASSERT_EQ(map.width(), MercatorWidth);
    ASSERT_EQ(map.height(), MercatorHeight);
    const WorldIndex world = WorldIndex::FromRgb(map.constBits(), map.width(), map.height(),
                                                 static_cast<size_t>(map.bytesPerLine()));
    for (int y = 0; y < MercatorHeight; ++y) {
        const uchar* row = map.constScanLine(y);
        for (int x = 0; x < MercatorWidth; ++x) {
            const uint32_t c =
                (uint32_t(row[3 * x]) << 16) | (uint32_t(row[3 * x + 1]) << 8) | row[3 * x + 2];
            ASSERT_EQ(world.at(x, y), NearestPaletteIndex(c)) << x << "," << y;
        }
    }
}

TEST(BuiltInWorldMap, EngineAndPlainLoopDrawTheSameParisMap) {
    const QImage map = WorldMap();
    ASSERT_EQ(map.width(), MercatorWidth);
    const WorldIndex world = WorldIndex::FromRgb(map.constBits(), map.width(), map.height(),
                                                 static_cast<size_t>(map.bytesPerLine()));
    const auto c = DecodeLocator("JN18EU");
    PositionState a, b;
    a.CentreLat = b.CentreLat = c->lat;
    a.CentreLon = b.CentreLon = c->lon;
    PaletteImage ra = BlankBackground(), rb = BlankBackground();
    GenerateReference(world, a, ra, nullptr, nullptr);
    Generate(world, b, rb, nullptr, nullptr);
    EXPECT_TRUE(ra == rb);
    EXPECT_EQ(a.PointDistance, b.PointDistance);
    EXPECT_EQ(a.PointAzimuth, b.PointAzimuth);
    // Paris itself is land, not sea: the projection centre (300, 300).
    EXPECT_NE(rb.at(300, 300), 10);
}
