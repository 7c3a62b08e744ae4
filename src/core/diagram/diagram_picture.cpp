#include "diagram/diagram_picture.h"

#include "diagram/label_font.h"
#include "settings/html_color.h"

#include <new>
#include <stdexcept>

namespace pictog {

int diagramMargin(bool showBorder, bool coordinates)
{
    if (showBorder)
        return coordinates ? 36 : 16;
    return coordinates ? 32 : 2;
}

void RefreshAllSquares(TPictogram& board)
{
    for (int rank = 0; rank < 8; ++rank) {
        for (int file = 0; file < 8; ++file)
            board.RefreshSquare(squareIndex(file, rank));
    }
}

bool composePicture(const Raster& boardImage, const DiagramPictureOptions& options, Raster& picture)
{
    const Pixel background = pixelOf(HtmlColorToColor(options.colorDiagramBackground));
    const int m = diagramMargin(options.showBorder, options.coordinates);
    const int bw = boardImage.width();
    const int bh = boardImage.height();
    const int cw = bw / 8;
    const int ch = bh / 8;
    const int W = bw + 2 * m;
    const int H = bh + 2 * m;

    try {
        picture.reset(W, H, background);

        // The frame: the inner outline's top and left edges vanish under the board image, so
        // it ends up 1 pixel wide at the left and top and 2 at the right and bottom.
        picture.outlineRect(m, m, m + bw, m + bh, BlackPixel);
        picture.outlineRect(m - 1, m - 1, m + bw + 1, m + bh + 1, BlackPixel);

        if (options.showBorder) {
            for (int k = 0; k < 4; ++k)
                picture.outlineRect(k, k, W - 1 - k, H - 1 - k, BlackPixel);
        }

        if (options.coordinates) {
            // Letters a..h left to right and digits 8..1 top to bottom, whatever the board's
            // orientation. The bottom letters sit 3 pixels nearer the board than centred, and
            // the right digits start w pixels into the margin.
            for (int i = 0; i < 8; ++i) {
                const char label[2] = { static_cast<char>('a' + i), '\0' };
                const TextSize size = labelTextSize(label);
                const int x = m + i * cw + (cw - size.width) / 2;
                drawLabel(picture, x, (m - size.height) / 2, label, BlackPixel, background);
                drawLabel(
                    picture, x, H - (2 * m - size.height) / 2 - 3, label, BlackPixel, background);
            }
            for (int j = 0; j < 8; ++j) {
                const char label[2] = { static_cast<char>('8' - j), '\0' };
                const TextSize size = labelTextSize(label);
                const int y = m + j * ch + (ch - size.height) / 2;
                drawLabel(picture, (m - size.width) / 2, y, label, BlackPixel, background);
                drawLabel(
                    picture, W - (2 * m - 2 * size.width) / 2, y, label, BlackPixel, background);
            }
        }

        copyBlock(picture, m, m, boardImage, 0, 0, bw, bh);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    picture = Raster();
    return false;
}

std::optional<Raster> composePicture(const Raster& boardImage, const DiagramPictureOptions& options)
{
    Raster picture;
    if (!composePicture(boardImage, options, picture))
        return std::nullopt;
    return picture;
}

std::optional<Raster> ComposeDiagramPicture(
    TPictogram2D& board, const DiagramPictureOptions& options)
{
    RefreshAllSquares(board);
    return composePicture(board.CopyDiagramToBitmap(), options);
}

bool ComposeDiagramPicture(
    TPictogram2D& board, const DiagramPictureOptions& options, Raster& picture)
{
    RefreshAllSquares(board);
    return composePicture(board.CopyDiagramToBitmap(), options, picture);
}

std::optional<Raster> ComposeDiagramPicture(TPictogram2D& board, const TChessPosition& position,
    bool flip, const DiagramPictureOptions& options)
{
    for (int rank = 0; rank < 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            const int square = squareIndex(file, rank);
            if (board.GetSquare(square) != position.GetPiece(square))
                board.SetSquare(position.GetPiece(square), square);
        }
    }
    if (board.WhiteIsAtBottom() == flip)
        board.SetWhiteIsAtBottom(!flip);
    return ComposeDiagramPicture(board, options);
}

} // namespace pictog
