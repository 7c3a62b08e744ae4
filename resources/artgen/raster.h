#pragma once

// Sampling of the vector sources: a scanline fill with the non-zero rule, round-capped strokes,
// one-pixel lines for the small bitmaps and a distance transform for outline bands.

#include "piece_source.h"

#include <cstdint>
#include <vector>

namespace artgen {

// A square of n x n samples over the design square, one byte each; sample (i, j) has its
// centre at ((i + 0.5) * 380 / n, (j + 0.5) * 380 / n).
struct Grid {
    int size = 0;
    std::vector<std::uint8_t> cells;

    Grid() = default;
    explicit Grid(int n)
        : size(n)
        , cells(static_cast<std::size_t>(n) * n, 0)
    {
    }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < size && y < size; }
    std::uint8_t& at(int x, int y) { return cells[static_cast<std::size_t>(y) * size + x]; }
    std::uint8_t at(int x, int y) const { return cells[static_cast<std::size_t>(y) * size + x]; }
    // 0 outside the grid.
    std::uint8_t get(int x, int y) const { return contains(x, y) ? at(x, y) : 0; }
};

// Sets to value every sample whose centre lies inside the polygons (non-zero winding).
void fillPolygons(Grid& grid, const std::vector<Polyline>& polygons, std::uint8_t value = 1);

// Sets to value every sample whose centre lies within halfWidth samples of the polyline.
void strokePolyline(Grid& grid, const Polyline& line, double halfWidth, std::uint8_t value = 1);

// Sets to value one sample per step along the major axis of each segment: the thin lines of the
// 38-pixel bitmaps.
void thinPolyline(Grid& grid, const Polyline& line, std::uint8_t value = 1);

// Every non-zero sample also set on its mirror image across the centre line.
void uniteWithMirror(Grid& grid);

// For each sample, the squared distance in samples to the nearest zero sample (the grid's
// surroundings count as zero).
std::vector<double> squaredDistanceToOutside(const Grid& inside);

} // namespace artgen
