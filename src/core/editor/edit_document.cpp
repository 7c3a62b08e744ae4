#include "editor/edit_document.h"

#include "position/validation.h"

#include <utility>

namespace pictog {

namespace {

    // The panel's flag of a castling right (const or not, as the panel is).
    template <class Panel> auto& castlingFlag(Panel& panel, Castling right)
    {
        switch (right) {
        case Castling::WhiteLong:
            return panel.whiteLongCastling;
        case Castling::BlackShort:
            return panel.blackShortCastling;
        case Castling::BlackLong:
            return panel.blackLongCastling;
        case Castling::WhiteShort:
            break;
        }
        return panel.whiteShortCastling;
    }

    constexpr Castling AllCastling[]
        = { Castling::WhiteShort, Castling::WhiteLong, Castling::BlackShort, Castling::BlackLong };

    bool sameCaptions(const Captions& a, const Captions& b)
    {
        return a.header1 == b.header1 && a.header2 == b.header2 && a.footer1 == b.footer1
            && a.footer2 == b.footer2;
    }

} // namespace

void EditDocument::clear()
{
    *this = EditDocument();
}

void EditDocument::rebuildLine()
{
    line = BuildEPDLine(board, panel);
}

std::optional<std::string> EditDocument::readLine(std::string_view text)
{
    // Parsed first: the text may be this document's own line.
    const EpdParse parsed = ParseEPDLine(text);
    clear();
    board = parsed.board;
    panel.moveRight = parsed.panel.moveRight;
    // The window used to hand the result to its panel in reading order, and only the castling
    // boxes and the counters rebuilt the line on the way: after a rejection the line is the one
    // built at the last of those that changed.
    bool castlingChanged = false;
    for (const Castling right : AllCastling) {
        bool& flag = castlingFlag(panel, right);
        const bool read = castlingFlag(parsed.panel, right);
        castlingChanged = castlingChanged || flag != read;
        flag = read;
    }
    if (castlingChanged)
        rebuildLine();
    panel.epField = parsed.panel.epField;
    const PanelState before = panel;
    panel.setHalfMoveClock(parsed.panel.halfMoveClock);
    panel.setMoveNumber(parsed.panel.moveNumber);
    if (panel.halfMoveClock != before.halfMoveClock || panel.moveNumber != before.moveNumber)
        rebuildLine();
    if (!parsed.accepted)
        return parsed.message;
    rebuildLine();
    return std::nullopt;
}

std::optional<std::string> EditDocument::paste(std::string_view text)
{
    std::optional<std::string> message = readLine(text);
    if (message)
        clear();
    return message;
}

void EditDocument::initialPosition()
{
    readLine(InitialPositionLine);
}

std::optional<std::string> EditDocument::resume(
    std::string storedLine, Captions storedCaptions, int moveNumber, int halfMoveClock)
{
    clear();
    line = std::move(storedLine);
    std::optional<std::string> message;
    if (!line.empty())
        message = readLine(line);
    captions = std::move(storedCaptions);
    // The counters come back one after the other, each rebuilding the line when it changes.
    const int moveBefore = panel.moveNumber;
    panel.setMoveNumber(moveNumber);
    if (panel.moveNumber != moveBefore)
        rebuildLine();
    const int halfBefore = panel.halfMoveClock;
    panel.setHalfMoveClock(halfMoveClock);
    if (panel.halfMoveClock != halfBefore)
        rebuildLine();
    // After a rejection the line shows what was read, so line, board and history agree.
    if (message)
        rebuildLine();
    return message;
}

void EditDocument::setMoveRight(int entry, const std::string& typed)
{
    panel.moveRight = entry;
    moveRightText = entry < 0 ? typed : std::string();
    rebuildLine();
}

void EditDocument::setEpField(int entry, const std::string& typed)
{
    panel.epField = entry;
    epFieldText = entry < 0 ? typed : std::string();
    rebuildLine();
}

void EditDocument::setCastling(Castling right, bool allowed)
{
    castlingFlag(panel, right) = allowed;
    rebuildLine();
}

void EditDocument::setHalfMoveClock(int value)
{
    panel.halfMoveClock = value;
    rebuildLine();
}

void EditDocument::setMoveNumber(int value)
{
    panel.moveNumber = value;
    rebuildLine();
}

std::optional<std::string> EditDocument::validate()
{
    const ValidationResult result = ValidatePosition(board, panel);
    if (result.valid)
        return std::nullopt;
    if (result.panel != panel) {
        for (const Castling right : AllCastling)
            castlingFlag(panel, right) = castlingFlag(result.panel, right);
        if (result.panel.epField != panel.epField) {
            panel.epField = result.panel.epField;
            epFieldText.clear();
        }
        rebuildLine();
    }
    return result.message;
}

void EditDocument::transform(Transformation transformation)
{
    const TChessPosition target = TransformBoard(board, transformation);
    clear();
    board = target;
    rebuildLine();
}

void EditDocument::placePiece(int square, int piece)
{
    if (!isOnBoard(square) || piece < Empty || piece > BlackKing)
        return;
    board.SetPiece(piece, square);
    rebuildLine();
}

bool EditDocument::press(int square, int selectedPiece, MouseButton button, ShiftState shift)
{
    int piece = -1;
    if ((selectedPiece == 0 && button == MouseButton::Right) || (shift & ShiftKey))
        piece = Empty;
    else if (selectedPiece != 0)
        piece = button == MouseButton::Right ? selectedPiece + 6 : selectedPiece;
    if (piece < 0)
        return false;
    placePiece(square, piece);
    return true;
}

bool EditDocument::drop(const BoardMove& move, bool placing)
{
    const int moving = board.GetPiece(move.from);
    const int target = board.GetPiece(move.to);
    bool lands;
    if (placing || target == Empty)
        lands = true;
    else if (isWhitePiece(target))
        lands = !isWhitePiece(moving);
    else
        lands = !isBlackPiece(moving);
    if (lands) {
        board.SetPiece(Empty, move.from);
        board.SetPiece(moving, move.to);
    }
    rebuildLine();
    return lands;
}

std::optional<std::string> EditDocument::readPieceList(std::string_view text, PieceColor color)
{
    const PieceListOutcome outcome = ReadPieceList(text, color);
    for (const Placement& placement : outcome.placements)
        board.SetPiece(placement.piece, placement.square);
    if (outcome.status == PieceListOutcome::Status::Failed)
        return outcome.message;
    if (outcome.status == PieceListOutcome::Status::Completed)
        rebuildLine();
    return std::nullopt;
}

void EditDocument::toggleAnnotation(int from, int to, AnnotationColor color)
{
    if (from == to)
        toggleSquare(annotations, { from, color });
    else
        toggleArrow(annotations, { from, to, color });
}

bool operator==(const EditDocument& a, const EditDocument& b)
{
    return a.board == b.board && a.panel == b.panel && a.moveRightText == b.moveRightText
        && a.epFieldText == b.epFieldText && sameCaptions(a.captions, b.captions)
        && a.annotations == b.annotations && a.line == b.line;
}

int captionMergeKey(const EditDocument& before, const EditDocument& after)
{
    const std::string Captions::*fields[]
        = { &Captions::header1, &Captions::header2, &Captions::footer1, &Captions::footer2 };
    int changed = 0;
    for (int i = 0; i < 4; ++i) {
        if (before.captions.*fields[i] != after.captions.*fields[i]) {
            if (changed != 0)
                return 0;
            changed = i + 1;
        }
    }
    if (changed == 0)
        return 0;
    EditDocument same = after;
    same.captions = before.captions;
    return same == before ? changed : 0;
}

} // namespace pictog
