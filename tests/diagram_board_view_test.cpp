#include "diagram/bmp_codec.h"
#include "diagram/pictogram_2d.h"
#include "diagram_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace pictog {
namespace {

    using test::TestPieces;

    constexpr int Sq = TPictogram2D::SquareSize;

    // The board with its drag and slide state in view.
    class Board : public TPictogram2D
    {
    public:
        explicit Board(const TestPieces& pieces)
            : TPictogram2D(pieces.lookup())
        {
            OnScreenChanged = [this](const Rect& rect) { changes.push_back(rect); };
        }
        using TPictogram2D::Animating;
        using TPictogram2D::BoardBuffer;
        using TPictogram2D::Dragging;
        using TPictogram2D::PieceX;
        using TPictogram2D::PieceY;
        using TPictogram2D::PromotionPiece;

        BoardMove lastMove() const
        {
            BoardMove move;
            GetLastMove(move);
            return move;
        }

        std::vector<Rect> changes;
    };

    struct Press {
        int x, y;
    };
    // The centre pixel of a square as displayed.
    Press centreOf(const Board& board, int square)
    {
        const Rect r = board.squareRect(square);
        return { r.left + Sq / 2, r.top + Sq / 2 };
    }

    // What a square shows: its colour at the corner and, inside the block, the piece drawn
    // there (0 when the block shows the square colour).
    struct SquareLook {
        Pixel corner;
        Pixel block;
    };
    SquareLook lookAt(const Raster& screen, int left, int top)
    {
        return { screen.pixel(left + 1, top + 1),
            screen.pixel(left + TestPieces::BlockLeft + 3, top + TestPieces::BlockTop + 3) };
    }

    void expectShows(const Board& board, int square, int piece, const char* what)
    {
        const Rect r = board.squareRect(square);
        const SquareLook look = lookAt(board.screen(), r.left, r.top);
        const Pixel colour = pixelOf(board.squareColor(square));
        EXPECT_EQ(look.corner, colour) << what << " square " << square;
        EXPECT_EQ(look.block, piece ? TestPieces::colorOf(piece) : colour)
            << what << " square " << square;
    }

    class BoardViewTest : public ::testing::Test
    {
    protected:
        TestPieces pieces;
    };

    TEST_F(BoardViewTest, SquaresLieWhereTheOrientationPutsThem)
    {
        struct Case {
            bool whiteAtBottom;
            int square;
            int x, y;
        };
        const Case cases[] = {
            { true, 0, 0, 266 },
            { true, 77, 266, 0 },
            { true, 7, 266, 266 },
            { true, 70, 0, 0 },
            { true, 34, 152, 152 },
            { false, 0, 266, 0 },
            { false, 77, 0, 266 },
            { false, 7, 0, 0 },
            { false, 34, 114, 114 },
        };
        Board board(pieces);
        for (const Case& c : cases) {
            board.SetWhiteIsAtBottom(c.whiteAtBottom);
            EXPECT_EQ(board.squareRect(c.square), (Rect { c.x, c.y, Sq, Sq }))
                << c.square << (c.whiteAtBottom ? " white" : " black") << " at the bottom";
        }
        EXPECT_TRUE(board.squareRect(8).empty());
        EXPECT_TRUE(board.squareRect(-1).empty());
    }

    TEST_F(BoardViewTest, SquareAtClampsToTheNearestEdgeSquare)
    {
        struct Case {
            bool whiteAtBottom;
            int x, y;
            int square;
        };
        const Case cases[] = {
            { true, 0, 0, 70 },
            { true, 303, 303, 7 },
            { true, -50, 1000, 0 },
            { true, 37, 37, 70 },
            { true, 38, 38, 61 },
            { true, 1000, -1000, 77 },
            { true, 152, 152, 34 },
            { true, 151, 190, 23 },
            { false, 0, 0, 7 },
            { false, 303, 303, 70 },
            { false, -50, 1000, 77 },
            { false, 1000, -1000, 0 },
        };
        Board board(pieces);
        for (const Case& c : cases) {
            board.SetWhiteIsAtBottom(c.whiteAtBottom);
            EXPECT_EQ(board.SquareAt(c.x, c.y), c.square)
                << "(" << c.x << ", " << c.y << ")" << (c.whiteAtBottom ? " white" : " black");
        }
        // Every pixel of every square maps back to that square.
        for (bool whiteAtBottom : { true, false }) {
            board.SetWhiteIsAtBottom(whiteAtBottom);
            for (int square = 0; square <= 77; ++square) {
                if (!isOnBoard(square))
                    continue;
                const Rect r = board.squareRect(square);
                for (int dy : { 0, Sq - 1 })
                    for (int dx : { 0, Sq - 1 })
                        EXPECT_EQ(board.SquareAt(r.left + dx, r.top + dy), square);
            }
        }
    }

