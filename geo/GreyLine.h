// The day and night shading of a map: which pixels lie in daylight, in civil
// twilight or in the night for a position of the sun. The positions under
// the pixels are turned into unit vectors once per centre, so the minute
// update is one dot product and one comparison per pixel.
#pragma once

#include "geo/Inverse.h"
#include "geo/Sun.h"

#include <cstdint>
#include <vector>

namespace geo {

class SphereGrid {
  public:
    SphereGrid() = default;
    explicit SphereGrid(const PositionGrid& grid);

    // Columns of the map and the rows held (a band of a large map holds some).
    int size() const { return size_; }
    int rows() const { return rows_; }
    bool empty() const { return size_ == 0; }

    // Pixel classes for the sun's position, row by row from the top of the
    // rows held; pixels outside the disc are Day (nothing is drawn there).
    void Classify(const SunPosition& sun, std::vector<Daylight>& out) const;
    // The same as premultiplied 0xAARRGGBB colours: `twilight` or `night`
    // where they apply, 0 (transparent) elsewhere. `out` holds size * rows.
    void Shade(const SunPosition& sun, uint32_t twilight, uint32_t night, uint32_t* out) const;

  private:
    template <typename Put> void Walk(const SunPosition& sun, Put put) const;
    int size_ = 0;
    int rows_ = 0;
    // x, y, z of each pixel inside the disc, with its index in the picture.
    std::vector<float> x_, y_, z_;
    std::vector<uint32_t> index_;
};

} // namespace geo
