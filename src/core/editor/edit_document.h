#pragma once

#include "diagram/annotations.h"
#include "diagram/pictogram.h"
#include "export/html_diagram.h"
#include "position/chess_position.h"
#include "position/epd_line.h"
#include "position/panel_state.h"
#include "position/piece_list.h"
#include "position/transformation.h"

#include <optional>
#include <string>
#include <string_view>

namespace pictog {

// The four castling boxes of the side panel.
enum class Castling { WhiteShort, WhiteLong, BlackShort, BlackLong };

// What the user edits: the position, the side panel (with the texts typed over its two lists),
// the captions, the annotations and the line shown under the board. A window shows one and turns
// the user's actions into its operations, which carry every rule of editing; a copy is an undo
// step. Unless an operation says otherwise it ends by rebuilding the line from board and panel.
struct EditDocument {
    TChessPosition board = emptyPosition();
    PanelState panel;
    // The text typed over the side-to-move and the en-passant list. It counts only while the
    // list's entry in panel is -1; choosing an entry empties it.
    std::string moveRightText;
    std::string epFieldText;
    Captions captions;
    Annotations annotations;
    // The FEN/EPD line shown; "" only when the history stored an empty line.
    std::string line = std::string(EmptyBoardLine);

    // Clear Board: empty board, panel defaults, no captions, no annotations.
    void clear();
    // Reads a line as Paste and start-up do: clears, then takes what the parser read. On a
    // rejection the parser's message is returned and the board and panel keep what was read
    // before the error; the line then shows the board and panel as they stood after the last
    // castling right or counter that was read, or the empty board when there was none.
    std::optional<std::string> readLine(std::string_view text);
    // Paste: readLine, and on a rejection the cleared document; returns the parser's message.
    std::optional<std::string> paste(std::string_view text);
    // Init. Position: readLine of the initial position.
    void initialPosition();
    // Start-up from the stored history: the line (read unless empty, which is shown as it is),
    // the captions, then the counters (clamped; each that differs from what the line gave
    // rebuilds the line). Returns the parser's message for a rejected line, whose board and panel
    // are then shown in the line. Taken by value: they may be this document's own.
    std::optional<std::string> resume(
        std::string storedLine, Captions storedCaptions, int moveNumber, int halfMoveClock);

    // The side panel as the user changes it. An entry of -1 keeps typed as the list's text;
    // counters are taken as given (the spin boxes clamp them when they lose the focus).
    void setMoveRight(int entry, const std::string& typed = {});
    void setEpField(int entry, const std::string& typed = {});
    void setCastling(Castling right, bool allowed);
    void setHalfMoveClock(int value);
    void setMoveNumber(int value);

    // Checks the set-up; returns the message of the first failing check, after correcting the
    // castling rights and the en-passant entry where it says so (the line is rebuilt only then).
    std::optional<std::string> validate();
    // Moves the pieces as the transformation says; everything else is cleared.
    void transform(Transformation transformation);

    // Puts the piece code 1..12 on the square, or empties it for 0; any other code or square
    // changes nothing (and rebuilds nothing).
    void placePiece(int square, int piece);
    // A press on the board: Shift empties the square; with a palette piece selected (its white
    // code, else 0) the left button places it and the right button its black twin; without one
    // the right button empties the square. False for a press that only starts a drag.
    bool press(int square, int selectedPiece, MouseButton button, ShiftState shift);
    // The end of a drag: the piece moves unless the target holds a piece of its own colour
    // (while placing from the palette it always moves). A pawn keeps its kind on the last rank:
    // the move's promotion piece is not applied. Rebuilds the line either way; true when the
    // piece moved.
    bool drop(const BoardMove& move, bool placing);
    // A piece list of one colour ("wKe1Qd1Pa2"): its squares are set as far as it could be read
    // and its message returned. The line is rebuilt only for a list read to its end; a text of
    // fewer than four characters does nothing.
    std::optional<std::string> readPieceList(std::string_view text, PieceColor color);

    // Adds or removes an arrow (from != to) or a mark (from == to); the line stays.
    void toggleAnnotation(int from, int to, AnnotationColor color);

    // The line from board and panel.
    void rebuildLine();

    friend bool operator==(const EditDocument& a, const EditDocument& b);
    friend bool operator!=(const EditDocument& a, const EditDocument& b) { return !(a == b); }
};

// How the undo history groups typing: the number (1..4) of the one caption that is all that
// differs between before and after, so that typing in one field is one step; 0 otherwise.
int captionMergeKey(const EditDocument& before, const EditDocument& after);

} // namespace pictog
