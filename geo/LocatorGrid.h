// The Maidenhead locator grid drawn over a map: field boundaries (every 20
// degrees of longitude, 10 of latitude) with the field names, and near the
// centre the square boundaries (2 x 1 degrees), as polylines in map pixel
// coordinates. Lines are traced finely enough to stay smooth and are cut
// where they cross the rim (the antipode), so no piece jumps across the map.
#pragma once

#include "geo/Position.h"

#include <optional>
#include <string>
#include <vector>

namespace geo {

// A point of the map in the pixel convention of MapPixelToLatLon: pixel
// (x, y) stands for the point at its centre, the map centre is (R, R).
struct MapPoint {
    double x = 0;
    double y = 0;
};
using Polyline = std::vector<MapPoint>;

// Where a position lands on the N x N map of the centre (the forward
// azimuthal equidistant projection; the inverse of MapPixelToLatLon), with
// its central angle from the centre in degrees. The antipode itself has no
// single place (it is the whole rim) and gives nothing.
struct Projected {
    MapPoint p;
    double distance = 0; // degrees, 0 to 180
};
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

} // namespace geo
