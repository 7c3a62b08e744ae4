// Painting a scene with cairo: the board, marks, pieces, arrows, texts and the side-to-move mark.
#include "diagram_painter.h"

#include "piece_outlines.h"
#include "render_fonts.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <system_error>
#include <thread>
#include <vector>

namespace pictog {

namespace {

    constexpr Rgb Black { 0, 0, 0 };
    constexpr Rgb White { 1, 1, 1 };

    void setColor(cairo_t* cr, Rgb c, double alpha = 1.0)
    {
        if (alpha >= 1.0)
            cairo_set_source_rgb(cr, c.r, c.g, c.b);
        else
            cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
    }

    void addBox(cairo_t* cr, const LayoutBox& box)
    {
        cairo_rectangle(cr, box.left, box.top, box.width, box.height);
    }

    // ---- Pieces ----

    void tracePolyline(cairo_t* cr, const artgen::Polyline& line)
    {
        if (line.points.empty())
            return;
        cairo_move_to(cr, line.points.front().x, line.points.front().y);
        for (std::size_t i = 1; i < line.points.size(); ++i)
            cairo_line_to(cr, line.points[i].x, line.points[i].y);
        if (line.closed)
            cairo_close_path(cr);
    }

    void traceSilhouette(cairo_t* cr, const artgen::PieceSource& piece)
    {
        cairo_new_path(cr);
        for (const artgen::Polyline& p : piece.outline)
            tracePolyline(cr, p);
    }

    // A polygon of points as a counter-clockwise sub-path (in cairo's y-down sense, the way
    // cairo_arc turns), so that a union of such pieces fills evenly under the non-zero rule.
    void addTurningPolygon(cairo_t* cr, std::initializer_list<artgen::Point> points)
    {
        double area = 0;
        const artgen::Point* previous = points.end() - 1;
        for (const artgen::Point& p : points) {
            area += previous->x * p.y - p.x * previous->y;
            previous = &p;
        }
        cairo_new_sub_path(cr);
        if (area >= 0)
            for (const artgen::Point& p : points)
                cairo_line_to(cr, p.x, p.y);
        else
            for (auto p = points.end(); p != points.begin();) {
                --p;
                cairo_line_to(cr, p->x, p->y);
            }
        cairo_close_path(cr);
    }

    // The largest bend of a line joined by a wedge instead of a disc (radians).
    constexpr double MaxWedgeTurn = 0.35;

    // The area a stroke of the polyline with round caps and joins covers, added to the path as
    // shapes to fill with the non-zero rule: a band along each segment and a disc on each
    // point. A PDF surface then replays the piece without working out stroke outlines each
    // time the piece is used, which is where a page of diagrams spends its time otherwise.
    void traceStrokeArea(cairo_t* cr, const artgen::Polyline& line, double width)
    {
        const double r = width / 2;
        const std::size_t n = line.points.size();
        const std::size_t segments = line.closed ? n : n - 1;
        for (std::size_t i = 0; n > 0 && i < segments; ++i) {
            const artgen::Point a = line.points[i];
            const artgen::Point b = line.points[(i + 1) % n];
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (length <= 0)
                continue;
            const double nx = -(b.y - a.y) / length * r;
            const double ny = (b.x - a.x) / length * r;
            addTurningPolygon(cr,
                { { a.x + nx, a.y + ny }, { b.x + nx, b.y + ny }, { b.x - nx, b.y - ny },
                    { a.x - nx, a.y - ny } });
        }
        for (std::size_t i = 0; i < n; ++i) {
            const artgen::Point p = line.points[i];
            const bool end = !line.closed && (i == 0 || i + 1 == n);
            const artgen::Point before = line.points[(i + n - 1) % n];
            const artgen::Point after = line.points[(i + 1) % n];
            const double in = std::atan2(p.y - before.y, p.x - before.x);
            const double out = std::atan2(after.y - p.y, after.x - p.x);
            const double turn = std::remainder(out - in, 2 * M_PI);
            if (end || n < 3 || std::abs(turn) > MaxWedgeTurn) {
                cairo_new_sub_path(cr);
                cairo_arc(cr, p.x, p.y, r, 0, 2 * M_PI);
            } else if (turn != 0) {
                // A gentle bend (most points of a flattened curve): the round join differs from
                // the wedge between the two bands by less than r * (1 - cos(turn / 2)), under a
                // hundredth of the band's width. Both sides, the inner one being covered anyway.
                const double ax = -std::sin(in) * r;
                const double ay = std::cos(in) * r;
                const double bx = -std::sin(out) * r;
                const double by = std::cos(out) * r;
                addTurningPolygon(cr, { p, { p.x + ax, p.y + ay }, { p.x + bx, p.y + by } });
                addTurningPolygon(cr, { p, { p.x - ax, p.y - ay }, { p.x - bx, p.y - by } });
            }
        }
    }

    void traceSilhouetteStroke(cairo_t* cr, const artgen::PieceSource& piece, double width)
    {
        cairo_new_path(cr);
        for (const artgen::Polyline& p : piece.outline)
            traceStrokeArea(cr, p, width);
    }