    TEST_F(BoardViewTest, PaintShowsSquareColoursAndPiecesInBothOrientations)
    {
        Board board(pieces);
        board.SetLightSquareColor(colorValue(0xEE, 0xDD, 0xCC));
        board.SetDarkSquareColor(colorValue(0x22, 0x44, 0x66));
        const TChessPosition initial;
        for (bool whiteAtBottom : { true, false }) {
            board.SetWhiteIsAtBottom(whiteAtBottom);
            for (int square = 0; square <= 77; ++square) {
                if (isOnBoard(square))
                    expectShows(
                        board, square, initial.GetPiece(square), whiteAtBottom ? "white" : "black");
            }
        }
        // a1 is dark and h1 light, wherever the orientation puts them.
        const Pixel light = pixelRgb(0xEE, 0xDD, 0xCC);
        const Pixel dark = pixelRgb(0x22, 0x44, 0x66);
        EXPECT_EQ(board.screen().pixel(1, 1), light); // h1, turned
        EXPECT_EQ(board.screen().pixel(267, 1), dark); // a1, turned
        board.SetWhiteIsAtBottom(true);
        EXPECT_EQ(board.screen().pixel(1, 267), dark);
        EXPECT_EQ(board.screen().pixel(267, 267), light);
    }

    TEST_F(BoardViewTest, DrawSquarePaintsItsArgumentAndRefreshSquareThePosition)
    {
        Board board(pieces);
        board.Paint();
        board.changes.clear();
        board.DrawSquare(Empty, 4);
        expectShows(board, 4, Empty, "DrawSquare(0, e1)");
        EXPECT_EQ(board.GetSquare(4), WhiteKing);
        board.DrawSquare(BlackQueen, 4);
        expectShows(board, 4, BlackQueen, "DrawSquare(q, e1)");
        board.RefreshSquare(4);
        expectShows(board, 4, WhiteKing, "RefreshSquare(e1)");
        board.SetSquare(BlackKnight, 35);
        expectShows(board, 35, BlackKnight, "SetSquare(n, f4)");
        EXPECT_EQ(board.GetSquare(35), BlackKnight);
        // Each operation reports its square once; off-board squares draw nothing.
        board.SetSquare(WhiteQueen, 8);
        const Rect e1 { 152, 266, Sq, Sq };
        const std::vector<Rect> expected { e1, e1, e1, board.squareRect(35) };
        EXPECT_EQ(board.changes, expected);
    }

    TEST_F(BoardViewTest, PaintReportsOneRectangleAndTurningRepaints)
    {
        Board board(pieces);
        board.Paint();
        ASSERT_EQ(board.changes.size(), 1u);
        EXPECT_EQ(board.changes[0], (Rect { 0, 0, 304, 304 }));
        board.SetWhiteIsAtBottom(false);
        expectShows(board, 0, WhiteRook, "a1 after turning");
        EXPECT_EQ(board.squareRect(0), (Rect { 266, 0, Sq, Sq }));
    }

