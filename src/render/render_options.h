#pragma once

// The one step from the settings and a user's choices to the renderer's options, taken by the
// command line and the window alike.

#include "diagram_renderer.h"

#include "export/html_diagram.h"
#include "settings/diagram_export_settings.h"
#include "settings/pictog_params.h"

namespace pictog {

// What the settings file says about every diagram picture.
struct PictureSettings {
    bool showBorder = true;
    bool coordinates = true;
    std::string colorLightSquares = DefaultLightSquares;
    std::string colorDarkSquares = DefaultDarkSquares;
    std::string colorDiagramBackground = DefaultDiagramBackground;
};

// The picture settings of loaded settings.
PictureSettings pictureSettingsOf(const TPictogParams& params);

// A user's choices for one export besides what is drawn: size, resolution, style, orientation
// and the side-to-move mark.
struct DiagramChoices {
    int squarePx = 38;
    double dpi = 0; // > 0: a physical size at this resolution
    DiagramStyle style = DiagramStyle::Color;
    bool flip = false;
    bool marker = false;
};

// The choices of the export dialog's settings; flip: the board as the window shows it.
DiagramChoices choicesOf(const DiagramExportSettings& settings, bool flip);

// The renderer's options: border, coordinates and colours from the settings, everything else
// from the choices, with the captions and annotations to draw (empty ones draw nothing).
DiagramRenderOptions buildRenderOptions(const PictureSettings& settings,
    const DiagramChoices& choices, const Captions& captions, const Annotations& annotations);

} // namespace pictog