    // Strokes the path made by trace, or fills the stroke's area that area(width) makes.
    template <class Trace, class Area>
    void strokeOrFill(cairo_t* cr, bool areas, double width, Trace trace, Area area)
    {
        if (areas) {
            cairo_new_path(cr);
            area(width);
            cairo_fill(cr);
        } else {
            trace();
            cairo_set_line_width(cr, width);
            cairo_stroke(cr);
        }
    }

    // The piece on a size x size square at the origin, as the artwork draws its smooth images:
    // the silhouette filled, the interior lines and spots inside it, and an outline band along
    // the inside of the edge, in the weights pieceLineWidths gives; the SVG writer draws the
    // same shapes.
    void drawPiece(cairo_t* cr, const artgen::PieceSource& piece, bool black, double size,
        bool halo, bool areas)
    {
        const double k = size / artgen::DesignSize;
        const double pixel = 1.0 / k; // one output unit in design units
        const PieceLineWidths widths = pieceLineWidths(size);
        cairo_save(cr);
        cairo_scale(cr, k, k);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

        if (halo) {
            // A white edge around the piece that keeps hatching off its outline.
            setColor(cr, White);
            strokeOrFill(
                cr, areas, 2 * widths.halo * pixel, [&] { traceSilhouette(cr, piece); },
                [&](double width) { traceSilhouetteStroke(cr, piece, width); });
        }
        traceSilhouette(cr, piece);
        setColor(cr, black ? Black : White);
        cairo_fill_preserve(cr);
        cairo_clip(cr);

        setColor(cr, black ? White : Black);
        for (const artgen::Detail& d : piece.details) {
            if (!widths.details || d.kind == artgen::DetailKind::Shade || (d.whiteOnly && black))
                continue;
            if (d.kind == artgen::DetailKind::Stroke) {
                strokeOrFill(
                    cr, areas, widths.stroke(d.width) * pixel,
                    [&] {
                        cairo_new_path(cr);
                        tracePolyline(cr, d.line);
                    },
                    [&](double width) { traceStrokeArea(cr, d.line, width); });
            } else {
                cairo_new_path(cr);
                tracePolyline(cr, d.line);
                cairo_fill(cr);
            }
        }

        // Twice the band's width, half of it cut away by the clip outside the silhouette.
        setColor(cr, Black);
        strokeOrFill(
            cr, areas, 2 * widths.outline * pixel, [&] { traceSilhouette(cr, piece); },
            [&](double width) { traceSilhouetteStroke(cr, piece, width); });
        cairo_restore(cr);
    }

} // namespace

PieceArt::PieceArt(int square, bool vector, bool halo, bool strokeAreas)
    : m_square(square)
    , m_vector(vector)
    , m_halo(halo)
{
    const auto& pieces = pieceOutlines();
    const auto draw = [&](int first, int last) {
        for (int code = first; code <= last; ++code) {
            CairoSurface surface;
            if (vector) {
                const cairo_rectangle_t extents { 0, 0, static_cast<double>(square),
                    static_cast<double>(square) };
                surface.reset(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
            } else {
                surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, square, square));
            }
            const CairoContext cr(cairo_create(surface.get()));
            drawPiece(cr.get(), pieces[static_cast<std::size_t>(pieceKind(code))],
                isBlackPiece(code), square, halo, vector && strokeAreas);
            m_surfaces[static_cast<std::size_t>(code - 1)] = std::move(surface);
        }
    };
    // Large image pieces take cairo's stroker a while (about 20 ms for the twelve at 76 pixels,
    // which the window's larger boards wait for before their first frame): the black ones are
    // drawn on a second thread meanwhile. Each thread draws into its own surfaces.
    constexpr int ParallelSquare = 48;
    if (vector || square < ParallelSquare || std::thread::hardware_concurrency() < 2) {
        draw(1, 12);
        return;
    }
    std::thread black;
    try {
        black = std::thread(draw, 7, 12);
    } catch (const std::system_error&) {
        draw(1, 12); // no thread to be had: all on this one
        return;
    }
    draw(1, 6);
    black.join();
}

const PieceArt& imagePieceArt(int square, bool halo)
{
    thread_local std::unique_ptr<PieceArt> art;
    if (!art || art->square() != square || art->halo() != halo) {
        art.reset();
        art = std::make_unique<PieceArt>(square, false, halo);
    }
    return *art;
}