    TEST_F(BoardViewTest, DragReleasedOutsideDropsOnTheEdgeSquareUnderThePiece)
    {
        Board board(pieces);
        board.Paint();
        const Raster before = board.screen();
        int downs = 0, ups = 0;
        Press upAt {};
        board.OnMouseDown = [&](MouseButton, ShiftState, int, int) { ++downs; };
        board.OnMouseUp = [&](MouseButton, ShiftState, int x, int y) {
            ++ups;
            upAt = { x, y };
        };

        // Press on the e2 pawn: the drag starts but the screen still shows the pawn.
        const Press e2 = centreOf(board, 14);
        board.changes.clear();
        board.MouseDown(MouseButton::Left, 0, e2.x, e2.y);
        EXPECT_EQ(downs, 1);
        EXPECT_TRUE(board.Dragging);
        EXPECT_EQ(board.screen(), before);
        EXPECT_TRUE(board.changes.empty());

        // Move to e4: the pawn floats there and is wiped from e2.
        const Press e4 = centreOf(board, 34);
        board.MouseMove(0, e4.x, e4.y);
        expectShows(board, 14, Empty, "e2 during the drag");
        expectShows(board, 34, WhitePawn, "e4 under the floating pawn");
        ASSERT_EQ(board.changes.size(), 1u);
        EXPECT_EQ(board.changes[0], (Rect { 152, 152, Sq, 114 })); // covers e2 and e4
        EXPECT_EQ(board.GetSquare(34), Empty); // the drag changes no square

        // Far outside at the bottom left: the piece stops at a1's place over the rook there.
        board.changes.clear();
        board.MouseMove(0, -100, 500);
        EXPECT_EQ(board.PieceX, 0);
        EXPECT_EQ(board.PieceY, 266);
        expectShows(board, 0, WhitePawn, "a1 under the floating pawn");
        expectShows(board, 34, Empty, "e4 after the piece left");
        EXPECT_EQ(board.changes[0], (Rect { 0, 152, 190, 152 }));

        // Release outside: the floating piece vanishes, nothing is drawn on the drop square.
        board.MouseUp(MouseButton::Left, 0, -100, 500);
        EXPECT_FALSE(board.Dragging);
        EXPECT_EQ(ups, 1);
        EXPECT_EQ(upAt.x, -100);
        EXPECT_EQ(upAt.y, 500);
        const BoardMove move = board.lastMove();
        EXPECT_EQ(move.from, 14);
        EXPECT_EQ(move.to, 0);
        EXPECT_EQ(move.promotion, 0);
        EXPECT_EQ(move.marker, 1);
        expectShows(board, 0, WhiteRook, "a1 after the release");
        expectShows(board, 14, Empty, "e2 after the release");
        EXPECT_EQ(board.GetSquare(14), WhitePawn);
        EXPECT_EQ(board.GetSquare(0), WhiteRook);

        // A second release is no drag's end and fires nothing.
        board.MouseUp(MouseButton::Left, 0, 0, 0);
        EXPECT_EQ(ups, 1);
    }

    TEST_F(BoardViewTest, PressOnAnEmptySquareStartsNothing)
    {
        Board board(pieces);
        board.Paint();
        int downs = 0, ups = 0;
        board.OnMouseDown = [&](MouseButton, ShiftState, int, int) { ++downs; };
        board.OnMouseUp = [&](MouseButton, ShiftState, int, int) { ++ups; };
        const Raster before = board.screen();
        board.changes.clear();
        const Press e4 = centreOf(board, 34);
        board.MouseDown(MouseButton::Left, 0, e4.x, e4.y);
        board.MouseMove(0, 10, 10);
        board.MouseUp(MouseButton::Left, 0, 10, 10);
        EXPECT_EQ(downs, 1);
        EXPECT_EQ(ups, 0);
        EXPECT_FALSE(board.Dragging);
        EXPECT_EQ(board.lastMove().from, 34);
        EXPECT_EQ(board.lastMove().to, 34);
        EXPECT_EQ(board.screen(), before);
        EXPECT_TRUE(board.changes.empty());
    }

    TEST_F(BoardViewTest, HandlerThatEmptiesTheSquareOnPressPreventsTheDrag)
    {
        Board board(pieces);
        board.Paint();
        board.OnMouseDown = [&](MouseButton, ShiftState, int x, int y) {
            board.SetSquare(Empty, board.SquareAt(x, y));
        };
        const Press g1 = centreOf(board, 6);
        board.MouseDown(MouseButton::Right, 0, g1.x, g1.y);
        EXPECT_FALSE(board.Dragging);
        expectShows(board, 6, Empty, "g1 removed by the handler");
    }

