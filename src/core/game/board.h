#pragma once

#include "position/chess_position.h"
#include "position/panel_state.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pictog::game {

// Squares inside the game module: 0..63, a1 = 0, b1 = 1, ..., h8 = 63 (8 * rank0 + file0).
constexpr int square64(int index10)
{
    return 8 * (index10 / 10) + index10 % 10;
}
constexpr int index10(int square64)
{
    return 10 * (square64 / 8) + square64 % 8;
}

// A move: from/to squares 0..63; promotion as pieceKind() counts (0 none, 1 knight, 2 bishop,
// 3 rook, 4 queen); castling is written as the king's move (e1g1). flags say what the generator
// knew about the move (MoveFlag bits); equality ignores them.
struct Move {
    std::uint8_t from = 0, to = 0, promotion = 0, flags = 0;
    friend bool operator==(Move a, Move b)
    {
        return a.from == b.from && a.to == b.to && a.promotion == b.promotion;
    }
    friend bool operator!=(Move a, Move b) { return !(a == b); }
};

// The bits of Move::flags that the generator sets.
enum MoveFlag : std::uint8_t {
    FlagCapture = 1,
    FlagEnPassant = 2,
    FlagCastling = 4,
    FlagDoublePush = 8,
};

// Up to 256 moves without allocation (no position has more than 218 legal moves).
class MoveList
{
public:
    static constexpr std::size_t Capacity = 256;
    const Move* begin() const { return m_moves; }
    const Move* end() const { return m_moves + m_size; }
    Move* begin() { return m_moves; }
    Move* end() { return m_moves + m_size; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const Move& operator[](std::size_t i) const { return m_moves[i]; }
    // Appends the move; a full list ignores it.
    void push(Move move)
    {
        if (m_size < Capacity)
            m_moves[m_size++] = move;
    }
    void clear() { m_size = 0; }
    bool contains(Move move) const;

private:
    Move m_moves[Capacity];
    std::size_t m_size = 0;
};

// A position with bitboards: side to move, castling rights, en-passant square, counters.
//
// Any board a FEN line can hold is accepted, and odd ones behave as follows:
// - a side without a king is never in check; its moves only have to be pseudo-legal;
// - a side with several kings is in check when any of them is attacked, and a move is legal only
//   when afterwards none of them is; castling needs one of them on e1/e8;
// - no move ever captures a king (in a position where the side not to move is in check, the
//   moves that would take the king are simply missing);
// - a pawn on its own first rank moves one square forward (not two) and attacks as usual; a pawn
//   on its last rank has no moves;
// - castling rights without the king on e1/e8 and the rook on its corner, and an en-passant
//   square that no double push could have made, are kept for fenLine() but allow no move.
class Board
{
public:
    // The initial chess position, White to move, move 1.
    static Board initial();
    // The board and panel of the model; every square code outside 1..12 counts as empty.
    static Board fromPosition(const TChessPosition& board, const PanelState& panel);
    // Parses a FEN/EPD line with ParseEPDLine; on rejection nullopt and, when message is given,
    // the parser's message in it.
    static std::optional<Board> fromLine(std::string_view line, std::string* message = nullptr);
    // Writes the board and panel of the model (counters clamped into the panel's ranges; the
    // en-passant square kept only when it is one of a3..h3/a6..h6).
    void toPosition(TChessPosition& board, PanelState& panel) const;
    // The six-field line exactly as BuildEPDLine builds the toPosition() result.
    std::string fenLine() const;

    // The piece code 0..12 on square 0..63 (0 for any other square number).
    int piece(int sq64) const
    {
        return sq64 >= 0 && sq64 < 64 ? m_squares[static_cast<std::size_t>(sq64)] : 0;
    }
    bool whiteToMove() const { return m_side == 0; }
    int fullmoveNumber() const { return m_fullmove; }
    int halfmoveClock() const { return m_halfmove; }
    // Castling rights as bits: 1 White O-O, 2 White O-O-O, 4 Black O-O, 8 Black O-O-O.
    int castlingRights() const { return m_castling; }
    // The en-passant square 0..63 as set, or -1.
    int enPassantSquare() const { return m_ep; }
    // True when a king of the side to move is attacked.
    bool inCheck() const;

    // Plays the move, which must be legal in this position (another move leaves a board that is
    // still safe to use but not meaningful). Castling, en passant and promotion are recognised
    // from the board, not from the flags. After a double push the en-passant square is set
    // whether or not a capture there is possible, as FEN records it.
    void play(Move move);

    // Bitboards: colour 0 White, 1 Black; kind 0..5 pawn..king.
    std::uint64_t pieces(int color, int kind) const { return m_kinds[kind] & m_colors[color]; }
    std::uint64_t kinds(int kind) const { return m_kinds[kind]; }
    std::uint64_t colors(int color) const { return m_colors[color]; }
    std::uint64_t occupied() const { return m_colors[0] | m_colors[1]; }
    int side() const { return m_side; }

private:
    void putPiece(int piece, int sq);
    void removePiece(int sq);

    std::uint64_t m_kinds[6] {};
    std::uint64_t m_colors[2] {};
    std::uint8_t m_squares[64] {};
    std::uint8_t m_side = 0;
    std::uint8_t m_castling = 0;
    std::int8_t m_ep = -1;
    int m_halfmove = 0;
    int m_fullmove = 1;
};

// Every legal move of the side to move, in generation order.
void generateLegalMoves(const Board& board, MoveList& moves);
// True when the move (from, to, promotion) is one of the legal moves; checks this one move only.
bool isLegal(const Board& board, Move move);
// True when the move follows the pieces' rules, whether or not it leaves the own king attacked
// (castling is only pseudo-legal when it is legal).
bool isPseudoLegal(const Board& board, Move move);

enum class GameStatus { Ongoing, Checkmate, Stalemate };
// Checkmate or stalemate when the side to move has no legal move, else Ongoing.
GameStatus status(const Board& board);

// The number of leaf nodes of the legal move tree to the depth (1 for depth 0 or less).
std::uint64_t perft(const Board& board, int depth);

} // namespace pictog::game
