#pragma once

#include "chess_position.h"
#include "panel_state.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pictog {

// The built line of the empty board, and the initial position as the Init. Position button
// hands it to the parser (four fields; the built form appends " 0 1").
inline constexpr std::string_view EmptyBoardLine = "8/8/8/8/8/8/8/8 w - - 0 1";
inline constexpr std::string_view InitialPositionLine
    = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

inline constexpr std::string_view MsgBuildError = "Error in building EPD description";
inline constexpr std::string_view MsgRankError = "Error in EPD rank description";
inline constexpr std::string_view MsgInvalidCharSuffix
    = " - Invalid character in EPD position description";
inline constexpr std::string_view MsgPositionError = "Error in EPD position description";
inline constexpr std::string_view MsgMoveRightError = "Error in EPD move right description";
inline constexpr std::string_view MsgEpFieldError = "Error in EPD ep field description";

// Longest line BuildEPDLine can write: a 71-character placement, the four short fields and two
// counters of up to 11 characters each.
constexpr std::size_t MaxEpdLineLength = 71 + 2 + 5 + 3 + 12 + 12;

// Writes the six-field line of the board and panel into out, which must hold MaxEpdLineLength
// bytes, and returns its length. badSquares, when given, receives the number of squares holding
// a code outside 0..12: each drops the placement text built so far ("Error in building EPD
// description"), and building goes on with the next square.
std::size_t writeEPDLine(
    char* out, const TChessPosition& board, const PanelState& panel, int* badSquares = nullptr);

// The six-field line of the board and panel, as writeEPDLine writes it.
std::string BuildEPDLine(
    const TChessPosition& board, const PanelState& panel, int* badSquares = nullptr);

// What parsing a line leaves behind. After a rejection the board holds the squares read before
// the error and the panel its defaults plus what the steps before the error set, exactly as the
// window shows them; message is the text the user is shown. After acceptance message is empty.
struct EpdParse {
    bool accepted = false;
    std::string message;
    TChessPosition board = emptyPosition();
    PanelState panel;
};

// Parses a FEN/EPD line the way Paste does: the placement alone or followed by up to five
// fields, each separated by exactly one space. Never reads past the end of the text.
EpdParse ParseEPDLine(std::string_view text);

// A byte source over a string, for the parser template in epd_parser.h.
struct StringByteSource {
    const unsigned char* pos;
    const unsigned char* end;

    explicit StringByteSource(std::string_view text)
        : pos(reinterpret_cast<const unsigned char*>(text.data()))
        , end(pos + text.size())
    {
    }
    // The next byte 0..255, or -1 at the end of the text.
    int next() { return pos < end ? *pos++ : -1; }
};

} // namespace pictog
