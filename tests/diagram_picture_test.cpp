#include "diagram/diagram_picture.h"
#include "diagram/label_font.h"
#include "diagram_test_support.h"

#include <gtest/gtest.h>

namespace pictog {
namespace {

    constexpr Pixel Background = pixelRgb(0xBC, 0xBC, 0xC5);
    constexpr Pixel BoardFill = pixelRgb(10, 200, 30);

    // A board image whose four corner pixels are marked, so its placement shows.
    Raster markedBoard()
    {
        Raster board(304, 304, BoardFill);
        board.setPixel(0, 0, pixelRgb(1, 2, 3));
        board.setPixel(303, 0, pixelRgb(4, 5, 6));
        board.setPixel(0, 303, pixelRgb(7, 8, 9));
        board.setPixel(303, 303, pixelRgb(10, 11, 12));
        return board;
    }

    struct Layout {
        bool showBorder;
        bool coordinates;
        int margin;
        int side;
    };
    const Layout layouts[] = {
        { true, true, 36, 376 },
        { true, false, 16, 336 },
        { false, true, 32, 368 },
        { false, false, 2, 308 },
    };

    DiagramPictureOptions optionsFor(const Layout& layout)
    {
        DiagramPictureOptions options;
        options.showBorder = layout.showBorder;
        options.coordinates = layout.coordinates;
        return options;
    }

    std::string describe(const Layout& layout)
    {
        return std::string(layout.showBorder ? "border" : "no border") + ", "
            + (layout.coordinates ? "coordinates" : "no coordinates");
    }

    // The black pixels of the rectangle as a picture of its own, for comparing labels.
    std::vector<bool> inkOf(const Raster& picture, int left, int top, int width, int height)
    {
        std::vector<bool> ink;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                ink.push_back(picture.pixel(x, y) == BlackPixel);
        return ink;
    }

    // The label as drawn on its own: its ink, cell by cell.
    std::vector<bool> labelInk(char label)
    {
        const std::string text(1, label);
        const TextSize size = labelTextSize(text);
        Raster cell(size.width, size.height, Background);
        drawLabel(cell, 0, 0, text, BlackPixel, Background);
        return inkOf(cell, 0, 0, size.width, size.height);
    }

    TEST(DiagramPicture, SizeMarginFrameAndBorderFollowTheSwitches)
    {
        for (const Layout& layout : layouts) {
            SCOPED_TRACE(describe(layout));
            const std::optional<Raster> picture = composePicture(markedBoard(), optionsFor(layout));
            ASSERT_TRUE(picture);
            const int m = layout.margin;
            const int last = layout.side - 1;
            EXPECT_EQ(diagramMargin(layout.showBorder, layout.coordinates), m);
            ASSERT_EQ(picture->width(), layout.side);
            ASSERT_EQ(picture->height(), layout.side);

            // The board image at (m, m), unchanged.
            EXPECT_EQ(picture->pixel(m, m), pixelRgb(1, 2, 3));
            EXPECT_EQ(picture->pixel(m + 303, m), pixelRgb(4, 5, 6));
            EXPECT_EQ(picture->pixel(m, m + 303), pixelRgb(7, 8, 9));
            EXPECT_EQ(picture->pixel(m + 303, m + 303), pixelRgb(10, 11, 12));
            EXPECT_EQ(picture->pixel(m + 150, m + 150), BoardFill);

            // The frame: 1 pixel at the left and top, 2 at the right and bottom, and the
            // background just outside it.
            for (int t = m - 1; t <= m + 305; t += 1) {
                EXPECT_EQ(picture->pixel(m - 1, t), BlackPixel) << "left frame, row " << t;
                EXPECT_EQ(picture->pixel(t, m - 1), BlackPixel) << "top frame, column " << t;
                for (int k : { 304, 305 }) {
                    EXPECT_EQ(picture->pixel(m + k, t), BlackPixel) << "right frame, row " << t;
                    EXPECT_EQ(picture->pixel(t, m + k), BlackPixel) << "bottom frame, column " << t;
                }
            }
            const int outside = m - 2;
            const int after = m + 306;
            for (int t : { m + 2, m + 300 }) {
                EXPECT_EQ(picture->pixel(outside, t), Background) << t;
                EXPECT_EQ(picture->pixel(t, outside), Background) << t;
                if (after <= last) { // with neither switch the frame ends at the edge
                    EXPECT_EQ(picture->pixel(after, t), Background) << t;
                    EXPECT_EQ(picture->pixel(t, after), Background) << t;
                }
            }

            // The border, four pixels deep along every edge; without it the margin's
            // background reaches the edge wherever the frame does not.
            if (layout.showBorder) {
                for (int k = 0; k < 4; ++k) {
                    for (int t : { 0, 5, layout.side / 2, last - 5, last }) {
                        EXPECT_EQ(picture->pixel(k, t), BlackPixel)
                            << "left edge " << k << ", " << t;
                        EXPECT_EQ(picture->pixel(last - k, t), BlackPixel) << "right edge";
                        EXPECT_EQ(picture->pixel(t, k), BlackPixel) << "top edge";
                        EXPECT_EQ(picture->pixel(t, last - k), BlackPixel) << "bottom edge";
                    }
                }
            } else {
                EXPECT_EQ(picture->pixel(0, layout.side / 2), Background);
                EXPECT_EQ(picture->pixel(layout.side / 2, 0), Background);
            }
            auto inFrameBox = [m](int v) { return v >= m - 1 && v <= m + 305; };
            const int inner = layout.showBorder ? 4 : 0;
            for (int x : { inner, last - inner })
                for (int y : { inner, last - inner })
                    if (!(inFrameBox(x) && inFrameBox(y))) {
                        EXPECT_EQ(picture->pixel(x, y), Background) << "corner " << x << ", " << y;
                    }
            if (!layout.showBorder && !layout.coordinates) {
                EXPECT_EQ(picture->pixel(last, last), BlackPixel); // the frame reaches the edge
            }
        }
    }

