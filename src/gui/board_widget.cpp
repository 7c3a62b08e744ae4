#include "board_widget.h"

#include "annotation_overlay.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace pictog::gui {

namespace {

    std::optional<MouseButton> boardButton(Qt::MouseButton button)
    {
        switch (button) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return std::nullopt;
        }
    }

    ShiftState shiftState(Qt::KeyboardModifiers modifiers)
    {
        ShiftState state = 0;
        if (modifiers & Qt::ShiftModifier)
            state |= ShiftKey;
        if (modifiers & Qt::AltModifier)
            state |= AltKey;
        if (modifiers & Qt::ControlModifier)
            state |= CtrlKey;
        return state;
    }

    QPoint eventPoint(const QMouseEvent* event)
    {
        return event->position().toPoint();
    }

} // namespace

BoardWidget::BoardWidget(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(TPictogram2D::BoardSize, TPictogram2D::BoardSize);
}

BoardWidget::~BoardWidget() = default;

void BoardWidget::createBoard(const ResourceLookup& lookup, ErrorMessages* messages)
{
    m_board = std::make_unique<BoardView>(lookup, messages);
    m_board->OnScreenChanged = [this](const Rect& r) {
        if (drawsScaled())
            update();
        else
            update(r.left, r.top, r.width, r.height);
    };
    m_board->Paint();
    update();
}

QSize BoardWidget::sizeHint() const
{
    return { 8 * m_square + band(), 8 * m_square + band() };
}

void BoardWidget::setSquareSize(int square)
{
    if (square == m_square)
        return;
    m_square = square;
    fitToBoard();
}

void BoardWidget::setCoordinates(bool shown)
{
    if (shown == m_coordinates)
        return;
    m_coordinates = shown;
    fitToBoard();
}

int BoardWidget::coordinateBand(int square, bool coordinates)
{
    // The classic 38-pixel board has no room around it; from 40 pixels on the band takes about
    // a third of a square, enough for a digit of readable size.
    if (!coordinates || square < 40)
        return 0;
    return std::max(16, square * 3 / 10);
}

void BoardWidget::fitToBoard()
{
    const int side = 8 * m_square + band();
    setFixedSize(side, side);
    update();
}

bool BoardWidget::drawsScaled() const
{
    return m_square != TPictogram2D::SquareSize || devicePixelRatioF() != 1.0;
}

QPoint BoardWidget::viewPoint(QPoint p) const
{
    p -= boardOrigin();
    if (m_square == TPictogram2D::SquareSize)
        return p;
    // Rounded down, so a square's first and last pixel map into the same view square.
    const auto map = [this](int v) {
        return static_cast<int>(
            std::floor(static_cast<double>(v) * TPictogram2D::SquareSize / m_square));
    };
    return { map(p.x()), map(p.y()) };
}

void BoardWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!m_board) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    if (drawsScaled()) {
        paintScaled(painter);
        return;
    }
    const Raster& screen = m_board->screen();
    // Pixels are 0xFFRRGGBB, which is QImage::Format_RGB32: the image only borrows the raster.
    const QImage image(reinterpret_cast<const uchar*>(screen.row(0)), screen.width(),
        screen.height(), static_cast<qsizetype>(screen.width()) * 4, QImage::Format_RGB32);
    const QRect dirty = event->rect() & image.rect();
    painter.drawImage(dirty.topLeft(), image, dirty);
    const Annotations shown = shownAnnotations();
    if (!shown.empty())
        paintAnnotations(painter, shown, m_board->WhiteIsAtBottom());
    if (m_coordinates)
        paintCoordinates(painter);
}

void BoardWidget::paintScaled(QPainter& painter)
{
    const double ratio = devicePixelRatioF();
    const int devSquare = std::max(1, static_cast<int>(std::lround(m_square * ratio)));
    if (band() > 0) {
        paintOutsideCoordinates(painter);
        painter.translate(boardOrigin());
    }
    const auto floating = m_board->floating();
    const QRectF boardRect(0, 0, 8 * m_square, 8 * m_square);
    const QImage& board = m_picture.board(
        boardPieces(*m_board, floating ? floating->hiddenSquare : -1), !m_board->WhiteIsAtBottom(),
        m_board->LightSquareColor(), m_board->DarkSquareColor(), devSquare);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(boardRect, board);
    if (floating) {
        const double scale = static_cast<double>(m_square) / TPictogram2D::SquareSize;
        const QImage& piece = m_picture.piece(floating->piece, devSquare);
        painter.drawImage(
            QRectF(floating->x * scale, floating->y * scale, m_square, m_square), piece);
    }
    const Annotations shown = shownAnnotations();
    if (!shown.empty())
        paintAnnotations(painter, shown, m_board->WhiteIsAtBottom(), m_square);
    if (m_coordinates && band() == 0)
        paintCoordinates(painter);
}

