// The azimuthal equidistant projection of the world map: the 16-colour
// palette, palette pictures, and the generation loop (a plain reference loop
// and the fast engine that gives the same picture and the same final state).
#pragma once

#include "geo/Position.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace geo {

inline constexpr int MapSize = 600; // the generated map is MapSize x MapSize pixels

// The palette of the generated map, 0xRRGGBB per index.
inline constexpr std::array<uint32_t, 16> Palette = {
    0x000000, 0x63C66B, 0x738CC6, 0x8484C6, 0x946B42, 0x9CDEA5, 0xA5B5EF, 0xBDDEA5,
    0xD67342, 0xDEDEDE, 0xDEF7FF, 0xFFCE9C, 0xFFFFB5, 0xA877C7, 0xB17F1D, 0xFFFFFF,
};
inline constexpr uint8_t PaletteBlack = 0;
inline constexpr uint8_t PaletteWhite = 15;

// The palette colour nearest to 0xRRGGBB (squared RGB distance, the lowest
// index on a tie); every palette colour maps to its own index.
uint8_t NearestPaletteIndex(uint32_t rgb);

// A picture in palette indices, row by row from the top.
struct PaletteImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;

    PaletteImage() = default;
    PaletteImage(int w, int h, uint8_t fill = PaletteBlack)
        : width(w), height(h), indices(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

    uint8_t at(int x, int y) const { return indices[static_cast<size_t>(y) * width + x]; }
    void set(int x, int y, uint8_t v) { indices[static_cast<size_t>(y) * width + x] = v; }
    bool operator==(const PaletteImage&) const = default;
};

// The blank background drawn in code: a white disc of diameter 599 on
// (299, 299) (pixel white iff (x-299)^2 + (y-299)^2 <= 299.5^2), black elsewhere.
PaletteImage BlankBackground();

// The world map reduced once to palette indices, stored column by column
// (the order in which the generation reads it).
class WorldIndex {
  public:
    WorldIndex() = default;
    // rgb: height rows of width pixels, 3 bytes (R, G, B) each, rows `stride` bytes apart.
    static WorldIndex FromRgb(const uint8_t* rgb, int width, int height, size_t stride);
    // indices: height rows of width 8-bit colour numbers, rows `stride` bytes
    // apart; toPalette gives the palette index of each colour number.
    static WorldIndex FromIndexed(const uint8_t* indices, int width, int height, size_t stride,
                                  const std::array<uint8_t, 256>& toPalette);

    int width() const { return width_; }
    int height() const { return height_; }
    uint8_t at(int x, int y) const { return indices_[static_cast<size_t>(x) * height_ + y]; }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> indices_;
};

using ProgressFn = std::function<void(int column)>;

// Target pixel of a world pixel once CalculAzimutDistance has given d and A.
struct TargetPixel {
    long long px = 0;
    long long py = 0;
    bool onMap() const { return px >= 0 && px < MapSize && py >= 0 && py < MapSize; }
};
TargetPixel TargetOf(Real distance, Real azimuth);

// The plain loop: column by column, row by row, every world pixel through
// CalculAzimutDistance on `state`, written where it lands (last write wins),
// progress(X) after each column. `target` holds the background beforehand.
// The world picture must be MercatorWidth x MercatorHeight.
void GenerateReference(const WorldIndex& world, PositionState& state, PaletteImage& target,
                       const BeepFn& beep, const ProgressFn& progress);

// Statistics of the last fast generation (for the benchmark and the tests).
struct GenerateStats {
    long exactPixels = 0; // pixels recomputed in extended precision
    long failures = 0;    // failed arc cosines (beeps)
};

// The fast engine: the same picture, the same final state, the same number of
// beeps (after the work) and progress(X) once per column in order, all on the
// calling thread. Uses both cores.
void Generate(const WorldIndex& world, PositionState& state, PaletteImage& target,
              const BeepFn& beep, const ProgressFn& progress, GenerateStats* stats = nullptr);

// For the windows: resets `target` from `background` and generates on the
// shared state in place.
void GenerateMap(const WorldIndex& world, const PaletteImage& background, PositionState& state,
                 PaletteImage& target, const BeepFn& beep, const ProgressFn& progress);

} // namespace geo
