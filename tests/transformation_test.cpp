#include "position/epd_line.h"
#include "position/transformation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace pictog {
namespace {

    using T = Transformation;

    // The built line of a transformed board with the panel reset, as the window shows it.
    std::string transformedLine(const TChessPosition& board, Transformation t)
    {
        return BuildEPDLine(TransformBoard(board, t), PanelState {});
    }

    TEST(Transformation, InitialPositionPlacements)
    {
        struct Case {
            Transformation t;
            const char* placement;
        };
        const Case cases[] = {
            { T::RotateLeft, "rp4PR/np4PN/bp4PB/kp4PK/qp4PQ/bp4PB/np4PN/rp4PR" },
            { T::RotateRight, "RP4pr/NP4pn/BP4pb/QP4pq/KP4pk/BP4pb/NP4pn/RP4pr" },
            { T::SwitchColor, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR" },
            { T::MirrorHorizontal, "RNBQKBNR/PPPPPPPP/8/8/8/8/pppppppp/rnbqkbnr" },
            { T::MirrorVertical, "rnbkqbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKQBNR" },
            { T::MirrorLeftDiagonal, "RP4pr/NP4pn/BP4pb/KP4pk/QP4pq/BP4pb/NP4pn/RP4pr" },
            { T::MirrorRightDiagonal, "rp4PR/np4PN/bp4PB/qp4PQ/kp4PK/bp4PB/np4PN/rp4PR" },
        };
        for (const Case& c : cases)
            EXPECT_EQ(
                transformedLine(TChessPosition(), c.t), std::string(c.placement) + " w - - 0 1")
                << transformationName(c.t);
    }

    TEST(Transformation, SingleSquares)
    {
        struct Case {
            Transformation t;
            const char* from;
            const char* to;
            int piece; // what arrives
        };
        const Case cases[] = {
            { T::RotateLeft, "a1", "h1", WhiteKing },
            { T::RotateLeft, "h1", "h8", WhiteKing },
            { T::RotateLeft, "e1", "h5", WhiteKing },
            { T::RotateRight, "a1", "a8", WhiteKing },
            { T::RotateRight, "e1", "a4", WhiteKing },
            { T::SwitchColor, "e1", "e8", BlackKing },
            { T::MirrorHorizontal, "e2", "e7", WhiteKing },
            { T::MirrorVertical, "d4", "e4", WhiteKing },
            { T::MirrorLeftDiagonal, "a1", "a1", WhiteKing },
            { T::MirrorLeftDiagonal, "b1", "a2", WhiteKing },
            { T::MirrorLeftDiagonal, "h1", "a8", WhiteKing },
            { T::MirrorRightDiagonal, "h1", "h1", WhiteKing },
            { T::MirrorRightDiagonal, "a1", "h8", WhiteKing },
            { T::MirrorRightDiagonal, "a2", "g8", WhiteKing },
        };
        auto square = [](const char* name) { return squareIndex(name[0] - 'a', name[1] - '1'); };
        for (const Case& c : cases) {
            TChessPosition board = emptyPosition();
            board.SetPiece(WhiteKing, square(c.from));
            TChessPosition expected = emptyPosition();
            expected.SetPiece(c.piece, square(c.to));
            EXPECT_EQ(TransformBoard(board, c.t), expected)
                << transformationName(c.t) << " " << c.from << " -> " << c.to;
        }
    }

    TEST(Transformation, SwitchColorKeepsEachKind)
    {
        TChessPosition board = emptyPosition();
        for (int piece = WhitePawn; piece <= BlackKing; ++piece)
            board.SetPiece(piece, squareIndex(piece % 8, piece / 8 * 3));
        const TChessPosition switched = TransformBoard(board, T::SwitchColor);
        for (int piece = WhitePawn; piece <= BlackKing; ++piece) {
            const int file = piece % 8;
            const int rank = piece / 8 * 3;
            EXPECT_EQ(switched.GetPiece(squareIndex(file, 7 - rank)),
                piece <= WhiteKing ? piece + 6 : piece - 6);
        }
    }

    TEST(Transformation, EmptyBoardStaysEmpty)
    {
        for (Transformation t : AllTransformations)
            EXPECT_EQ(transformedLine(emptyPosition(), t), EmptyBoardLine) << transformationName(t);
    }

    TChessPosition randomBoard(std::mt19937& random)
    {
        TChessPosition board = emptyPosition();
        const int density = std::uniform_int_distribution<int>(0, 100)(random);
        for (int rank = 0; rank < 8; ++rank)
            for (int file = 0; file < 8; ++file)
                if (std::uniform_int_distribution<int>(1, 100)(random) <= density)
                    board.SetPiece(
                        std::uniform_int_distribution<int>(1, 12)(random), squareIndex(file, rank));
        return board;
    }

    // Rotating left then right (or right then left), and applying any mirror or the colour switch
    // twice, gives the board back; four quarter turns do too, and two of them are the two
    // straight mirrors together. Every transformation keeps the number of pieces.
    TEST(Transformation, InversesOverRandomBoards)
    {
        std::mt19937 random(7);
        for (int i = 0; i < 2000; ++i) {
            const TChessPosition board = randomBoard(random);
            const auto apply = [](TChessPosition b, std::initializer_list<Transformation> ts) {
                for (Transformation t : ts)
                    b = TransformBoard(b, t);
                return b;
            };
            EXPECT_EQ(apply(board, { T::RotateLeft, T::RotateRight }), board);
            EXPECT_EQ(apply(board, { T::RotateRight, T::RotateLeft }), board);
            for (Transformation t : { T::SwitchColor, T::MirrorHorizontal, T::MirrorVertical,
                     T::MirrorLeftDiagonal, T::MirrorRightDiagonal })
                EXPECT_EQ(apply(board, { t, t }), board) << transformationName(t);
            EXPECT_EQ(apply(board, { T::RotateLeft, T::RotateLeft, T::RotateLeft, T::RotateLeft }),
                board);
            EXPECT_EQ(apply(board, { T::RotateLeft, T::RotateLeft }),
                apply(board, { T::MirrorHorizontal, T::MirrorVertical }));
            EXPECT_EQ(apply(board, { T::MirrorVertical, T::MirrorLeftDiagonal }),
                apply(board, { T::RotateRight }));
            for (Transformation t : AllTransformations) {
                int before = 0;
                int after = 0;
                const TChessPosition moved = TransformBoard(board, t);
                for (int rank = 0; rank < 8; ++rank)
                    for (int file = 0; file < 8; ++file) {
                        before += board.GetPiece(squareIndex(file, rank)) != Empty;
                        after += moved.GetPiece(squareIndex(file, rank)) != Empty;
                    }
                EXPECT_EQ(before, after) << transformationName(t);
            }
        }
    }

    TEST(Transformation, NamesRoundTrip)
    {
        for (Transformation t : AllTransformations)
            EXPECT_EQ(transformationFromName(transformationName(t)), t);
        for (const char* name :
            { "", "rotate", "Rotate-Left", "rotate_left", "mirror-horizontal " })
            EXPECT_FALSE(transformationFromName(name).has_value()) << name;
    }

} // namespace
} // namespace pictog