    TEST(DiagramPicture, LabelsStandInTheMarginInTheirOrder)
    {
        for (const Layout& layout : layouts) {
            if (!layout.coordinates)
                continue;
            SCOPED_TRACE(describe(layout));
            const std::optional<Raster> picture = composePicture(markedBoard(), optionsFor(layout));
            ASSERT_TRUE(picture);
            const int m = layout.margin;
            const int W = layout.side;
            for (int i = 0; i < 8; ++i) {
                const char letter = static_cast<char>('a' + i);
                const TextSize size = labelTextSize(std::string(1, letter));
                const int x = m + i * 38 + (38 - size.width) / 2;
                for (int y : { (m - size.height) / 2, W - (2 * m - size.height) / 2 - 3 })
                    EXPECT_EQ(inkOf(*picture, x, y, size.width, size.height), labelInk(letter))
                        << letter << " at (" << x << ", " << y << ")";
            }
            for (int j = 0; j < 8; ++j) {
                const char digit = static_cast<char>('8' - j);
                const TextSize size = labelTextSize(std::string(1, digit));
                const int y = m + j * 38 + (38 - size.height) / 2;
                for (int x : { (m - size.width) / 2, W - m + size.width })
                    EXPECT_EQ(inkOf(*picture, x, y, size.width, size.height), labelInk(digit))
                        << digit << " at (" << x << ", " << y << ")";
            }
        }
    }

    // The bounding box of the black pixels inside a rectangle.
    struct Box {
        int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    };
    Box inkBox(const Raster& picture, int left, int top, int right, int bottom)
    {
        Box box;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (picture.pixel(x, y) == BlackPixel) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    }

    TEST(DiagramPicture, LabelsKeepClearOfBoardFrameAndBorder)
    {
        // With both switches on the cells are 10..25 at the top, 345..360 at the bottom,
        // 14..21 at the left and 348..355 at the right (digits 8 pixels wide).
        const std::optional<Raster> picture = composePicture(markedBoard(), optionsFor(layouts[0]));
        ASSERT_TRUE(picture);
        const Box top = inkBox(*picture, 36, 4, 339, 34);
        EXPECT_GE(top.top, 10);
        EXPECT_LE(top.bottom, 25);
        const Box bottom = inkBox(*picture, 36, 342, 339, 371);
        EXPECT_GE(bottom.top, 345);
        EXPECT_LE(bottom.bottom, 360);
        const Box left = inkBox(*picture, 4, 36, 34, 339);
        EXPECT_GE(left.left, 14);
        EXPECT_LE(left.right, 21);
        const Box right = inkBox(*picture, 342, 36, 371, 339);
        EXPECT_GE(right.left, 348);
        EXPECT_LE(right.right, 355);
        for (const Box& box : { top, bottom, left, right })
            EXPECT_GE(box.right, box.left) << "labels drawn";

        // Without coordinates the margin holds no ink at all.
        for (const Layout& layout : layouts) {
            if (layout.coordinates)
                continue;
            const std::optional<Raster> plain = composePicture(markedBoard(), optionsFor(layout));
            const int m = layout.margin;
            const int inner = layout.showBorder ? 4 : 0;
            EXPECT_LT(inkBox(*plain, inner, inner, layout.side - 1 - inner, m - 2).right, 0);
            EXPECT_LT(
                inkBox(*plain, inner, m + 306, layout.side - 1 - inner, layout.side - 1 - inner)
                    .right,
                0);
        }
    }

