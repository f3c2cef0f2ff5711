// Call labels that never overlap: the labels are taken in priority order and
// each one is kept only when it overlaps none of those kept before, so a
// lower-priority label is dropped rather than drawn over another. Plain C++.
#pragma once

#include <vector>

namespace live {

struct LabelBox {
    double x = 0, y = 0; // top left, pixels
    double w = 0, h = 0;
};

// The indices of the boxes kept, in the order given (the order is the
// priority: the first box is always kept). Boxes that only touch along an
// edge do not overlap. A box larger than 64 cells either way, or not
// finite, is never kept. Near-linear: kept boxes are found through a grid of
// cells `cell` pixels wide.
std::vector<int> DeclutterLabels(const std::vector<LabelBox>& boxes, double cell = 64);

} // namespace live
