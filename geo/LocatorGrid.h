// The Maidenhead locator grid drawn over a map: field boundaries (every 20
// degrees of longitude, 10 of latitude) with the field names, and near the
// centre the square boundaries (2 x 1 degrees), as polylines in map pixel
// coordinates. Lines are traced finely enough to stay smooth and are cut
// where they cross the rim (the antipode), so no piece jumps across the map.
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
    std::string text; // two letters, "JN"
    MapPoint at;      // the middle of the field on the map
};

struct LocatorGridLines {
    std::vector<Polyline> fields;  // field boundaries
    std::vector<Polyline> squares; // square boundaries within squareRadiusKm of the centre
    std::vector<GridLabel> labels; // fields large enough on the map for their name
};

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
