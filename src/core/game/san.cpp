#include "game/san.h"

#include "diagram/annotations.h"
#include "game/attacks.h"

#include <cstring>

namespace pictog::game {

using namespace attacks;

namespace {

    enum Kind { Pawn, Knight, Bishop, Rook, Queen, King };

    constexpr const char* kindNames[6] = { "pawn", "knight", "bishop", "rook", "queen", "king" };

    std::string squareName(int sq)
    {
        return { static_cast<char>('a' + sq % 8), static_cast<char>('1' + sq / 8) };
    }

    // The pieces among `sliders` that see `sq` along an open line of `rays` (rookRays or
    // bishopRays of sq). Walks the few pieces through the small between table instead of a
    // magic lookup, whose big tables are mostly out of cache in a PGN reading loop.
    Bitboard slidersSeeing(
        const Tables& t, const Bitboard* rays, int sq, Bitboard sliders, Bitboard occupied)
    {
        Bitboard result = 0;
        for (Bitboard s = sliders & rays[sq]; s;) {
            const int from = popLsb(s);
            if (!(t.between[sq][from] & occupied))
                result |= bit(from);
        }
        return result;
    }

    // The squares holding a piece of the kind and side that could move to `to` by the pieces'
    // geometry (pawns: the squares a push or capture to `to` starts from).
    Bitboard reachingFrom(const Tables& t, const Board& board, int kind, int to, bool pawnCapture)
    {
        const int side = board.side();
        const Bitboard mine = board.pieces(side, kind);
        const Bitboard occupied = board.occupied();
        switch (kind) {
        case Pawn: {
            if (pawnCapture)
                return t.pawn[side ^ 1][to] & mine;
            const int back = side == 0 ? to - 8 : to + 8;
            if (back < 0 || back > 63)
                return 0;
            if (mine & bit(back))
                return bit(back);
            const int back2 = side == 0 ? to - 16 : to + 16;
            if (back2 < 0 || back2 > 63 || (occupied & bit(back)))
                return 0;
            return mine & bit(back2);
        }
        case Knight:
            return t.knight[to] & mine;
        case Bishop:
            return slidersSeeing(t, t.bishopRays, to, mine, occupied);
        case Rook:
            return slidersSeeing(t, t.rookRays, to, mine, occupied);
        case Queen:
            return slidersSeeing(t, t.bishopRays, to, mine, occupied)
                | slidersSeeing(t, t.rookRays, to, mine, occupied);
        default: {
            Bitboard from = t.king[to] & mine;
            // Castling written as the king's move ("Kg1", "e1g1").
            const int home = side == 0 ? 4 : 60;
            if ((to == home + 2 || to == home - 2) && (mine & bit(home)))
                from |= bit(home);
            return from;
        }
        }
    }

    // Decides which moves of one piece kind to one destination are legal, each exactly as
    // isLegal() would, without playing it on a copy: the candidates come from reachingFrom(), so
    // their geometry is known, and what is left is the destination, the promotion, the pawn's
    // push rules and whether the own king is attacked afterwards. That last test looks from the
    // king with the moved and captured pieces taken into account, which covers pins and checks
    // alike. Castling, en passant and boards with several kings of the side to move go through
    // isLegal().
    class DestinationCheck
    {
    public:
        DestinationCheck(const Tables& t, const Board& board, int kind, int to, int promotion)
            : m_board(board)
            , m_tables(t)
            , m_kind(kind)
            , m_to(to)
            , m_promotion(promotion)
        {
            const int side = board.side();
            const Bitboard kings = board.pieces(side, King);
            const bool promotes = kind == Pawn && to / 8 == (side == 0 ? 7 : 0);
            const bool promotionFits = promotes ? promotion >= 1 && promotion <= 4 : promotion == 0;
            if (!promotionFits || ((board.colors(side) | board.pieces(side ^ 1, King)) & bit(to)))
                m_mode = Never;
            else if (moreThanOne(kings))
                m_mode = Played;
            m_king = kings ? lsb(kings) : -1;
            m_captured = board.colors(side ^ 1) & bit(to);
        }

