#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace pictog {

// The bytes of one resource compiled into the program; the data lives for the whole run and
// is never freed.
struct ResourceBytes {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The resource of that exact (case-sensitive) name, or nothing for an unknown name. Names:
// - "PIECE1".."PIECE24": BMP files of 38 x 38 pixels, 4 bits per pixel with a 16-entry palette
//   (BITMAPINFOHEADER, uncompressed, bottom-up rows padded to 4 bytes); the images of the white
//   pawn, knight, bishop, rook, queen and king, then the same in black, then the masks of those
//   twelve in order. Every palette entry used is black, white or the grey (192, 192, 192).
// - "PALETTE1".."PALETTE6": JPEG icons of the white pawn..king on a light background, 38 x 38.
// - "ABOUT": the About box picture, a PNG file.
// - "OUTLINE_pawn" .. "OUTLINE_king": the text of the piece outline files (resources/pieces).
std::optional<ResourceBytes> findResource(std::string_view name);

} // namespace pictog
