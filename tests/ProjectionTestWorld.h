// A synthetic world picture for the projection tests: every pixel its own
// pseudo-random colour, so a pixel written at a wrong place or in a wrong
// order shows in the generated map.
#pragma once

#include "geo/Projection.h"

#include <cstdint>
#include <vector>

namespace projection_test {

inline std::vector<uint8_t> NoiseRgb(int width, int height, uint32_t seed) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    uint32_t h = seed * 2654435761u + 12345u;
    for (auto& b : rgb) {
        h ^= h << 13;
        h ^= h >> 17;
        h ^= h << 5;
        b = static_cast<uint8_t>(h >> 24);
    }
    return rgb;
}

inline geo::WorldIndex NoiseWorld(uint32_t seed = 7) {
    const auto rgb = NoiseRgb(geo::MercatorWidth, geo::MercatorHeight, seed);
    return geo::WorldIndex::FromRgb(rgb.data(), geo::MercatorWidth, geo::MercatorHeight,
                                    static_cast<size_t>(geo::MercatorWidth) * 3);
}

} // namespace projection_test
