#include "game/attacks.h"
#include "game/board.h"

namespace pictog::game {

using namespace attacks;

namespace {

    enum Kind { Pawn, Knight, Bishop, Rook, Queen, King };

    constexpr Bitboard Rank1 = 0xFFULL;
    constexpr Bitboard FileA = 0x0101010101010101ULL;
    constexpr Bitboard FileH = FileA << 7;

    constexpr Bitboard rankMask(int rank0)
    {
        return Rank1 << (8 * rank0);
    }

    // The pawn set moved one rank towards the opponent.
    template <int Us> constexpr Bitboard forward(Bitboard b)
    {
        return Us == 0 ? b << 8 : b >> 8;
    }

    // The squares of colour `by` that attack sq, with the given occupancy.
    Bitboard attackersTo(const Tables& t, const Board& b, int sq, Bitboard occupied, int by)
    {
        const Bitboard them = b.colors(by);
        const Bitboard diagonal = b.kinds(Bishop) | b.kinds(Queen);
        const Bitboard straight = b.kinds(Rook) | b.kinds(Queen);
        return them
            & ((t.pawn[by ^ 1][sq] & b.kinds(Pawn)) | (t.knight[sq] & b.kinds(Knight))
                | (t.king[sq] & b.kinds(King)) | (bishopAttacks(t, sq, occupied) & diagonal)
                | (rookAttacks(t, sq, occupied) & straight));
    }

    // Every square colour `by` attacks with the given occupancy.
    Bitboard attackedBy(const Tables& t, const Board& b, Bitboard occupied, int by)
    {
        const Bitboard mine = b.colors(by);
        const Bitboard pawns = b.kinds(Pawn) & mine;
        Bitboard result = by == 0 ? ((pawns & ~FileA) << 7) | ((pawns & ~FileH) << 9)
                                  : ((pawns & ~FileA) >> 9) | ((pawns & ~FileH) >> 7);
        for (Bitboard n = b.kinds(Knight) & mine; n;)
            result |= t.knight[popLsb(n)];
        for (Bitboard k = b.kinds(King) & mine; k;)
            result |= t.king[popLsb(k)];
        for (Bitboard s = (b.kinds(Bishop) | b.kinds(Queen)) & mine; s;)
            result |= bishopAttacks(t, popLsb(s), occupied);
        for (Bitboard s = (b.kinds(Rook) | b.kinds(Queen)) & mine; s;)
            result |= rookAttacks(t, popLsb(s), occupied);
        return result;
    }

    // True when any king of colour `side` is attacked.
    bool kingsAttacked(const Tables& t, const Board& b, int side)
    {
        const Bitboard occupied = b.occupied();
        for (Bitboard k = b.pieces(side, King); k;)
            if (attackersTo(t, b, popLsb(k), occupied, side ^ 1))
                return true;
        return false;
    }

    inline void add(MoveList& list, int from, int to, int flags)
    {
        list.push({ static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), 0,
            static_cast<std::uint8_t>(flags) });
    }

