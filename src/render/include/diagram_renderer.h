#pragma once

// The renderer's one public header. The scalable diagram: one scene of shapes, drawn by cairo into
// a PNG of any size and resolution or a PDF and written shape for shape as an SVG, with arrows,
// marked squares, a flipped board, a side-to-move mark, captions and print styles. Qt-free; the
// classic 38-pixel picture of the core stays as it is.

#include "diagram/annotations.h"
#include "diagram/diagram_style.h"
#include "export/html_diagram.h"
#include "position/chess_position.h"
#include "position/panel_state.h"
#include "settings/diagram_export_settings.h"
#include "settings/pictog_params.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pictog {

// The square sizes the renderer accepts and the largest picture it makes.
constexpr int MinSquarePx = 8;
constexpr int MaxSquarePx = 1000;
constexpr long long MaxDiagramPixels = 200'000'000;
// The resolutions the renderer accepts (0 stands for none).
constexpr int MinDpi = 1;
constexpr int MaxDpi = 10000;

// Everything that shapes a scalable diagram. The defaults give the classic proportions (38-pixel
// squares, border and coordinates) in the settings' default colours.
struct DiagramRenderOptions {
    int squarePx = 38; // edge of a square in pixels (PNG) or points (SVG, PDF), 8..1000
    double dpi = 0; // > 0: the resolution written into the PNG (pHYs); also sets the hatching pitch
    bool flip = false; // Black at the bottom
    bool marker = false; // side-to-move mark beside the board
    bool showBorder = true;
    bool coordinates = true;
    bool coordinatesInside = false; // with coordinates: small labels in the squares' corners
    FrameStyle frame = FrameStyle::Classic;
    bool transparent = false; // no background: transparent PNG and SVG, nothing painted in PDF
    // SVG as a fragment for a web page: no XML declaration, ids of its own, role="img" and the
    // position read aloud as aria-label.
    bool inlineSvg = false;
    DiagramStyle style = DiagramStyle::Color;
    std::string colorLightSquares = DefaultLightSquares;
    std::string colorDarkSquares = DefaultDarkSquares;
    std::string colorDiagramBackground = DefaultDiagramBackground;
    std::string header1, header2, footer1, footer2; // drawn above / below the board when not empty
    Annotations annotations;
};

// The square edge in pixels for a physical square edge at a resolution (rounded, at least 1).
int squarePxForMillimetres(double squareMm, double dpi);

// The first problem with the options as a user message ("square size N out of range 8-1000",
// "resolution N out of range 1-10000", "picture of W x H pixels is too large"), or nothing when
// they can be drawn. Colours are not checked: as in the classic picture, a colour text that is
// not "#RRGGBB" gives black.
std::optional<std::string> checkRenderOptions(const DiagramRenderOptions& options);

// The picture's size in pixels (PNG) or points (SVG, PDF). With a resolution (dpi > 0) the SVG
// and PDF take the physical size instead: width * 72 / dpi points.
struct DiagramSize {
    int width = 0;
    int height = 0;
};
DiagramSize diagramSize(const DiagramRenderOptions& options);

// An image in memory: rows of 32-bit native-endian premultiplied ARGB words (cairo's ARGB32,
// which is Qt's QImage::Format_ARGB32_Premultiplied), `stride` bytes per row.
struct DiagramImage {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<unsigned char> pixels;
};

// The diagram drawn into an image, exactly the pixels renderDiagramPng encodes. Empty image
// (width 0) when the options do not pass checkRenderOptions.
DiagramImage renderDiagramImage(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options);

// PDF page size: the diagram's own size, or the diagram centred on a white A4 / Letter page.
enum class PdfPageSize { Diagram, A4, Letter };

// The largest square size (options.squarePx, the rest of the options as they are) whose diagram
// fits the page inside half-inch margins; 0 when not even the smallest does. A diagram that
// does not fit is an error, never shrunk.
int largestSquareOnPage(const DiagramRenderOptions& options, PdfPageSize page);
// "A4" or "Letter".
const char* pageSizeName(PdfPageSize page);

// The file formats the renderer writes.
enum class DiagramFormat { Png, Svg, Pdf };

// A rendered file: its bytes, or why there are none.
struct RenderResult {
    std::string bytes;
    std::string error; // empty exactly when bytes hold the file
    bool ok() const { return error.empty(); }
};

// The file of the diagram in the format. The reasons: the message of checkRenderOptions, a font
// file the labels or captions need that cannot be read ("cannot read the font file PATH"), or
// "Error in creating diagram" when drawing failed.
RenderResult renderDiagram(DiagramFormat format, const TChessPosition& board,
    const PanelState& panel, const DiagramRenderOptions& options,
    PdfPageSize page = PdfPageSize::Diagram);

