#pragma once

#include "html_color.h"

#include <string>
#include <string_view>

namespace pictog {

// A colour shown twice, as the text of an edit field and as the colour of a panel beside it.
struct ColorField {
    std::string text;
    ColorValue color = 0;
};

// The field as the user leaves it: a valid colour text stays exactly as typed (lower-case digits
// too) and the panel takes its colour; anything else is silently replaced by the upper-case text
// of the panel's colour, which stays, so the last valid colour comes back. A system colour of the
// panel goes through the resolver (see ColorToHtmlColor).
ColorField leaveColorField(
    std::string_view typed, ColorValue panelColor, const SystemColorResolver& resolver = {});

// The field as a colour text puts it up: the text as given, the panel black when the text is no
// valid colour text.
ColorField loadColorField(std::string_view text);

} // namespace pictog
