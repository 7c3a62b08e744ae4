#pragma once

// The looks a diagram can take and the colours it has by default, named once for the settings,
// the renderer, the command line and the window.

#include <array>
#include <optional>
#include <string_view>

namespace pictog {

// colour: the settings' colours; gray: the same as grey levels; print: a book style (white light
// squares, hatched dark squares, pure black and white pieces).
enum class DiagramStyle { Color, Gray, Print };

// The names of the styles in the order of the enum, as the command line and the settings file
// write them.
inline constexpr std::array<std::string_view, 3> DiagramStyleNames = { "color", "gray", "print" };

// The style of a name ("color", "gray", "print"), or nothing for any other text.
std::optional<DiagramStyle> parseDiagramStyle(std::string_view name);
// The name of a style.
std::string_view diagramStyleName(DiagramStyle style);

// Board colours: blue is the settings' own colours, the others fixed pairs.
enum class BoardTheme { Blue, Brown, Green, Gray };
inline constexpr std::array<std::string_view, 4> BoardThemeNames
    = { "blue", "brown", "green", "gray" };
// Where the coordinates go: as the settings say, beside the board, in the squares, nowhere.
// The names leave out Settings, the choice of whoever gives none.
enum class CoordinatePlace { Settings, Outside, Inside, None };
inline constexpr std::array<std::string_view, 3> CoordinatePlaceNames
    = { "outside", "inside", "none" };
// The line around the board: the classic heavy frame (with the picture's border when the
// settings show one), a thin line, or none.
enum class FrameStyle { Classic, Thin, None };
inline constexpr std::array<std::string_view, 3> FrameStyleNames = { "classic", "thin", "none" };

// The settings' default colours of the diagram, "#RRGGBB".
inline constexpr const char* DefaultLightSquares = "#9EC2EF";
inline constexpr const char* DefaultDarkSquares = "#397AAE";
inline constexpr const char* DefaultDiagramBackground = "#BCBCC5";

} // namespace pictog
