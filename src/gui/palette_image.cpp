#include "palette_image.h"

#include <QMouseEvent>

namespace pictog::gui {

PaletteImage::PaletteImage(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

void PaletteImage::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void PaletteImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click is no click of its own: a double-click selects the
    // piece once instead of selecting it and toggling it back.
    m_pressed = false;
    event->accept();
}

void PaletteImage::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint());
    m_pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

} // namespace pictog::gui
