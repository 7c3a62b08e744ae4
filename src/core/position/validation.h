#pragma once

#include "chess_position.h"
#include "panel_state.h"

#include <string>

namespace pictog {

// The outcome of a plausibility check of a set-up.
struct ValidationResult {
    bool valid = true;
    // The message of the first failing check; empty when every check passed.
    std::string message;
    // The panel after the corrections the failing check makes (castling boxes unchecked or the
    // en-passant entry reset); equal to the input when nothing was corrected.
    PanelState panel;
};

// Runs the 25 plausibility checks in their fixed order and stops at the first failure. Looks at
// piece counts, the squares castling and en passant need, and pawns on the back ranks; never at
// checks or counters. The board is never changed.
ValidationResult ValidatePosition(const TChessPosition& board, const PanelState& panel);

} // namespace pictog
