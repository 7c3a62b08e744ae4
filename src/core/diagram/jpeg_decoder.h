#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pictog {

// A decoded picture: width × height pixels row by row from the top, each 0x00RRGGBB.
struct RgbPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The outcome of decoding: the picture, or nothing and the reason in error.
struct JpegDecoding {
    std::optional<RgbPixels> image;
    std::string error;
};

// Decodes a greyscale or colour JPEG picture from memory. Corrupt or truncated data, an
// unsupported colour space and pictures of more than 16 million pixels give no picture and the
// decoder's message; nothing is ever written to the console.
JpegDecoding decodeJpeg(const unsigned char* data, std::size_t size);

} // namespace pictog
