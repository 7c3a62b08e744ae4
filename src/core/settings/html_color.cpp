#include "html_color.h"

namespace pictog {

namespace {

    int hexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    }

    int hexByte(std::string_view text, std::size_t at)
    {
        return hexDigit(text[at]) * 16 + hexDigit(text[at + 1]);
    }

} // namespace

bool IsHtmlColor(std::string_view text)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    for (std::size_t i = 1; i < 7; ++i)
        if (hexDigit(text[i]) < 0)
            return false;
    return true;
}

ColorValue HtmlColorToColor(std::string_view text)
{
    if (!IsHtmlColor(text))
        return 0;
    return colorValue(hexByte(text, 1), hexByte(text, 3), hexByte(text, 5));
}

std::string ColorToHtmlColor(ColorValue color, const SystemColorResolver& resolver)
{
    if (isSystemColor(color))
        color = resolver ? resolver(color) : colorValue(0x80, 0x80, 0x80);
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text = "#";
    for (int component : { redOf(color), greenOf(color), blueOf(color) }) {
        text += digits[component >> 4];
        text += digits[component & 0xF];
    }
    return text;
}

} // namespace pictog
