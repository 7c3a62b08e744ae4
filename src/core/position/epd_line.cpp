#include "epd_line.h"

#include "epd_parser.h"

#include <cstdint>
#include <cstring>

namespace pictog {

namespace {

    // FEN letter of each 4-bit code; 0 for the empty square and the codes no piece has.
    constexpr char fenLetters[16]
        = { 0, 'P', 'N', 'B', 'R', 'Q', 'K', 'p', 'n', 'b', 'r', 'q', 'k', 0, 0, 0 };

    char* writeDecimal(char* out, int value)
    {
        char digits[12];
        int count = 0;
        unsigned magnitude
            = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (value < 0)
            *out++ = '-';
        while (count > 0)
            *out++ = digits[--count];
        return out;
    }

} // namespace

std::size_t writeEPDLine(
    char* out, const TChessPosition& board, const PanelState& panel, int* badSquares)
{
    char* const start = out;
    int bad = 0;
    for (int rank = 7; rank >= 0; --rank) {
        // A rank's eight squares are two consecutive storage words, file a in the top nibble.
        // The leading zero bits of what is left give the run of empty squares before the next
        // piece, so a rank costs one step per piece rather than one per square.
        std::uint32_t squares
            = static_cast<std::uint32_t>(board.word(2 * rank)) << 16 | board.word(2 * rank + 1);
        int done = 0;
        while (squares != 0) {
            const int empty = __builtin_clz(squares) >> 2;
            if (empty > 0) {
                *out++ = static_cast<char>('0' + empty);
                squares <<= 4 * empty;
                done += empty;
            }
            if (const char letter = fenLetters[squares >> 28]) {
                *out++ = letter;
            } else {
                // A code no piece has: the placement built so far is dropped, as the window
                // reports "Error in building EPD description" for it.
                ++bad;
                out = start;
            }
            squares <<= 4;
            ++done;
        }
        if (done < 8)
            *out++ = static_cast<char>('0' + 8 - done);
        if (rank > 0)
            *out++ = '/';
    }
    *out++ = ' ';
    *out++ = panel.blackToMove() ? 'b' : 'w';
    *out++ = ' ';
    if (!panel.anyCastling()) {
        *out++ = '-';
    } else {
        if (panel.whiteShortCastling)
            *out++ = 'K';
        if (panel.whiteLongCastling)
            *out++ = 'Q';
        if (panel.blackShortCastling)
            *out++ = 'k';
        if (panel.blackLongCastling)
            *out++ = 'q';
    }
    *out++ = ' ';
    const int epSquare = epEntrySquare(panel.epField);
    if (epSquare < 0) {
        *out++ = '-';
    } else {
        *out++ = static_cast<char>('a' + fileOf(epSquare));
        *out++ = static_cast<char>('1' + rankOf(epSquare));
    }
    *out++ = ' ';
    out = writeDecimal(out, panel.halfMoveClock);
    *out++ = ' ';
    out = writeDecimal(out, panel.moveNumber);
    if (badSquares)
        *badSquares = bad;
    return static_cast<std::size_t>(out - start);
}

std::string BuildEPDLine(const TChessPosition& board, const PanelState& panel, int* badSquares)
{
    char buffer[MaxEpdLineLength];
    const std::size_t length = writeEPDLine(buffer, board, panel, badSquares);
    return std::string(buffer, length);
}

EpdParse ParseEPDLine(std::string_view text)
{
    StringByteSource source(text);
    return detail::parseEPDLine(source);
}

} // namespace pictog
