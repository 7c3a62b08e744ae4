#pragma once

#include <array>
#include <string_view>

namespace pictog {

// A predefined look of the HTML diagram for one web forum: the three colour texts, exactly as the
// HTML options dialog writes them into its fields (lower-case digits included), and the piece set.
struct ForumScheme {
    std::string_view name;
    std::string_view lightSquares;
    std::string_view darkSquares;
    std::string_view background;
    int pieceSet;
};

// The entries of the scheme list in their order. Entry 0 is the list's prompt and changes nothing
// (empty colour texts, piece set 0); entries 1 to 8 are the schemes.
inline constexpr std::array<ForumScheme, 9> ForumSchemes { {
    { "select color/forum scheme", "", "", "", 0 },
    { "CCC Forum", "#9EC2EF", "#397AAE", "#BCBCC5", 1 },
    { "ChessBits Forum", "#e7d0a7", "#a77e5c", "#e6e0c6", 1 },
    { "CSS Forum", "#9EC2EF", "#397AAE", "#BCBCC5", 1 },
    { "FCP Forum", "#9EC2EF", "#397AAE", "#BCBCC5", 1 },
    { "FCP Forum small", "#9EC2EF", "#397AAE", "#BCBCC5", 4 },
    { "Rovanel Chess", "#FFF8D5", "#906000", "#D0D0D0", 1 },
    { "Vornet", "#FFFFF0", "#009966", "#D0D0D0", 1 },
    { "WinBoard Forum", "#e7d0a7", "#a77e5c", "#e6e0c6", 1 },
} };

// The scheme of a list entry, or nullptr for the prompt (entry 0) and any index outside the list.
const ForumScheme* forumScheme(int entry);

} // namespace pictog
