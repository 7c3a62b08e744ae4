#include "text_exports.h"

#include "settings/pictog_params.h"

#include <locale.h>
#include <time.h>

namespace pictog {

namespace {

    constexpr std::string_view LetterLine = "      a   b   c   d   e   f   g   h\r\n";
    constexpr std::string_view SeparatorLine = "    +---+---+---+---+---+---+---+---+";

    // The four characters of one square: blank, letter, blank or asterisk for black, bar.
    void appendCell(std::string& out, int code)
    {
        static constexpr char letters[] = "PNBRQK";
        if (code >= 1 && code <= 12) {
            out += ' ';
            out += letters[pieceKind(code)];
            out += isBlackPiece(code) ? '*' : ' ';
            out += '|';
        } else {
            out += "   |";
        }
    }

} // namespace

std::string BuildFENString(std::string_view fenLine)
{
    return std::string(fenLine);
}

std::string BuildCCCFENString(std::string_view fenLine)
{
    std::string text = "[D]";
    text += fenLine;
    return text;
}

std::string BuildASCIIBoard(const BoardCodes& pieces, int moveRight, std::string_view fenLine,
    const AsciiSettings& settings)
{
    std::string out;
    out.reserve(1024 + fenLine.size());
    if (settings.coordinates)
        out += LetterLine;
    out += SeparatorLine;
    out += "\r\n";
    for (int rank = 7; rank >= 0; --rank) {
        const char digit = static_cast<char>('1' + rank);
        if (settings.coordinates) {
            out += "  ";
            out += digit;
            out += " |";
        } else {
            out += "    |";
        }
        for (int file = 0; file < 8; ++file)
            appendCell(out, pieces[static_cast<std::size_t>(8 * rank + file)]);
        if (settings.coordinates) {
            out += ' ';
            out += digit;
            out += "  ";
        } else {
            out += "    ";
        }
        out += "\r\n";
        out += SeparatorLine;
        out += "\r\n";
    }
    if (settings.coordinates)
        out += LetterLine;
    if (settings.showSideToMove)
        out += moveRight == 0 ? "\r\n    White to move\r\n" : "\r\n    Black to move\r\n";
    if (settings.showFenLine) {
        out += "\r\nFEN: ";
        out += fenLine;
        out += "\r\n";
    }
    return out;
}

std::string BuildPGNHeader(std::string_view fenLine, int moveRight, std::string_view dateText)
{
    std::string out;
    out.reserve(256 + fenLine.size() + dateText.size());
    out += "[Event \"Test Position\"]\r\n";
    out += "[Site \"";
    out += ApplicationTitle;
    out += "\"]\r\n";
    out += "[Date \"";
    out += dateText;
    out += "\"]\r\n";
    out += "[Round \"1\"]\r\n";
    out += "[White \"White\"]\r\n";
    out += "[Black \"Black\"]\r\n";
    out += "[Result \"*\"]\r\n";
    out += "[SetUp \"1\"]\r\n";
    out += "[FEN \"";
    out += fenLine;
    out += "\"]\r\n";
    out += "\r\n";
    // The move text never carries a move, only the first move number and the open result.
    out += moveRight == 1 ? "1... *\r\n" : "1. *\r\n";
    out += "\r\n";
    return out;
}

std::string ShortDate(std::time_t when)
{
    std::tm local {};
    localtime_r(&when, &local);
    // A locale object of its own, so the process's global locale is never touched (the window
    // and the worker threads of pictog-cli keep theirs); newlocale reads the environment as
    // setlocale(LC_TIME, "") would.
    locale_t timeLocale = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (!timeLocale)
        timeLocale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    char text[128];
    std::size_t length = 0;
    if (timeLocale) {
        length = strftime_l(text, sizeof text, "%x", &local, timeLocale);
        freelocale(timeLocale);
    } else {
        length = std::strftime(text, sizeof text, "%x", &local);
    }
    return std::string(text, length);
}

std::string DescribePosition(const BoardCodes& pieces, int moveRight)
{
    static const char* const Names[] = { "pawn", "knight", "bishop", "rook", "queen", "king" };
    std::string out;
    for (int side = 0; side < 2; ++side) {
        out += side == 0 ? "White:" : "; Black:";
        bool any = false;
        for (int kind = 5; kind >= 0; --kind) {
            const int code = 1 + kind + 6 * side;
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                if (pieces[i] != code)
                    continue;
                out += any ? ", " : " ";
                out += Names[kind];
                out += ' ';
                out += static_cast<char>('a' + i % 8);
                out += static_cast<char>('1' + i / 8);
                any = true;
            }
        }
        if (!any)
            out += " no pieces";
    }
    out += moveRight == 1 ? "; Black to move" : "; White to move";
    return out;
}

std::string BuildBBCode(std::string_view fenLine)
{
    return "[fen]" + std::string(fenLine) + "[/fen]";
}

std::string BuildMarkdownImage(const BoardCodes& pieces, int moveRight, std::string_view picture)
{
    return "![" + DescribePosition(pieces, moveRight) + "](" + std::string(picture) + ")";
}

} // namespace pictog
