#include "diagram_export.h"

namespace pictog::gui {

DiagramRenderOptions renderOptionsFor(const DiagramExportSettings& settings, bool flip,
    const TPictogParams& params, const Captions& captions, const Annotations& annotations)
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
        options.header1 = captions.header1;
        options.header2 = captions.header2;
        options.footer1 = captions.footer1;
        options.footer2 = captions.footer2;
    }
    if (settings.drawAnnotations)
        options.annotations = annotations;
    return options;
}

std::string renderDiagramFile(
    ExportFormat format, const EditDocument& document, const DiagramRenderOptions& options)
{
    switch (format) {
    case ExportFormat::Svg:
        return renderDiagramSvg(document.board, document.panel, options);
    case ExportFormat::Pdf:
        return renderDiagramPdf(document.board, document.panel, options);
    case ExportFormat::Png:
        break;
    }
    return renderDiagramPng(document.board, document.panel, options);
}

} // namespace pictog::gui
