#pragma once

#include "diagram/diagram_style.h"
#include "diagram/pictogram_2d.h"
#include "diagram/raster.h"

#include <optional>
#include <string>

namespace pictog {

// The settings that shape the diagram picture, under their settings keys.
struct DiagramPictureOptions {
    bool showBorder = true;
    bool coordinates = true;
    std::string colorDiagramBackground = DefaultDiagramBackground; // any other text than "#RRGGBB"
                                                                   // gives black
};

// The margin around the board: 36, 16, 32 or 2 pixels for border and coordinates both on, only
// the border, only the coordinates, neither.
int diagramMargin(bool showBorder, bool coordinates);

// Repaints every square with its piece, ranks 1 to 8 and files a to h within each.
void RefreshAllSquares(TPictogram& board);

// The diagram picture around a board image: the margin in the background colour, a frame of
// 1 pixel at the left and top and 2 pixels at the right and bottom of the board, the 4-pixel
// border along the edge and the file letters and rank digits in the margin as the options ask,
// and the board image at (margin, margin). Nothing when the picture cannot be made.
std::optional<Raster> composePicture(
    const Raster& boardImage, const DiagramPictureOptions& options);

// The same into picture, reusing its memory (for many pictures in a row); false, and picture
// left empty, when the picture cannot be made.
bool composePicture(
    const Raster& boardImage, const DiagramPictureOptions& options, Raster& picture);

// The picture of what the board shows: repaints all squares, takes the board image with
// CopyDiagramToBitmap and composes it. The board keeps its state; nothing when it fails.
std::optional<Raster> ComposeDiagramPicture(
    TPictogram2D& board, const DiagramPictureOptions& options);

// The same into picture, reusing its memory; false when it fails.
bool ComposeDiagramPicture(
    TPictogram2D& board, const DiagramPictureOptions& options, Raster& picture);

// The picture of a position drawn by board (its piece bitmaps and square colours) with White at
// the bottom, or turned by 180 degrees when flip: board is left showing that position that way,
// so a board kept for pictures sets only the squares that changed since its last one.
std::optional<Raster> ComposeDiagramPicture(TPictogram2D& board, const TChessPosition& position,
    bool flip, const DiagramPictureOptions& options);

} // namespace pictog
