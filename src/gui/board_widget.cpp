#include "board_widget.h"

#include "annotation_overlay.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

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
    m_board = std::make_unique<TPictogram2D>(lookup, messages);
    m_board->OnScreenChanged = [this](const Rect& r) { update(r.left, r.top, r.width, r.height); };
    m_board->Paint();
    update();
}

QSize BoardWidget::sizeHint() const
{
    return { TPictogram2D::BoardSize, TPictogram2D::BoardSize };
}

void BoardWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (!m_board) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    const Raster& screen = m_board->screen();
    // Pixels are 0xFFRRGGBB, which is QImage::Format_RGB32: the image only borrows the raster.
    const QImage image(reinterpret_cast<const uchar*>(screen.row(0)), screen.width(),
        screen.height(), static_cast<qsizetype>(screen.width()) * 4, QImage::Format_RGB32);
    const QRect dirty = event->rect() & image.rect();
    painter.drawImage(dirty.topLeft(), image, dirty);
    if (!m_annotations.empty())
        paintAnnotations(painter, m_annotations, m_board->WhiteIsAtBottom());
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
    const QPoint p = eventPoint(event);
    const ShiftState shift = shiftState(event->modifiers());
    const auto color = gestureColor(shift);
    if (*button == MouseButton::Left && color && !m_gesture) {
        m_gesture = Gesture { m_board->SquareAt(p.x(), p.y()), *color };
        return;
    }
    m_board->MouseDown(*button, shift, p.x(), p.y());
}

void BoardWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_board || m_gesture)
        return;
    const QPoint p = eventPoint(event);
    m_board->MouseMove(shiftState(event->modifiers()), p.x(), p.y());
}

void BoardWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const auto button = boardButton(event->button());
    if (!m_board || !button)
        return;
    const QPoint p = eventPoint(event);
    if (m_gesture && *button == MouseButton::Left) {
        const Gesture gesture = *m_gesture;
        m_gesture.reset();
        emit annotationGesture(gesture.from, m_board->SquareAt(p.x(), p.y()), gesture.color);
        return;
    }
    m_board->MouseUp(*button, shiftState(event->modifiers()), p.x(), p.y());
}

} // namespace pictog::gui