    TEST(DiagramPicture, InvalidBackgroundColourGivesBlack)
    {
        for (const char* colour : { "BCBCC5", "#BCBCC", "#GGGGGG", "", "red" }) {
            DiagramPictureOptions options;
            options.colorDiagramBackground = colour;
            const std::optional<Raster> picture = composePicture(markedBoard(), options);
            ASSERT_TRUE(picture) << colour;
            EXPECT_EQ(picture->pixel(20, 20), BlackPixel) << colour;
            // Margin, labels and their background are all black alike.
            int coloured = 0;
            for (int y = 0; y < 376; ++y)
                for (int x = 0; x < 376; ++x)
                    if ((x < 36 || x >= 340 || y < 36 || y >= 340)
                        && picture->pixel(x, y) != BlackPixel)
                        ++coloured;
            EXPECT_EQ(coloured, 0) << colour;
        }
        DiagramPictureOptions lower;
        lower.colorDiagramBackground = "#a0b1c2";
        EXPECT_EQ(composePicture(markedBoard(), lower)->pixel(20, 20), pixelRgb(0xA0, 0xB1, 0xC2));
    }

    TEST(DiagramPicture, ComposedFromTheBoardShowsThePositionWhateverTheScreenShowed)
    {
        test::TestPieces pieces;
        TPictogram2D board(pieces.lookup());
        board.SetLightSquareColor(colorValue(200, 210, 220));
        board.SetDarkSquareColor(colorValue(20, 30, 40));
        board.Paint();
        board.DrawSquare(BlackQueen, 0); // shows a queen where the position holds a rook
        const std::optional<Raster> picture = ComposeDiagramPicture(board, DiagramPictureOptions());
        ASSERT_TRUE(picture);
        EXPECT_EQ(board.screen().pixel(10 + 3, 266 + 6 + 3), test::TestPieces::colorOf(WhiteRook));
        for (int y = 0; y < 304; ++y)
            for (int x = 0; x < 304; ++x)
                ASSERT_EQ(picture->pixel(36 + x, 36 + y), board.screen().pixel(x, y))
                    << x << ", " << y;
        EXPECT_EQ(picture->pixel(36 + 1, 36 + 266 + 1), pixelRgb(20, 30, 40)); // a1 dark
        EXPECT_EQ(picture->pixel(36 + 266 + 1, 36 + 266 + 1), pixelRgb(200, 210, 220)); // h1 light
    }

    TEST(DiagramPicture, ComposedFromAPositionInEitherOrientation)
    {
        using test::TestPieces;
        TestPieces pieces;
        TPictogram2D board(pieces.lookup());
        board.SetSquare(WhiteQueen, squareIndex(3, 0)); // d1: a piece the position does not hold
        TChessPosition position = emptyPosition();
        position.SetPiece(WhiteKing, squareIndex(4, 0)); // e1
        position.SetPiece(BlackPawn, squareIndex(0, 6)); // a7
        for (const bool flip : { false, true }) {
            SCOPED_TRACE(flip);
            const auto picture = ComposeDiagramPicture(board, position, flip, {});
            ASSERT_TRUE(picture);
            // A pixel of the piece block on a square; turned, a1 is at the top right.
            const auto at = [&](int file, int rank) {
                const int column = flip ? 7 - file : file;
                const int row = flip ? rank : 7 - rank;
                return picture->pixel(36 + 38 * column + TestPieces::BlockLeft + 3,
                    36 + 38 * row + TestPieces::BlockTop + 3);
            };
            EXPECT_EQ(at(4, 0), TestPieces::colorOf(WhiteKing));
            EXPECT_EQ(at(0, 6), TestPieces::colorOf(BlackPawn));
            EXPECT_NE(at(3, 0), TestPieces::colorOf(WhiteQueen));
        }
    }

    TEST(DiagramPicture, LettersDoNotTurnWithTheBoard)
    {
        test::TestPieces pieces;
        TPictogram2D board(pieces.lookup());
        const std::optional<Raster> upright = ComposeDiagramPicture(board, DiagramPictureOptions());
        board.SetWhiteIsAtBottom(false);
        const std::optional<Raster> turned = ComposeDiagramPicture(board, DiagramPictureOptions());
        ASSERT_TRUE(upright && turned);
        EXPECT_NE(*upright, *turned);
        for (int y = 0; y < 376; ++y)
            for (int x = 0; x < 376; ++x)
                if (x < 36 || x >= 340 || y < 36 || y >= 340) {
                    ASSERT_EQ(upright->pixel(x, y), turned->pixel(x, y)) << x << ", " << y;
                }
    }

} // namespace
} // namespace pictog
