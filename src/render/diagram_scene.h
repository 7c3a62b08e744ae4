#pragma once

// Everything one diagram shows, worked out once from its layout, board and options, as plain
// shapes in output units: the cairo painter (PNG, PDF) and the SVG writer both draw exactly this.

#include "diagram_layout.h"

#include <array>
#include <string>
#include <vector>

namespace pictog {

// One glyph of a text: the font's glyph number and the origin of its outline.
struct SceneGlyph {
    unsigned long index = 0;
    double x = 0;
    double y = 0;
};

struct SceneText {
    bool bold = false;
    Rgb color; // black unless set
    double size = 0; // the font size (em) in output units
    std::vector<SceneGlyph> glyphs;
};

struct ScenePiece {
    int code = 0; // 1..12
    LayoutBox box;
};

struct Scene {
    DiagramLayout layout;
    Rgb background;
    bool transparent = false; // no background painted
    Rgb light;
    Rgb dark;
    bool hatch = false; // print style: dark squares hatched instead of filled
    // The hatching as thin filled bands (filled, not stroked, so that no viewer widens them to
    // whole pixels): four corners each, over the board, to be clipped to the dark squares.
    std::vector<std::array<ScenePoint, 4>> hatchBands;
    std::vector<LayoutBox> darkSquares;
    bool pieceHalo = false; // pieces carry a white edge that cuts the hatching around them
    std::vector<SceneMark> marks;
    std::vector<ScenePiece> pieces;
    std::vector<SceneArrow> arrows;
    std::vector<SceneText> texts;
};

// The scene of a diagram; the options must pass checkRenderOptions. Texts are left out when the
// font files are missing.
Scene buildScene(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options);

} // namespace pictog
