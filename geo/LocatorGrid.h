// The Maidenhead locator grid drawn over a map: field boundaries (every 20
// degrees of longitude, 10 of latitude) with the field names, and near the
// centre the square boundaries (2 x 1 degrees), as polylines in map pixel
// coordinates. On a regional map, as its scale allows, the squares are named
// ("JN18") and the sub-squares (5 x 2.5 minutes) drawn and named ("EU"). Lines are traced finely
// enough to stay smooth and are cut where they cross the rim (the antipode), so no piece jumps
// across the map.
#pragma once

#include "geo/MapFrame.h"
#include "geo/Position.h"

#include <optional>
#include <string>
#include <vector>

namespace geo {

using Polyline = std::vector<MapPoint>;

// Where a position lands on the N x N whole-world map of the centre
// (MapFrame::Project of that frame).
std::optional<Projected> ProjectToMap(double centreLat, double centreLon, double lat, double lon,
                                      int size = 600);

struct GridLabel {
    std::string text; // "JN" for a field, "JN18" for a square, "EU" for a sub-square
    MapPoint at;      // the middle of its area on the map
    int level = 0;    // 0 field, 1 square, 2 sub-square
};

struct LocatorGridLines {
    std::vector<Polyline> fields;     // field boundaries
    std::vector<Polyline> squares;    // square boundaries within squareRadiusKm of the centre
    std::vector<Polyline> subsquares; // sub-square boundaries (regional maps, where they are
                                      // at least SubsquareMinPixels apart)
    std::vector<GridLabel> labels;    // areas large enough on the map for their name
};

// The names' height in pixels on a map of `size` pixels: 10 at 600, growing
// with the square root of the size.
double GridLabelPixels(int size);
// Sub-square boundaries closer than this on the map are not drawn.
inline constexpr double SubsquareMinPixels = 6.0;

// Longest segment of the traced lines, in pixels.
inline constexpr double GridMaxSegment = 2.0;
// The square boundaries are drawn within this distance of the centre
// (the map's scale: 20000 km from the centre to the rim).
inline constexpr double SquareRadiusKm = 2500.0;

LocatorGridLines BuildLocatorGrid(Real centreLat, Real centreLon, int size = 600,
                                  double squareRadiusKm = SquareRadiusKm);
// The same for any frame: lines and names where they land on its map.
LocatorGridLines BuildLocatorGrid(const MapFrame& frame, double squareRadiusKm = SquareRadiusKm);

} // namespace geo
