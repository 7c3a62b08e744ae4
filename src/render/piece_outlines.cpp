#include "piece_outlines.h"

#include "diagram/embedded_resources.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pictog {

namespace {

    // Design units a simplified outline may stray from the flattened curve: a quarter of a pixel
    // at the largest square, a hundredth at the classic 38 pixels.
    constexpr double Tolerance = 0.1;

    double distanceToSegment(artgen::Point p, artgen::Point a, artgen::Point b)
    {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length2 = dx * dx + dy * dy;
        double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
    }

    // Douglas-Peucker: keeps the points needed to stay within Tolerance of the polyline. The
    // reader flattens curves finely enough for its 16-times supersampled artwork; the renderer's
    // vector files need far fewer points for the same shape.
    void simplify(artgen::Polyline& line)
    {
        std::vector<artgen::Point>& points = line.points;
        if (points.size() < 3)
            return;
        std::vector<bool> keep(points.size(), false);
        keep.front() = keep.back() = true;
        std::vector<std::pair<std::size_t, std::size_t>> spans { { 0, points.size() - 1 } };
        while (!spans.empty()) {
            const auto [first, last] = spans.back();
            spans.pop_back();
            double worst = 0;
            std::size_t at = first;
            for (std::size_t i = first + 1; i < last; ++i) {
                const double d = distanceToSegment(points[i], points[first], points[last]);
                if (d > worst) {
                    worst = d;
                    at = i;
                }
            }
            if (worst > Tolerance) {
                keep[at] = true;
                spans.push_back({ first, at });
                spans.push_back({ at, last });
            }
        }
        std::vector<artgen::Point> kept;
        for (std::size_t i = 0; i < points.size(); ++i)
            if (keep[i])
                kept.push_back(points[i]);
        points.swap(kept);
    }

    std::array<artgen::PieceSource, 6> readOutlines()
    {
        static const char* const names[6] = { "pawn", "knight", "bishop", "rook", "queen", "king" };
        static const char letters[6] = { 'p', 'n', 'b', 'r', 'q', 'k' };
        std::array<artgen::PieceSource, 6> pieces;
        for (int i = 0; i < 6; ++i) {
            const auto text = findResource(std::string("OUTLINE_") + names[i]);
            if (!text)
                throw std::runtime_error(
                    "the program holds no outline of the " + std::string(names[i]));
            pieces[static_cast<std::size_t>(i)]
                = artgen::readPieceSourceText(std::string(names[i]) + ".txt",
                    std::string(reinterpret_cast<const char*>(text->data), text->size));
            artgen::PieceSource& piece = pieces[static_cast<std::size_t>(i)];
            if (piece.letter != letters[i])
                throw std::runtime_error(std::string(names[i]) + ".txt: wrong piece letter");
            for (artgen::Polyline& line : piece.outline)
                simplify(line);
            for (artgen::Detail& detail : piece.details)
                simplify(detail.line);
        }
        return pieces;
    }

} // namespace

const std::array<artgen::PieceSource, 6>& pieceOutlines()
{
    static const std::array<artgen::PieceSource, 6> pieces = readOutlines();
    return pieces;
}

PieceLineWidths pieceLineWidths(double square)
{
    // At 38 pixels and below every line is one design pixel wide (ten units), so that the
    // outlines, drawn on the design's pixel grid, come out as crisp as the classic bitmaps; from
    // twice that size on the weights of the smooth artwork (1.4 and 1.3); in between a blend.
    // Small squares keep a minimum, or white pieces would fill up with ink.
    const double scale = square / 38.0;
    const double blend = std::clamp(scale - 1.0, 0.0, 1.0);
    return { std::max(0.7, scale * (1.0 + 0.4 * blend)), scale * (1.0 + 0.3 * blend),
        std::max(1.0, 1.6 * scale), square >= 16 };
}

} // namespace pictog
