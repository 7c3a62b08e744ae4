#include "diagram_renderer.h"

#include "diagram_layout.h"
#include "diagram_scene.h"
#include "position/epd_line.h"
#include "render_fonts.h"
#include "svg_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>

namespace pictog {

int squarePxForMillimetres(double squareMm, double dpi)
{
    const double px = squareMm / 25.4 * dpi;
    if (!(px < 1e9))
        return 1'000'000'000;
    return std::max(1, static_cast<int>(std::lround(px)));
}

std::optional<std::string> checkRenderOptions(const DiagramRenderOptions& options)
{
    if (options.squarePx < MinSquarePx || options.squarePx > MaxSquarePx)
        return "square size " + std::to_string(options.squarePx) + " out of range "
            + std::to_string(MinSquarePx) + "-" + std::to_string(MaxSquarePx);
    // Checked as a float: a conversion of inf or 1e300 to an integer would be undefined.
    if (options.dpi != 0 && !(options.dpi >= MinDpi && options.dpi <= MaxDpi)) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", options.dpi);
        return "resolution " + std::string(text) + " out of range " + std::to_string(MinDpi) + "-"
            + std::to_string(MaxDpi);
    }
    if (options.style != DiagramStyle::Color && options.style != DiagramStyle::Gray
        && options.style != DiagramStyle::Print)
        return std::string("unknown style");
    const DiagramSize size = diagramSize(options);
    if (static_cast<long long>(size.width) * size.height > MaxDiagramPixels)
        return "picture of " + std::to_string(size.width) + " x " + std::to_string(size.height)
            + " pixels is too large";
    return std::nullopt;
}

DiagramSize diagramSize(const DiagramRenderOptions& options)
{
    const DiagramLayout layout = layoutDiagram(options, false);
    return { layout.width, layout.height };
}

std::string renderDiagramSvg(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    if (checkRenderOptions(options))
        return {};
    const Scene scene = buildScene(board, panel, options);
    SvgUnits units;
    if (options.dpi > 0) {
        // The physical size in millimetres; the drawing keeps its own units inside.
        units.millimetres = true;
        units.scale = 25.4 / options.dpi;
    }
    return writeSceneSvg(scene, BuildEPDLine(board, panel), units);
}

std::optional<std::string> missingFontFor(const DiagramRenderOptions& options)
{
    const bool text = options.coordinates || !options.header1.empty() || !options.header2.empty()
        || !options.footer1.empty() || !options.footer2.empty();
    if (!text)
        return std::nullopt;
    if (const char* file = missingDiagramFontFile())
        return std::string("cannot read the font file ") + file;
    return std::nullopt;
}

RenderResult renderDiagram(DiagramFormat format, const TChessPosition& board,
    const PanelState& panel, const DiagramRenderOptions& options, PdfPageSize page)
{
    RenderResult result;
    if (auto problem = checkRenderOptions(options)) {
        result.error = std::move(*problem);
        return result;
    }
    if (auto problem = missingFontFor(options)) {
        result.error = std::move(*problem);
        return result;
    }
    try {
        result.bytes = format == DiagramFormat::Svg ? renderDiagramSvg(board, panel, options)
            : format == DiagramFormat::Pdf          ? renderDiagramPdf(board, panel, options, page)
                                                    : renderDiagramPng(board, panel, options);
    } catch (const std::exception&) {
        result.bytes.clear();
    }
    if (result.bytes.empty())
        result.error = "Error in creating diagram";
    return result;
}

} // namespace pictog
