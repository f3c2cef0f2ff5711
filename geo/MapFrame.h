// The geometry of one map picture: its centre, its size in pixels and the
// angular radius of its rim. Every computation that turns a position into a
// pixel of a map, or a pixel into a position, bearing or distance, goes
// through a frame, so the readouts, the markers, the overlays, the gap-free
// engine, the exports and the posters agree on where things are.
//
// Pixel convention (the generation's own): an N x N map has R = N / 2; the
// integer pixel (x, y) stands for the point at its centre, (x - R) pixels
// east and (R - y) pixels north of the map centre (R, R). A point at bearing
// A (clockwise from north) and central angle d from the centre lies at
// r = R d / rim pixels from (R, R): (R + r sin A, R - r cos A). The rim, R
// pixels out, is `rim` radians away: pi for the whole-world map (the rim is
// the antipode), less for a regional map.
//
// Distances on the map's scale: 20000 km from the centre to the antipode, so
// a rim of `rim` radians is 20000 rim / pi km.
#pragma once

#include "geo/Position.h"

#include <optional>

namespace geo {

// Kilometres from the centre to the antipode on every map.
inline constexpr double HalfCircumferenceKm = 20000.0;
// The readouts' distance: a nautical mile (1.852 km) per minute of arc, so
// 111.12 km per degree (the map's scale is HalfCircumferenceKm per 180).
inline constexpr double ReadoutKmPerDegree = 60 * 1.852;

// A point of a map picture in the pixel convention above.
struct MapPoint {
    double x = 0;
    double y = 0;
};

// A position placed on a map, with its central angle from the centre in
// degrees (0 to 180).
struct Projected {
    MapPoint p;
    double distance = 0;
};

// Bearing (degrees clockwise from north, [0, 360)) and distance in pixels of
// a map pixel from the centre, computed the way the readout has always done
// for whole pixels (the centre pixel reads 90 degrees).
struct PixelPolar {
    Real bearing = 0;
    Real r = 0;
};

class MapFrame {
  public:
    // The whole-world 600-pixel map of the centre (0, 0).
    MapFrame() = default;
    // A map of `size` pixels centred on (centreLat, centreLon), degrees,
    // north and east positive, whose rim lies `rimAngle` radians from the
    // centre (pi: the whole world). A rim outside (0, pi] counts as pi.
    MapFrame(Real centreLat, Real centreLon, int size = 600, Real rimAngle = Pi);
    // The frame whose rim is `rangeKm` from the centre on the map's scale;
    // zero, a negative, non-finite or 20000 km and more is the whole world.
    static MapFrame WithRangeKm(Real centreLat, Real centreLon, int size, double rangeKm);
    // The same map at another size (an export of the same range).
    MapFrame Resized(int size) const;

    Real centreLat() const { return lat_; }
    Real centreLon() const { return lon_; }
    // The centre used for the geometry: a latitude of exactly 90 counts as
    // 89.9, as in the generation, and -90 as -89.9.
    Real geometricCentreLat() const;
    int size() const { return size_; }
    // Pixels from the centre to the rim, and the centre's pixel coordinate.
    double radius() const { return size_ / 2.0; }
    Real rimAngle() const { return rim_; }
    bool wholeWorld() const { return rim_ == Pi; }
    // Kilometres from the centre to the rim, and per pixel.
    double rangeKm() const;
    double kmPerPixel() const;
    // Pixels for a distance along the map from the centre.
    double PixelsForKm(double km) const;

    // Where a position lands (the forward azimuthal equidistant projection),
    // with its central angle. Nothing beyond the rim; on the whole-world map
    // the antipode itself (the whole rim) gives nothing.
    std::optional<Projected> Project(double lat, double lon) const;
    // Where a position lands, beyond the rim too (the point keeps its bearing
    // and its distance on the map's scale); nothing at the antipode.
    std::optional<Projected> ProjectUnclipped(double lat, double lon) const;
    // The point at bearing (degrees) and central angle (radians) from the
    // centre; beyond the rim too.
    MapPoint PointAt(double bearingDeg, double angle) const;

    // The position under a map point, the longitude in [-180, 180). Points
    // farther than R from the centre (outside the disc) give nothing; the
    // rim itself is inside.
    std::optional<LatLon> PositionAt(Real x, Real y) const;
    // Whether a point lies on the disc (the rim included).
    bool Inside(Real x, Real y) const;

    // Bearing and pixel distance of the whole pixel (X, Y) (the readout's
    // rule); the central angle of a pixel distance, in radians, and its
    // distance in kilometres on the map's scale.
    PixelPolar PolarOfPixel(int X, int Y) const;
    Real AngleOfPixels(Real r) const;
    Real KmOfPixels(Real r) const;

  private:
    Real lat_ = 0;
    Real lon_ = 0;
    int size_ = 600;
    Real rim_ = Pi;
};

} // namespace geo
