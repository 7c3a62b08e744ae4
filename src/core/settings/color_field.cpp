#include "color_field.h"

namespace pictog {

ColorField leaveColorField(
    std::string_view typed, ColorValue panelColor, const SystemColorResolver& resolver)
{
    if (IsHtmlColor(typed))
        return { std::string(typed), HtmlColorToColor(typed) };
    return { ColorToHtmlColor(panelColor, resolver), panelColor };
}

ColorField loadColorField(std::string_view text)
{
    return { std::string(text), HtmlColorToColor(text) };
}

} // namespace pictog
