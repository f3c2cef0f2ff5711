#pragma once

// Paths of the pictures embedded in the program (resources/CMakeLists.txt).

namespace res {

// The political world map, 1194 x 765, 24-bit RGB, plate carree.
inline constexpr const char* WorldMapPath = ":/korvanta/worldmap.png";
// The same map at two and four times the size, 4-bit in the 16 map colours,
// for the large gap-free maps (geo::WorldScaleForSize picks one).
inline constexpr const char* WorldMap2388Path = ":/korvanta/worldmap-2388.png";
inline constexpr const char* WorldMap4776Path = ":/korvanta/worldmap-4776.png";
// The vector data of the regional maps (tools/make_regional_data.py):
// shorelines and country polygons, zlib-packed as qUncompress reads it.
inline constexpr const char* RegionalMapPath = ":/korvanta/regional-map.bin";
// The blank azimuthal template, 600 x 600, 16-colour palette.
inline constexpr const char* BackgroundPath = ":/korvanta/background.png";
// The signature picture over the world map, 80 x 17.
inline constexpr const char* TovakPath = ":/korvanta/tovak.png";
// The two shapes of the blinking DX marker, 29 x 29, white is transparent.
inline constexpr const char* DxMarkerPath = ":/korvanta/dx.png";
inline constexpr const char* Dx45MarkerPath = ":/korvanta/dx45.png";
// The window icon, 64 x 64.
inline constexpr const char* IconPath = ":/korvanta/korvanta.png";
// The donation button's picture of the Information window, 96 x 109
// (tools/make_donate.py).
inline constexpr const char* DonatePath = ":/korvanta/donate.png";

// Size of the DX markers and the offset of their centre pixel.
inline constexpr int MarkerSize = 29;
inline constexpr int MarkerCentre = 14;

} // namespace res
