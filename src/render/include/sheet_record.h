#pragma once

// The diagram of a worksheet made from one record of a file: shared by the command line's sheet
// and the window's File > Export sheet, so both caption and number the same record alike.

#include "diagram_sheet.h"
#include "game/board.h"
#include "game/epd_operations.h"

#include <vector>

namespace pictog {

// The record's position, its caption ("id – c0", or the one there is), its solution (pv, or else
// bm, numbered from the side to move; figurines as in numberedSolution) and its arrows and marks
// (annotations may be null).
SheetDiagram sheetDiagram(const game::Board& board,
    const std::vector<game::EpdOperation>& operations, const Annotations* annotations,
    bool figurines);

} // namespace pictog
