#include "piece_art.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

    constexpr int Small = 38;
    constexpr int Supersample = 16;

    const std::vector<Polyline>& outlineAt38(const PieceSource& piece)
    {
        return piece.outline38.empty() ? piece.outline : piece.outline38;
    }

    const std::vector<Detail>& detailsAt38(const PieceSource& piece)
    {
        return piece.details38.empty() ? piece.details : piece.details38;
    }

    // The pixels of one kind of detail at 38 pixels. Mirrored pairs are made exactly symmetric,
    // whatever the rounding of each line did.
    Grid detailPixels(const PieceSource& piece, DetailKind kind, bool whiteOnly)
    {
        Grid paired(Small), single(Small);
        for (const Detail& d : detailsAt38(piece)) {
            if (d.kind != kind || d.whiteOnly != whiteOnly)
                continue;
            Grid& target = d.paired ? paired : single;
            if (kind == DetailKind::Stroke) {
                thinPolyline(target, d.line);
            } else {
                Grid spot(Small);
                fillPolygons(spot, { d.line });
                if (std::count(spot.cells.begin(), spot.cells.end(), 1) == 0) {
                    // A spot smaller than a pixel still shows as one.
                    double cx = 0, cy = 0;
                    for (const Point& p : d.line.points) {
                        cx += p.x;
                        cy += p.y;
                    }
                    const double n = static_cast<double>(d.line.points.size());
                    const int x = static_cast<int>(cx / n * Small / DesignSize);
                    const int y = static_cast<int>(cy / n * Small / DesignSize);
                    if (spot.contains(x, y))
                        spot.at(x, y) = 1;
                }
                for (std::size_t i = 0; i < spot.cells.size(); ++i)
                    target.cells[i] |= spot.cells[i];
            }
        }
        if (piece.symmetric)
            uniteWithMirror(paired);
        for (std::size_t i = 0; i < paired.cells.size(); ++i)
            paired.cells[i] |= single.cells[i];
        return paired;
    }

    void applyFix(Grid& white, Grid& black, const PixelFix& fix, int x)
    {
        switch (fix.role) {
        case PixelRole::Outside:
        case PixelRole::Outline: {
            const Role r = fix.role == PixelRole::Outside ? Outside : Outline;
            white.at(x, fix.y) = black.at(x, fix.y) = r;
            return;
        }
        case PixelRole::Fill:
        case PixelRole::Detail:
        case PixelRole::Shade: {
            const Role r = fix.role == PixelRole::Fill ? Fill
                : fix.role == PixelRole::Detail        ? DetailInk
                                                       : ShadeInk;
            if (fix.target != PixelTarget::Black)
                white.at(x, fix.y) = r;
            if (fix.target != PixelTarget::White)
                black.at(x, fix.y) = r == ShadeInk ? Fill : r;
            return;
        }
        }
    }

    std::uint32_t channel(Argb c, int shift)
    {
        return (c >> shift) & 0xFF;
    }

} // namespace

PixelArt drawPixelArt(const PieceSource& piece)
{
    Grid silhouette(Small);
    fillPolygons(silhouette, outlineAt38(piece));
    if (piece.symmetric)
        uniteWithMirror(silhouette);

    // The outline is every silhouette pixel beside (not diagonal to) one outside: a closed line
    // one pixel wide that never doubles up on slopes.
    Grid roles(Small);
    for (int y = 0; y < Small; ++y) {
        for (int x = 0; x < Small; ++x) {
            if (!silhouette.at(x, y))
                continue;
            const bool edge = !silhouette.get(x - 1, y) || !silhouette.get(x + 1, y)
                || !silhouette.get(x, y - 1) || !silhouette.get(x, y + 1);
            roles.at(x, y) = edge ? Outline : Fill;
        }
    }

    PixelArt art { roles, roles };
    const Grid strokes = detailPixels(piece, DetailKind::Stroke, false);
    const Grid dots = detailPixels(piece, DetailKind::Dot, false);
    const Grid whiteStrokes = detailPixels(piece, DetailKind::Stroke, true);
    const Grid whiteDots = detailPixels(piece, DetailKind::Dot, true);
    const Grid shade = detailPixels(piece, DetailKind::Shade, false);
    for (std::size_t i = 0; i < roles.cells.size(); ++i) {
        if (roles.cells[i] != Fill)
            continue;
        // Inside the outline only, so the white lines of a black piece never cut its edge.
        if (strokes.cells[i] || dots.cells[i]) {
            art.white.cells[i] = DetailInk;
            art.black.cells[i] = DetailInk;
        } else if (whiteStrokes.cells[i] || whiteDots.cells[i]) {
            art.white.cells[i] = DetailInk;
        } else if (shade.cells[i]) {
            art.white.cells[i] = ShadeInk;
        }
    }
    for (const PixelFix& fix : piece.fixes38) {
        applyFix(art.white, art.black, fix, fix.x);
        if (piece.symmetric)
            applyFix(art.white, art.black, fix, Small - 1 - fix.x);
    }
    // A fix that cut into the silhouette leaves the outline closed.
    for (Grid* grid : { &art.white, &art.black }) {
        const Grid before = *grid;
        for (int y = 0; y < Small; ++y) {
            for (int x = 0; x < Small; ++x) {
                const bool edge = before.get(x - 1, y) == Outside || before.get(x + 1, y) == Outside
                    || before.get(x, y - 1) == Outside || before.get(x, y + 1) == Outside;
                if (before.at(x, y) != Outside && edge)
                    grid->at(x, y) = Outline;
            }
        }
    }
    return art;
}

