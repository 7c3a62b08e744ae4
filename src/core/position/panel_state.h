#pragma once

namespace pictog {

// The game state that the board does not hold: the side panel beside the board is its only copy.
struct PanelState {
    static constexpr int HalfMoveMin = 0;
    static constexpr int HalfMoveMax = 100;
    static constexpr int MoveNumberMin = 1;
    static constexpr int MoveNumberMax = 999;

    // Side-to-move list entry: -1 nothing selected (text typed or the start-up text), 0 White,
    // 1 Black. Anything but 1 builds as "w".
    int moveRight = 0;
    bool whiteShortCastling = false;
    bool whiteLongCastling = false;
    bool blackShortCastling = false;
    bool blackLongCastling = false;
    // En-passant list entry: -1 nothing selected, 0 "ep field" (none), 1..16 the squares
    // a3, a6, b3, b6, ..., h3, h6. Anything outside 1..16 builds as "-".
    int epField = 0;
    // Counter values as the spin boxes yield them: a value the user typed may stand outside the
    // range until the box loses the focus; values the program sets go through the setters.
    int halfMoveClock = 0;
    int moveNumber = 1;

    // The state before start-up clears the position: both lists without a selection.
    static PanelState unselected();

    // Program-set counters, clamped into the spin boxes' ranges.
    void setHalfMoveClock(int value);
    void setMoveNumber(int value);

    bool blackToMove() const { return moveRight == 1; }
    bool anyCastling() const
    {
        return whiteShortCastling || whiteLongCastling || blackShortCastling || blackLongCastling;
    }

    friend bool operator==(const PanelState& a, const PanelState& b);
    friend bool operator!=(const PanelState& a, const PanelState& b) { return !(a == b); }
};

constexpr int EpEntryCount = 17;

// The square index of en-passant entry 1..16 (a3 = 20, a6 = 50, ...); -1 for any other entry.
constexpr int epEntrySquare(int entry)
{
    if (entry < 1 || entry > 16)
        return -1;
    const int file = (entry - 1) / 2;
    return (entry % 2 == 1) ? 20 + file : 50 + file;
}

// The en-passant entry 1..16 for a square name's file letter and rank digit; 0 when the pair
// is not one of the sixteen squares.
constexpr int epEntryFor(char file, char rank)
{
    if (file < 'a' || file > 'h')
        return 0;
    const int base = 1 + 2 * (file - 'a');
    return rank == '3' ? base : rank == '6' ? base + 1 : 0;
}

// The text of en-passant entry 0..16 ("ep field", "a3", "a6", ...); nullptr outside that range.
const char* epEntryText(int entry);

} // namespace pictog
