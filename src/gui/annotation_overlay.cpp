#include "annotation_overlay.h"

#include "diagram/pictogram_2d.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointF>

#include <cmath>

namespace pictog::gui {

namespace {

    constexpr double Square = TPictogram2D::SquareSize;
    constexpr double Pi = 3.14159265358979323846;

    QPointF squareCentre(int square, bool whiteAtBottom)
    {
        int column = fileOf(square);
        int row = 7 - rankOf(square);
        if (!whiteAtBottom) {
            column = 7 - column;
            row = 7 - row;
        }
        return { (column + 0.5) * Square, (row + 0.5) * Square };
    }

} // namespace

std::optional<AnnotationColor> gestureColor(ShiftState shift)
{
    if (!(shift & CtrlKey))
        return std::nullopt;
    const bool withShift = shift & ShiftKey;
    const bool withAlt = shift & AltKey;
    if (withShift && withAlt)
        return AnnotationColor::Blue;
    if (withShift)
        return AnnotationColor::Red;
    if (withAlt)
        return AnnotationColor::Yellow;
    return AnnotationColor::Green;
}

QColor annotationScreenColor(AnnotationColor color)
{
    switch (color) {
    case AnnotationColor::Red:
        return QColor(220, 30, 30, 160);
    case AnnotationColor::Yellow:
        return QColor(240, 200, 0, 170);
    case AnnotationColor::Blue:
        return QColor(30, 90, 230, 160);
    case AnnotationColor::Green:
        break;
    }
    return QColor(20, 170, 60, 160);
}

void paintAnnotations(QPainter& painter, const Annotations& annotations, bool whiteAtBottom)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const SquareAnnotation& mark : annotations.squares) {
        const QPointF c = squareCentre(mark.square, whiteAtBottom);
        QColor fill = annotationScreenColor(mark.color);
        fill.setAlpha(110);
        painter.fillRect(QRectF(c.x() - Square / 2, c.y() - Square / 2, Square, Square), fill);
    }
    // Each arrow is one filled outline, so its translucent shaft and head do not overlap.
    const double shaft = Square * 0.2;
    const double headWidth = Square * 0.55;
    const double headLength = Square * 0.5;
    for (const ArrowAnnotation& arrow : annotations.arrows) {
        const QPointF from = squareCentre(arrow.from, whiteAtBottom);
        const QPointF to = squareCentre(arrow.to, whiteAtBottom);
        const double dx = to.x() - from.x();
        const double dy = to.y() - from.y();
        const double length = std::hypot(dx, dy);
        if (length < 1)
            continue;
        // The tail starts off the centre so the piece on the start square stays visible.
        const double start = Square * 0.3;
        QPainterPath path;
        path.moveTo(start, -shaft / 2);
        path.lineTo(length - headLength, -shaft / 2);
        path.lineTo(length - headLength, -headWidth / 2);
        path.lineTo(length, 0);
        path.lineTo(length - headLength, headWidth / 2);
        path.lineTo(length - headLength, shaft / 2);
        path.lineTo(start, shaft / 2);
        path.closeSubpath();
        painter.save();
        painter.translate(from);
        painter.rotate(std::atan2(dy, dx) * 180.0 / Pi);
        painter.fillPath(path, annotationScreenColor(arrow.color));
        painter.restore();
    }
    painter.restore();
}

} // namespace pictog::gui
