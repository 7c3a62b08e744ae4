#pragma once

#include "diagram/raster.h"

#include <string_view>

namespace pictog {

// The bitmap font of the coordinate labels: a bold sans serif of 16-pixel line height with the
// file letters "a".."h" and the rank digits "1".."8", drawn here pixel by pixel so that pictures
// come out the same on every machine.
constexpr int LabelFontHeight = 16;

struct TextSize {
    int width = 0;
    int height = 0;
};

// The size of the text's cells: the sum of the character widths by the line height. Characters
// the font does not have take no room.
TextSize labelTextSize(std::string_view text);

// Draws the text with the top-left of its first cell at (x, y): the characters' pixels in ink,
// the rest of every cell in background (an opaque label). Clipped to the picture.
void drawLabel(Raster& picture, int x, int y, std::string_view text, Pixel ink, Pixel background);

} // namespace pictog
