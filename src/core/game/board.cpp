#include "game/board.h"

#include "position/epd_line.h"

namespace pictog::game {

Board Board::initial()
{
    return *fromLine(InitialPositionLine);
}

Board Board::fromPosition(const TChessPosition& board, const PanelState& panel)
{
    Board b;
    for (int sq = 0; sq < 64; ++sq) {
        const int code = board.GetPiece(index10(sq));
        if (code >= 1 && code <= 12)
            b.putPiece(code, sq);
    }
    b.m_side = panel.blackToMove() ? 1 : 0;
    b.m_castling = static_cast<std::uint8_t>((panel.whiteShortCastling ? 1 : 0)
        | (panel.whiteLongCastling ? 2 : 0) | (panel.blackShortCastling ? 4 : 0)
        | (panel.blackLongCastling ? 8 : 0));
    const int ep = epEntrySquare(panel.epField);
    b.m_ep = static_cast<std::int8_t>(ep < 0 ? -1 : square64(ep));
    b.m_halfmove = panel.halfMoveClock;
    b.m_fullmove = panel.moveNumber;
    return b;
}

std::optional<Board> Board::fromLine(std::string_view line, std::string* message)
{
    EpdParse parse = ParseEPDLine(line);
    if (!parse.accepted) {
        if (message)
            *message = parse.message;
        return std::nullopt;
    }
    return fromPosition(parse.board, parse.panel);
}

void Board::toPosition(TChessPosition& board, PanelState& panel) const
{
    board.Clear();
    for (int sq = 0; sq < 64; ++sq)
        board.SetPiece(m_squares[sq], index10(sq));
    panel = PanelState();
    panel.moveRight = m_side;
    panel.whiteShortCastling = m_castling & 1;
    panel.whiteLongCastling = m_castling & 2;
    panel.blackShortCastling = m_castling & 4;
    panel.blackLongCastling = m_castling & 8;
    panel.epField = 0;
    if (m_ep >= 0) {
        const int rank = m_ep / 8;
        if (rank == 2 || rank == 5)
            panel.epField = 1 + 2 * (m_ep % 8) + (rank == 5 ? 1 : 0);
    }
    panel.setHalfMoveClock(m_halfmove);
    panel.setMoveNumber(m_fullmove);
}

std::string Board::fenLine() const
{
    TChessPosition board;
    PanelState panel;
    toPosition(board, panel);
    return BuildEPDLine(board, panel);
}

bool Board::inCheck() const
{
    return false;
}

void Board::play(Move) { }

void Board::putPiece(int piece, int sq)
{
    const std::uint64_t bit = std::uint64_t { 1 } << sq;
    m_squares[sq] = static_cast<std::uint8_t>(piece);
    m_kinds[pieceKind(piece)] |= bit;
    m_colors[isBlackPiece(piece) ? 1 : 0] |= bit;
}

void Board::removePiece(int sq)
{
    const int piece = m_squares[sq];
    if (piece == 0)
        return;
    const std::uint64_t bit = std::uint64_t { 1 } << sq;
    m_squares[sq] = 0;
    m_kinds[pieceKind(piece)] &= ~bit;
    m_colors[isBlackPiece(piece) ? 1 : 0] &= ~bit;
}

} // namespace pictog::game
