#include "panel_state.h"

#include <algorithm>

namespace pictog {

PanelState PanelState::unselected()
{
    PanelState state;
    state.moveRight = -1;
    state.epField = -1;
    return state;
}

void PanelState::setHalfMoveClock(int value)
{
    halfMoveClock = std::clamp(value, HalfMoveMin, HalfMoveMax);
}

void PanelState::setMoveNumber(int value)
{
    moveNumber = std::clamp(value, MoveNumberMin, MoveNumberMax);
}

bool operator==(const PanelState& a, const PanelState& b)
{
    return a.moveRight == b.moveRight && a.whiteShortCastling == b.whiteShortCastling
        && a.whiteLongCastling == b.whiteLongCastling
        && a.blackShortCastling == b.blackShortCastling
        && a.blackLongCastling == b.blackLongCastling && a.epField == b.epField
        && a.halfMoveClock == b.halfMoveClock && a.moveNumber == b.moveNumber;
}

const char* epEntryText(int entry)
{
    static const char* const texts[EpEntryCount] = { "ep field", "a3", "a6", "b3", "b6", "c3", "c6",
        "d3", "d6", "e3", "e6", "f3", "f6", "g3", "g6", "h3", "h6" };
    return entry >= 0 && entry < EpEntryCount ? texts[entry] : nullptr;
}

} // namespace pictog
