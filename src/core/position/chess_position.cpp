#include "chess_position.h"

namespace pictog {

namespace {

    constexpr int linearNumber(int index) { return index - 2 * (index / 10); }
    constexpr int nibbleShift(int n) { return 12 - 4 * (n % 4); }

} // namespace

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

int TChessPosition::GetPiece(int index) const
{
    if (IsOffBoard(index))
        return 0;
    const int n = linearNumber(index);
    return (m_board[static_cast<std::size_t>(n / 4)] >> nibbleShift(n)) & 0xF;
}

void TChessPosition::SetPiece(int piece, int index)
{
    if (IsOffBoard(index))
        return;
    const int n = linearNumber(index);
    const int shift = nibbleShift(n);
    uint16_t& word = m_board[static_cast<std::size_t>(n / 4)];
    word = static_cast<uint16_t>((word & ~(0xF << shift)) | ((piece & 0xF) << shift));
}

TChessPosition emptyPosition()
{
    TChessPosition position;
    position.Clear();
    return position;
}

} // namespace pictog
