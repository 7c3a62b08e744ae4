#include "raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace artgen {

namespace {

    Point toGrid(Point p, int size)
    {
        return { p.x * size / DesignSize, p.y * size / DesignSize };
    }

    struct Crossing {
        double x;
        int winding;
    };

    // Felzenszwalb and Huttenlocher's lower envelope of parabolas, along one line of samples.
    void distance1d(const std::vector<double>& f, std::vector<double>& d, std::vector<int>& v,
        std::vector<double>& z)
    {
        const int n = static_cast<int>(f.size());
        const double inf = std::numeric_limits<double>::infinity();
        auto meet = [&](int q, int p) {
            return ((f[q] + double(q) * q) - (f[p] + double(p) * p)) / (2.0 * q - 2.0 * p);
        };
        int k = 0;
        v[0] = 0;
        z[0] = -inf;
        z[1] = inf;
        for (int q = 1; q < n; ++q) {
            double s = meet(q, v[k]);
            while (s <= z[k]) {
                --k;
                s = meet(q, v[k]);
            }
            ++k;
            v[k] = q;
            z[k] = s;
            z[k + 1] = inf;
        }
        k = 0;
        for (int q = 0; q < n; ++q) {
            while (z[k + 1] < q)
                ++k;
            d[q] = double(q - v[k]) * (q - v[k]) + f[v[k]];
        }
    }

} // namespace

void fillPolygons(Grid& grid, const std::vector<Polyline>& polygons, std::uint8_t value)
{
    const int n = grid.size;
    std::vector<Crossing> crossings;
    for (int row = 0; row < n; ++row) {
        const double y = row + 0.5;
        crossings.clear();
        for (const Polyline& poly : polygons) {
            const auto& pts = poly.points;
            for (std::size_t i = 0; i < pts.size(); ++i) {
                const Point a = toGrid(pts[i], n);
                const Point b = toGrid(pts[(i + 1) % pts.size()], n);
                if (a.y == b.y)
                    continue;
                // Half-open in y, so a vertex shared by two edges counts once.
                const bool down = a.y < b.y;
                const Point lo = down ? a : b, hi = down ? b : a;
                if (y < lo.y || y >= hi.y)
                    continue;
                const double x = lo.x + (y - lo.y) * (hi.x - lo.x) / (hi.y - lo.y);
                crossings.push_back({ x, down ? 1 : -1 });
            }
        }
        std::sort(crossings.begin(), crossings.end(),
            [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].winding;
            if (winding == 0)
                continue;
            // Samples whose centre lies in [x0, x1).
            const int first = std::max(0, static_cast<int>(std::ceil(crossings[i].x - 0.5)));
            const int last = std::min(n, static_cast<int>(std::ceil(crossings[i + 1].x - 0.5)));
            for (int col = first; col < last; ++col)
                grid.at(col, row) = value;
        }
    }
}

void strokePolyline(Grid& grid, const Polyline& line, double halfWidth, std::uint8_t value)
{
    const int n = grid.size;
    const auto& pts = line.points;
    const std::size_t segments = line.closed ? pts.size() : pts.size() - 1;
    const double r2 = halfWidth * halfWidth;
    for (std::size_t i = 0; i < segments || (pts.size() == 1 && i == 0); ++i) {
        const Point a = toGrid(pts[i], n);
        const Point b = toGrid(pts[(i + 1) % pts.size()], n);
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min(a.x, b.x) - halfWidth)));
        const int x1 = std::min(n - 1, static_cast<int>(std::ceil(std::max(a.x, b.x) + halfWidth)));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min(a.y, b.y) - halfWidth)));
        const int y1 = std::min(n - 1, static_cast<int>(std::ceil(std::max(a.y, b.y) + halfWidth)));
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double len2 = dx * dx + dy * dy;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5 - a.x, py = y + 0.5 - a.y;
                double t = len2 > 0 ? (px * dx + py * dy) / len2 : 0;
                t = std::clamp(t, 0.0, 1.0);
                const double ex = px - t * dx, ey = py - t * dy;
                if (ex * ex + ey * ey <= r2)
                    grid.at(x, y) = value;
            }
        }
    }
}

void thinPolyline(Grid& grid, const Polyline& line, std::uint8_t value)
{
    const int n = grid.size;
    auto plot = [&](double x, double y) {
        const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        if (grid.contains(ix, iy))
            grid.at(ix, iy) = value;
    };
    const auto& pts = line.points;
    const std::size_t segments = line.closed ? pts.size() : pts.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const Point a = toGrid(pts[i], n);
        const Point b = toGrid(pts[(i + 1) % pts.size()], n);
        plot(a.x, a.y);
        plot(b.x, b.y);
        const double dx = b.x - a.x, dy = b.y - a.y;
        if (std::fabs(dx) >= std::fabs(dy)) {
            if (dx == 0)
                continue;
            const double lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
            for (int col = static_cast<int>(std::ceil(lo - 0.5)); col + 0.5 <= hi; ++col) {
                const double cx = col + 0.5;
                plot(cx, a.y + (cx - a.x) * dy / dx);
            }
        } else {
            const double lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
            for (int row = static_cast<int>(std::ceil(lo - 0.5)); row + 0.5 <= hi; ++row) {
                const double cy = row + 0.5;
                plot(a.x + (cy - a.y) * dx / dy, cy);
            }
        }
    }
}

void uniteWithMirror(Grid& grid)
{
    const int n = grid.size;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n / 2; ++x) {
            std::uint8_t& l = grid.at(x, y);
            std::uint8_t& r = grid.at(n - 1 - x, y);
            l = r = std::max(l, r);
        }
    }
}

std::vector<double> squaredDistanceToOutside(const Grid& inside)
{
    // One sample of border on each side stands for the surroundings.
    const int n = inside.size + 2;
    // Large but finite: every line of samples meets the zero border, so it never survives.
    const double far = 1e12;
    std::vector<double> d(static_cast<std::size_t>(n) * n, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            d[static_cast<std::size_t>(y) * n + x] = inside.get(x - 1, y - 1) ? far : 0;

    std::vector<double> f(n), out(n), z(n + 1);
    std::vector<int> v(n);
    for (int x = 0; x < n; ++x) {
        for (int y = 0; y < n; ++y)
            f[y] = d[static_cast<std::size_t>(y) * n + x];
        distance1d(f, out, v, z);
        for (int y = 0; y < n; ++y)
            d[static_cast<std::size_t>(y) * n + x] = out[y];
    }
    for (int y = 0; y < n; ++y) {
        std::copy_n(d.begin() + static_cast<std::ptrdiff_t>(y) * n, n, f.begin());
        distance1d(f, out, v, z);
        std::copy_n(out.begin(), n, d.begin() + static_cast<std::ptrdiff_t>(y) * n);
    }
    std::vector<double> result(static_cast<std::size_t>(inside.size) * inside.size);
    for (int y = 0; y < inside.size; ++y)
        for (int x = 0; x < inside.size; ++x)
            result[static_cast<std::size_t>(y) * inside.size + x]
                = d[static_cast<std::size_t>(y + 1) * n + x + 1];
    return result;
}

} // namespace artgen
