// Windows bitmap files of palette pictures (4 bits per pixel, 16 colours),
// and the safe way of writing any file: a temporary file in the same folder,
// flushed to disk and then renamed over the old one.
#pragma once

#include "geo/Projection.h"

#include <cstdint>
#include <string>
#include <vector>

namespace geo {

// The bytes of a 4-bit Windows bitmap (BITMAPINFOHEADER, the 16 colours of
// Palette, bottom-up rows padded to 4 bytes). Indices above 15 are written as 0.
std::vector<uint8_t> EncodeBmp4(const PaletteImage& image);

// Writes `bytes` to `path` through a temporary file in the same folder
// (flushed and renamed), so a failure leaves the old file as it was.
// Returns an empty text on success, else the reason.
std::string WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// EncodeBmp4 + WriteFileAtomically.
std::string WriteBmp4(const PaletteImage& image, const std::string& path);

} // namespace geo
