#pragma once

#include "diagram/pictogram.h"
#include "diagram/piece_bitmaps.h"
#include "diagram/raster.h"
#include "settings/html_color.h"

#include <functional>
#include <string>

namespace pictog {

// The board view: an 8 × 8 board of 38-pixel squares with piece bitmaps, drawn into its own
// 304 × 304 screen raster, with dragging of a piece by the mouse, the slide of a piece from one
// square to another, and the board image as a bitmap or BMP file. A window shows screen() and
// forwards the mouse; OnScreenChanged names every rectangle of the screen that changed.
class TPictogram2D : public TPictogram
{
public:
    static constexpr int SquareSize = 38;
    static constexpr int BoardSize = 8 * SquareSize;

    // Loads the 24 piece bitmaps through lookup (the program's embedded resources by default);
    // each that fails is reported to messages, and terminationRequested() tells the application
    // to end once start-up is over. The screen starts black until the first Paint.
    explicit TPictogram2D(
        const ResourceLookup& lookup = findResource, ErrorMessages* messages = nullptr);

    // True when a piece bitmap could not be loaded: the application ends after start-up.
    bool terminationRequested() const { return m_terminationRequested; }

    // The square colours; changing them repaints nothing by itself.
    ColorValue DarkSquareColor() const { return m_darkSquareColor; }
    void SetDarkSquareColor(ColorValue color) { m_darkSquareColor = color; }
    ColorValue LightSquareColor() const { return m_lightSquareColor; }
    void SetLightSquareColor(ColorValue color) { m_lightSquareColor = color; }

    // What the board shows, 304 × 304.
    const Raster& screen() const { return m_screen; }
    // Called with each rectangle of the screen that a drawing operation changed.
    std::function<void(const Rect&)> OnScreenChanged;

    // The 38 × 38 rectangle of the square as displayed (turned by 180 degrees when white is not
    // at the bottom); an empty rectangle for an off-board index.
    Rect squareRect(int square) const;
    // The colour the square is painted in: light when file + rank is odd.
    ColorValue squareColor(int square) const;

    // Copies the screen into BoardBuffer and returns it. It stays the board's own and is
    // overwritten by the next drag, slide or copy.
    const Raster& CopyDiagramToBitmap();
    // Copies the screen into BoardBuffer and writes it as a BMP file of that name; returns the
    // file library's error text, empty on success.
    std::string SaveDiagramToFile(const std::string& fileName);

    void Paint() override;
    void MouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void MouseMove(ShiftState shift, int x, int y) override;
    void MouseUp(MouseButton button, ShiftState shift, int x, int y) override;

    void RefreshSquare(int square) override { DrawSquare(GetSquare(square), square); }
    void DrawPiece(int piece, int x, int y) override;
    // Clamps x and y each to 19..285, so a piece centred there stays on the board.
    void ClampPoint(int& x, int& y) const override;
    // Changes the position, then starts the slide; the screen changes with the first step.
    void MovePiece(int piece, int from, int to) override;
    // The square under the pixel; a point outside the board gives the nearest edge square.
    int SquareAt(int x, int y) const override;
    void DrawSquare(int piece, int square) override;
    // One step of the slide: 5 pixels while the piece is more than 6 pixels from both its start
    // and its target, else 4, on each axis no further than the target.
    void AnimationStep() override;
    // Draws the sliding piece on its target square and ends the slide.
    void FinishAnimation() override;

protected:
    int PieceX = 0;
    int PieceY = 0;
    int TargetX = 0;
    int TargetY = 0;
    int StartX = 0;
    int StartY = 0;
    PieceBitmapSet PieceBitmaps;
    Raster BoardBuffer;
    Raster UnderPiece;

private:
    void drawPieceOn(Raster& target, int piece, int x, int y) const;
    // Moves the floating piece's top-left to (x, y): the drag and slide step.
    void floatPieceTo(int x, int y);
    void copyToScreen(const Raster& source, const Rect& rect);
    void changed(const Rect& rect);

    ColorValue m_darkSquareColor = colorValue(0, 128, 128);
    ColorValue m_lightSquareColor = colorValue(255, 255, 255);
    Raster m_screen;
    bool m_terminationRequested = false;
    // While painting the whole board, changes gather here and are reported once.
    int m_collecting = 0;
    Rect m_collected;
};

} // namespace pictog
