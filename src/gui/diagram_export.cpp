#include "diagram_export.h"

namespace pictog::gui {

DiagramRenderOptions renderOptionsFor(const DiagramExportSettings& settings, bool flip,
    const TPictogParams& params, const DiagramContent& content)
{
    DiagramRenderOptions options;
    options.showBorder = params.showBorder();
    options.coordinates = params.coordinates();
    options.colorLightSquares = params.colorLightSquares();
    options.colorDarkSquares = params.colorDarkSquares();
    options.colorDiagramBackground = params.colorDiagramBackground();
    if (settings.sizeMode == ExportSizeMode::Print) {
        options.dpi = settings.dpi;
        options.squarePx = squarePxForMillimetres(settings.squareMm(), settings.dpi);
    } else {
        options.squarePx = settings.squarePx;
    }
    options.style = parseDiagramStyle(settings.style).value_or(DiagramStyle::Color);
    options.flip = flip;
    options.marker = settings.marker;
    if (settings.captions) {
        options.header1 = content.captions.header1;
        options.header2 = content.captions.header2;
        options.footer1 = content.captions.footer1;
        options.footer2 = content.captions.footer2;
    }
    if (settings.drawAnnotations)
        options.annotations = content.annotations;
    return options;
}

std::string renderDiagramFile(
    ExportFormat format, const DiagramContent& content, const DiagramRenderOptions& options)
{
    switch (format) {
    case ExportFormat::Svg:
        return renderDiagramSvg(content.board, content.panel, options);
    case ExportFormat::Pdf:
        return renderDiagramPdf(content.board, content.panel, options);
    case ExportFormat::Png:
        break;
    }
    return renderDiagramPng(content.board, content.panel, options);
}

} // namespace pictog::gui
