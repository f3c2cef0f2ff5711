// The gap-free map: every pixel of the disc takes the world-map colour of the
// position under it, so no pixel inside the disc keeps the background.
//
// Geometry (the inverse of the generation's forward mapping, MapPixelToLatLon
// in geo/Inverse.h): an N x N map has R = N / 2; the integer pixel (x, y)
// stands for the point at its centre, (x - R) pixels east and (R - y) pixels
// north of the projection centre (R, R), at bearing atan2(x - R, R - y) and
// central angle pi * r / R with r = hypot(x - R, R - y). Pixels with r <= R
// (the rim, the antipode, included) are inside. For N = 600 this is the
// generation's own geometry: R = MapRadius = 300, centre pixel (300, 300).
//
// The colour is the world pixel nearest to the position (no blending, so the
// palette colours, coastlines and borders stay crisp): for a world picture of
// W x H pixels in plate carree form, pixel (X, Y) is centred on
// lon = 360 X / W - 180, lat = 90 - 180 Y / H (PixelToLatLon for 1194 x 765),
// so X = round((lon + 180) W / 360) modulo W and Y = round((90 - lat) H / 180)
// kept within 0 .. H - 1 (the round half-up of floor(v + 0.5)).
//
// Outside the disc the target keeps what it holds (the background), except
// the thin fringe of the background's white disc that lies just beyond
// r = R (the template's disc is centred half a pixel up and left of the
// projection centre): a white pixel with R < r <= R + 1 takes the colour of
// the antipode, which every direction reaches at r = R.
#pragma once

#include "geo/MapFrame.h"
#include "geo/Position.h"
#include "geo/Projection.h"

#include <functional>

namespace geo {

inline constexpr int MinGapFreeSize = 300;
inline constexpr int MaxGapFreeSize = 4800;

// Progress of a gap-free generation on the calling thread: rows finished so
// far (increasing, the last call gives rows) out of the map's rows.
using RowProgressFn = std::function<void(int done, int rows)>;

struct WorldPixel {
    int x = 0;
    int y = 0;
};
// The world pixel nearest to a position, on a W x H plate carree picture.
WorldPixel NearestWorldPixel(Real lat, Real lon, int width, int height);

// The blank background of an N x N map drawn in code, the 600 template's
// geometry scaled: a white disc of diameter N - 1 centred on
// (N / 2 - 1, N / 2 - 1), black elsewhere.
PaletteImage BlankBackground(int size);

// The world-picture scale (1, 2 or 4 times 1194 x 765) a map of `size`
// pixels reads from: about one to two world pixels per map pixel near the
// centre, as at 600 with the 1194-pixel world map.
int WorldScaleForSize(int size);

// Fills the disc of the square `target` (MinGapFreeSize .. MaxGapFreeSize
// pixels, holding the background) for the centre (degrees; a latitude of
// exactly 90 or -90 moves off the pole, OffPole). Both cores compute rows;
// progress runs on the calling thread. Throws std::invalid_argument for another size or an empty
// world picture.
void GenerateGapFree(const WorldIndex& world, Real centreLat, Real centreLon, PaletteImage& target,
                     const RowProgressFn& progress = {});
// The same for a frame of any rim (a regional map: the distance from the
// centre scales with the frame's rim instead of pi); `target` has the
// frame's size. The antipode fringe is the whole-world map's only.
void GenerateGapFree(const WorldIndex& world, const MapFrame& frame, PaletteImage& target,
                     const RowProgressFn& progress = {});
// The same with the rim in radians (pi: the whole world).
void GenerateGapFree(const WorldIndex& world, Real centreLat, Real centreLon, Real rim,
                     PaletteImage& target, const RowProgressFn& progress = {});

// For the windows: resets `target` from `background` (600 x 600) and fills it
// for the shared state's centre. The state is left as the classic
// generation leaves it (CentreLat through OffPole, the far point the last world
// pixel with its distance and bearing); progress(column) as there, from 0 to
// MercatorWidth - 1.
void GenerateGapFreeMap(const WorldIndex& world, const PaletteImage& background,
                        PositionState& state, PaletteImage& target, const ProgressFn& progress);

} // namespace geo
