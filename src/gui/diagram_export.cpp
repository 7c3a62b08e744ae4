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
    // Through the renderer's checked path, so that a missing font fails instead of leaving the
    // labels and captions out.
    const DiagramFormat kind = format == ExportFormat::Svg ? DiagramFormat::Svg
        : format == ExportFormat::Pdf                      ? DiagramFormat::Pdf
                                                           : DiagramFormat::Png;
    return renderDiagram(kind, content.board, content.panel, options).bytes;
}

} // namespace pictog::gui
