#include "piece_list.h"

namespace pictog {

namespace {

    std::string_view trimmed(std::string_view text)
    {
        while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
            text.remove_prefix(1);
        while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
            text.remove_suffix(1);
        return text;
    }

    // The white piece code of a letter in the current letter set, or 0 when it is no piece
    // letter. The German letters D, T, L and S mark a German list.
    int whiteCodeOf(char letter, bool german)
    {
        switch (letter) {
        case 'K':
            return WhiteKing;
        case 'Q':
        case 'D':
            return WhiteQueen;
        case 'R':
        case 'T':
            return WhiteRook;
        case 'L':
            return WhiteBishop;
        case 'N':
        case 'S':
            return WhiteKnight;
        case 'P':
            return WhitePawn;
        case 'B':
            return german ? WhitePawn : WhiteBishop;
        default:
            return 0;
        }
    }

    bool isGermanLetter(char letter)
    {
        return letter == 'D' || letter == 'T' || letter == 'L' || letter == 'S';
    }

} // namespace

PieceListOutcome ReadPieceList(std::string_view text, PieceColor color)
{
    PieceListOutcome outcome;
    text = trimmed(text);
    if (text.size() < 4)
        return outcome;

    const bool white = color == PieceColor::White;
    auto fail = [&outcome](const char* message) {
        outcome.status = PieceListOutcome::Status::Failed;
        outcome.message = message;
        return outcome;
    };
    const char colorLetter = text[0];
    bool german;
    if (white && (colorLetter == 'w' || colorLetter == 'W'))
        german = colorLetter == 'W';
    else if (!white && (colorLetter == 'b' || colorLetter == 's'))
        german = colorLetter == 's';
    else
        return fail(white ? "no white piece position string" : "no black piece position string");

    int piece = Empty;
    std::size_t p = 1;
    while (p + 1 < text.size()) {
        if (const int code = whiteCodeOf(text[p], german)) {
            // Only the white list switches to German letters on the way; the black list keeps
            // the set its first character chose.
            if (white && isGermanLetter(text[p]))
                german = true;
            piece = white ? code : code + 6;
            ++p;
        }
        if (text.size() - p < 2)
            return fail(white ? "error in white piece position string"
                              : "error in black piece position string");
        const char fileLetter = text[p];
        if (fileLetter < 'a' || fileLetter > 'h')
            return fail("letter a-h expected");
        ++p;
        const char rankDigit = text[p];
        if (rankDigit < '1' || rankDigit > '8')
            return fail("digit 1-8 expected");
        outcome.placements.push_back({ piece, squareIndex(fileLetter - 'a', rankDigit - '1') });
        ++p;
    }
    outcome.status = PieceListOutcome::Status::Completed;
    return outcome;
}

void applyPlacements(TChessPosition& board, const std::vector<Placement>& placements)
{
    for (const Placement& placement : placements)
        board.SetPiece(placement.piece, placement.square);
}

} // namespace pictog
