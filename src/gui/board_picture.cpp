#include "board_picture.h"

#include "diagram_renderer.h"
#include "settings/html_color.h"

#include <algorithm>

namespace pictog::gui {

namespace {

    // The renderer's picture of a bare board (no border, no coordinates) cut to the board.
    QImage renderBoard(const TChessPosition& position, bool flip, const std::string& light,
        const std::string& dark, int square)
    {
        DiagramRenderOptions options;
        options.squarePx = square;
        options.flip = flip;
        options.showBorder = false;
        options.coordinates = false;
        options.colorLightSquares = light;
        options.colorDarkSquares = dark;
        options.colorDiagramBackground = dark;
        const DiagramImage image = renderDiagramImage(position, PanelState(), options);
        if (image.width == 0)
            return {};
        // The board sits in the middle of a thin margin that holds its frame.
        const int margin = (image.width - 8 * square) / 2;
        const QImage whole(image.pixels.data(), image.width, image.height, image.stride,
            QImage::Format_ARGB32_Premultiplied);
        return whole.copy(margin, margin, 8 * square, 8 * square);
    }

} // namespace

std::optional<BoardView::Floating> BoardView::floating() const
{
    if (Dragging)
        return Floating { MovingPiece, PieceX, PieceY, LastMove.from };
    if (Animating)
        return Floating { MovingPiece, PieceX, PieceY, AnimTo };
    return std::nullopt;
}

BoardPicture::Pieces boardPieces(const TPictogram& view, int hiddenSquare)
{
    BoardPicture::Pieces pieces {};
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file) {
            const int square = squareIndex(file, rank);
            pieces[static_cast<std::size_t>(square)]
                = square == hiddenSquare ? Empty : view.GetSquare(square);
        }
    return pieces;
}

const QImage& BoardPicture::board(
    const Pieces& pieces, bool flip, ColorValue light, ColorValue dark, int devSquare)
{
    const BoardKey key { pieces, flip, light, dark, devSquare };
    if (m_boardKey && *m_boardKey == key)
        return m_board;
    TChessPosition position = emptyPosition();
    for (std::size_t square = 0; square < pieces.size(); ++square)
        if (pieces[square] != Empty)
            position.SetPiece(pieces[square], static_cast<int>(square));
    m_board
        = renderBoard(position, flip, ColorToHtmlColor(light), ColorToHtmlColor(dark), devSquare);
    m_boardKey = key;
    return m_board;
}

const QImage& BoardPicture::piece(int piece, int devSquare)
{
    static const QImage none;
    if (piece < WhitePawn || piece > BlackKing)
        return none;
    auto found = m_pieces.find(devSquare);
    if (found == m_pieces.end()) {
        // A window resized step by step would otherwise gather a set for every size it passed.
        if (m_pieces.size() >= 4)
            m_pieces.clear();
        found = m_pieces.emplace(devSquare, PieceSet()).first;
    }
    PieceSet& set = found->second;
    const int colour = piece >= BlackPawn ? 1 : 0;
    if (!set.drawn[static_cast<std::size_t>(colour)]) {
        set.drawn[static_cast<std::size_t>(colour)] = true;
        // The six pieces of the colour on one board of black dark and white light squares, each
        // twice: on the first rank and on the fourth, a square of the other colour. Where a
        // pixel differs between the two the piece is translucent there, and on black its
        // premultiplied colour is what the black square shows. One drawing serves both.
        TChessPosition position = emptyPosition();
        const int first = colour == 0 ? WhitePawn : BlackPawn;
        for (int column = 0; column < 6; ++column) {
            position.SetPiece(first + column, squareIndex(column, 0));
            position.SetPiece(first + column, squareIndex(column, 3));
        }
        const QImage both = renderBoard(position, false, "#FFFFFF", "#000000", devSquare);
        for (int column = 0; column < 6 && !both.isNull(); ++column) {
            const int left = column * devSquare;
            // a1 is a dark square: on the first rank the even columns are black.
            const int firstRank = 7 * devSquare;
            const int fourthRank = 4 * devSquare;
            const int blackTop = column % 2 == 0 ? firstRank : fourthRank;
            const int whiteTop = column % 2 == 0 ? fourthRank : firstRank;
            QImage sprite(devSquare, devSquare, QImage::Format_ARGB32_Premultiplied);
            for (int y = 0; y < devSquare; ++y) {
                const auto* b = reinterpret_cast<const QRgb*>(both.constScanLine(blackTop + y));
                const auto* w = reinterpret_cast<const QRgb*>(both.constScanLine(whiteTop + y));
                auto* out = reinterpret_cast<QRgb*>(sprite.scanLine(y));
                for (int x = 0; x < devSquare; ++x) {
                    const QRgb black = b[left + x];
                    const QRgb white = w[left + x];
                    const int alpha = std::clamp(255 - (qGreen(white) - qGreen(black)), 0, 255);
                    out[x] = qRgba(std::min(qRed(black), alpha), std::min(qGreen(black), alpha),
                        std::min(qBlue(black), alpha), alpha);
                }
            }
            set.images[static_cast<std::size_t>(first + column)] = sprite;
        }
    }
    return set.images[static_cast<std::size_t>(piece)];
}

} // namespace pictog::gui
