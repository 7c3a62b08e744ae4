#include "diagram_renderer.h"

#include "diagram_layout.h"
#include "diagram_painter.h"
#include "diagram_scene.h"
#include "export/text_exports.h"
#include "position/epd_line.h"
#include "render_fonts.h"
#include "svg_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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
    std::string svg = writeSceneSvg(scene, BuildEPDLine(board, panel), units);
    if (!options.inlineSvg)
        return svg;
    // A fragment: without the declaration, and with ids carrying a hash of the document, so
    // that different diagrams set in one page never take each other's pieces or clips (equal
    // diagrams share equal definitions).
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : svg)
        hash = (hash ^ c) * 16777619u;
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "pictog-%08x-", static_cast<unsigned>(hash));
    std::string out;
    out.reserve(svg.size() + 4096);
    std::size_t at = svg.find("<svg ");
    std::size_t copied = at;
    for (std::size_t found; (found = svg.find("pictog-", at)) != std::string::npos;
         at = found + 7) {
        // Only names: id="pictog-...", href="#pictog-..." and url(#pictog-...).
        const bool name = found > 0 && (svg[found - 1] == '"' || svg[found - 1] == '#');
        if (!name)
            continue;
        out.append(svg, copied, found - copied);
        out += prefix;
        copied = found + 7;
    }
    out.append(svg, copied, std::string::npos);
    std::string label = DescribePosition(boardCodesOf(board), panel.moveRight);
    const std::size_t open = out.find("<svg ") + 5;
    out.insert(open, "role=\"img\" aria-label=\"" + label + "\" ");
    return out;
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

std::optional<std::string> drawingProblem(const DiagramRenderOptions& options)
{
    if (auto problem = checkRenderOptions(options))
        return problem;
    return missingFontFor(options);
}

RenderResult renderDiagram(DiagramFormat format, const TChessPosition& board,
    const PanelState& panel, const DiagramRenderOptions& options, PdfPageSize page)
{
    RenderResult result;
    if (auto problem = drawingProblem(options)) {
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
