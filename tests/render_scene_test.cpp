// The renderer's scene against chess geometry worked out here: which box is e4, where a1 goes
// when the board is flipped, which side the side-to-move mark belongs to, what the annotation
// colours and the print hatching look like. The agreement tests compare three drawings of one
// scene and cannot see a scene that is wrong in itself.
#include "diagram_scene.h"
#include "position/epd_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

namespace pictog {
namespace {

    // The box of a square (file 0..7 = a..h, rank 0..7 = 1..8) from the board's box alone.
    LayoutBox expectedBox(const LayoutBox& board, int file, int rank, bool flip)
    {
        const int sq = board.width / 8;
        const int column = flip ? 7 - file : file;
        const int row = flip ? rank : 7 - rank;
        return { board.left + column * sq, board.top + row * sq, sq, sq };
    }

    bool inside(const ScenePoint& p, const LayoutBox& b)
    {
        return p.x >= b.left && p.x <= b.right() && p.y >= b.top && p.y <= b.bottom();
    }

    Scene sceneOf(const char* line, const DiagramRenderOptions& options)
    {
        const EpdParse p = ParseEPDLine(line);
        EXPECT_TRUE(p.accepted) << line;
        return buildScene(p.board, p.panel, options);
    }

    const char* const Start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    const char* const StartBlack = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -";

    TEST(RenderScene, ArrowsMarksAndPiecesSitOnTheirSquares)
    {
        for (const bool flip : { false, true }) {
            DiagramRenderOptions o;
            o.squarePx = 40;
            o.flip = flip;
            o.annotations.arrows.push_back(
                { squareIndex(4, 1), squareIndex(4, 3), AnnotationColor::Green }); // e2-e4
            o.annotations.squares.push_back({ squareIndex(3, 4), AnnotationColor::Red }); // d5
            o.annotations.squares.push_back({ squareIndex(5, 6), AnnotationColor::Blue }); // f7
            const Scene scene = sceneOf(Start, o);
            const LayoutBox& board = scene.layout.board;
            ASSERT_EQ(scene.arrows.size(), 1u);
            const auto& outline = scene.arrows[0].outline;
            EXPECT_TRUE(inside(outline[3], expectedBox(board, 4, 3, flip))) << flip; // point: e4
            EXPECT_TRUE(inside(outline[0], expectedBox(board, 4, 1, flip))) << flip; // tail: e2
            ASSERT_EQ(scene.marks.size(), 2u);
            EXPECT_EQ(scene.marks[0].box, expectedBox(board, 3, 4, flip));
            EXPECT_EQ(scene.marks[1].box, expectedBox(board, 5, 6, flip));
            // Red is mostly red, blue mostly blue, green mostly green.
            EXPECT_GT(scene.marks[0].color.r, scene.marks[0].color.b + 0.3);
            EXPECT_GT(scene.marks[1].color.b, scene.marks[1].color.r + 0.3);
            EXPECT_GT(scene.arrows[0].color.g, scene.arrows[0].color.r + 0.3);
            // The white king on e1, the black queen on d8.
            auto pieceOn = [&](int file, int rank) {
                for (const ScenePiece& piece : scene.pieces)
                    if (piece.box == expectedBox(board, file, rank, flip))
                        return piece.code;
                return 0;
            };
            EXPECT_EQ(pieceOn(4, 0), 6) << flip;
            EXPECT_EQ(pieceOn(3, 7), 11) << flip;
        }
    }

    TEST(RenderScene, WindowShapesSitOnTheBoardAtTheOrigin)
    {
        Annotations annotations;
        annotations.arrows.push_back(
            { squareIndex(6, 0), squareIndex(5, 2), AnnotationColor::Blue }); // g1-f3
        annotations.squares.push_back({ squareIndex(0, 0), AnnotationColor::Yellow }); // a1
        for (const bool flip : { false, true }) {
            const AnnotationShapes shapes = annotationShapes(annotations, 38, flip);
            const LayoutBox board { 0, 0, 8 * 38, 8 * 38 };
            ASSERT_EQ(shapes.arrows.size(), 1u);
            EXPECT_TRUE(inside(shapes.arrows[0].outline[3], expectedBox(board, 5, 2, flip)));
            EXPECT_TRUE(inside(shapes.arrows[0].outline[0], expectedBox(board, 6, 0, flip)));
            EXPECT_GT(shapes.arrows[0].color.b, shapes.arrows[0].color.r + 0.3);
            // Translucent and without the edge the files give blue on the blue board.
            EXPECT_TRUE(shapes.arrows[0].alpha < 1 && shapes.arrows[0].edgeWidth == 0);
            ASSERT_EQ(shapes.marks.size(), 1u);
            EXPECT_EQ(shapes.marks[0].box, expectedBox(board, 0, 0, flip)) << flip;
        }
    }