Image drawSmooth(const PieceSource& piece, bool black, int size, const Style& style)
{
    const int n = size * Supersample;
    const double samplesPerPixel = Supersample;

    Grid silhouette(n);
    fillPolygons(silhouette, piece.outline);
    if (piece.symmetric)
        uniteWithMirror(silhouette);
    const std::vector<double> distance = squaredDistanceToOutside(silhouette);
    const double outlineWidth = std::max(1.0, style.outlineWidth * size / Small) * samplesPerPixel;

    // Mirrored pairs drawn and then made exactly symmetric; single details laid on top.
    Grid paired(n), single(n);
    for (const Detail& d : piece.details) {
        if ((d.kind == DetailKind::Shade || d.whiteOnly) && black)
            continue;
        Grid& target = d.paired ? paired : single;
        const std::uint8_t value = d.kind == DetailKind::Shade ? ShadeInk : DetailInk;
        if (d.kind == DetailKind::Stroke) {
            const double width = std::max(1.0, style.detailWidth * d.width * size / Small);
            strokePolyline(target, d.line, width * samplesPerPixel / 2, value);
        } else {
            Grid spot(n);
            fillPolygons(spot, { d.line }, value);
            for (std::size_t i = 0; i < spot.cells.size(); ++i)
                if (spot.cells[i] && target.cells[i] != DetailInk)
                    target.cells[i] = spot.cells[i];
        }
    }
    if (piece.symmetric)
        uniteWithMirror(paired);
    Grid& details = paired;
    for (std::size_t i = 0; i < details.cells.size(); ++i)
        if (single.cells[i] && details.cells[i] != DetailInk)
            details.cells[i] = single.cells[i];

    const Inks& inks = black ? style.black : style.white;
    Image image(size, size, 0);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            std::uint32_t inside = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < Supersample; ++sy) {
                for (int sx = 0; sx < Supersample; ++sx) {
                    const int x = px * Supersample + sx, y = py * Supersample + sy;
                    if (!silhouette.at(x, y))
                        continue;
                    const std::size_t i = static_cast<std::size_t>(y) * n + x;
                    Argb ink = inks.fill;
                    if (distance[i] <= outlineWidth * outlineWidth)
                        ink = inks.outline;
                    else if (details.cells[i] == DetailInk)
                        ink = inks.detail;
                    else if (details.cells[i] == ShadeInk)
                        ink = inks.shade;
                    ++inside;
                    r += channel(ink, 16);
                    g += channel(ink, 8);
                    b += channel(ink, 0);
                }
            }
            if (inside == 0)
                continue;
            const std::uint32_t total = Supersample * Supersample;
            const std::uint32_t alpha = (inside * 255 + total / 2) / total;
            image.at(px, py) = (alpha << 24) | (((r + inside / 2) / inside) << 16)
                | (((g + inside / 2) / inside) << 8) | ((b + inside / 2) / inside);
        }
    }
    return image;
}

void blendOnto(Image& target, const Image& source, int x0, int y0)
{
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            const int tx = x0 + x, ty = y0 + y;
            if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height)
                continue;
            const Argb s = source.at(x, y);
            const std::uint32_t a = s >> 24;
            if (a == 0)
                continue;
            Argb& t = target.at(tx, ty);
            Argb out = 0xFF000000u;
            for (int shift = 0; shift <= 16; shift += 8) {
                const std::uint32_t v
                    = (channel(s, shift) * a + channel(t, shift) * (255 - a) + 127) / 255;
                out |= v << shift;
            }
            t = out;
        }
    }
}

Image flatten(const Image& image, Argb background)
{
    Image out(image.width, image.height, background | 0xFF000000u);
    blendOnto(out, image, 0, 0);
    return out;
}

} // namespace artgen
