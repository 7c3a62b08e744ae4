#pragma once

#include "position/chess_position.h"

#include <cstdint>
#include <functional>

namespace pictog {

enum class MouseButton { Left, Right, Middle };

// The keys held during a mouse event, as bits.
using ShiftState = unsigned;
constexpr ShiftState ShiftKey = 1;
constexpr ShiftState AltKey = 2;
constexpr ShiftState CtrlKey = 4;

// Handler of a mouse event: the button, the keys held and the pixel relative to the board.
using BoardMouseEvent = std::function<void(MouseButton, ShiftState, int x, int y)>;

// The squares of the last drag. The application reads only from and to; marker is set to 1 and
// never read.
struct BoardMove {
    std::uint8_t from = 0;
    std::uint8_t to = 0;
    std::uint8_t promotion = 0; // piece code, 0 for none
    std::uint8_t marker = 1;
};

// The board view's state without any drawing: the position shown, the orientation, the last
// drag and the drag and slide flags. The drawing operations are empty hooks that TPictogram2D
// fills; the base class is of use on its own only to keep a position.
class TPictogram
{
public:
    TPictogram() = default;
    virtual ~TPictogram() = default;
    TPictogram(const TPictogram&) = delete;
    TPictogram& operator=(const TPictogram&) = delete;

    // The component's version text, "1.0".
    static const char* Version() { return "1.0"; }

    // True (the default) when rank 1 is at the bottom and file a at the left; false turns the
    // board by 180 degrees. Setting it repaints the whole board at once.
    bool WhiteIsAtBottom() const { return m_whiteIsAtBottom; }
    void SetWhiteIsAtBottom(bool value);

    // The piece on the square; 0 for an off-board index.
    int GetSquare(int square) const { return Position.GetPiece(square); }
    // Stores the piece on the square, then paints that square with it.
    void SetSquare(int piece, int square);

    // Fired by a press on the board before it decides whether to start a drag, and by the
    // release that ends a drag (only then).
    BoardMouseEvent OnMouseDown;
    BoardMouseEvent OnMouseUp;

    // Paints the whole board.
    virtual void Paint() { }

    // The mouse, as the window forwards it; (x, y) is relative to the board's top-left pixel and
    // may lie outside it.
    virtual void MouseDown(MouseButton button, ShiftState shift, int x, int y);
    virtual void MouseMove(ShiftState shift, int x, int y);
    virtual void MouseUp(MouseButton button, ShiftState shift, int x, int y);

    // Paints the square with the position's piece on it.
    virtual void RefreshSquare(int /*square*/) { }
    // Draws the piece with its top-left at pixel (x, y).
    virtual void DrawPiece(int /*piece*/, int /*x*/, int /*y*/) { }
    // Clamps a point to where the centre of a piece may be.
    virtual void ClampPoint(int& /*x*/, int& /*y*/) const { }
    // Empties from and stores the piece on to; remembers both as the squares of a slide.
    virtual void MovePiece(int piece, int from, int to);
    // The square under pixel (x, y); -1 here.
    virtual int SquareAt(int /*x*/, int /*y*/) const { return -1; }
    // Paints the square with the given piece, whatever the position holds there.
    virtual void DrawSquare(int /*piece*/, int /*square*/) { }
    // Moves a sliding piece one step.
    virtual void AnimationStep() { }
    // Ends a slide at once.
    virtual void FinishAnimation() { }
    // Slides the piece on the move's from square to its to square; nothing for an empty square.
    virtual void PlayMove(const BoardMove& move);
    // The squares of the last drag.
    virtual void GetLastMove(BoardMove& move) const { move = LastMove; }

protected:
    bool m_whiteIsAtBottom = true;
    BoardMove LastMove;
    TChessPosition Position;
    std::uint8_t PromotionPiece = WhiteQueen;
    bool Dragging = false;
    bool Animating = false;
    std::uint8_t MovingPiece = WhitePawn;
    std::uint8_t AnimFrom = 0;
    std::uint8_t AnimTo = 0;
};

} // namespace pictog
