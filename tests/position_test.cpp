#include "position/chess_position.h"

#include <gtest/gtest.h>

namespace pictog {
namespace {

    TEST(ChessPosition, OffBoardIndexesReadEmptyAndIgnoreWrites)
    {
        TChessPosition position;
        const TChessPosition before = position;
        for (int index : { -1, 8, 9, 18, 19, 68, 69, 78, 79, 100, -128 }) {
            EXPECT_TRUE(TChessPosition::IsOffBoard(index)) << index;
            EXPECT_EQ(position.GetPiece(index), 0) << index;
            position.SetPiece(WhiteQueen, index);
            EXPECT_EQ(position, before) << index;
        }
    }

    TEST(ChessPosition, NewPositionHoldsInitialSetUp)
    {
        const TChessPosition position;
        const int backRank[8] = { 4, 2, 3, 5, 6, 3, 2, 4 };
        for (int file = 0; file < 8; ++file) {
            EXPECT_EQ(position.GetPiece(squareIndex(file, 0)), backRank[file]);
            EXPECT_EQ(position.GetPiece(squareIndex(file, 1)), WhitePawn);
            for (int rank = 2; rank < 6; ++rank)
                EXPECT_EQ(position.GetPiece(squareIndex(file, rank)), Empty);
            EXPECT_EQ(position.GetPiece(squareIndex(file, 6)), BlackPawn);
            EXPECT_EQ(position.GetPiece(squareIndex(file, 7)), backRank[file] + 6);
        }
        EXPECT_EQ(position.stateWord(), 0x001F);
    }

    TEST(ChessPosition, SetPieceTouchesOnlyItsNibble)
    {
        struct Case {
            int index;
            int word;
            int shift;
        };
        const Case cases[] = { { 0, 0, 12 }, { 1, 0, 8 }, { 3, 0, 0 }, { 4, 1, 12 }, { 7, 1, 0 },
            { 10, 2, 12 }, { 74, 15, 12 }, { 77, 15, 0 } };
        for (const Case& c : cases) {
            TChessPosition position = emptyPosition();
            for (int w = 0; w < 16; ++w)
                ASSERT_EQ(position.word(w), 0);
            position.SetPiece(BlackKing, c.index);
            for (int w = 0; w < 16; ++w)
                EXPECT_EQ(position.word(w), w == c.word ? (BlackKing << c.shift) : 0) << c.index;
            EXPECT_EQ(position.GetPiece(c.index), BlackKing);
        }
    }

    TEST(ChessPosition, EveryCodeRoundTripsOnEverySquare)
    {
        TChessPosition position = emptyPosition();
        for (int rank = 0; rank < 8; ++rank)
            for (int file = 0; file < 8; ++file)
                position.SetPiece((rank * 8 + file) % 13, squareIndex(file, rank));
        for (int rank = 0; rank < 8; ++rank)
            for (int file = 0; file < 8; ++file)
                EXPECT_EQ(position.GetPiece(squareIndex(file, rank)), (rank * 8 + file) % 13);
    }

    TEST(ChessPosition, EnPassantSetterKeepsLowByte)
    {
        TChessPosition position;
        position.SetEpSquare(44);
        EXPECT_EQ(position.stateWord(), (44 << 8) | 0x1F);
        position.SetWhiteToMove(false);
        position.SetBlackLongCastling(false);
        EXPECT_EQ(position.stateWord() >> 8, 44);
        position.SetEpSquare(0);
        EXPECT_EQ(position.stateWord() & 0xFF00, 0);
    }

} // namespace
} // namespace pictog
