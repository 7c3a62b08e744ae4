#pragma once

#include "diagram_renderer.h"

#include "export/html_diagram.h"
#include "settings/diagram_export_settings.h"
#include "settings/pictog_params.h"

#include <string>

namespace pictog::gui {

// What a scalable export shows: the position, its panel, the captions and the annotations.
struct DiagramContent {
    TChessPosition board;
    PanelState panel;
    Captions captions;
    Annotations annotations;
};

// The renderer's options for the export dialog's choices through buildRenderOptions, the step
// pictog-cli takes too: the captions and the annotations only where the choices say so.
DiagramRenderOptions renderOptionsFor(const DiagramExportSettings& settings, bool flip,
    const TPictogParams& params, const DiagramContent& content);

// The file's bytes in the chosen format; empty when the options cannot be drawn or a font file
// the texts need is missing.
std::string renderDiagramFile(
    ExportFormat format, const DiagramContent& content, const DiagramRenderOptions& options);

} // namespace pictog::gui
