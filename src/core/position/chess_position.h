#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pictog {

// Piece codes: 0 empty, 1..6 white pawn, knight, bishop, rook, queen, king, 7..12 the same in
// black.
enum PieceCode : int {
    Empty = 0,
    WhitePawn = 1,
    WhiteKnight = 2,
    WhiteBishop = 3,
    WhiteRook = 4,
    WhiteQueen = 5,
    WhiteKing = 6,
    BlackPawn = 7,
    BlackKnight = 8,
    BlackBishop = 9,
    BlackRook = 10,
    BlackQueen = 11,
    BlackKing = 12,
};

// True for a white piece code (1..6) / a black one (7..12); false for empty and any other code.
constexpr bool isWhitePiece(int piece)
{
    return piece >= WhitePawn && piece <= WhiteKing;
}
constexpr bool isBlackPiece(int piece)
{
    return piece >= BlackPawn && piece <= BlackKing;
}

// The kind of piece code 1..12 as 0..5: pawn, knight, bishop, rook, queen, king.
constexpr int pieceKind(int piece)
{
    return (piece - 1) % 6;
}

// Square index: 10 * rank0 + file0, rank0 and file0 counted 0..7 from a1.
constexpr int squareIndex(int file0, int rank0)
{
    return 10 * rank0 + file0;
}
constexpr int fileOf(int index)
{
    return index % 10;
}
constexpr int rankOf(int index)
{
    return index / 10;
}

// True when the index names one of the 64 squares (0..77 with units digit 0..7).
constexpr bool isOnBoard(int index)
{
    return index >= 0 && index <= 77 && index % 10 <= 7;
}

// The FEN letter of a piece code 1..12, or 0 for any other code.
constexpr char pieceLetter(int piece)
{
    constexpr char letters[] = "PNBRQKpnbrqk";
    return piece >= 1 && piece <= 12 ? letters[piece - 1] : '\0';
}

// The contents of the 64 squares, packed four squares to a 16-bit word, plus a state word.
//
// Square n = 8 * rank0 + file0 lives in word n / 4; n % 4 == 0 is the most significant nibble.
// The state word holds the castling bits (0..3), the side bit (4) and the en-passant square
// (bits 8..15); only the constructor writes it and nothing reads it.
class TChessPosition
{
public:
    // Builds the initial chess position with state word 0x001F.
    TChessPosition();

    // True when the index is not one of the 64 squares.
    static bool IsOffBoard(int index) { return !isOnBoard(index); }

    // The piece code on the square; 0 for an off-board index.
    int GetPiece(int index) const
    {
        const int n = linearNumber(index);
        return n < 0 ? 0 : (m_board[static_cast<std::size_t>(n >> 2)] >> nibbleShift(n)) & 0xF;
    }

    // Stores the piece code (its low four bits) on the square; an off-board index changes nothing.
    void SetPiece(int piece, int index)
    {
        const int n = linearNumber(index);
        if (n < 0)
            return;
        const int shift = nibbleShift(n);
        uint16_t& word = m_board[static_cast<std::size_t>(n >> 2)];
        word = static_cast<uint16_t>((word & ~(0xF << shift)) | ((piece & 0xF) << shift));
    }

    // Empties all 64 squares.
    void Clear() { m_board.fill(0); }

    void SetWhiteShortCastling(bool on) { setStateBit(0, on); }
    void SetWhiteLongCastling(bool on) { setStateBit(1, on); }
    void SetBlackShortCastling(bool on) { setStateBit(2, on); }
    void SetBlackLongCastling(bool on) { setStateBit(3, on); }
    void SetWhiteToMove(bool on) { setStateBit(4, on); }
    // Replaces only bits 8..15 with the square index (0 for none).
    void SetEpSquare(int index)
    {
        m_state = static_cast<uint16_t>((m_state & 0x00FF) | ((index & 0xFF) << 8));
    }

    // Storage word i (0..15): squares 4i..4i+3 in storage order, the first in the top nibble.
    uint16_t word(int i) const { return m_board[static_cast<std::size_t>(i)]; }
    uint16_t stateWord() const { return m_state; }

    friend bool operator==(const TChessPosition& a, const TChessPosition& b)
    {
        return a.m_board == b.m_board;
    }
    friend bool operator!=(const TChessPosition& a, const TChessPosition& b) { return !(a == b); }

private:
    // The square's number 0..63 in storage order (8 * rank0 + file0), or -1 off the board. These
    // run for every square of every line parsed or built, hence unsigned arithmetic and no %.
    static constexpr int linearNumber(int index)
    {
        const unsigned u = static_cast<unsigned>(index);
        const unsigned rank = u / 10;
        const unsigned file = u - 10 * rank;
        return u <= 77 && file <= 7 ? static_cast<int>(8 * rank + file) : -1;
    }
    static constexpr int nibbleShift(int n) { return 12 - 4 * (n & 3); }

    void setStateBit(int bit, bool on)
    {
        m_state = static_cast<uint16_t>(on ? (m_state | (1u << bit)) : (m_state & ~(1u << bit)));
    }

    std::array<uint16_t, 16> m_board {};
    uint16_t m_state = 0;
};

// A position whose 64 squares are all empty.
TChessPosition emptyPosition();

} // namespace pictog
