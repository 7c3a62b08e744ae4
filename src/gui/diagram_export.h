#pragma once

#include "diagram_renderer.h"

#include "editor/edit_document.h"
#include "export/html_diagram.h"
#include "settings/diagram_export_settings.h"
#include "settings/pictog_params.h"

#include <string>

namespace pictog::gui {

// The renderer's options for the export dialog's choices through buildRenderOptions, the step
// pictog-cli takes too: the captions and the annotations only where the choices say so.
DiagramRenderOptions renderOptionsFor(const DiagramExportSettings& settings, bool flip,
    const TPictogParams& params, const Captions& captions, const Annotations& annotations);

// The file of the document's position in the chosen format, or the reason it cannot be drawn
// (options out of range, a font file the texts need missing).
RenderResult renderDiagramFile(
    ExportFormat format, const EditDocument& document, const DiagramRenderOptions& options);

} // namespace pictog::gui
