#pragma once

#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace pictog::gui {

// Moves a window to the centre of the screen it is on (not of its owner).
inline void centreOnScreen(QWidget& window)
{
    if (const QScreen* screen = window.screen())
        window.move(QStyle::alignedRect(
            Qt::LeftToRight, Qt::AlignCenter, window.size(), screen->availableGeometry())
                        .topLeft());
}

} // namespace pictog::gui
