#pragma once

#include "diagram/raster.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace pictog {

// The picture of a Windows bitmap file: an uncompressed BMP with a 40-byte (or longer)
// information header and 1, 4, 8 bits per pixel through a palette or 24 or 32 bits per pixel,
// rows stored bottom-up or top-down. Nothing for anything else, for a truncated file, a palette
// index beyond the palette, or a picture larger than 16384 pixels on a side.
std::optional<Raster> decodeBmp(const unsigned char* data, std::size_t size);

// The picture as a Windows bitmap file: file header, 40-byte information header, 24 bits per
// pixel (blue, green, red), no compression, rows from the bottom up, each padded to 4 bytes.
std::vector<unsigned char> encodeBmp(const Raster& picture);

} // namespace pictog