    TEST(RenderScene, SideToMoveMarkBesideTheSideToMove)
    {
        const struct {
            const char* line;
            bool flip;
            bool atBottom; // the mark beside the lower edge of the board
            bool black;
        } cases[] = {
            { Start, false, true, false },
            { StartBlack, false, false, true },
            { Start, true, false, false },
            { StartBlack, true, true, true },
        };
        for (const auto& c : cases) {
            DiagramRenderOptions o;
            o.marker = true;
            o.flip = c.flip;
            const Scene scene = sceneOf(c.line, o);
            const LayoutBox& board = scene.layout.board;
            const double middle = board.top + board.height / 2.0;
            EXPECT_EQ(scene.layout.markerY > middle, c.atBottom) << c.line << c.flip;
            EXPECT_GT(scene.layout.markerX, board.right()) << c.line;
            EXPECT_EQ(scene.layout.markerBlack, c.black) << c.line << c.flip;
        }
    }

    // The single-glyph texts below the board, left to right: the file letters.
    std::vector<unsigned long> fileLetters(const Scene& scene)
    {
        std::vector<std::pair<double, unsigned long>> found;
        for (const SceneText& text : scene.texts)
            if (text.glyphs.size() == 1 && text.glyphs[0].y > scene.layout.board.bottom())
                found.emplace_back(text.glyphs[0].x, text.glyphs[0].index);
        std::sort(found.begin(), found.end());
        std::vector<unsigned long> glyphs;
        for (const auto& f : found)
            glyphs.push_back(f.second);
        return glyphs;
    }

    // The single-glyph texts left of the board, top to bottom: the rank digits.
    std::vector<unsigned long> rankDigits(const Scene& scene)
    {
        std::vector<std::pair<double, unsigned long>> found;
        for (const SceneText& text : scene.texts)
            if (text.glyphs.size() == 1 && text.glyphs[0].x < scene.layout.board.left)
                found.emplace_back(text.glyphs[0].y, text.glyphs[0].index);
        std::sort(found.begin(), found.end());
        std::vector<unsigned long> glyphs;
        for (const auto& f : found)
            glyphs.push_back(f.second);
        return glyphs;
    }

    TEST(RenderScene, LabelsFollowAFlippedBoard)
    {
        DiagramRenderOptions o;
        const Scene upright = sceneOf(Start, o);
        o.flip = true;
        const Scene flipped = sceneOf(Start, o);
        std::vector<unsigned long> files = fileLetters(upright);
        std::vector<unsigned long> ranks = rankDigits(upright);
        ASSERT_EQ(files.size(), 8u);
        ASSERT_EQ(ranks.size(), 8u);
        // Eight different letters and digits: a..h and 8..1 from the upright board.
        EXPECT_EQ(std::set<unsigned long>(files.begin(), files.end()).size(), 8u);
        std::reverse(files.begin(), files.end());
        std::reverse(ranks.begin(), ranks.end());
        EXPECT_EQ(fileLetters(flipped), files); // h..a
        EXPECT_EQ(rankDigits(flipped), ranks); // 1..8
    }

    TEST(RenderScene, PrintHatchingPitchAndGreyFramesApart)
    {
        const struct {
            double dpi;
            int square;
            double pitch; // worked out: half a millimetre, or a ninth of a square
        } cases[] = { { 300, 38, 300 * 0.5 / 25.4 }, { 600, 100, 600 * 0.5 / 25.4 },
            { 0, 38, 38 / 9.0 } };
        for (const auto& c : cases) {
            DiagramRenderOptions o;
            o.style = DiagramStyle::Print;
            o.dpi = c.dpi;
            o.squarePx = c.square;
            const Scene scene = sceneOf(Start, o);
            ASSERT_GE(scene.hatchBands.size(), 2u);
            const double step = scene.hatchBands[1][0].x - scene.hatchBands[0][0].x;
            EXPECT_NEAR(step, c.pitch, 0.6) << c.dpi;
        }
        // In grey the four mark colours come out as four frames told apart at a glance: a
        // different number of frames, or grey levels at least 0.15 apart.
        DiagramRenderOptions o;
        o.style = DiagramStyle::Gray;
        std::vector<std::vector<SceneMark>> looks;
        for (const AnnotationColor color : { AnnotationColor::Green, AnnotationColor::Red,
                 AnnotationColor::Yellow, AnnotationColor::Blue }) {
            o.annotations.squares = { { squareIndex(3, 3), color } };
            const std::vector<SceneMark> look = sceneOf(Start, o).marks;
            for (const auto& other : looks) {
                bool apart = other.size() != look.size();
                for (std::size_t k = 0; !apart && k < look.size(); ++k)
                    apart = std::abs(other[k].color.r - look[k].color.r) >= 0.15;
                EXPECT_TRUE(apart) << annotationColorLetter(color);
            }
            looks.push_back(look);
        }
    }

} // namespace
} // namespace pictog
