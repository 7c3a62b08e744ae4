#pragma once

#include "game/board.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pictog::game {

// Where a puzzle file keeps the columns this reader needs; without a header line the first three
// columns are taken as PuzzleId, FEN and Moves.
struct PuzzleColumns {
    int id = 0;
    int fen = 1;
    int moves = 2;
};

// One puzzle: the position to solve (after the first move of the Moves column, the opponent's
// last move) and the solution that follows, in SAN.
struct Puzzle {
    std::string id;
    Board position;
    std::vector<std::string> solution;
};

// Splits a CSV line into fields (cleared first): commas separate, a field in double quotes may
// hold commas and doubled quotes.
void splitCsvLine(std::string_view line, std::vector<std::string>& fields);

// True when the line is a header naming the PuzzleId, FEN and Moves columns, which are then set.
bool readPuzzleHeader(std::string_view line, PuzzleColumns& columns);

// Reads one data line; the message says what is wrong ("FEN: ...", "Moves: illegal move ...").
std::optional<std::string> readPuzzleLine(
    std::string_view line, const PuzzleColumns& columns, Puzzle& puzzle);

} // namespace pictog::game
