#include "validation.h"

#include <array>

namespace pictog {

namespace {

    struct CountCheck {
        int piece;
        int limit;
        const char* message;
    };

    // Checks 4..14: too many of one piece kind, in the order they are reported.
    constexpr CountCheck countChecks[] = {
        { BlackKing, 1, "Too many black kings on the board" },
        { WhiteQueen, 9, "Too many white queens on the board" },
        { BlackQueen, 9, "Too many black queens on the board" },
        { WhiteRook, 10, "Too many white rooks on the board" },
        { BlackRook, 10, "Too many black rooks on the board" },
        { WhiteBishop, 10, "Too many white bishops on the board" },
        { BlackBishop, 10, "Too many black bishops on the board" },
        { WhiteKnight, 10, "Too many white knights on the board" },
        { BlackKnight, 10, "Too many black knights on the board" },
        { WhitePawn, 8, "Too many white pawns on the board" },
        { BlackPawn, 8, "Too many black pawns on the board" },
    };

} // namespace

ValidationResult ValidatePosition(const TChessPosition& board, const PanelState& panel)
{
    ValidationResult result;
    result.panel = panel;
    auto fail = [&result](const char* message) {
        result.valid = false;
        result.message = message;
        return result;
    };

    std::array<int, 16> count {};
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file)
            ++count[static_cast<std::size_t>(board.GetPiece(squareIndex(file, rank)))];
    auto countOf = [&count](int piece) { return count[static_cast<std::size_t>(piece)]; };

    // The king checks interleave: missing white, too many white, missing black, too many black.
    if (countOf(WhiteKing) == 0)
        return fail("No white king on the board");
    if (countOf(WhiteKing) > 1)
        return fail("Too many white kings on the board");
    if (countOf(BlackKing) == 0)
        return fail("No black king on the board");
    for (const CountCheck& check : countChecks)
        if (countOf(check.piece) > check.limit)
            return fail(check.message);

    int whiteMen = 0;
    int blackMen = 0;
    for (int piece = WhitePawn; piece <= WhiteKing; ++piece) {
        whiteMen += countOf(piece);
        blackMen += countOf(piece + 6);
    }
    if (whiteMen > 16)
        return fail("Too many white pieces on the board");
    if (blackMen > 16)
        return fail("Too many black pieces on the board");

    PanelState& p = result.panel;
    auto at = [&board](int file, int rank) { return board.GetPiece(squareIndex(file, rank)); };
    if ((p.whiteShortCastling || p.whiteLongCastling)
        && (at(4, 0) != WhiteKing || countOf(WhiteRook) == 0)) {
        p.whiteShortCastling = p.whiteLongCastling = false;
        return fail("No white castling allowed");
    }
    if ((p.blackShortCastling || p.blackLongCastling)
        && (at(4, 7) != BlackKing || countOf(BlackRook) == 0)) {
        p.blackShortCastling = p.blackLongCastling = false;
        return fail("No black castling allowed");
    }
    if (p.whiteShortCastling && at(7, 0) != WhiteRook) {
        p.whiteShortCastling = false;
        return fail("No white short castling allowed");
    }
    if (p.whiteLongCastling && at(0, 0) != WhiteRook) {
        p.whiteLongCastling = false;
        return fail("No white long castling allowed");
    }
    if (p.blackShortCastling && at(7, 7) != BlackRook) {
        p.blackShortCastling = false;
        return fail("No black short castling allowed");
    }
    if (p.blackLongCastling && at(0, 7) != BlackRook) {
        p.blackLongCastling = false;
        return fail("No black long castling allowed");
    }

    for (int file = 0; file < 8; ++file) {
        if (at(file, 7) == WhitePawn)
            return fail("No white pawn(s) allowed at 8th rank");
        if (at(file, 7) == BlackPawn)
            return fail("No black pawn(s) allowed at 8th rank");
    }
    for (int file = 0; file < 8; ++file) {
        if (at(file, 0) == BlackPawn)
            return fail("No black pawn(s) allowed at 1st rank");
        if (at(file, 0) == WhitePawn)
            return fail("No white pawn(s) allowed at 1st rank");
    }

    const int epSquare = epEntrySquare(p.epField);
    if (epSquare >= 0) {
        // Black to move: a third-rank square with a white pawn in front of it; otherwise a
        // sixth-rank square with a black pawn below it.
        const bool fits = p.blackToMove()
            ? (rankOf(epSquare) == 2 && board.GetPiece(epSquare + 10) == WhitePawn)
            : (rankOf(epSquare) == 5 && board.GetPiece(epSquare - 10) == BlackPawn);
        if (!fits) {
            p.epField = 0;
            return fail("ep field invalid");
        }
    }
    return result;
}

} // namespace pictog