    TEST_F(BoardViewTest, SecondPressDuringADragStartsNothing)
    {
        Board board(pieces);
        board.Paint();
        int downs = 0;
        board.OnMouseDown = [&](MouseButton, ShiftState, int, int) { ++downs; };
        const Press b1 = centreOf(board, 1);
        const Press g1 = centreOf(board, 6);
        board.MouseDown(MouseButton::Left, 0, b1.x, b1.y);
        board.MouseDown(MouseButton::Right, 0, g1.x, g1.y);
        EXPECT_EQ(downs, 2);
        EXPECT_EQ(board.lastMove().from, 1);
        board.MouseUp(MouseButton::Left, 0, b1.x, b1.y);
        EXPECT_EQ(board.lastMove().to, 1); // press and release without movement: from = to
    }

    TEST_F(BoardViewTest, PromotionIsRecordedOnlyForAPawnReachingItsLastRank)
    {
        struct Case {
            int piece;
            int from, to;
            int promotionPiece;
            bool whiteAtBottom;
            int promotion;
        };
        const Case cases[] = {
            { WhitePawn, 64, 74, WhiteQueen, true, WhiteQueen },
            { WhitePawn, 60, 70, WhiteQueen, true, WhiteQueen }, // a8: the first square of rank 8
            { BlackPawn, 17, 7, WhiteQueen, true, BlackQueen }, // h1: the last square of rank 1
            { WhitePawn, 64, 77, WhiteQueen, false, WhiteQueen },
            { BlackPawn, 14, 4, WhiteQueen, true, BlackQueen },
            { BlackPawn, 10, 0, WhiteQueen, false, BlackQueen },
            { WhitePawn, 64, 74, WhiteKnight, true, WhiteKnight },
            { BlackPawn, 14, 4, WhiteRook, true, BlackRook },
            { WhitePawn, 14, 4, WhiteQueen, true, 0 }, // a white pawn on rank 1
            { BlackPawn, 64, 74, WhiteQueen, true, 0 }, // a black pawn on rank 8
            { WhitePawn, 54, 64, WhiteQueen, true, 0 },
            { WhiteQueen, 64, 74, WhiteQueen, true, 0 },
            { BlackKing, 14, 4, WhiteQueen, true, 0 },
        };
        for (const Case& c : cases) {
            Board board(pieces);
            board.SetWhiteIsAtBottom(c.whiteAtBottom);
            board.PromotionPiece = static_cast<std::uint8_t>(c.promotionPiece);
            board.SetSquare(c.piece, c.from);
            const Press from = centreOf(board, c.from);
            const Press to = centreOf(board, c.to);
            board.MouseDown(MouseButton::Left, 0, from.x, from.y);
            board.MouseMove(0, to.x, to.y);
            board.MouseUp(MouseButton::Left, 0, to.x, to.y);
            const BoardMove move = board.lastMove();
            EXPECT_EQ(move.from, c.from);
            EXPECT_EQ(move.to, c.to);
            EXPECT_EQ(move.promotion, c.promotion) << "piece " << c.piece << " to " << c.to;
        }
    }

    // Runs a slide to its end and returns the top-left of the piece after every step.
    std::vector<std::pair<int, int>> runSlide(Board& board)
    {
        std::vector<std::pair<int, int>> trail;
        for (int guard = 0; board.Animating && guard < 1000; ++guard) {
            board.AnimationStep();
            trail.emplace_back(board.PieceX, board.PieceY);
        }
        return trail;
    }

    TEST_F(BoardViewTest, SlideStepsFourThenFiveThenFourPixels)
    {
        Board board(pieces);
        board.SetSquare(Empty, 1);
        board.SetSquare(Empty, 2);
        board.Paint();
        const Raster before = board.screen();
        board.PlayMove({ 0, 2, 0, 1 }); // the rook from a1 to c1
        EXPECT_TRUE(board.Animating);
        EXPECT_EQ(board.GetSquare(0), Empty);
        EXPECT_EQ(board.GetSquare(2), WhiteRook);
        EXPECT_EQ(board.screen(), before); // nothing moves before the first step

        const std::vector<std::pair<int, int>> trail = runSlide(board);
        const int xs[] = { 4, 8, 13, 18, 23, 28, 33, 38, 43, 48, 53, 58, 63, 68, 73, 76 };
        ASSERT_EQ(trail.size(), std::size(xs));
        for (std::size_t i = 0; i < trail.size(); ++i) {
            EXPECT_EQ(trail[i].first, xs[i]) << "step " << i;
            EXPECT_EQ(trail[i].second, 266) << "step " << i;
        }
        EXPECT_FALSE(board.Animating);
        expectShows(board, 0, Empty, "a1 after the slide");
        expectShows(board, 1, Empty, "b1 after the slide");
        expectShows(board, 2, WhiteRook, "c1 after the slide");
    }

