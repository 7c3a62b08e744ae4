#include "diagram/pictogram.h"

namespace pictog {

void TPictogram::SetWhiteIsAtBottom(bool value)
{
    m_whiteIsAtBottom = value;
    Paint();
}

void TPictogram::SetSquare(int piece, int square)
{
    Position.SetPiece(piece, square);
    DrawSquare(piece, square);
}

void TPictogram::MouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(button, shift, x, y);
}

void TPictogram::MouseMove(ShiftState, int, int) { }

void TPictogram::MouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(button, shift, x, y);
}

void TPictogram::MovePiece(int piece, int from, int to)
{
    Position.SetPiece(Empty, from);
    Position.SetPiece(piece, to);
    AnimFrom = static_cast<std::uint8_t>(from);
    AnimTo = static_cast<std::uint8_t>(to);
}

void TPictogram::PlayMove(const BoardMove& move)
{
    const int piece = GetSquare(move.from);
    if (piece == Empty)
        return;
    FinishAnimation();
    MovePiece(piece, move.from, move.to);
}

} // namespace pictog