// The message for a font file the diagram's texts (labels, captions) need but that cannot be
// read; nothing when the options draw no text or the fonts are there.
std::optional<std::string> missingFontFor(const DiagramRenderOptions& options);

// The bytes of a PNG / SVG file of the diagram, carrying the built FEN line as metadata (the PNG
// also the position read aloud as an iTXt "Description"); empty when the options do not pass
// checkRenderOptions.
std::string renderDiagramPng(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options);
std::string renderDiagramSvg(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options);

// A one-page PDF of the diagram (title: the FEN line); empty when the options fail the check.
std::string renderDiagramPdf(const TChessPosition& board, const PanelState& panel,
    const DiagramRenderOptions& options, PdfPageSize page = PdfPageSize::Diagram);

// A PDF of many diagrams, one a page, streamed to sink as it is made (memory stays flat).
class PdfDiagramWriter
{
public:
    // sink receives the document's bytes in order; it returns false when writing failed.
    using Sink = std::function<bool(const unsigned char* data, std::size_t size)>;
    PdfDiagramWriter(Sink sink, PdfPageSize page);
    ~PdfDiagramWriter();
    PdfDiagramWriter(const PdfDiagramWriter&) = delete;
    PdfDiagramWriter& operator=(const PdfDiagramWriter&) = delete;

    // Adds one page; false when the options fail the check, a font is missing, drawing failed or
    // the sink failed; error() then says which.
    bool addPage(
        const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options);
    // Why the last addPage failed; empty after one that succeeded.
    const std::string& error() const;
    // Ends the document; false when the sink failed at any point.
    bool finish();

private:
    struct Impl;
    Impl* m_impl;
};

// ---- The one step from the settings and a user's choices to the options, taken by the
// command line and the window alike.

// What the settings file says about every diagram picture.
struct PictureSettings {
    bool showBorder = true;
    bool coordinates = true;
    std::string colorLightSquares = DefaultLightSquares;
    std::string colorDarkSquares = DefaultDarkSquares;
    std::string colorDiagramBackground = DefaultDiagramBackground;
};

// The picture settings of loaded settings.
PictureSettings pictureSettingsOf(const TPictogParams& params);

// A user's choices for one export besides what is drawn: size, resolution, style, orientation,
// the side-to-move mark and the board's look. The defaults leave the settings' look as it is.
struct DiagramChoices {
    int squarePx = 38;
    double dpi = 0; // > 0: a physical size at this resolution
    DiagramStyle style = DiagramStyle::Color;
    bool flip = false;
    bool marker = false;
    BoardTheme theme = BoardTheme::Blue;
    std::string lightSquares; // "#RRGGBB" over the theme's; empty: the theme's
    std::string darkSquares;
    std::string background; // "#RRGGBB"; empty: the settings'
    bool transparent = false; // no background at all
    CoordinatePlace coordinates = CoordinatePlace::Settings;
    FrameStyle frame = FrameStyle::Classic;
};

// True for "#RRGGBB" (hex digits in either case).
bool isHexColor(std::string_view text);

// The choices of the export dialog's settings; flip: the board as the window shows it.
DiagramChoices choicesOf(const DiagramExportSettings& settings, bool flip);

// The renderer's options: border, coordinates and colours from the settings unless the choices
// set a theme, colours, a coordinate place or a frame; everything else from the choices, with the
// captions and annotations to draw (empty ones draw nothing).
DiagramRenderOptions buildRenderOptions(const PictureSettings& settings,
    const DiagramChoices& choices, const Captions& captions, const Annotations& annotations);

// ---- Shapes the window draws over its own board

// A rectangle in output units (pixels of the PNG, user units of SVG and PDF): whole numbers, so
// every edge falls on a pixel edge.
struct LayoutBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const LayoutBox& a, const LayoutBox& b)
    {
        return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
    }
};

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

struct ScenePoint {
    double x = 0;
    double y = 0;
};

struct SceneMark {
    LayoutBox box;
    Rgb color;
    double alpha = 1;
    int ring = 0; // > 0: only a frame this wide along the inside of the box is painted
};

struct SceneArrow {
    std::array<ScenePoint, 7> outline; // tail, shaft, barb, point, barb, shaft, tail
    Rgb color;
    double alpha = 1;
    Rgb edge; // with edgeWidth > 0: a band this wide around the outline, under the arrow
    double edgeWidth = 0;
};

// The marks and arrows of annotations over a bare board of square-unit squares whose top-left
// corner is at (0, 0), Black at the bottom when flip is set: the shapes and colours the files
// draw, for the window's board to draw over its own squares.
struct AnnotationShapes {
    std::vector<SceneMark> marks;
    std::vector<SceneArrow> arrows;
};
AnnotationShapes annotationShapes(const Annotations& annotations, int square, bool flip);

} // namespace pictog
