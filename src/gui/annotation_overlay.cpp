#include "annotation_overlay.h"

#include "diagram/pictogram_2d.h"
#include "diagram_renderer.h"

#include <QPainter>
#include <QPainterPath>

namespace pictog::gui {

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

void paintAnnotations(
    QPainter& painter, const Annotations& annotations, bool whiteAtBottom, int square)
{
    // The shapes and colours of the diagram files, at the board's square size.
    const AnnotationShapes shapes = annotationShapes(annotations, square, !whiteAtBottom);
    const auto colorOf = [](const Rgb& c, double alpha) {
        return QColor::fromRgbF(static_cast<float>(c.r), static_cast<float>(c.g),
            static_cast<float>(c.b), static_cast<float>(alpha));
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (const SceneMark& mark : shapes.marks) {
        QPainterPath path;
        path.addRect(mark.box.left, mark.box.top, mark.box.width, mark.box.height);
        if (mark.ring > 0)
            path.addRect(mark.box.left + mark.ring, mark.box.top + mark.ring,
                mark.box.width - 2 * mark.ring, mark.box.height - 2 * mark.ring);
        path.setFillRule(Qt::OddEvenFill);
        painter.fillPath(path, colorOf(mark.color, mark.alpha));
    }
    // Each arrow is one filled outline, so its translucent shaft and head do not overlap.
    for (const SceneArrow& arrow : shapes.arrows) {
        QPainterPath path;
        path.moveTo(arrow.outline[0].x, arrow.outline[0].y);
        for (std::size_t i = 1; i < arrow.outline.size(); ++i)
            path.lineTo(arrow.outline[i].x, arrow.outline[i].y);
        path.closeSubpath();
        painter.fillPath(path, colorOf(arrow.color, arrow.alpha));
    }
    painter.restore();
}

} // namespace pictog::gui
