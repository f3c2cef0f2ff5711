#include "live/Labels.h"

#include <cmath>
#include <unordered_map>

namespace live {

namespace {

bool Overlap(const LabelBox& a, const LabelBox& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

long long CellKey(long long cx, long long cy) {
    return (cx << 32) ^ (cy & 0xFFFFFFFFLL);
}

} // namespace

std::vector<int> DeclutterLabels(const std::vector<LabelBox>& boxes, double cell) {
    std::vector<int> kept;
    if (!(cell > 0)) cell = 64;
    std::unordered_map<long long, std::vector<int>> grid;
    auto cells = [&](const LabelBox& b, auto&& visit) {
        const long long x0 = static_cast<long long>(std::floor(b.x / cell));
        const long long x1 = static_cast<long long>(std::floor((b.x + b.w) / cell));
        const long long y0 = static_cast<long long>(std::floor(b.y / cell));
        const long long y1 = static_cast<long long>(std::floor((b.y + b.h) / cell));
        for (long long cx = x0; cx <= x1; ++cx)
            for (long long cy = y0; cy <= y1; ++cy)
                if (!visit(CellKey(cx, cy))) return;
    };
    for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
        const LabelBox& b = boxes[i];
        if (!(std::fabs(b.x) < 1e9 && std::fabs(b.y) < 1e9 && b.w >= 0 && b.h >= 0 &&
              b.w <= 64 * cell && b.h <= 64 * cell))
            continue;
        bool free = true;
        cells(b, [&](long long key) {
            const auto it = grid.find(key);
            if (it == grid.end()) return true;
            for (int k : it->second)
                if (Overlap(b, boxes[k])) {
                    free = false;
                    return false;
                }
            return true;
        });
        if (!free) continue;
        kept.push_back(i);
        cells(b, [&](long long key) {
            grid[key].push_back(i);
            return true;
        });
    }
    return kept;
}

} // namespace live
