#pragma once

#include "diagram/pictogram_2d.h"

#include <QImage>

#include <array>
#include <map>
#include <optional>

namespace pictog::gui {

// The board view with its drag and slide readable, for a widget that draws the board itself at
// another size: the mouse logic and the position stay those of the 38-pixel board view.
class BoardView : public TPictogram2D
{
public:
    using TPictogram2D::TPictogram2D;

    // The piece that floats over the board during a drag or a slide: its code, its top-left in
    // the board view's 38-pixel units, and the square whose own piece is hidden meanwhile.
    struct Floating {
        int piece;
        int x;
        int y;
        int hiddenSquare;
    };
    std::optional<Floating> floating() const;
};

// The board and its pieces drawn by the diagram renderer at any square size, as the diagram
// files draw them. The board picture is kept until the position, the orientation, the colours
// or the size change; the piece pictures of the last few sizes are kept.
class BoardPicture
{
public:
    // The squares' pieces in square-index order (squareIndex(file, rank)); a hidden square draws
    // empty.
    using Pieces = std::array<int, 78>;

    // The bare board with its pieces, 8 × devSquare pixels wide and high, premultiplied ARGB.
    const QImage& board(
        const Pieces& pieces, bool flip, ColorValue light, ColorValue dark, int devSquare);
    // One piece on a transparent square of devSquare pixels; a null image for a code that is
    // no piece.
    const QImage& piece(int piece, int devSquare);

private:
    struct BoardKey {
        Pieces pieces {};
        bool flip = false;
        ColorValue light = 0;
        ColorValue dark = 0;
        int square = 0;
        bool operator==(const BoardKey& o) const
        {
            return pieces == o.pieces && flip == o.flip && light == o.light && dark == o.dark
                && square == o.square;
        }
    };
    std::optional<BoardKey> m_boardKey;
    QImage m_board;
    // The piece pictures by size (the board's and the palette's at least), each colour drawn
    // when one of its pieces is first asked for.
    struct PieceSet {
        std::array<QImage, 13> images;
        std::array<bool, 2> drawn {}; // white, black
    };
    std::map<int, PieceSet> m_pieces;
};

// The pieces the board view shows, with the square hidden (or none, -1) left empty.
BoardPicture::Pieces boardPieces(const TPictogram& view, int hiddenSquare);

} // namespace pictog::gui
