#include "diagram/pictogram_2d.h"

#include "diagram/bmp_codec.h"
#include "diagram/file_output.h"

#include <algorithm>
#include <cmath>

namespace pictog {

namespace {

    constexpr int HalfSquare = TPictogram2D::SquareSize / 2;
    constexpr int Side = TPictogram2D::BoardSize;

    // Gathers the screen changes of a compound drawing into one report.
    class CollectChanges
    {
    public:
        CollectChanges(int& depth, Rect& collected, const std::function<void(const Rect&)>& report)
            : m_depth(depth)
            , m_collected(collected)
            , m_report(report)
        {
            ++m_depth;
        }
        ~CollectChanges()
        {
            if (--m_depth > 0 || m_collected.empty())
                return;
            const Rect rect = m_collected;
            m_collected = Rect();
            if (m_report)
                m_report(rect);
        }
        CollectChanges(const CollectChanges&) = delete;
        CollectChanges& operator=(const CollectChanges&) = delete;

    private:
        int& m_depth;
        Rect& m_collected;
        const std::function<void(const Rect&)>& m_report;
    };

    // One step of at most `step` pixels from `from` toward `target`.
    int stepToward(int from, int target, int step)
    {
        if (target > from)
            return from + std::min(step, target - from);
        return from - std::min(step, from - target);
    }

} // namespace

TPictogram2D::TPictogram2D(const ResourceLookup& lookup, ErrorMessages* messages)
    : BoardBuffer(Side, Side)
    , UnderPiece(SquareSize, SquareSize)
    , m_screen(Side, Side)
{
    m_terminationRequested = !LoadPieceBitmaps(PieceBitmaps, lookup, messages);
}

Rect TPictogram2D::squareRect(int square) const
{
    if (!isOnBoard(square))
        return {};
    const int display = WhiteIsAtBottom() ? square : 77 - square;
    return { SquareSize * fileOf(display), SquareSize * (7 - rankOf(display)), SquareSize,
        SquareSize };
}

ColorValue TPictogram2D::squareColor(int square) const
{
    return (fileOf(square) + rankOf(square)) % 2 == 1 ? m_lightSquareColor : m_darkSquareColor;
}

void TPictogram2D::changed(const Rect& rect)
{
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.left + rect.width, Side);
    const int bottom = std::min(rect.top + rect.height, Side);
    if (left >= right || top >= bottom)
        return;
    const Rect clipped { left, top, right - left, bottom - top };
    if (m_collecting > 0)
        m_collected = unite(m_collected, clipped);
    else if (OnScreenChanged)
        OnScreenChanged(clipped);
}

void TPictogram2D::copyToScreen(const Raster& source, const Rect& rect)
{
    copyBlock(m_screen, rect.left, rect.top, source, rect.left, rect.top, rect.width, rect.height);
    changed(rect);
}

void TPictogram2D::drawPieceOn(Raster& target, int piece, int x, int y) const
{
    if (piece < WhitePawn || piece > BlackKing)
        return;
    const Raster& image = PieceBitmaps[static_cast<std::size_t>(piece)];
    const Raster& mask = PieceBitmaps[static_cast<std::size_t>(piece + 12)];
    copyBlock(target, x, y, mask, 0, 0, SquareSize, SquareSize, BlockOp::And);
    copyBlock(target, x, y, image, 0, 0, SquareSize, SquareSize, BlockOp::Or);
}

void TPictogram2D::DrawPiece(int piece, int x, int y)
{
    if (piece == Empty)
        return;
    drawPieceOn(m_screen, piece, x, y);
    changed({ x, y, SquareSize, SquareSize });
}

void TPictogram2D::DrawSquare(int piece, int square)
{
    if (!isOnBoard(square))
        return;
    CollectChanges collect(m_collecting, m_collected, OnScreenChanged);
    const Rect rect = squareRect(square);
    m_screen.fillRect(rect, pixelOf(squareColor(square)));
    changed(rect);
    DrawPiece(piece, rect.left, rect.top);
}

void TPictogram2D::Paint()
{
    FinishAnimation();
    CollectChanges collect(m_collecting, m_collected, OnScreenChanged);
    for (int rank = 0; rank < 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            const int square = squareIndex(file, rank);
            DrawSquare(GetSquare(square), square);
        }
    }
}

void TPictogram2D::ClampPoint(int& x, int& y) const
{
    x = std::clamp(x, HalfSquare, Side - HalfSquare);
    y = std::clamp(y, HalfSquare, Side - HalfSquare);
}

int TPictogram2D::SquareAt(int x, int y) const
{
    ClampPoint(x, y);
    const int index = squareIndex(x / SquareSize, 7 - y / SquareSize);
    return WhiteIsAtBottom() ? index : 77 - index;
}

