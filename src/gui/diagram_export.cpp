#include "diagram_export.h"

namespace pictog::gui {

DiagramRenderOptions renderOptionsFor(const DiagramExportSettings& settings, bool flip,
    const TPictogParams& params, const DiagramContent& content)
{
    return buildRenderOptions(pictureSettingsOf(params), choicesOf(settings, flip),
        settings.captions ? content.captions : Captions {},
        settings.drawAnnotations ? content.annotations : Annotations {});
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
