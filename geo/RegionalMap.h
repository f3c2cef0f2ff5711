// The regional map: a MapFrame whose rim lies closer than the antipode,
// drawn from the vector data (geo/RegionalData.h) into a palette picture at
// the frame's size.
//
// Every ring is clipped on the sphere to the map's cap before anything is
// projected: the parts of a ring beyond the rim are replaced by arcs along the
// rim that turn round the centre as far as the parts they replace, so no
// polygon wraps round the rim; a ring that holds the antipode (which no map of
// a cap can show) is filled as the complement it is inside the cap. Rings are
// filled by the even-odd rule: the shoreline levels (land, lake, island in a
// lake, pond) nest, so the parity of all of them is land; the countries are
// disjoint, so the exclusive-or of their indices is the country under a pixel.
// Lakes whose cap is narrower than two pixels are left out (with the islands
// and ponds in them), so a large range shows no rings of coastline for them.
//
// The picture: outside the disc black, water the sea colour, land its
// country's colour (land no country covers takes a neighbour's), and the
// coastlines and national borders as one-pixel black lines found on the
// filled picture, so they match the fills exactly.
#pragma once

#include "geo/MapFrame.h"
#include "geo/Projection.h"
#include "geo/RegionalData.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace geo {

inline constexpr uint8_t PaletteSea = 10;

// Whether a regional frame is drawn from the world pictures (the gap-free
// engine) rather than from the vectors: when each output pixel covers at
// least one pixel of the finest world picture (`worldWidth` pixels round the
// equator).
bool RegionalUsesWorldPicture(const MapFrame& frame, int worldWidth);

// A round length for a scale bar or distance circles: 1, 2 or 5 times a
// power of ten units (kilometres when unitKm is 1, miles when 1.609344), the
// longest that spans at most `maxPixels` on a map of `kmPerPixel`.
double NiceScaleLength(double kmPerPixel, double unitKm, double maxPixels);

// The regional map of `frame` (any rim; the whole world works too but is
// drawn by the classic engines) from `data`. Uses both cores.
// Land that no country covers, not even beside it (an islet the country
// polygons leave out), takes landColour(lat, lon) when given, else a light
// land colour.
using LandColourFn = std::function<uint8_t(double lat, double lon)>;
PaletteImage DrawRegionalMap(const RegionalData& data, const MapFrame& frame,
                             const LandColourFn& landColour = {});

// The even-odd fill of the given rings (positions in degrees), each clipped
// to the frame's cap: a frame-sized mask, 1 where a pixel of the disc lies
// inside an odd number of rings (outside the disc 0). For the tests and the
// drawing alike.
std::vector<uint8_t> FillRings(const std::vector<std::vector<LatLonDeg>>& rings,
                               const MapFrame& frame);

} // namespace geo