void TPictogram2D::MouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    TPictogram::MouseDown(button, shift, x, y);
    if (Dragging)
        return;
    FinishAnimation();
    const int square = SquareAt(x, y);
    LastMove = { static_cast<std::uint8_t>(square), static_cast<std::uint8_t>(square), 0, 1 };
    MovingPiece = static_cast<std::uint8_t>(GetSquare(square));
    if (MovingPiece == Empty)
        return;
    // The buffer holds the board without the lifted piece; the screen still shows it.
    copyBlock(BoardBuffer, 0, 0, m_screen, 0, 0, Side, Side);
    const Rect rect = squareRect(square);
    BoardBuffer.fillRect(rect, pixelOf(squareColor(square)));
    PieceX = rect.left;
    PieceY = rect.top;
    Dragging = true;
}

void TPictogram2D::MouseMove(ShiftState shift, int x, int y)
{
    TPictogram::MouseMove(shift, x, y);
    if (!Dragging)
        return;
    ClampPoint(x, y);
    floatPieceTo(x - HalfSquare, y - HalfSquare);
}

void TPictogram2D::floatPieceTo(int x, int y)
{
    copyBlock(UnderPiece, 0, 0, BoardBuffer, x, y, SquareSize, SquareSize);
    drawPieceOn(BoardBuffer, MovingPiece, x, y);
    copyToScreen(BoardBuffer,
        unite({ PieceX, PieceY, SquareSize, SquareSize }, { x, y, SquareSize, SquareSize }));
    copyBlock(BoardBuffer, x, y, UnderPiece, 0, 0, SquareSize, SquareSize);
    PieceX = x;
    PieceY = y;
}

void TPictogram2D::MouseUp(MouseButton button, ShiftState shift, int x, int y)
{
    // A release without a drag is not passed on: OnMouseUp belongs to the end of a drag.
    if (!Dragging)
        return;
    Dragging = false;
    copyToScreen(BoardBuffer, { PieceX, PieceY, SquareSize, SquareSize });
    LastMove.to = static_cast<std::uint8_t>(SquareAt(PieceX + HalfSquare, PieceY + HalfSquare));
    if (MovingPiece == WhitePawn && LastMove.to >= 70)
        LastMove.promotion = PromotionPiece;
    if (MovingPiece == BlackPawn && LastMove.to < 8)
        LastMove.promotion = static_cast<std::uint8_t>(PromotionPiece + 6);
    TPictogram::MouseUp(button, shift, x, y);
}

void TPictogram2D::MovePiece(int piece, int from, int to)
{
    if (!isOnBoard(from) || !isOnBoard(to))
        return;
    // A slide still running would otherwise leave its floating piece in the new buffer.
    FinishAnimation();
    TPictogram::MovePiece(piece, from, to);
    MovingPiece = static_cast<std::uint8_t>(piece);
    copyBlock(BoardBuffer, 0, 0, m_screen, 0, 0, Side, Side);
    const Rect start = squareRect(from);
    const Rect target = squareRect(to);
    PieceX = StartX = start.left;
    PieceY = StartY = start.top;
    TargetX = target.left;
    TargetY = target.top;
    BoardBuffer.fillRect(start, pixelOf(squareColor(from)));
    Animating = true;
}

void TPictogram2D::AnimationStep()
{
    if (!Animating)
        return;
    const double toTarget = std::hypot(TargetX - PieceX, TargetY - PieceY);
    const double fromStart = std::hypot(PieceX - StartX, PieceY - StartY);
    // Slower near both ends of the way.
    const int step = toTarget > 6.0 && fromStart > 6.0 ? 5 : 4;
    const int x = stepToward(PieceX, TargetX, step);
    const int y = stepToward(PieceY, TargetY, step);
    floatPieceTo(x, y);
    if (x == TargetX && y == TargetY)
        FinishAnimation();
}

void TPictogram2D::FinishAnimation()
{
    if (!Animating)
        return;
    Animating = false;
    CollectChanges collect(m_collecting, m_collected, OnScreenChanged);
    copyToScreen(BoardBuffer, { PieceX, PieceY, SquareSize, SquareSize });
    DrawSquare(MovingPiece, AnimTo);
}

const Raster& TPictogram2D::CopyDiagramToBitmap()
{
    copyBlock(BoardBuffer, 0, 0, m_screen, 0, 0, Side, Side);
    return BoardBuffer;
}

std::string TPictogram2D::SaveDiagramToFile(const std::string& fileName)
{
    const std::vector<unsigned char> bytes = encodeBmp(CopyDiagramToBitmap());
    return writeFileReplacing(fileName, bytes.data(), bytes.size());
}

} // namespace pictog