    TEST_F(BoardViewTest, SlideMovesEachAxisOnItsOwnAndStopsAtTheTarget)
    {
        Board board(pieces);
        board.SetWhiteIsAtBottom(false);
        board.SetSquare(Empty, 6);
        board.SetSquare(Empty, 25);
        board.Paint();
        board.MovePiece(BlackKnight, 6, 25); // g1 to f3, turned: from (38, 0) to (76, 76)
        const std::vector<std::pair<int, int>> trail = runSlide(board);
        const std::vector<std::pair<int, int>> expected { { 42, 4 }, { 46, 8 }, { 51, 13 },
            { 56, 18 }, { 61, 23 }, { 66, 28 }, { 71, 33 }, { 76, 38 }, { 76, 43 }, { 76, 48 },
            { 76, 53 }, { 76, 58 }, { 76, 63 }, { 76, 68 }, { 76, 73 }, { 76, 76 } };
        EXPECT_EQ(trail, expected);
        expectShows(board, 25, BlackKnight, "f3 after the slide");
        expectShows(board, 6, Empty, "g1 after the slide");
    }

    TEST_F(BoardViewTest, PressAndPaintFinishARunningSlide)
    {
        for (bool byPress : { true, false }) {
            Board board(pieces);
            board.Paint();
            board.PlayMove({ 6, 25, 0, 1 });
            board.AnimationStep();
            board.AnimationStep();
            if (byPress) {
                board.MouseDown(MouseButton::Left, 0, 400, -5); // on h8
                EXPECT_TRUE(board.Dragging);
            } else {
                board.Paint();
            }
            EXPECT_FALSE(board.Animating);
            expectShows(board, 25, WhiteKnight, "f3");
            expectShows(board, 6, Empty, "g1");
            // Nothing of the floating knight is left between the two squares.
            for (int square : { 15, 16, 24, 26 })
                expectShows(board, square, board.GetSquare(square), "around the way");
        }
    }

    TEST_F(BoardViewTest, PlayMoveFromAnEmptySquareDoesNothing)
    {
        Board board(pieces);
        board.Paint();
        board.PlayMove({ 34, 44, 0, 1 });
        EXPECT_FALSE(board.Animating);
        EXPECT_EQ(board.GetSquare(44), Empty);
    }

