#pragma once

#include "diagram/annotations.h"
#include "diagram/pictogram.h"

#include <optional>

class QPainter;

namespace pictog::gui {

// The colour a Ctrl gesture on the board draws in: Ctrl alone green, with Shift red, with Alt
// yellow, with both blue (the notation's G, R, Y, B). Nothing without Ctrl.
std::optional<AnnotationColor> gestureColor(ShiftState shift);

// Draws the annotations over a board of square-pixel squares (38 unless given) whose top-left is
// at (0, 0) with the renderer's shapes and colours, as the diagram files show them: marked
// squares as translucent fills, arrows from centre to centre with the head at the target.
// whiteAtBottom false turns the board by 180 degrees, as the board view does.
void paintAnnotations(
    QPainter& painter, const Annotations& annotations, bool whiteAtBottom, int square = 38);

} // namespace pictog::gui
