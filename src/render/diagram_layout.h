#pragma once

#include "diagram_renderer.h"

#include <string>
#include <vector>

namespace pictog {

// The box shrunk by inset on every side.
inline LayoutBox innerBox(const LayoutBox& box, int inset)
{
    return { box.left + inset, box.top + inset, box.width - 2 * inset, box.height - 2 * inset };
}

// The most lines a caption wraps onto; beyond them it is cut with an ellipsis.
constexpr std::size_t CaptionMaxLines = 3;

// One line of a caption and the band it is centred in.
struct CaptionLine {
    std::string text;
    bool bold = false;
    LayoutBox box;
    double fontSize = 0;
};

// Where everything of a diagram goes, computed once from the options and then drawn to any
// surface. From the outside in: the border along the picture's edge, the header bands at the top
// and the footer bands at the bottom, the margins holding the coordinate labels (and, on the
// right, the side-to-move marker column), the frame, and the board.
struct DiagramLayout {
    int square = 38;
    int width = 0;
    int height = 0;
    LayoutBox board; // the 64 squares
    int border = 0; // width of the border along the edge; 0 without one
    int frame = 1; // width of the frame around the board, outside it
    bool flip = false;
    bool coordinates = true; // labels beside the board
    bool insideLabels = false; // labels in the corners of the edge squares
    double labelFontSize = 0;
    std::vector<CaptionLine> captions;
    bool marker = false;
    double markerX = 0; // centre of the side-to-move mark
    double markerY = 0;
    double markerRadius = 0;
    double markerLine = 1; // width of the mark's outline
    bool markerBlack = false; // the mark shows Black to move
    int hatchPitch = 0; // horizontal distance of the print style's hatching lines

    // The square's box (index as squareIndex gives it), after the flip.
    LayoutBox squareBox(int index) const;
    // The box a file letter (file 0..7 = a..h) or rank digit (rank 0..7 = 1..8) is centred in:
    // above or below the board, left or right of it.
    LayoutBox fileLabelBox(int file, bool top) const;
    LayoutBox rankLabelBox(int rank, bool left) const;
    // The corner box of an inside label: a file letter at the bottom right of the file's square
    // on the bottom rank, a rank digit at the top left of the rank's square on the left file.
    LayoutBox insideFileLabelBox(int file) const;
    LayoutBox insideRankLabelBox(int rank) const;
};

// The layout of a diagram of the options; blackToMove places the marker. The options must pass
// checkRenderOptions.
DiagramLayout layoutDiagram(const DiagramRenderOptions& options, bool blackToMove);

// The classic margin around the board at 38-pixel squares: 36, 16, 32 or 2 pixels for border and
// coordinates both on, only the border, only the coordinates, neither.
int classicMargin(bool showBorder, bool coordinates);

} // namespace pictog
