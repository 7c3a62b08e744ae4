#include "diagram_renderer.h"

namespace pictog {

PictureSettings pictureSettingsOf(const TPictogParams& params)
{
    PictureSettings settings;
    settings.showBorder = params.showBorder();
    settings.coordinates = params.coordinates();
    settings.colorLightSquares = params.colorLightSquares();
    settings.colorDarkSquares = params.colorDarkSquares();
    settings.colorDiagramBackground = params.colorDiagramBackground();
    return settings;
}

DiagramChoices choicesOf(const DiagramExportSettings& settings, bool flip)
{
    DiagramChoices choices;
    if (settings.sizeMode == ExportSizeMode::Print) {
        choices.dpi = settings.dpi;
        choices.squarePx = squarePxForMillimetres(settings.squareMm(), settings.dpi);
    } else {
        choices.squarePx = settings.squarePx;
    }
    choices.style = settings.style;
    choices.flip = flip;
    choices.marker = settings.marker;
    return choices;
}

DiagramRenderOptions buildRenderOptions(const PictureSettings& settings,
    const DiagramChoices& choices, const Captions& captions, const Annotations& annotations)
{
    DiagramRenderOptions options;
    options.showBorder = settings.showBorder;
    options.coordinates = settings.coordinates;
    options.colorLightSquares = settings.colorLightSquares;
    options.colorDarkSquares = settings.colorDarkSquares;
    options.colorDiagramBackground = settings.colorDiagramBackground;
    options.squarePx = choices.squarePx;
    options.dpi = choices.dpi;
    options.style = choices.style;
    options.flip = choices.flip;
    options.marker = choices.marker;
    options.header1 = captions.header1;
    options.header2 = captions.header2;
    options.footer1 = captions.footer1;
    options.footer2 = captions.footer2;
    options.annotations = annotations;
    return options;
}

} // namespace pictog
