// The inverse of the azimuthal equidistant map: which position lies under a
// map pixel, and the Maidenhead locator of a position.
#pragma once

#include "geo/Position.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace geo {

// Geometry of an N x N map. The generation writes the world pixel of bearing
// A and central angle d at (Round(R + R d sin A / pi), Round(R - R d cos A / pi))
// with R = N / 2 (TargetOf for N = 600): an integer map pixel (x, y) stands
// for the point at its centre, (x - R) to the east and (R - y) to the north of
// the map centre (R, R), and the rim R pixels out is the antipode.
//
// The position at map pixel (x, y) of the map centred on (centreLat,
// centreLon), degrees, north and east positive, the longitude in [-180, 180).
// Pixels farther than R from the centre (outside the disc) give nothing; the
// rim itself is inside. A centre latitude of exactly 90 or -90 moves off the
// pole (OffPole), as in the generation.
std::optional<LatLon> MapPixelToLatLon(Real centreLat, Real centreLon, Real x, Real y,
                                       int size = 600);

// The six-character locator (as "JN18EU") of the sub-square that holds the
// position. Latitude 90 and longitude 180 fall in the last row and column.
std::string EncodeLocator(Real lat, Real lon);

// The position under every pixel of an N x N map (MapPixelToLatLon for each
// pixel, in double precision), computed once per centre on both cores. The
// gap-free generation reads the world map through it and the live overlays
// shade or mark the map from it.
class MapFrame;

class PositionGrid {
  public:
    PositionGrid() = default;
    PositionGrid(Real centreLat, Real centreLon, int size = 600);
    // The rows firstRow .. firstRow + rows - 1 of the frame's map (all rows
    // when `rows` is negative): a band of a large map, whatever its rim.
    explicit PositionGrid(const MapFrame& frame, int firstRow = 0, int rows = -1);

    // Columns of the map; its rows held here and the first of them.
    int size() const { return size_; }
    int rows() const { return rows_; }
    int firstRow() const { return firstRow_; }
    bool inside(int x, int y) const { return inside_[index(x, y)] != 0; }
    // Degrees; meaningful only inside the disc.
    double lat(int x, int y) const { return lat_[index(x, y)]; }
    double lon(int x, int y) const { return lon_[index(x, y)]; }

  private:
    size_t index(int x, int y) const {
        return static_cast<size_t>(y - firstRow_) * static_cast<size_t>(size_) +
               static_cast<size_t>(x);
    }
    int size_ = 0;
    int rows_ = 0;
    int firstRow_ = 0;
    std::vector<double> lat_, lon_;
    std::vector<uint8_t> inside_;
};

} // namespace geo
