#pragma once

#include "ini_file.h"

#include <string_view>

namespace pictog {

// The section of Pictog.ini that holds how the window shows the board.
inline constexpr std::string_view SectionView = "View";

// The board's size in the window: the classic 38-pixel squares in a fixed window, squares twice
// as large, or as large as a resizable window allows.
enum class BoardSize { Classic, Large, Fit };

struct ViewSettings {
    BoardSize boardSize = BoardSize::Classic;
    bool coordinates = false; // file letters and rank digits along the board's edge
    bool gamePane = false; // the side pane of an opened file is shown at start-up
    // The headers saved at exit were filled in from an opened file, not typed: the next file
    // opened may replace them.
    bool captionsFromFile = false;

    friend bool operator==(const ViewSettings& a, const ViewSettings& b)
    {
        return a.boardSize == b.boardSize && a.coordinates == b.coordinates
            && a.gamePane == b.gamePane && a.captionsFromFile == b.captionsFromFile;
    }
    friend bool operator!=(const ViewSettings& a, const ViewSettings& b) { return !(a == b); }
};

// Reads the section; a missing or unknown value gives its default.
ViewSettings readViewSettings(const IniFile& ini);
// Writes every key of the section ("boardSize" = classic / large / fit, "coordinates", "gamePane",
// "captionsFromFile").
void writeViewSettings(IniFile& ini, const ViewSettings& settings);

} // namespace pictog