void paintScene(cairo_t* cr, const Scene& scene, const PieceArt& pieces)
{
    const DiagramLayout& layout = scene.layout;
    const LayoutBox& b = layout.board;
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);

    if (scene.transparent) {
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    } else {
        setColor(cr, scene.background);
        cairo_paint(cr);
    }

    // Border and frame, each as a ring between two rectangles.
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    setColor(cr, Black);
    if (layout.border > 0) {
        cairo_rectangle(cr, 0, 0, layout.width, layout.height);
        cairo_rectangle(cr, layout.border, layout.border, layout.width - 2 * layout.border,
            layout.height - 2 * layout.border);
        cairo_fill(cr);
    }
    cairo_rectangle(cr, b.left - layout.frame, b.top - layout.frame, b.width + 2 * layout.frame,
        b.height + 2 * layout.frame);
    addBox(cr, b);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);

    // The squares: the board in the light colour, the dark squares over it.
    setColor(cr, scene.light);
    addBox(cr, b);
    cairo_fill(cr);
    for (const LayoutBox& box : scene.darkSquares)
        addBox(cr, box);
    if (scene.hatch) {
        cairo_save(cr);
        cairo_clip(cr);
        for (const auto& band : scene.hatchBands) {
            cairo_move_to(cr, band[0].x, band[0].y);
            for (std::size_t i = 1; i < band.size(); ++i)
                cairo_line_to(cr, band[i].x, band[i].y);
            cairo_close_path(cr);
        }
        setColor(cr, Black);
        cairo_fill(cr);
        cairo_restore(cr);
    } else {
        setColor(cr, scene.dark);
        cairo_fill(cr);
    }

    for (const SceneMark& mark : scene.marks) {
        addBox(cr, mark.box);
        if (mark.ring > 0)
            addBox(cr, innerBox(mark.box, mark.ring));
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        setColor(cr, mark.color, mark.alpha);
        cairo_fill(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    }

    for (const ScenePiece& piece : scene.pieces) {
        cairo_set_source_surface(cr, pieces.surface(piece.code), piece.box.left, piece.box.top);
        addBox(cr, piece.box);
        cairo_fill(cr);
    }

    for (const SceneArrow& arrow : scene.arrows) {
        cairo_move_to(cr, arrow.outline[0].x, arrow.outline[0].y);
        for (std::size_t i = 1; i < arrow.outline.size(); ++i)
            cairo_line_to(cr, arrow.outline[i].x, arrow.outline[i].y);
        cairo_close_path(cr);
        if (arrow.edgeWidth > 0) {
            // Stroked at twice the width with the fill over it: the band shows outside only.
            cairo_save(cr);
            setColor(cr, arrow.edge);
            cairo_set_line_width(cr, 2 * arrow.edgeWidth);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
            cairo_stroke_preserve(cr);
            cairo_restore(cr);
        }
        setColor(cr, arrow.color, arrow.alpha);
        cairo_fill(cr);
    }

    std::vector<cairo_glyph_t> glyphs;
    for (const SceneText& text : scene.texts) {
        const CairoScaledFont font(diagramScaledFont(text.bold, text.size));
        if (!font)
            continue;
        cairo_set_scaled_font(cr, font.get());
        setColor(cr, text.color);
        glyphs.clear();
        for (const SceneGlyph& g : text.glyphs)
            glyphs.push_back({ g.index, g.x, g.y });
        cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    }

    if (layout.marker) {
        cairo_new_path(cr);
        cairo_arc(cr, layout.markerX, layout.markerY, layout.markerRadius, 0, 2 * M_PI);
        setColor(cr, layout.markerBlack ? Black : White);
        cairo_fill_preserve(cr);
        setColor(cr, Black);
        cairo_set_line_width(cr, layout.markerLine);
        cairo_stroke(cr);
    }
}

// The diagram drawn into an image surface, valid until the next call on this thread;
// nullptr when the options fail the check or the picture cannot be had.
CairoSurface renderSurface(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    if (checkRenderOptions(options))
        return nullptr;
    const Scene scene = buildScene(board, panel, options);
    const int width = scene.layout.width;
    const int height = scene.layout.height;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    const std::size_t bytes = static_cast<std::size_t>(stride) * height;
    // A batch of pictures of one size draws them all into the same memory (the background
    // covers every pixel), sparing a fresh allocation and its page faults each time; large
    // pictures get memory of their own, returned when they are done.
    constexpr std::size_t KeptBytes = 16 << 20;
    thread_local std::vector<unsigned char> kept;
    CairoSurface surface;
    if (bytes <= KeptBytes) {
        if (kept.size() < bytes)
            kept.resize(bytes);
        surface.reset(cairo_image_surface_create_for_data(
            kept.data(), CAIRO_FORMAT_ARGB32, width, height, stride));
    } else {
        surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    }
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    const CairoContext cr(cairo_create(surface.get()));
    paintScene(cr.get(), scene, imagePieceArt(options.squarePx, scene.pieceHalo));
    const bool ok = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_flush(surface.get());
    if (!ok)
        return nullptr;
    return surface;
}

DiagramImage renderDiagramImage(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    DiagramImage image;
    const CairoSurface surface = renderSurface(board, panel, options);
    if (!surface)
        return image;
    image.width = cairo_image_surface_get_width(surface.get());
    image.height = cairo_image_surface_get_height(surface.get());
    image.stride = cairo_image_surface_get_stride(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    image.pixels.assign(data, data + static_cast<std::size_t>(image.stride) * image.height);
    return image;
}

} // namespace pictog
