#include "chess_position.h"

namespace pictog {

TChessPosition::TChessPosition()
{
    static constexpr int backRank[8] = { WhiteRook, WhiteKnight, WhiteBishop, WhiteQueen, WhiteKing,
        WhiteBishop, WhiteKnight, WhiteRook };
    for (int file = 0; file < 8; ++file) {
        SetPiece(backRank[file], squareIndex(file, 0));
        SetPiece(WhitePawn, squareIndex(file, 1));
        SetPiece(BlackPawn, squareIndex(file, 6));
        SetPiece(backRank[file] + 6, squareIndex(file, 7));
    }
    m_state = 0;
    SetWhiteToMove(true);
    SetWhiteShortCastling(true);
    SetWhiteLongCastling(true);
    SetBlackShortCastling(true);
    SetBlackLongCastling(true);
    SetEpSquare(0);
}

TChessPosition emptyPosition()
{
    TChessPosition position;
    position.Clear();
    return position;
}

} // namespace pictog
