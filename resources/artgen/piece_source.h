#pragma once

// The piece drawings as vector outlines in a 380 x 380 design square (y grows downwards, the
// centre line is x = 190), read from the small text files in resources/pieces.

#include <array>
#include <string>
#include <vector>

namespace artgen {

constexpr double DesignSize = 380.0;
constexpr double CentreX = DesignSize / 2;

struct Point {
    double x = 0;
    double y = 0;
};

// A flattened path: a closed polygon for outlines and discs, an open polyline for strokes.
struct Polyline {
    std::vector<Point> points;
    bool closed = false;
};

// What an ink colour means on a piece of either colour.
enum class DetailKind {
    Stroke, // a line inside the piece: black on the white piece, white on the black one
    Dot, // a filled spot (eyes, nostrils), inked like a stroke
    Shade, // a soft shadow on the white piece only (grey in the 38-pixel bitmap)
};

struct Detail {
    DetailKind kind = DetailKind::Stroke;
    Polyline line;
    double width = 1.0; // stroke width in output pixels at 38 pixels, scaled with the size
    bool paired = false; // one of a mirrored pair on a symmetric piece
    bool whiteOnly = false; // drawn on the white piece only
};

// A fix-up for the 38-pixel bitmaps: one pixel made outside or outline (the silhouette, on both
// colours), or fill, detail or shade inside the white image, the black image or both.
enum class PixelRole { Outside, Outline, Fill, Detail, Shade };
enum class PixelTarget { White, Black, Both };
struct PixelFix {
    PixelTarget target = PixelTarget::Both;
    int x = 0;
    int y = 0;
    PixelRole role = PixelRole::Outline;
};

struct PieceSource {
    std::string name;
    char letter = '?'; // p n b r q k
    bool symmetric = false;
    std::vector<Polyline> outline; // closed, united with the non-zero rule, all counter-clockwise
    std::vector<Polyline> outline38; // replaces outline at 38 pixels when not empty
    std::vector<Detail> details;
    std::vector<Detail> details38; // replaces details at 38 pixels when not empty
    std::vector<PixelFix> fixes38; // a symmetric piece's fixes apply to the mirrored pixel too
};

// Reads one piece file; throws std::runtime_error with file and line on any mistake.
PieceSource readPieceSource(const std::string& path);

// Reads a piece from the text of its file (the renderer's copy compiled into the library); name
// stands for the path in messages. Throws as readPieceSource does.
PieceSource readPieceSourceText(const std::string& name, const std::string& text);

// The six pieces in piece-code order (pawn, knight, bishop, rook, queen, king) from a folder.
std::array<PieceSource, 6> readPieceSources(const std::string& folder);

} // namespace artgen
