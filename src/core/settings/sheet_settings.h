#pragma once

#include "diagram/diagram_style.h"
#include "ini_file.h"

#include <string>
#include <string_view>

namespace pictog {

// The section of Pictog.ini that holds the window's last worksheet choices.
inline constexpr std::string_view SectionSheet = "Sheet";

// The choices of File > Export sheet, named as the command line's sheet options take them.
struct SheetSettings {
    std::string page = "a4"; // a4, letter
    int columns = 2; // 1..20
    int rows = 3;
    DiagramStyle style = DiagramStyle::Color;
    std::string solutions = "end"; // end, page, none
    std::string title;
    std::string prompt; // empty: "White to play" / "Black to play"
    bool turnBoard = false;

    friend bool operator==(const SheetSettings& a, const SheetSettings& b)
    {
        return a.page == b.page && a.columns == b.columns && a.rows == b.rows && a.style == b.style
            && a.solutions == b.solutions && a.title == b.title && a.prompt == b.prompt
            && a.turnBoard == b.turnBoard;
    }
    friend bool operator!=(const SheetSettings& a, const SheetSettings& b) { return !(a == b); }
};

// Reads the section; a missing or unknown value, or a grid outside 1..20, gives its default.
SheetSettings readSheetSettings(const IniFile& ini);
// Writes every key of the section (page, grid as "2x3", style, solutions, title, prompt,
// turnBoard).
void writeSheetSettings(IniFile& ini, const SheetSettings& settings);

} // namespace pictog
