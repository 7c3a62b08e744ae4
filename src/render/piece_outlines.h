#pragma once

#include "piece_source.h"

#include <array>

namespace pictog {

// The six piece drawings (pawn, knight, bishop, rook, queen, king) read from the outline files
// compiled into the library, the same files that draw the committed artwork. Read once, on first
// use, from any thread; the outline files are checked by the build's tests, so a mistake in them
// throws std::runtime_error here.
const std::array<artgen::PieceSource, 6>& pieceOutlines();

} // namespace pictog
