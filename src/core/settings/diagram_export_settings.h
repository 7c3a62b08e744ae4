#pragma once

#include "diagram/diagram_style.h"
#include "ini_file.h"

#include <string>
#include <string_view>

namespace pictog {

// The section of Pictog.ini that holds the export dialog's choices and the board's annotations.
inline constexpr std::string_view SectionDiagramExport = "Diagram Export";

enum class ExportFormat { Png, Svg, Pdf };
// Pixels: squarePx gives the square's edge. Print: the board's width at a resolution.
enum class ExportSizeMode { Pixels, Print };
enum class LengthUnit { Millimetres, Inches };

// The export dialog's choices, as the window keeps them between sessions.
struct DiagramExportSettings {
    ExportFormat format = ExportFormat::Png;
    ExportSizeMode sizeMode = ExportSizeMode::Pixels;
    int squarePx = 38; // 8..1000
    int dpi = 300; // 72..2400
    double boardWidth = 60; // in boardWidthUnit; 5..500 mm
    LengthUnit boardWidthUnit = LengthUnit::Millimetres;
    DiagramStyle style = DiagramStyle::Color; // written by its name ("color", "gray", "print")
    bool marker = false;
    bool captions = true;
    bool drawAnnotations = true;
    // The board's look, written by name: theme "blue" (the settings' colours) / "brown" /
    // "green" / "gray"; coordinates "settings" (as the settings say) / "outside" / "inside" /
    // "none"; frame "classic" / "thin" / "none"; transparent: no background painted.
    BoardTheme theme = BoardTheme::Blue;
    CoordinatePlace coordinates = CoordinatePlace::Settings;
    FrameStyle frame = FrameStyle::Classic;
    bool transparent = false;
    std::string lastExportDir;

    // The edge of one square in millimetres, whatever the unit.
    double squareMm() const;

    friend bool operator==(const DiagramExportSettings& a, const DiagramExportSettings& b);
    friend bool operator!=(const DiagramExportSettings& a, const DiagramExportSettings& b)
    {
        return !(a == b);
    }
};

// The lower-case file extension of a format, without the dot ("png", "svg", "pdf").
const char* exportExtension(ExportFormat format);

// Reads the section; a missing key gives its default, and so does a value out of range or not
// understood (leniently, without marking anything for a rewrite: a hand-edited value simply
// falls back).
DiagramExportSettings readDiagramExportSettings(const IniFile& ini);
// Writes every key of the section.
void writeDiagramExportSettings(IniFile& ini, const DiagramExportSettings& settings);

// A length as the settings file writes it: the shortest decimal text that reads back the same,
// with a point whatever the locale.
std::string formatLength(double value);
// Reads such a text; false for anything else (no number, trailing text, not finite).
bool parseLength(std::string_view text, double& value);

} // namespace pictog
