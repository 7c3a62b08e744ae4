#include "diagram_renderer.h"

#include <cctype>

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
    choices.theme = settings.theme;
    choices.coordinates = settings.coordinates;
    choices.frame = settings.frame;
    choices.transparent = settings.transparent;
    return choices;
}

bool isHexColor(std::string_view text)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    for (char c : text.substr(1))
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

DiagramRenderOptions buildRenderOptions(const PictureSettings& settings,
    const DiagramChoices& choices, const Captions& captions, const Annotations& annotations)
{
    DiagramRenderOptions options;
    // Light and dark squares of the brown, green and gray themes.
    constexpr const char* ThemeColors[][2]
        = { { "#F0D9B5", "#B58863" }, { "#EEEED2", "#769656" }, { "#DCDCDC", "#A0A0A0" } };
    options.showBorder = settings.showBorder && choices.frame == FrameStyle::Classic;
    options.frame = choices.frame;
    options.coordinates = choices.coordinates == CoordinatePlace::Settings
        ? settings.coordinates
        : choices.coordinates != CoordinatePlace::None;
    options.coordinatesInside = choices.coordinates == CoordinatePlace::Inside;
    options.colorLightSquares = settings.colorLightSquares;
    options.colorDarkSquares = settings.colorDarkSquares;
    if (choices.theme != BoardTheme::Blue) {
        const auto* pair = ThemeColors[static_cast<int>(choices.theme) - 1];
        options.colorLightSquares = pair[0];
        options.colorDarkSquares = pair[1];
    }
    if (!choices.lightSquares.empty())
        options.colorLightSquares = choices.lightSquares;
    if (!choices.darkSquares.empty())
        options.colorDarkSquares = choices.darkSquares;
    options.colorDiagramBackground
        = choices.background.empty() ? settings.colorDiagramBackground : choices.background;
    options.transparent = choices.transparent;
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