    TEST_F(BoardViewTest, CopyDiagramToBitmapAndSaveDiagramToFileGiveTheScreen)
    {
        Board board(pieces);
        board.Paint();
        EXPECT_EQ(board.CopyDiagramToBitmap(), board.screen());

        const std::string path
            = ::testing::TempDir() + "pictog_board_" + std::to_string(::getpid()) + ".bmp";
        EXPECT_EQ(board.SaveDiagramToFile(path), "");
        std::ifstream in(path, std::ios::binary);
        const std::vector<unsigned char> bytes(
            (std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::optional<Raster> saved = decodeBmp(bytes.data(), bytes.size());
        ASSERT_TRUE(saved);
        EXPECT_EQ(*saved, board.screen());
        std::remove(path.c_str());

        EXPECT_EQ(
            board.SaveDiagramToFile("/nonexistent-folder/x.bmp"), "No such file or directory");
    }

    TEST_F(BoardViewTest, MissingPieceBitmapIsReportedAndLoadingGoesOn)
    {
        struct Case {
            std::set<std::string> missing;
            std::vector<std::string> messages;
        };
        const Case cases[] = {
            { {}, {} },
            { { "PIECE5" }, { "Error loading PIECE5" } },
            { { "PIECE17", "PIECE5" }, { "Error loading PIECE5", "Error loading PIECE17" } },
            { { "PIECE1", "PIECE24" }, { "Error loading PIECE1", "Error loading PIECE24" } },
        };
        for (const Case& c : cases) {
            test::RecordedMessages messages;
            TPictogram2D loaded(pieces.lookup(c.missing), &messages);
            EXPECT_EQ(messages.shown, c.messages);
            EXPECT_EQ(loaded.terminationRequested(), !c.missing.empty());
        }

        // The pieces after the missing one are there.
        test::RecordedMessages messages;
        TPictogram2D board(pieces.lookup({ "PIECE5" }), &messages);
        board.Paint();
        const Rect g1 = board.squareRect(6);
        EXPECT_EQ(lookAt(board.screen(), g1.left, g1.top).block, TestPieces::colorOf(WhiteKnight));
        const Rect e8 = board.squareRect(74);
        EXPECT_EQ(lookAt(board.screen(), e8.left, e8.top).block, TestPieces::colorOf(BlackKing));
    }

    TEST_F(BoardViewTest, UnreadablePieceBitmapIsReported)
    {
        TestPieces broken;
        broken.files["PIECE9"].resize(60); // cut short
        broken.files["PIECE20"] = { 'P', 'N', 'G' };
        test::RecordedMessages messages;
        TPictogram2D board(broken.lookup(), &messages);
        const std::vector<std::string> expected { "Error loading PIECE9", "Error loading PIECE20" };
        EXPECT_EQ(messages.shown, expected);
        EXPECT_TRUE(board.terminationRequested());
        board.Paint(); // draws without the broken bitmaps
    }

    TEST(BmpReader, ReadsEveryStoredLayout)
    {
        const std::vector<Pixel> palette = test::vgaPalette();
        struct Case {
            int bitCount;
            int width, height;
            bool topDown;
        };
        const Case cases[] = { { 1, 9, 3, false }, { 4, 5, 4, false }, { 4, 38, 38, true },
            { 8, 3, 2, true }, { 24, 5, 3, false }, { 24, 2, 2, true }, { 32, 3, 3, false } };
        for (const Case& c : cases) {
            const int colours = c.bitCount == 1 ? 2 : 16;
            auto indexOf = [colours](int x, int y) { return (x * 3 + y * 5) % colours; };
            const std::vector<Pixel> used(palette.begin(), palette.begin() + colours);
            const std::vector<unsigned char> file
                = test::makeBmp(c.width, c.height, c.bitCount, used, indexOf, c.topDown);
            const std::optional<Raster> picture = decodeBmp(file.data(), file.size());
            ASSERT_TRUE(picture) << c.bitCount << " bits";
            ASSERT_EQ(picture->width(), c.width);
            ASSERT_EQ(picture->height(), c.height);
            for (int y = 0; y < c.height; ++y)
                for (int x = 0; x < c.width; ++x)
                    EXPECT_EQ(picture->pixel(x, y), used[static_cast<std::size_t>(indexOf(x, y))])
                        << c.bitCount << " bits at (" << x << ", " << y << ")";
        }
    }

    TEST(BmpReader, RejectsDamagedFiles)
    {
        const std::vector<Pixel> palette = test::vgaPalette();
        const std::vector<unsigned char> good
            = test::makeBmp(6, 4, 4, palette, [](int x, int) { return x; });
        ASSERT_TRUE(decodeBmp(good.data(), good.size()));
        auto with = [&](std::size_t offset, std::vector<unsigned char> bytes) {
            std::vector<unsigned char> file = good;
            std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<long>(offset));
            return file;
        };
        struct Case {
            const char* what;
            std::vector<unsigned char> file;
        };
        const Case cases[] = {
            { "empty", {} },
            { "cut short", std::vector<unsigned char>(good.begin(), good.end() - 1) },
            { "not BM", with(0, { 'B', 'A' }) },
            { "RLE compressed", with(30, { 2 }) },
            { "zero width", with(18, { 0, 0, 0, 0 }) },
            { "huge width", with(18, { 0, 0, 0, 1 }) },
            { "2 bits a pixel", with(28, { 2 }) },
            { "pixel data beyond the end", with(10, { 0xF0, 0xFF, 0, 0 }) },
            { "palette of 4, index 5 used", with(46, { 4 }) },
            { "palette of 17 at 4 bits", with(46, { 17 }) },
        };
        for (const Case& c : cases)
            EXPECT_FALSE(decodeBmp(c.file.data(), c.file.size())) << c.what;
    }

} // namespace
} // namespace pictog