        bool legal(int from) const
        {
            if (m_mode == Never)
                return false;
            if (m_mode == Played)
                return viaPlay(from);
            if (m_kind == Pawn) {
                if ((from ^ m_to) & 7) {
                    if (!m_captured)
                        return viaPlay(from); // en passant
                } else {
                    const int startRank = m_board.side() == 0 ? 1 : 6;
                    if (m_captured
                        || ((m_to - from == 16 || from - m_to == 16) && from / 8 != startRank))
                        return false;
                }
            } else if (m_kind == King && (m_to - from == 2 || from - m_to == 2)) {
                return viaPlay(from); // castling
            }
            return m_king < 0 || kingSafeAfter(from);
        }

    private:
        enum Mode { Direct, Played, Never };

        bool viaPlay(int from) const
        {
            return isLegal(m_board,
                { static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(m_to),
                    static_cast<std::uint8_t>(m_promotion), 0 });
        }

        // True when, after the piece on `from` went to the destination, no piece of the
        // opponent attacks the king.
        bool kingSafeAfter(int from) const
        {
            const Tables& t = m_tables;
            const Board& b = m_board;
            const int side = b.side();
            const int king = from == m_king ? m_to : m_king;
            const Bitboard enemies = b.colors(side ^ 1) & ~m_captured;
            if (((t.knight[king] & b.kinds(Knight)) | (t.pawn[side][king] & b.kinds(Pawn))
                    | (t.king[king] & b.kinds(King)))
                & enemies)
                return false;
            const Bitboard occupied = (b.occupied() ^ bit(from) ^ m_captured) | bit(m_to);
            return !slidersSeeing(t, t.bishopRays, king,
                       (b.kinds(Bishop) | b.kinds(Queen)) & enemies, occupied)
                && !slidersSeeing(
                    t, t.rookRays, king, (b.kinds(Rook) | b.kinds(Queen)) & enemies, occupied);
        }

        const Board& m_board;
        const Tables& m_tables;
        int m_kind;
        int m_to;
        int m_promotion;
        Mode m_mode = Direct;
        int m_king = -1;
        Bitboard m_captured = 0;
    };

    MoveRead failure(const char* what, std::string_view text, const std::string& why = {})
    {
        MoveRead result;
        result.error = std::string(what) + " move '" + quoteForMessage(text) + "'";
        if (!why.empty())
            result.error += ": " + why;
        return result;
    }

    constexpr int promotionOf(char c)
    {
        switch (c) {
        case 'N':
        case 'n':
            return 1;
        case 'B':
        case 'b':
            return 2;
        case 'R':
        case 'r':
            return 3;
        case 'Q':
        case 'q':
            return 4;
        default:
            return 0;
        }
    }

    constexpr int pieceOf(char c)
    {
        switch (c) {
        case 'P':
            return Pawn;
        case 'N':
            return Knight;
        case 'B':
            return Bishop;
        case 'R':
            return Rook;
        case 'Q':
            return Queen;
        case 'K':
            return King;
        default:
            return -1;
        }
    }

    constexpr bool isFile(char c)
    {
        return c >= 'a' && c <= 'h';
    }
    constexpr bool isRank(char c)
    {
        return c >= '1' && c <= '8';
    }

    constexpr bool isDecoration(char c)
    {
        return c == '+' || c == '#' || c == '!' || c == '?' || c == ' ' || c == '\t';
    }

    // Ends of a move token that carry no move: check and mate signs, glyphs, blanks and an
    // en-passant remark. They are dropped whatever they claim.
    std::size_t stripDecorations(const char* s, std::size_t n)
    {
        for (bool changed = true; changed && n > 0;) {
            changed = false;
            while (n > 0 && isDecoration(s[n - 1])) {
                --n;
                changed = true;
            }
            if (n >= 4 && std::memcmp(s + n - 4, "e.p.", 4) == 0) {
                n -= 4;
                changed = true;
            } else if (n >= 4 && std::memcmp(s + n - 2, "ep", 2) == 0) {
                n -= 2;
                changed = true;
            }
        }
        return n;
    }

    // The reason a move that is not legal is not: the message after "illegal move '...': ".
    std::string whyIllegal(const Board& board, Move move)
    {
        const int kind = pieceKind(board.piece(move.from));
        const bool promotes = kind == Pawn && move.to / 8 == (board.whiteToMove() ? 7 : 0);
        if (promotes && move.promotion == 0)
            return "a promotion needs a piece (=Q, =R, =B or =N)";
        if (!promotes && move.promotion != 0)
            return "only a pawn reaching the last rank promotes";
        if (isPseudoLegal(board, move))
            return "it leaves the king in check";
        return {};
    }

