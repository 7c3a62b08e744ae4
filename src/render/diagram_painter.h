#pragma once

// The cairo painting of a scene, shared by the PNG file, the image for the screen and the PDF
// writer.

#include "cairo_handles.h"
#include "diagram_renderer.h"
#include "diagram_scene.h"

#include <array>
#include <optional>
#include <string>

namespace pictog {

// The twelve piece pictures for one square size, drawn once and then painted onto every
// square: image surfaces for the PNG, recording surfaces (vector art that the SVG and PDF
// surfaces write once and reuse) otherwise. strokeAreas (vector only): the pieces' lines as
// filled areas instead of strokes, which a PDF of many diagrams replays several times faster
// for about four times the bytes, written once per document.
class PieceArt
{
public:
    PieceArt(int square, bool vector, bool halo, bool strokeAreas = false);

    int square() const { return m_square; }
    bool vector() const { return m_vector; }
    bool halo() const { return m_halo; }
    cairo_surface_t* surface(int code) const
    {
        return m_surfaces[static_cast<std::size_t>(code - 1)].get();
    }

private:
    int m_square;
    bool m_vector;
    bool m_halo;
    std::array<CairoSurface, 12> m_surfaces;
};

// The image pieces of the last square size drawn on this thread: a batch of pictures draws them
// once.
const PieceArt& imagePieceArt(int square, bool halo);

// Why the options cannot be drawn: checkRenderOptions' message, or the font file the labels or
// captions need and cannot read; nothing when they can.
std::optional<std::string> drawingProblem(const DiagramRenderOptions& options);

// Paints the scene in layout units onto cr.
void paintScene(cairo_t* cr, const Scene& scene, const PieceArt& pieces);

// The diagram drawn into an image surface whose pixels stay valid until the next call on this
// thread; null when the options fail the check or the picture cannot be had.
CairoSurface renderSurface(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options);

} // namespace pictog