    inline void addPromotions(MoveList& list, int from, int to, int flags)
    {
        for (std::uint8_t p = 4; p >= 1; --p)
            list.push({ static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), p,
                static_cast<std::uint8_t>(flags) });
    }

    // The en-passant target square when a capture there is geometrically possible: the square
    // on the right rank and empty, the pawn that just moved two squares in front of it, the
    // square it came from empty. -1 otherwise.
    template <int Us> int usableEpSquare(const Board& b)
    {
        const int ep = b.enPassantSquare();
        if (ep < 0 || ep / 8 != (Us == 0 ? 5 : 2))
            return -1;
        const int pawnSq = Us == 0 ? ep - 8 : ep + 8;
        const int origin = Us == 0 ? ep + 8 : ep - 8;
        const Bitboard occupied = b.occupied();
        if (!(b.pieces(Us ^ 1, Pawn) & bit(pawnSq)) || (occupied & (bit(ep) | bit(origin))))
            return -1;
        return ep;
    }

    // Generates the moves of side Us. With Exact, the board has exactly one king of Us and the
    // moves are legal (check evasions, pins, a king that does not walk into attack). Without,
    // the moves are only pseudo-legal and the caller filters them.
    template <int Us, bool Exact> void generate(const Tables& t, const Board& b, MoveList& list)
    {
        constexpr int Them = Us ^ 1;
        const Bitboard us = b.colors(Us);
        const Bitboard them = b.colors(Them);
        const Bitboard occupied = us | them;
        const Bitboard kings = b.pieces(Us, King);
        const Bitboard targets = ~us & ~b.pieces(Them, King);

        Bitboard checkMask = ~Bitboard { 0 };
        Bitboard pinned = 0;
        int ksq = 0;
        Bitboard danger = 0;
        Bitboard checkers = 0;
        if (Exact) {
            ksq = lsb(kings);
            checkers = attackersTo(t, b, ksq, occupied, Them);
            danger = attackedBy(t, b, occupied ^ kings, Them);
            for (Bitboard to = t.king[ksq] & targets & ~danger; to;) {
                const int sq = popLsb(to);
                add(list, ksq, sq, (them & bit(sq)) ? FlagCapture : 0);
            }
            if (moreThanOne(checkers))
                return;
            if (checkers)
                checkMask = t.between[ksq][lsb(checkers)] | checkers;
            const Bitboard snipers = them
                & ((rookAttacks(t, ksq, 0) & (b.kinds(Rook) | b.kinds(Queen)))
                    | (bishopAttacks(t, ksq, 0) & (b.kinds(Bishop) | b.kinds(Queen))));
            for (Bitboard s = snipers; s;) {
                const Bitboard blockers = t.between[ksq][popLsb(s)] & occupied;
                if (blockers && !moreThanOne(blockers))
                    pinned |= blockers & us;
            }
        } else {
            for (Bitboard k = kings; k;) {
                const int from = popLsb(k);
                for (Bitboard to = t.king[from] & targets; to;) {
                    const int sq = popLsb(to);
                    add(list, from, sq, (them & bit(sq)) ? FlagCapture : 0);
                }
            }
        }
        const Bitboard target = targets & checkMask;
        auto allowed = [&](int from, Bitboard to) {
            return (pinned & bit(from)) ? to & t.line[ksq][from] : to;
        };
        auto addAll = [&](int from, Bitboard to) {
            while (to) {
                const int sq = popLsb(to);
                add(list, from, sq, (them & bit(sq)) ? FlagCapture : 0);
            }
        };

        for (Bitboard n = b.pieces(Us, Knight) & ~pinned; n;) {
            const int from = popLsb(n);
            addAll(from, t.knight[from] & target);
        }
        for (Bitboard s = us & (b.kinds(Bishop) | b.kinds(Queen)); s;) {
            const int from = popLsb(s);
            addAll(from, allowed(from, bishopAttacks(t, from, occupied) & target));
        }
        for (Bitboard s = us & (b.kinds(Rook) | b.kinds(Queen)); s;) {
            const int from = popLsb(s);
            addAll(from, allowed(from, rookAttacks(t, from, occupied) & target));
        }

        // Pawns, set-wise; a pinned pawn's move must stay on the line through the king.
        const Bitboard pawns = b.pieces(Us, Pawn);
        const Bitboard lastRank = rankMask(Us == 0 ? 7 : 0);
        const Bitboard thirdRank = rankMask(Us == 0 ? 2 : 5);
        constexpr int up = Us == 0 ? 8 : -8;
        const Bitboard single = forward<Us>(pawns) & ~occupied;
        const Bitboard twice = forward<Us>(single & thirdRank) & ~occupied & checkMask;
        const Bitboard capturable = them & target;
        const Bitboard west = forward<Us>(pawns & ~FileA) >> 1 & capturable;
        const Bitboard east = forward<Us>(pawns & ~FileH) << 1 & capturable;
        auto emitPawns = [&](Bitboard to, int delta, int flags) {
            while (to) {
                const int sq = popLsb(to);
                const int from = sq - delta;
                if ((pinned & bit(from)) && !(t.line[ksq][from] & bit(sq)))
                    continue;
                if (bit(sq) & lastRank)
                    addPromotions(list, from, sq, flags);
                else
                    add(list, from, sq, flags);
            }
        };
        emitPawns(single & checkMask, up, 0);
        emitPawns(twice, 2 * up, FlagDoublePush);
        emitPawns(west, up - 1, FlagCapture);
        emitPawns(east, up + 1, FlagCapture);

        const int ep = usableEpSquare<Us>(b);
        if (ep >= 0) {
            const int victim = ep - up;
            for (Bitboard p = t.pawn[Them][ep] & pawns; p;) {
                const int from = popLsb(p);
                if (Exact) {
                    // Test the king directly: the capture can resolve a check by the pawn,
                    // and removing two pawns from one rank can expose the king.
                    const Bitboard after = (occupied ^ bit(from) ^ bit(victim)) | bit(ep);
                    const Bitboard diagonal = them & (b.kinds(Bishop) | b.kinds(Queen));
                    const Bitboard straight = them & (b.kinds(Rook) | b.kinds(Queen));
                    if ((bishopAttacks(t, ksq, after) & diagonal)
                        || (rookAttacks(t, ksq, after) & straight)
                        || (checkers & ~bit(victim) & ~(diagonal | straight)))
                        continue;
                }
                add(list, from, ep, FlagCapture | FlagEnPassant);
            }
        }

        // Castling: the rights, king and rook on their squares, the squares between them empty,
        // and neither the king's square nor the two it crosses or lands on attacked.
        const int home = Us == 0 ? 4 : 60;
        if (!(kings & bit(home)) || (Exact && checkers))
            return;
        const int rights = b.castlingRights() >> (2 * Us);
        const Bitboard rooks = b.pieces(Us, Rook);
        if (!Exact && (rights & 3))
            danger = attackedBy(t, b, occupied, Them);
        if (!(danger & bit(home))) {
            if ((rights & 1) && (rooks & bit(home + 3))
                && !(occupied & (bit(home + 1) | bit(home + 2)))
                && !(danger & (bit(home + 1) | bit(home + 2))))
                add(list, home, home + 2, FlagCastling);
            if ((rights & 2) && (rooks & bit(home - 4))
                && !(occupied & (bit(home - 1) | bit(home - 2) | bit(home - 3)))
                && !(danger & (bit(home - 1) | bit(home - 2))))
                add(list, home, home - 2, FlagCastling);
        }
    }

    template <int Us> void generateFor(const Tables& t, const Board& b, MoveList& list)
    {
        const Bitboard kings = b.pieces(Us, King);
        if (kings && !moreThanOne(kings)) {
            generate<Us, true>(t, b, list);
            return;
        }
        generate<Us, false>(t, b, list);
        if (!kings)
            return;
        // Several kings: keep the moves after which none of them is attacked.
        MoveList pseudo = list;
        list.clear();
        for (const Move m : pseudo) {
            Board next = b;
            next.play(m);
            if (!kingsAttacked(t, next, Us))
                list.push(m);
        }
    }

    std::uint64_t perftFrom(const Tables& t, const Board& b, int depth)
    {
        MoveList list;
        if (b.whiteToMove())
            generateFor<0>(t, b, list);
        else
            generateFor<1>(t, b, list);
        if (depth == 1)
            return list.size();
        std::uint64_t nodes = 0;
        for (const Move m : list) {
            Board next = b;
            next.play(m);
            nodes += perftFrom(t, next, depth - 1);
        }
        return nodes;
    }

} // namespace

