#include "diagram/raster.h"

#include <algorithm>
#include <stdexcept>

namespace pictog {

Rect unite(const Rect& a, const Rect& b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    const int left = std::min(a.left, b.left);
    const int top = std::min(a.top, b.top);
    const int right = std::max(a.left + a.width, b.left + b.width);
    const int bottom = std::max(a.top + a.height, b.top + b.height);
    return { left, top, right - left, bottom - top };
}

Raster::Raster(int width, int height, Pixel fill)
{
    reset(width, height, fill);
}

void Raster::reset(int width, int height, Pixel fill)
{
    if (width < 0 || height < 0)
        throw std::invalid_argument("negative picture size");
    m_width = 0;
    m_height = 0;
    m_pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
    m_width = width;
    m_height = height;
}

void Raster::fillRect(const Rect& rect, Pixel p)
{
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.left + rect.width, m_width);
    const int bottom = std::min(rect.top + rect.height, m_height);
    if (left >= right)
        return;
    for (int y = top; y < bottom; ++y)
        std::fill(row(y) + left, row(y) + right, p);
}

void Raster::outlineRect(int left, int top, int right, int bottom, Pixel p)
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
    const int w = right - left + 1;
    const int h = bottom - top + 1;
    fillRect({ left, top, w, 1 }, p);
    fillRect({ left, bottom, w, 1 }, p);
    fillRect({ left, top, 1, h }, p);
    fillRect({ right, top, 1, h }, p);
}

void copyBlock(Raster& dest, int dx, int dy, const Raster& source, int sx, int sy, int width,
    int height, BlockOp op)
{
    // Cut the block so that it starts inside both pictures...
    if (sx < 0) {
        dx -= sx;
        width += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        height += sy;
        sy = 0;
    }
    if (dx < 0) {
        sx -= dx;
        width += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        height += dy;
        dy = 0;
    }
    // ... and ends inside both.
    width = std::min({ width, source.width() - sx, dest.width() - dx });
    height = std::min({ height, source.height() - sy, dest.height() - dy });
    if (width <= 0 || height <= 0)
        return;
    for (int y = 0; y < height; ++y) {
        const Pixel* from = source.row(sy + y) + sx;
        Pixel* to = dest.row(dy + y) + dx;
        switch (op) {
        case BlockOp::Copy:
            std::copy(from, from + width, to);
            break;
        case BlockOp::And:
            for (int x = 0; x < width; ++x)
                to[x] &= from[x];
            break;
        case BlockOp::Or:
            for (int x = 0; x < width; ++x)
                to[x] |= from[x];
            break;
        }
    }
}

} // namespace pictog
