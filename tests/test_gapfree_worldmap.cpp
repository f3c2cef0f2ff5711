// The gap-free map of the built-in world maps against the classic map: where
// the classic generation writes a world pixel, the gap-free map shows the
// same colour but for a small share (coastlines and borders can move by a
// pixel); and the large world maps carry the same colours as the 1194 one.
#include "app/MapExport.h"
#include "geo/GapFree.h"
#include "geo/Projection.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace geo;

TEST(GapFreeWorldMap, AgreesWithTheClassicMapWhereThatDraws) {
    const WorldIndex& world = mapexport::WorldForSize(600);
    ASSERT_EQ(world.width(), MercatorWidth);
    struct Centre {
        const char* name;
        double lat, lon;
    };
    long allWritten = 0, allDiffer = 0;
    for (const Centre c : {Centre{"JN18EU", 48.854166, 2.375}, Centre{"Sydney", -33.9, 151.2},
                           Centre{"0 N 0 E", 0, 0}, Centre{"Anchorage", 61.2, -149.9},
                           Centre{"near the pole", 89.9, 10}}) {
        PositionState s;
        s.CentreLat = c.lat;
        s.CentreLon = c.lon;
        PaletteImage forward(MapSize, MapSize, 0xFF); // 0xFF: not written
        Generate(world, s, forward, nullptr, nullptr);
        PaletteImage filled = BlankBackground();
        GenerateGapFree(world, c.lat, c.lon, filled);
        long written = 0, differ = 0;
        for (int y = 0; y < MapSize; ++y)
            for (int x = 0; x < MapSize; ++x) {
                if (forward.at(x, y) == 0xFF) continue;
                if (std::hypot(x - 300.0, 300.0 - y) > 300) continue; // beyond the rim
                ++written;
                if (forward.at(x, y) != filled.at(x, y)) ++differ;
            }
        const double share = 100.0 * differ / written;
        std::printf("%-14s %ld of %ld drawn pixels differ (%.2f %%)\n", c.name, differ, written,
                    share);
        EXPECT_LT(share, 6.0) << c.name;
        allWritten += written;
        allDiffer += differ;
    }
    const double share = 100.0 * allDiffer / allWritten;
    std::printf("all centres: %.2f %% of the drawn pixels differ\n", share);
    RecordProperty("differing_share_percent", std::to_string(share));
}

TEST(GapFreeWorldMap, LargeWorldMapsKeepTheColours) {
    const WorldIndex& base = mapexport::WorldForSize(600);
    for (int size : {1200, 2400}) {
        const WorldIndex& big = mapexport::WorldForSize(size);
        const int k = WorldScaleForSize(size);
        ASSERT_EQ(big.width(), MercatorWidth * k) << size;
        ASSERT_EQ(big.height(), MercatorHeight * k) << size;
        // The big pixel at the centre of each base pixel inside an area of
        // one colour (lines are thinner on the big maps, so they differ).
        long same = 0, total = 0;
        for (int y = 1; y + 1 < MercatorHeight; ++y)
            for (int x = 1; x + 1 < MercatorWidth; ++x) {
                bool plain = true;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        plain = plain && base.at(x + dx, y + dy) == base.at(x, y);
                if (!plain) continue;
                ++total;
                if (base.at(x, y) == big.at(x * k, y * k)) ++same;
            }
        const double share = 100.0 * same / total;
        std::printf("world x%d: %.2f %% of the plain pixels have the base map's colour\n", k,
                    share);
        EXPECT_GT(share, 99.0) << size;
    }
}