void BoardWidget::paintOutsideCoordinates(QPainter& painter)
{
    const int b = band();
    const int board = 8 * m_square;
    // The band takes the colour of the frame around the board, the text the frame's text colour.
    painter.fillRect(QRect(0, 0, b, board + b), palette().window());
    painter.fillRect(QRect(b, board, board, b), palette().window());
    const bool flip = !m_board->WhiteIsAtBottom();
    QFont font = painter.font();
    font.setPixelSize(std::max(10, b * 7 / 10));
    painter.save();
    painter.setFont(font);
    painter.setPen(palette().windowText().color());
    for (int i = 0; i < 8; ++i) {
        // Files run a..h left to right and ranks 8..1 down, both the other way when flipped.
        const QChar file(QLatin1Char(static_cast<char>(flip ? 'h' - i : 'a' + i)));
        const QChar rank(QLatin1Char(static_cast<char>(flip ? '1' + i : '8' - i)));
        painter.drawText(
            QRect(b + i * m_square, board, m_square, b), Qt::AlignHCenter | Qt::AlignTop, file);
        painter.drawText(QRect(0, i * m_square, b, m_square), Qt::AlignCenter, rank);
    }
    painter.restore();
}

void BoardWidget::paintCoordinates(QPainter& painter)
{
    const bool flip = !m_board->WhiteIsAtBottom();
    QFont font = painter.font();
    font.setPixelSize(std::max(8, m_square * 26 / 100));
    font.setBold(true);
    painter.save();
    painter.setFont(font);
    const int pad = std::max(1, m_square / 19);
    // Each label in the colour of the other kind of square, as the squares' own pieces of text.
    const auto colourOn = [this](int file, int rank) {
        const bool light = (file + rank) % 2 == 1;
        const ColorValue c = light ? m_board->DarkSquareColor() : m_board->LightSquareColor();
        return QColor(redOf(c), greenOf(c), blueOf(c));
    };
    for (int column = 0; column < 8; ++column) {
        const int file = flip ? 7 - column : column;
        const int rank = flip ? 7 : 0;
        const QRect cell(
            column * m_square + pad, 7 * m_square + pad, m_square - 2 * pad, m_square - 2 * pad);
        painter.setPen(colourOn(file, rank));
        painter.drawText(cell, Qt::AlignRight | Qt::AlignBottom, QString(QChar('a' + file)));
    }
    for (int row = 0; row < 8; ++row) {
        const int rank = flip ? row : 7 - row;
        const int file = flip ? 7 : 0;
        const QRect cell(pad, row * m_square + pad, m_square - 2 * pad, m_square - 2 * pad);
        painter.setPen(colourOn(file, rank));
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop, QString(QChar('1' + rank)));
    }
    painter.restore();
}

Annotations BoardWidget::shownAnnotations() const
{
    Annotations shown = m_annotations;
    if (m_gesture && m_gesture->to != m_gesture->from) {
        // Drawn as it will be once released, over any arrow between the same squares.
        auto& arrows = shown.arrows;
        arrows.erase(std::remove_if(arrows.begin(), arrows.end(),
                         [this](const ArrowAnnotation& a) {
                             return a.from == m_gesture->from && a.to == m_gesture->to;
                         }),
            arrows.end());
        arrows.push_back({ m_gesture->from, m_gesture->to, m_gesture->color });
    }
    return shown;
}

void BoardWidget::setAnnotations(const Annotations& annotations)
{
    if (annotations == m_annotations)
        return;
    m_annotations = annotations;
    update();
}

void BoardWidget::mousePressEvent(QMouseEvent* event)
{
    const auto button = boardButton(event->button());
    if (!m_board || !button)
        return;
    // A press on the coordinates' band is not on any square.
    if (!QRect(boardOrigin(), QSize(8 * m_square, 8 * m_square)).contains(eventPoint(event)))
        return;
    const QPoint p = viewPoint(eventPoint(event));
    const ShiftState shift = shiftState(event->modifiers());
    const auto color = gestureColor(shift);
    if (*button == MouseButton::Left && color && !m_gesture) {
        const int square = m_board->SquareAt(p.x(), p.y());
        m_gesture = Gesture { square, *color, square };
        return;
    }
    m_board->MouseDown(*button, shift, p.x(), p.y());
}

void BoardWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_board)
        return;
    const QPoint p = viewPoint(eventPoint(event));
    if (m_gesture) {
        const int to = m_board->SquareAt(p.x(), p.y());
        if (to != m_gesture->to) {
            m_gesture->to = to;
            update();
        }
        return;
    }
    m_board->MouseMove(shiftState(event->modifiers()), p.x(), p.y());
}

void BoardWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const auto button = boardButton(event->button());
    if (!m_board || !button)
        return;
    const QPoint p = viewPoint(eventPoint(event));
    if (m_gesture && *button == MouseButton::Left) {
        const Gesture gesture = *m_gesture;
        m_gesture.reset();
        update();
        emit annotationGesture(gesture.from, m_board->SquareAt(p.x(), p.y()), gesture.color);
        return;
    }
    m_board->MouseUp(*button, shiftState(event->modifiers()), p.x(), p.y());
}

} // namespace pictog::gui
