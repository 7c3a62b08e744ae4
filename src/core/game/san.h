#pragma once

#include "game/board.h"

#include <string>
#include <string_view>

namespace pictog::game {

// A move read from text, or the user message why not (error empty on success).
struct MoveRead {
    Move move;
    std::string error;
    bool ok() const { return error.empty(); }
};

// The move in Standard Algebraic Notation as the PGN standard writes it: piece letter, the
// file, rank or both only when needed, "x", "=Q", "O-O"/"O-O-O", "+" or "#". The move must be
// legal in the position.
std::string writeSan(const Board& board, Move move);

// Reads a move as real files write it: SAN with missing or extra "+"/"#", "0-0", "e8Q",
// over-disambiguated or long algebraic ("Ng1f3", "Ng1-f3"), UCI ("g1f3"), "exd6 e.p.", trailing
// "!"/"?" glyphs, figurine pieces (either colour). A missing or surplus "x" is not held against
// the move. Never generates all moves: only the pieces that can reach the square are tried. An
// illegal, ambiguous or unreadable move gives the message:
// "illegal move 'Nf6': no knight can reach f6", "ambiguous move 'Nd2'", "unreadable move 'x?'".
MoveRead readSan(const Board& board, std::string_view text);

// Reads a move in UCI form ("g1f3", "e7e8q", castling as the king's move); the same messages.
MoveRead readUci(const Board& board, std::string_view text);

// The move in UCI form: "g1f3", "e7e8q".
std::string writeUci(Move move);

} // namespace pictog::game
