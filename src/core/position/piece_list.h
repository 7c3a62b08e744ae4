#pragma once

#include "chess_position.h"

#include <string>
#include <string_view>
#include <vector>

namespace pictog {

enum class PieceColor { White, Black };

// One square set by a piece list: the piece code (0 empties the square) and the square index.
struct Placement {
    int piece;
    int square;
    friend bool operator==(const Placement& a, const Placement& b)
    {
        return a.piece == b.piece && a.square == b.square;
    }
};

// What reading a piece list gives.
struct PieceListOutcome {
    enum class Status {
        Ignored, // fewer than four characters: nothing happens, no message, no rebuild
        Completed, // the whole text was read; the line is rebuilt afterwards
        Failed, // stopped at an error; the placements before it stand, the line is not rebuilt
    };
    Status status = Status::Ignored;
    std::string message;
    // The squares to set, in the order the text gives them.
    std::vector<Placement> placements;
};

// Reads a piece list such as "wKe1Qd1Pa2b2" (or "sKe8Bd7" with German letters for Black) and
// returns the squares it sets; the board is not touched. Surrounding blanks are ignored.
PieceListOutcome ReadPieceList(std::string_view text, PieceColor color);

// Applies the placements to the board in order.
void applyPlacements(TChessPosition& board, const std::vector<Placement>& placements);

} // namespace pictog
