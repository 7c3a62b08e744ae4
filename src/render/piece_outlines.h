#pragma once

#include "piece_source.h"

#include <array>

namespace pictog {

// The six piece drawings (pawn, knight, bishop, rook, queen, king) read from the outline files
// compiled into the library, the same files that draw the committed artwork. Read once, on first
// use, from any thread; the outline files are checked by the build's tests, so a mistake in them
// throws std::runtime_error here.
const std::array<artgen::PieceSource, 6>& pieceOutlines();

// The line weights of a piece drawn on a square of that size, in output units: the outline band
// along the inside of the silhouette, the interior lines (times each stroke's own factor, at
// least half a unit) and the white edge of the print style.
struct PieceLineWidths {
    double outline = 1;
    double detail = 1; // before a stroke's own width factor and the one-unit minimum
    double halo = 1;
    bool details = true; // false on tiny squares, where interior lines would only blot the piece
    double stroke(double factor) const { return detail * factor < 0.5 ? 0.5 : detail * factor; }
};
PieceLineWidths pieceLineWidths(double square);

} // namespace pictog
