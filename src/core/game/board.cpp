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

namespace {

    // Castling rights that survive a move from or to each square: a king or rook leaving its
    // square, or a rook captured on its corner, ends the matching rights.
    constexpr std::uint8_t rightsKept(int sq)
    {
        switch (sq) {
        case 0:
            return 0xF & ~2;
        case 4:
            return 0xF & ~3;
        case 7:
            return 0xF & ~1;
        case 56:
            return 0xF & ~8;
        case 60:
            return 0xF & ~12;
        case 63:
            return 0xF & ~4;
        default:
            return 0xF;
        }
    }

    struct RightsTable {
        std::uint8_t kept[64];
        constexpr RightsTable()
            : kept()
        {
            for (int sq = 0; sq < 64; ++sq)
                kept[sq] = rightsKept(sq);
        }
    };
    constexpr RightsTable rights;

    // pieceKind() for codes 0..12 without a division; 6 for empty.
    constexpr std::uint8_t kindOf[16] = { 6, 0, 1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 6, 6, 6 };

} // namespace

void Board::play(Move move)
{
    const int from = move.from & 63;
    const int to = move.to & 63;
    int piece = m_squares[from];
    const int captured = m_squares[to];
    ++m_halfmove;
    m_ep = -1;
    m_castling &= rights.kept[from] & rights.kept[to];
    if (m_side == 1)
        ++m_fullmove;
    m_side ^= 1;
    if (captured) {
        removePiece(to);
        m_halfmove = 0;
    }
    if (!piece)
        return;
    // The mover leaves its square and arrives on the destination (the kind sets differ on a
    // promotion, so the destination's kind bit is set last).
    const std::uint64_t fromBit = std::uint64_t { 1 } << from;
    const std::uint64_t toBit = std::uint64_t { 1 } << to;
    const int kind = kindOf[piece];
    std::uint64_t& color = m_colors[piece >= BlackPawn ? 1 : 0];
    color = (color & ~fromBit) | toBit;
    m_kinds[kind] &= ~fromBit;
    m_squares[from] = 0;
    if (kind == 0) {
        m_halfmove = 0;
        const int step = to - from;
        if (step == 16 || step == -16) {
            m_ep = static_cast<std::int8_t>((from + to) / 2);
        } else if (((from ^ to) & 7) && !captured) {
            // A diagonal step onto an empty square: en passant takes the pawn beside.
            removePiece((from & ~7) | (to & 7));
        }
        if (move.promotion >= 1 && move.promotion <= 4 && (to < 8 || to >= 56))
            piece += move.promotion;
    } else if (kind == 5 && (to - from == 2 || from - to == 2)) {
        const int rookFrom = to > from ? from + 3 : from - 4;
        const int rookTo = (from + to) / 2;
        const int rook = m_squares[rookFrom];
        removePiece(rookFrom);
        putPiece(rook, rookTo);
    }
    m_kinds[kindOf[piece]] |= toBit;
    m_squares[to] = static_cast<std::uint8_t>(piece);
}

void Board::putPiece(int piece, int sq)
{
    if (piece < 1 || piece > 12)
        return;
    const std::uint64_t bit = std::uint64_t { 1 } << sq;
    m_squares[sq] = static_cast<std::uint8_t>(piece);
    m_kinds[kindOf[piece]] |= bit;
    m_colors[piece >= BlackPawn ? 1 : 0] |= bit;
}

void Board::removePiece(int sq)
{
    const int piece = m_squares[sq];
    if (piece == 0)
        return;
    const std::uint64_t bit = std::uint64_t { 1 } << sq;
    m_squares[sq] = 0;
    m_kinds[kindOf[piece]] &= ~bit;
    m_colors[piece >= BlackPawn ? 1 : 0] &= ~bit;
}

} // namespace pictog::game
