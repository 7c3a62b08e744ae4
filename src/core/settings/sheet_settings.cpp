#include "sheet_settings.h"

#include <cstdlib>

namespace pictog {

namespace {

    // A whole number 1..20 of text, or 0.
    int gridCount(const std::string& text)
    {
        char* end = nullptr;
        const long value = std::strtol(text.c_str(), &end, 10);
        return !text.empty() && *end == '\0' && value >= 1 && value <= 20 ? static_cast<int>(value)
                                                                          : 0;
    }

} // namespace

SheetSettings readSheetSettings(const IniFile& ini)
{
    SheetSettings s;
    const std::string page = ini.readString(SectionSheet, "page", s.page);
    if (page == "a4" || page == "letter")
        s.page = page;
    const std::string grid = ini.readString(SectionSheet, "grid", "");
    if (const std::size_t x = grid.find('x'); x != std::string::npos) {
        const int columns = gridCount(grid.substr(0, x));
        const int rows = gridCount(grid.substr(x + 1));
        if (columns > 0 && rows > 0) {
            s.columns = columns;
            s.rows = rows;
        }
    }
    if (const auto style = parseDiagramStyle(ini.readString(SectionSheet, "style", "")))
        s.style = *style;
    const std::string solutions = ini.readString(SectionSheet, "solutions", s.solutions);
    if (solutions == "end" || solutions == "page" || solutions == "none")
        s.solutions = solutions;
    s.title = ini.readString(SectionSheet, "title", "");
    s.prompt = ini.readString(SectionSheet, "prompt", "");
    s.turnBoard = ini.readBool(SectionSheet, "turnBoard", false);
    return s;
}

void writeSheetSettings(IniFile& ini, const SheetSettings& s)
{
    ini.writeString(SectionSheet, "page", s.page);
    ini.writeString(SectionSheet, "grid", std::to_string(s.columns) + "x" + std::to_string(s.rows));
    ini.writeString(SectionSheet, "style", diagramStyleName(s.style));
    ini.writeString(SectionSheet, "solutions", s.solutions);
    ini.writeString(SectionSheet, "title", s.title);
    ini.writeString(SectionSheet, "prompt", s.prompt);
    ini.writeBool(SectionSheet, "turnBoard", s.turnBoard);
}

} // namespace pictog