    // The generator's flags for a legal move of a piece of the kind.
    inline std::uint8_t flagsOf(const Board& board, int kind, Move m)
    {
        const bool captures = (board.occupied() >> m.to) & 1;
        const int step = m.to - m.from;
        int flags = captures ? FlagCapture : 0;
        if (kind == Pawn && (step == 16 || step == -16))
            flags |= FlagDoublePush;
        if (kind == Pawn && (step & 7) && !captures)
            flags |= FlagCapture | FlagEnPassant;
        if (kind == King && (step == 2 || step == -2))
            flags |= FlagCastling;
        return static_cast<std::uint8_t>(flags);
    }

} // namespace

std::string writeSan(const Board& board, Move move)
{
    const int from = move.from & 63;
    const int to = move.to & 63;
    const int kind = pieceKind(board.piece(from));
    std::string san;
    san.reserve(8);
    if (kind == King && (to - from == 2 || from - to == 2)) {
        san = to > from ? "O-O" : "O-O-O";
    } else if (kind == Pawn) {
        if ((from ^ to) & 7) {
            san += static_cast<char>('a' + from % 8);
            san += 'x';
        }
        san += squareName(to);
        if (move.promotion >= 1 && move.promotion <= 4) {
            san += '=';
            san += "NBRQ"[move.promotion - 1];
        }
    } else {
        san += "PNBRQK"[kind < 0 ? 0 : kind];
        // Other pieces of the kind that can legally go to the same square decide whether the
        // file, the rank or both are needed.
        const Tables& t = tables();
        Bitboard others = reachingFrom(t, board, kind, to, false) & ~bit(from);
        const DestinationCheck check(t, board, kind, to, 0);
        bool any = false, sameFile = false, sameRank = false;
        while (others) {
            const int sq = popLsb(others);
            if (!check.legal(sq))
                continue;
            any = true;
            sameFile |= sq % 8 == from % 8;
            sameRank |= sq / 8 == from / 8;
        }
        if (any && (!sameFile || sameRank))
            san += static_cast<char>('a' + from % 8);
        if (any && sameFile)
            san += static_cast<char>('1' + from / 8);
        if (board.piece(to) != 0)
            san += 'x';
        san += squareName(to);
    }
    Board next = board;
    next.play(move);
    if (next.inCheck()) {
        MoveList replies;
        generateLegalMoves(next, replies);
        san += replies.empty() ? '#' : '+';
    }
    return san;
}

MoveRead readSan(const Board& board, std::string_view text)
{
    // The text as it stands, or a working copy with figurines (U+2654..U+265F, either colour)
    // turned into letters.
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const char* s = text.data() + i;
    std::size_t n = text.size() - i;
    char copy[32];
    bool figurines = false;
    for (std::size_t k = 0; k < n; ++k)
        figurines |= static_cast<unsigned char>(s[k]) == 0xE2;
    if (figurines) {
        n = 0;
        for (; i < text.size(); ++i) {
            char c = text[i];
            if (static_cast<unsigned char>(c) == 0xE2 && i + 2 < text.size()
                && static_cast<unsigned char>(text[i + 1]) == 0x99) {
                const int code = static_cast<unsigned char>(text[i + 2]);
                if (code >= 0x94 && code <= 0x9F) {
                    c = "KQRBNP"[(code - 0x94) % 6];
                    i += 2;
                }
            }
            if (n == sizeof copy)
                return failure("unreadable", text);
            copy[n++] = c;
        }
        s = copy;
    } else if (n > sizeof copy) {
        return failure("unreadable", text);
    }
    n = stripDecorations(s, n);
    if (n == 0)
        return failure("unreadable", text);

    const int side = board.side();
    const int home = side == 0 ? 4 : 60;
    MoveRead result;

    // Castling: O-O, 0-0, O-O-O, 0-0-0 (letters and zeros may be mixed).
    auto isO = [](char c) { return c == 'O' || c == '0' || c == 'o'; };
    if ((n == 3 || n == 5) && isO(s[0]) && s[1] == '-' && isO(s[2])
        && (n == 3 || (s[3] == '-' && isO(s[4])))) {
        result.move.from = static_cast<std::uint8_t>(home);
        result.move.to = static_cast<std::uint8_t>(n == 3 ? home + 2 : home - 2);
        result.move.flags = FlagCastling;
        if (!isLegal(board, result.move))
            return failure("illegal", text,
                std::string(n == 3 ? "castling short" : "castling long") + " is not possible here");
        return result;
    }

    std::size_t pos = 0;
    int kind = pieceOf(s[0]);
    if (kind >= 0)
        ++pos;
    int promotion = 0;
    if (n >= pos + 3 && promotionOf(s[n - 1]) && (s[n - 2] == '=' || isRank(s[n - 2]))) {
        promotion = promotionOf(s[n - 1]);
        --n;
        if (s[n - 1] == '=')
            --n;
    }
    if (n < pos + 2 || !isFile(s[n - 2]) || !isRank(s[n - 1]))
        return failure("unreadable", text);
    const int to = 8 * (s[n - 1] - '1') + (s[n - 2] - 'a');
    n -= 2;
    if (n > pos && (s[n - 1] == 'x' || s[n - 1] == '-' || s[n - 1] == ':'))
        --n;
    int fromFile = -1, fromRank = -1;
    if (pos < n && isFile(s[pos]))
        fromFile = s[pos++] - 'a';
    if (pos < n && isRank(s[pos]))
        fromRank = s[pos++] - '1';
    if (pos != n)
        return failure("unreadable", text);

    if (kind < 0) {
        kind = Pawn;
        // A whole origin square without a piece letter: UCI or long algebraic for any piece.
        if (fromFile >= 0 && fromRank >= 0) {
            const int from = 8 * fromRank + fromFile;
            const int piece = board.piece(from);
            if (!board.colors(side) || !(board.colors(side) & bit(from)))
                return failure(
                    "illegal", text, "no piece of the side to move on " + squareName(from));
            kind = pieceKind(piece);
        }
    }
    const Tables& t = tables();
    Bitboard from
        = reachingFrom(t, board, kind, to, kind == Pawn && fromFile >= 0 && fromFile != to % 8);
    if (fromFile >= 0)
        from &= 0x0101010101010101ULL << fromFile;
    if (fromRank >= 0)
        from &= 0xFFULL << (8 * fromRank);

    int found = 0;
    std::string why;
    const DestinationCheck check(t, board, kind, to, promotion);
    for (Bitboard b = from; b;) {
        const Move m { static_cast<std::uint8_t>(popLsb(b)), static_cast<std::uint8_t>(to),
            static_cast<std::uint8_t>(promotion), 0 };
        if (check.legal(m.from)) {
            if (++found > 1)
                return failure("ambiguous", text);
            result.move = m;
        } else if (why.empty()) {
            why = whyIllegal(board, m);
        }
    }
    if (found == 1) {
        result.move.flags = flagsOf(board, kind, result.move);
        return result;
    }
    if (why.empty())
        why = std::string("no ") + kindNames[kind] + " can reach " + squareName(to);
    return failure("illegal", text, why);
}

MoveRead readUci(const Board& board, std::string_view text)
{
    const auto isSquare = [&](std::size_t at) { return isFile(text[at]) && isRank(text[at + 1]); };
    if ((text.size() != 4 && text.size() != 5) || !isSquare(0) || !isSquare(2)
        || (text.size() == 5 && !promotionOf(text[4])))
        return failure("unreadable", text);
    MoveRead result;
    Move& m = result.move;
    m.from = static_cast<std::uint8_t>(8 * (text[1] - '1') + (text[0] - 'a'));
    m.to = static_cast<std::uint8_t>(8 * (text[3] - '1') + (text[2] - 'a'));
    m.promotion = static_cast<std::uint8_t>(text.size() == 5 ? promotionOf(text[4]) : 0);
    if (isLegal(board, m)) {
        m.flags = flagsOf(board, pieceKind(board.piece(m.from)), m);
        return result;
    }
    if (!(board.colors(board.side()) & bit(m.from)))
        return failure("illegal", text, "no piece of the side to move on " + squareName(m.from));
    std::string why = whyIllegal(board, m);
    if (why.empty())
        why = std::string("the ") + kindNames[pieceKind(board.piece(m.from))] + " on "
            + squareName(m.from) + " cannot go to " + squareName(m.to);
    return failure("illegal", text, why);
}

std::string writeUci(Move move)
{
    std::string text = squareName(move.from & 63) + squareName(move.to & 63);
    if (move.promotion >= 1 && move.promotion <= 4)
        text += "nbrq"[move.promotion - 1];
    return text;
}

} // namespace pictog::game
