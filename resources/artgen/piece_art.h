#pragma once

// Drawing the pieces: crisp two-tone bitmaps at 38 pixels for the board's AND/OR drawing, and
// smooth renderings at any size for the palette icons, the HTML image sets and the About picture.

#include "piece_source.h"
#include "raster.h"

#include <cstdint>
#include <vector>

namespace artgen {

// What a pixel of a 38-pixel bitmap shows.
enum Role : std::uint8_t { Outside = 0, Outline = 1, Fill = 2, DetailInk = 3, ShadeInk = 4 };

// The 38 x 38 role grids of one piece in white and in black; both share the silhouette.
struct PixelArt {
    Grid white;
    Grid black;
};

PixelArt drawPixelArt(const PieceSource& piece);

// 0xAARRGGBB colours.
using Argb = std::uint32_t;

constexpr Argb rgb(int r, int g, int b)
{
    return 0xFF000000u | (static_cast<Argb>(r) << 16) | (static_cast<Argb>(g) << 8)
        | static_cast<Argb>(b);
}

struct Inks {
    Argb outline;
    Argb fill;
    Argb detail;
    Argb shade;
};

// How a smooth rendering looks: line weights in pixels at a 38-pixel square (scaled with the
// size, never below one pixel) and the inks of each colour.
struct Style {
    double outlineWidth = 1.4;
    double detailWidth = 1.3;
    Inks white { rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 0), rgb(255, 255, 255) };
    Inks black { rgb(0, 0, 0), rgb(0, 0, 0), rgb(255, 255, 255), rgb(0, 0, 0) };
};

// A picture of 0xAARRGGBB pixels, row by row from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Argb> pixels;

    Image() = default;
    Image(int w, int h, Argb fill = 0)
        : width(w)
        , height(h)
        , pixels(static_cast<std::size_t>(w) * h, fill)
    {
    }
    Argb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    Argb at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// The piece drawn on a size x size square with 16 x 16 samples a pixel. Alpha is the share of
// the pixel the piece covers; the colour is the average of the piece's inks inside it.
Image drawSmooth(const PieceSource& piece, bool black, int size, const Style& style);

// The image laid over a background colour, blending by alpha.
Image flatten(const Image& image, Argb background);

// Copies source onto target at (x, y), blending by the source's alpha.
void blendOnto(Image& target, const Image& source, int x, int y);

} // namespace artgen
