#include "diagram_export.h"

namespace pictog::gui {

DiagramRenderOptions renderOptionsFor(const DiagramExportSettings& settings, bool flip,
    const TPictogParams& params, const Captions& captions, const Annotations& annotations)
{
    return buildRenderOptions(pictureSettingsOf(params), choicesOf(settings, flip),
        settings.captions ? captions : Captions {},
        settings.drawAnnotations ? annotations : Annotations {});
}

RenderResult renderDiagramFile(
    ExportFormat format, const EditDocument& document, const DiagramRenderOptions& options)
{
    // Through the renderer's checked path, so that a missing font fails with its name instead of
    // leaving the labels and captions out.
    const DiagramFormat kind = format == ExportFormat::Svg ? DiagramFormat::Svg
        : format == ExportFormat::Pdf                      ? DiagramFormat::Pdf
                                                           : DiagramFormat::Png;
    return renderDiagram(kind, document.board, document.panel, options);
}

} // namespace pictog::gui
