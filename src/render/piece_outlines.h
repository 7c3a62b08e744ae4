#pragma once

#include "piece_source.h"

#include <array>

namespace pictog {

// The six piece drawings (pawn, knight, bishop, rook, queen, king) read from the outline files
// compiled into the library, the same files that draw the committed artwork. Read once, on first
// use, from any thread; the outline files are checked by the build's tests, so a mistake in them
// throws std::runtime_error here.
const std::array<artgen::PieceSource, 6>& pieceOutlines();

// The line weights of a piece drawn on a square of that size, in output units: as the artwork's
// smooth images have them (1.4 for the outline band and 1.3 for interior lines at 38 pixels,
// scaled with the size, never below one unit); halo is the white edge of the print style.
struct PieceLineWidths {
    double outline = 1;
    double detail = 1; // before a stroke's own width factor and the one-unit minimum
    double halo = 1;
    double stroke(double factor) const { return detail * factor < 1.0 ? 1.0 : detail * factor; }
};
PieceLineWidths pieceLineWidths(double square);

} // namespace pictog
