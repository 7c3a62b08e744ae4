// Painting a scene with cairo: the board, marks, pieces, arrows, texts and the side-to-move mark.
#include "diagram_painter.h"

#include "piece_outlines.h"
#include "render_fonts.h"

#include <algorithm>
#include <cmath>
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

    // The piece on a size x size square at the origin, as the artwork draws its smooth images:
    // the silhouette filled, the interior lines and spots inside it, and an outline band along
    // the inside of the edge, in the weights pieceLineWidths gives; the SVG writer draws the
    // same shapes.
    void drawPiece(
        cairo_t* cr, const artgen::PieceSource& piece, bool black, double size, bool halo)
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
            traceSilhouette(cr, piece);
            setColor(cr, White);
            cairo_set_line_width(cr, 2 * widths.halo * pixel);
            cairo_stroke(cr);
        }
        traceSilhouette(cr, piece);
        setColor(cr, black ? Black : White);
        cairo_fill_preserve(cr);
        cairo_clip(cr);

        setColor(cr, black ? White : Black);
        for (const artgen::Detail& d : piece.details) {
            if (!widths.details || d.kind == artgen::DetailKind::Shade || (d.whiteOnly && black))
                continue;
            cairo_new_path(cr);
            tracePolyline(cr, d.line);
            if (d.kind == artgen::DetailKind::Stroke) {
                cairo_set_line_width(cr, widths.stroke(d.width) * pixel);
                cairo_stroke(cr);
            } else {
                cairo_fill(cr);
            }
        }

        // Twice the band's width, half of it cut away by the clip outside the silhouette.
        traceSilhouette(cr, piece);
        setColor(cr, Black);
        cairo_set_line_width(cr, 2 * widths.outline * pixel);
        cairo_stroke(cr);
        cairo_restore(cr);
    }

} // namespace

PieceArt::PieceArt(int square, bool vector, bool halo)
    : m_square(square)
    , m_vector(vector)
    , m_halo(halo)
{
    const auto& pieces = pieceOutlines();
    for (int code = 1; code <= 12; ++code) {
        CairoSurface surface;
        if (vector) {
            const cairo_rectangle_t extents { 0, 0, static_cast<double>(square),
                static_cast<double>(square) };
            surface.reset(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents));
        } else {
            surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, square, square));
        }
        const CairoContext cr(cairo_create(surface.get()));
        drawPiece(cr.get(), pieces[static_cast<std::size_t>(pieceKind(code))], isBlackPiece(code),
            square, halo);
        m_surfaces[static_cast<std::size_t>(code - 1)] = std::move(surface);
    }
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
