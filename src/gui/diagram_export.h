#pragma once

#include "diagram_renderer.h"

#include "editor/edit_document.h"
#include "export/html_diagram.h"
#include "settings/diagram_export_settings.h"
#include "settings/pictog_params.h"

#include <string>

namespace pictog::gui {

// The renderer's options for the export dialog's choices, as pictog-cli builds them from the same
// settings file and the options --square or --dpi with --square-mm, --style, --flip, --marker,
// the caption options and --arrows/--squares: border, coordinates and colours from the settings,
// the captions and the annotations only where the choices say so.
DiagramRenderOptions renderOptionsFor(const DiagramExportSettings& settings, bool flip,
    const TPictogParams& params, const Captions& captions, const Annotations& annotations);

// The file's bytes of the document's position in the chosen format; empty when the options
// cannot be drawn.
std::string renderDiagramFile(
    ExportFormat format, const EditDocument& document, const DiagramRenderOptions& options);

} // namespace pictog::gui
