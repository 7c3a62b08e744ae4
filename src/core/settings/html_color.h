#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pictog {

// A colour value as the settings and the board view carry it: red in bits 0..7, green in 8..15,
// blue in 16..23. A value with the top bit set names a system colour.
using ColorValue = std::uint32_t;

constexpr ColorValue colorValue(int red, int green, int blue)
{
    return static_cast<ColorValue>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int redOf(ColorValue color)
{
    return static_cast<int>(color & 0xFF);
}
constexpr int greenOf(ColorValue color)
{
    return static_cast<int>((color >> 8) & 0xFF);
}
constexpr int blueOf(ColorValue color)
{
    return static_cast<int>((color >> 16) & 0xFF);
}
constexpr bool isSystemColor(ColorValue color)
{
    return (color & 0x80000000u) != 0;
}

// Turns a system colour into a plain RGB value; the desktop program reads its palette.
using SystemColorResolver = std::function<ColorValue(ColorValue)>;

// True for "#" followed by exactly six hexadecimal digits of either case.
bool IsHtmlColor(std::string_view text);

// The colour of a "#RRGGBB" text; black (0) for any text that is not one.
ColorValue HtmlColorToColor(std::string_view text);

// "#RRGGBB" with upper-case digits. A system colour goes through the resolver first; without
// one it maps to a mid grey.
std::string ColorToHtmlColor(ColorValue color, const SystemColorResolver& resolver = {});

} // namespace pictog
