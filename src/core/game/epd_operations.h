#pragma once

#include "diagram/annotations.h"
#include "game/board.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pictog::game {

// One operand of an EPD operation; quoted ones were written in double quotes.
struct EpdOperand {
    std::string text;
    bool quoted = false;
};

// An EPD operation such as `id "WAC.001";` or `bm Qg6 Rxg7;`.
struct EpdOperation {
    std::string opcode;
    std::vector<EpdOperand> operands;
};

// Reads operations ("id \"x\"; bm e4 d4;") after a position: an opcode is a letter followed by
// letters, digits or '_'; operands are blank-separated words or quoted strings (a backslash
// escapes '"' and itself); each operation ends with ';' (the last one may end with the text
// instead). A
// "[%...]" command between operations goes to annotations when given ([%cal]/[%csl], read by
// parseAnnotationComment) and is dropped otherwise. Appends to operations; returns the message
// for the first fault ("bad operation 'ITEM'", "unclosed string in operation 'id'").
std::optional<std::string> parseEpdOperations(
    std::string_view text, std::vector<EpdOperation>& operations, Annotations* annotations);

// Appends the text in double quotes, with '"' and '\' escaped by a backslash.
void appendQuoted(std::string& out, std::string_view text);
// Appends the operations as they are read back: `id "x"; bm e4 d4;`, separated by one space.
void appendOperations(std::string& out, const std::vector<EpdOperation>& operations);
// The first operation with that opcode, or null.
const EpdOperation* findOperation(
    const std::vector<EpdOperation>& operations, std::string_view opcode);

// The moves of a record's solution as written: its principal variation (pv), or else its best
// moves (bm); empty when it has neither.
std::vector<std::string> solutionMoves(const std::vector<EpdOperation>& operations);

// The first operand of the first operation with that opcode (`id "x";` gives x), or null.
const std::string* firstOperand(
    const std::vector<EpdOperation>& operations, std::string_view opcode);

// A record line as `positions` writes and every line command reads it: a FEN/EPD line, and after
// a TAB the operations and the [%cal]/[%csl] commands of the position.
struct RecordLine {
    std::string_view position; // the text before the TAB (the whole line when there is none)
    std::vector<EpdOperation> operations;
    Annotations annotations;
};

// True for the first character of a record line's text after its TAB: a letter (an operation),
// '[' (an arrow or mark command) or '{' (a comment around such commands).
constexpr bool startsRecordTail(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '[' || c == '{';
}

// The part of a line that holds the position: the text before the first TAB that is directly
// followed by a character that starts a record's tail (see above). Other TABs are left in
// place, so a line that has always been read (blanks between the counters) reads as before.
std::string_view recordPosition(std::string_view line);

// Splits a record line into record (cleared first): the position text as recordPosition gives
// it, the operations after the TAB and the arrows and marks. The message of the first fault in
// the operations, with record.position still set.
std::optional<std::string> splitRecordLine(std::string_view line, RecordLine& record);

// A FEN or EPD line with operations, read for `positions`: the position, with hmvc/fmvn taken
// into its counters (and removed from the operations), and bm/am/pv checked as moves of the
// position and written as standard SAN.
struct EpdRecord {
    Board board;
    std::vector<EpdOperation> operations;
    Annotations annotations; // with readEpdLine's annotations: the [%cal]/[%csl] commands
};

// Reads "PLACEMENT SIDE CASTLING EP [HALFMOVE FULLMOVE] [OPERATIONS]" (operations after a blank
// or a TAB). The message names what is wrong: the parser's message for the position, or the
// operation and the move ("bm: illegal move 'Nf6': no knight can reach f6"). annotations: the
// [%cal]/[%csl] commands go to record.annotations, and a bad one is a fault; otherwise they are
// dropped unread.
std::optional<std::string> readEpdLine(
    std::string_view line, EpdRecord& record, bool annotations = false);

} // namespace pictog::game
