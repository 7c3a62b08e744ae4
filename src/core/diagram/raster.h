#pragma once

#include "settings/html_color.h"

#include <cstdint>
#include <vector>

namespace pictog {

// One pixel as 0xFFRRGGBB: red, green and blue with an opaque top byte, the layout a desktop
// image of 32-bit RGB takes without conversion.
using Pixel = std::uint32_t;

constexpr Pixel pixelRgb(int red, int green, int blue)
{
    return 0xFF000000u | static_cast<Pixel>((red & 0xFF) << 16)
        | static_cast<Pixel>((green & 0xFF) << 8) | static_cast<Pixel>(blue & 0xFF);
}
// The pixel of a colour value (red in the low byte); the system-colour bit is ignored.
constexpr Pixel pixelOf(ColorValue color)
{
    return pixelRgb(redOf(color), greenOf(color), blueOf(color));
}
constexpr int pixelRed(Pixel p)
{
    return static_cast<int>((p >> 16) & 0xFF);
}
constexpr int pixelGreen(Pixel p)
{
    return static_cast<int>((p >> 8) & 0xFF);
}
constexpr int pixelBlue(Pixel p)
{
    return static_cast<int>(p & 0xFF);
}

constexpr Pixel BlackPixel = pixelRgb(0, 0, 0);
constexpr Pixel WhitePixel = pixelRgb(255, 255, 255);

// A rectangle of pixels: left, top, width, height.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool empty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Rect& a, const Rect& b)
    {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    }
    friend bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
};

// The smallest rectangle covering both; an empty one counts as nothing.
Rect unite(const Rect& a, const Rect& b);

// How a block copy combines source and destination pixels.
enum class BlockOp {
    Copy, // destination := source
    And, // destination := destination AND source (masks)
    Or, // destination := destination OR source (images over a masked hole)
};

// A 32-bit RGB picture held row by row from the top. Every drawing operation clips to the
// picture, so coordinates partly or wholly outside it are safe.
class Raster
{
public:
    Raster() = default;
    // A width × height picture filled with one pixel; throws std::bad_alloc when it cannot be
    // had and std::invalid_argument for a negative size.
    Raster(int width, int height, Pixel fill = BlackPixel);

    // Makes this a width × height picture filled with one pixel, keeping the memory it already
    // holds where that suffices; throws as the constructor does.
    void reset(int width, int height, Pixel fill = BlackPixel);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_width == 0 || m_height == 0; }

    // The pixel at (x, y), which must lie inside.
    Pixel pixel(int x, int y) const { return m_pixels[index(x, y)]; }
    void setPixel(int x, int y, Pixel p) { m_pixels[index(x, y)] = p; }
    const Pixel* row(int y) const { return m_pixels.data() + index(0, y); }
    Pixel* row(int y) { return m_pixels.data() + index(0, y); }

    // Fills the rectangle with the pixel.
    void fillRect(const Rect& rect, Pixel p);

    // The outline of the rectangle with corners (left, top) and (right, bottom), both
    // inclusive: a one-pixel line through all four corners.
    void outlineRect(int left, int top, int right, int bottom, Pixel p);

    friend bool operator==(const Raster& a, const Raster& b)
    {
        return a.m_width == b.m_width && a.m_height == b.m_height && a.m_pixels == b.m_pixels;
    }
    friend bool operator!=(const Raster& a, const Raster& b) { return !(a == b); }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width)
            + static_cast<std::size_t>(x);
    }

    int m_width = 0;
    int m_height = 0;
    std::vector<Pixel> m_pixels;
};

// Combines the width × height block of source at (sx, sy) into dest at (dx, dy). The block is
// cut to the parts inside both pictures; the two must not be the same raster.
void copyBlock(Raster& dest, int dx, int dy, const Raster& source, int sx, int sy, int width,
    int height, BlockOp op = BlockOp::Copy);

} // namespace pictog