bool MoveList::contains(Move move) const
{
    for (const Move& m : *this)
        if (m == move)
            return true;
    return false;
}

bool Board::inCheck() const
{
    return kingsAttacked(tables(), *this, m_side);
}

void generateLegalMoves(const Board& board, MoveList& moves)
{
    moves.clear();
    const Tables& t = tables();
    if (board.whiteToMove())
        generateFor<0>(t, board, moves);
    else
        generateFor<1>(t, board, moves);
}

bool isPseudoLegal(const Board& board, Move move)
{
    const int from = move.from;
    const int to = move.to;
    if (from > 63 || to > 63 || from == to)
        return false;
    const int side = board.side();
    const Bitboard us = board.colors(side);
    const Bitboard them = board.colors(side ^ 1);
    if (!(us & bit(from)) || (us & bit(to)) || (board.kinds(King) & them & bit(to)))
        return false;
    const Tables& t = tables();
    const Bitboard occupied = us | them;
    const int kind = pieceKind(board.piece(from));
    const bool promotes = kind == Pawn && to / 8 == (side == 0 ? 7 : 0);
    if (promotes ? (move.promotion < 1 || move.promotion > 4) : move.promotion != 0)
        return false;
    switch (kind) {
    case Pawn: {
        const int up = side == 0 ? 8 : -8;
        if (t.pawn[side][from] & bit(to))
            return (them & bit(to))
                || to == (side == 0 ? usableEpSquare<0>(board) : usableEpSquare<1>(board));
        if (to == from + up)
            return !(occupied & bit(to));
        return to == from + 2 * up && from / 8 == (side == 0 ? 1 : 6)
            && !(occupied & (bit(to) | bit(from + up)));
    }
    case Knight:
        return t.knight[from] & bit(to);
    case Bishop:
        return bishopAttacks(t, from, occupied) & bit(to);
    case Rook:
        return rookAttacks(t, from, occupied) & bit(to);
    case Queen:
        return (bishopAttacks(t, from, occupied) | rookAttacks(t, from, occupied)) & bit(to);
    default:
        if (t.king[from] & bit(to))
            return true;
        // Castling: the generator holds every condition.
        if (to - from == 2 || from - to == 2) {
            MoveList moves;
            generateLegalMoves(board, moves);
            return moves.contains(move);
        }
        return false;
    }
}

bool isLegal(const Board& board, Move move)
{
    if (!isPseudoLegal(board, move))
        return false;
    Board next = board;
    next.play(move);
    return !kingsAttacked(tables(), next, board.side());
}

GameStatus status(const Board& board)
{
    MoveList moves;
    generateLegalMoves(board, moves);
    if (!moves.empty())
        return GameStatus::Ongoing;
    return board.inCheck() ? GameStatus::Checkmate : GameStatus::Stalemate;
}

std::uint64_t perft(const Board& board, int depth)
{
    if (depth <= 0)
        return 1;
    return perftFrom(tables(), board, depth);
}

} // namespace pictog::game
