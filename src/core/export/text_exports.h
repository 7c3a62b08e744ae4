#pragma once

#include "html_diagram.h"

#include <ctime>
#include <string>
#include <string_view>

namespace pictog {

// The position read aloud, for alt texts and labels: "White: king g1, queen d1, pawn a2, ...;
// Black: king e8, ...; White to move" (kings first, then queens, rooks, bishops, knights and
// pawns, each kind from a1 towards h8; "no pieces" for a side without any).
std::string DescribePosition(const BoardCodes& pieces, int moveRight);

// The forum tag of a position: "[fen]LINE[/fen]".
std::string BuildBBCode(std::string_view fenLine);

// A Markdown image of the position: "![DESCRIPTION](PICTURE)".
std::string BuildMarkdownImage(const BoardCodes& pieces, int moveRight, std::string_view picture);

// The FEN string export: the line exactly as the line field shows it, no line end.
std::string BuildFENString(std::string_view fenLine);

// The CCC FEN string export: "[D]" directly followed by the line, no line end.
std::string BuildCCCFENString(std::string_view fenLine);

// The switches of the ASCII board, from the "Diagram Layout" settings.
struct AsciiSettings {
    bool coordinates = true;
    bool showSideToMove = true;
    bool showFenLine = true;
};

// The ASCII-art board with rank 8 on top, four characters per square ("| K |" white,
// "| K*|" black), optional file letters and rank digits, then optionally the side to move (entry 0
// White, anything else Black) and the FEN line. Every line ends with CR LF.
std::string BuildASCIIBoard(const BoardCodes& pieces, int moveRight, std::string_view fenLine,
    const AsciiSettings& settings);

// The PGN header of a test position: seven tag pairs, SetUp and FEN, an empty line, "1... *" when
// moveRight is exactly 1 and "1. *" otherwise, and an empty line; every line ends with CR LF.
// dateText goes into the Date tag as given (the locale's short date).
std::string BuildPGNHeader(std::string_view fenLine, int moveRight, std::string_view dateText);

// The day of `when` in local time, in the short date form ("%x") of the user's LC_TIME as the
// environment names it (LC_ALL, LC_TIME, LANG); a locale that is not installed gives the C form
// (12/08/26). The desktop program and pictog-cli both take the PGN Date from here.
std::string ShortDate(std::time_t when);

} // namespace pictog
