// Label decluttering: priority order, no overlap, hostile boxes.
#include "live/Labels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

TEST(Labels, KeepsInPriorityOrderAndDropsOverlaps) {
    const struct {
        std::vector<live::LabelBox> boxes;
        std::vector<int> kept;
    } cases[] = {
        {{}, {}},
        {{{0, 0, 10, 10}}, {0}},
        {{{0, 0, 10, 10}, {5, 5, 10, 10}}, {0}},     // overlap: the second goes
        {{{5, 5, 10, 10}, {0, 0, 10, 10}}, {0}},     // whatever the position, priority decides
        {{{0, 0, 10, 10}, {10, 0, 10, 10}}, {0, 1}}, // touching edges do not overlap
        {{{0, 0, 10, 10}, {5, 5, 10, 10}, {12, 12, 5, 5}}, {0, 2}},
        {{{0, 0, 10, 10}, {0, 63, 10, 10}, {0, 64, 10, 10}}, {0, 1}}, // across a grid cell edge
        {{{-100, -100, 300, 300}, {0, 0, 10, 10}}, {0}}, // a big box covers several cells
        {{{std::numeric_limits<double>::quiet_NaN(), 0, 10, 10}, {0, 0, 10, 10}}, {1}},
        {{{1e300, 0, 10, 10}, {0, 0, 1e12, 10}, {0, 0, -1, 10}, {0, 0, 10, 10}}, {3}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(live::DeclutterLabels(c.boxes), c.kept);
}

TEST(Labels, NoTwoKeptBoxesOverlapInARandomCrowd) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> pos(0, 600), len(10, 80);
    std::vector<live::LabelBox> boxes;
    for (int i = 0; i < 2000; ++i)
        boxes.push_back({pos(rng), pos(rng), len(rng), 12});
    const auto kept = live::DeclutterLabels(boxes);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.front(), 0);
    for (std::size_t i = 0; i < kept.size(); ++i)
        for (std::size_t j = i + 1; j < kept.size(); ++j) {
            const auto& a = boxes[kept[i]];
            const auto& b = boxes[kept[j]];
            const bool overlap =
                a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
            ASSERT_FALSE(overlap) << kept[i] << " " << kept[j];
        }
    // Every dropped box overlaps a kept one of higher priority.
    std::vector<bool> isKept(boxes.size());
    for (int k : kept)
        isKept[k] = true;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (isKept[i]) continue;
        bool covered = false;
        for (int k : kept) {
            if (static_cast<std::size_t>(k) > i) break;
            const auto& a = boxes[i];
            const auto& b = boxes[k];
            covered = covered ||
                      (a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h);
        }
        ASSERT_TRUE(covered) << i;
    }
}

} // namespace
