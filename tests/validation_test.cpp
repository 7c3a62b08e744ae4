#include "position/epd_line.h"
#include "position/validation.h"

#include <gtest/gtest.h>

#include <string>

namespace pictog {
namespace {

    struct Case {
        const char* name;
        std::string line; // board and panel to check
        std::string message; // empty: every check passes
        std::string after; // the line after the corrections; empty: same as line
    };

    class Validation : public testing::TestWithParam<Case>
    {
    };

    TEST_P(Validation, FirstFailingCheckAndItsCorrection)
    {
        const Case& c = GetParam();
        const EpdParse parse = ParseEPDLine(c.line);
        ASSERT_TRUE(parse.accepted) << c.line << ": " << parse.message;
        const ValidationResult result = ValidatePosition(parse.board, parse.panel);
        EXPECT_EQ(result.valid, c.message.empty());
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(BuildEPDLine(parse.board, result.panel), c.after.empty() ? c.line : c.after);
    }

    std::string caseName(const testing::TestParamInfo<Case>& info)
    {
        return info.param.name;
    }

    // Both kings on their squares and nothing else.
    const std::string Kings = "4k3/8/8/8/8/8/8/4K3";

    INSTANTIATE_TEST_SUITE_P(Checks, Validation,
        testing::Values(Case { "InitialPosition",
                            "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", "", "" },
            Case { "KingsOnly", Kings + " b - - 7 30", "", "" },
            // 1..4: kings, white before black, missing before too many.
            Case { "EmptyBoard", "8/8/8/8/8/8/8/8 w - - 0 1", "No white king on the board", "" },
            Case { "NoWhiteKingButTwoBlack", "k6k/8/8/8/8/8/8/8 w - - 0 1",
                "No white king on the board", "" },
            Case { "TwoWhiteKingsNoBlack", "8/8/8/8/8/8/8/K6K w - - 0 1",
                "Too many white kings on the board", "" },
            Case { "NoBlackKing", "8/8/8/8/8/8/8/4K3 w - - 0 1", "No black king on the board", "" },
            Case { "TwoBlackKings", "k6k/8/8/8/8/8/8/4K3 w - - 0 1",
                "Too many black kings on the board", "" },
            // 5..14: the limits themselves pass, one more fails; white before black.
            Case { "NineWhiteQueens", "4k3/8/8/8/8/8/QQQQQQQQ/Q3K3 w - - 0 1", "", "" },
            Case { "TenWhiteQueens", "4k3/8/8/8/8/8/QQQQQQQQ/QQ2K3 w - - 0 1",
                "Too many white queens on the board", "" },
            Case { "TenQueensEach", "qq2k3/qqqqqqqq/8/8/8/8/QQQQQQQQ/QQ2K3 w - - 0 1",
                "Too many white queens on the board", "" },
            Case { "TenBlackQueens", "qq2k3/qqqqqqqq/8/8/8/8/8/4K3 w - - 0 1",
                "Too many black queens on the board", "" },
            Case { "TenWhiteRooks", "4k3/8/8/8/8/8/RRRRRRRR/RR2K3 w - - 0 1", "", "" },
            Case { "ElevenWhiteRooks", "4k3/8/8/8/8/8/RRRRRRRR/RRR1K3 w - - 0 1",
                "Too many white rooks on the board", "" },
            Case { "ElevenBlackRooks", "rrr1k3/rrrrrrrr/8/8/8/8/8/4K3 w - - 0 1",
                "Too many black rooks on the board", "" },
            Case { "ElevenWhiteBishops", "4k3/8/8/8/8/8/BBBBBBBB/BBB1K3 w - - 0 1",
                "Too many white bishops on the board", "" },
            Case { "ElevenBlackBishops", "bbb1k3/bbbbbbbb/8/8/8/8/8/4K3 w - - 0 1",
                "Too many black bishops on the board", "" },
            Case { "ElevenWhiteKnights", "4k3/8/8/8/8/8/NNNNNNNN/NNN1K3 w - - 0 1",
                "Too many white knights on the board", "" },
            Case { "ElevenBlackKnights", "nnn1k3/nnnnnnnn/8/8/8/8/8/4K3 w - - 0 1",
                "Too many black knights on the board", "" },
            Case { "NineWhitePawns", "4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - - 0 1",
                "Too many white pawns on the board", "" },
            Case { "NineBlackPawns", "4k3/pppppppp/p7/8/8/8/8/4K3 w - - 0 1",
                "Too many black pawns on the board", "" },
            Case { "ElevenRooksAndNinePawns", "4k3/8/8/8/P7/PPPPPPPP/RRRRRRRR/RRR1K3 w - - 0 1",
                "Too many white rooks on the board", "" },
            // 15, 16: more than sixteen men although each kind is within its limit.
            Case { "SixteenWhiteMen", "4k3/8/8/8/NNNNNNN1/PPPPPPPP/8/4K3 w - - 0 1", "", "" },
            Case { "SeventeenWhiteMen", "4k3/8/8/8/NNNNNNNN/PPPPPPPP/8/4K3 w - - 0 1",
                "Too many white pieces on the board", "" },
            Case { "SeventeenBlackMen", "4k3/8/pppppppp/nnnnnnnn/8/8/8/4K3 w - - 0 1",
                "Too many black pieces on the board", "" },
            // 17, 18: castling without the king on its square or without any rook; both boxes
            // of that colour are cleared, the other colour's stay.
            Case { "WhiteKingOffE1", "r3k2r/8/8/8/8/8/8/R2K3R w KQkq - 0 1",
                "No white castling allowed", "r3k2r/8/8/8/8/8/8/R2K3R w kq - 0 1" },
            Case { "NoWhiteRookAtAll", "r3k2r/8/8/8/8/8/8/4K3 w Kkq - 0 1",
                "No white castling allowed", "r3k2r/8/8/8/8/8/8/4K3 w kq - 0 1" },
            Case { "BlackKingOffE8", "r4k1r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
                "No black castling allowed", "r4k1r/8/8/8/8/8/8/R3K2R w KQ - 0 1" },
            Case { "NoBlackRookAtAll", "4k3/8/8/8/8/8/8/R3K2R b KQq - 0 1",
                "No black castling allowed", "4k3/8/8/8/8/8/8/R3K2R b KQ - 0 1" },
            Case { "RookElsewhereCountsForCheck17", "4k3/8/8/8/8/8/8/R3K3 w K - 0 1",
                "No white short castling allowed", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1" },
            // 19..22: the rook on the castling side's corner; only that box is cleared.
            Case { "WhiteShortWithoutH1Rook", "r3k2r/8/8/8/8/8/8/R3K1R1 w KQkq - 0 1",
                "No white short castling allowed", "r3k2r/8/8/8/8/8/8/R3K1R1 w Qkq - 0 1" },
            Case { "WhiteLongWithoutA1Rook", "r3k2r/8/8/8/8/8/8/1R2K2R w KQkq - 0 1",
                "No white long castling allowed", "r3k2r/8/8/8/8/8/8/1R2K2R w Kkq - 0 1" },
            Case { "BlackShortWithoutH8Rook", "r3kr2/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
                "No black short castling allowed", "r3kr2/8/8/8/8/8/8/R3K2R w KQq - 0 1" },
            Case { "BlackLongWithoutA8Rook", "1r2k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1",
                "No black long castling allowed", "1r2k2r/8/8/8/8/8/8/R3K2R w KQk - 0 1" },
            Case { "BlackRookOnH1DoesNotCount", "4k3/8/8/8/8/8/8/4K2r w K - 0 1",
                "No white castling allowed", "4k3/8/8/8/8/8/8/4K2r w - - 0 1" },
            // 23, 24: pawns on the back ranks, the first one from the a-file decides.
            Case { "WhitePawnA8BlackPawnB8", "Pp2k3/8/8/8/8/8/8/4K3 w - - 0 1",
                "No white pawn(s) allowed at 8th rank", "" },
            Case { "BlackPawnA8WhitePawnB8", "pP2k3/8/8/8/8/8/8/4K3 w - - 0 1",
                "No black pawn(s) allowed at 8th rank", "" },
            Case { "BlackPawnA1WhitePawnB1", "4k3/8/8/8/8/8/8/pP2K3 w - - 0 1",
                "No black pawn(s) allowed at 1st rank", "" },
            Case { "WhitePawnA1BlackPawnH1", "4k3/8/8/8/8/8/8/P3K2p w - - 0 1",
                "No white pawn(s) allowed at 1st rank", "" },
            Case { "EighthRankBeforeFirst", "4k2p/8/8/8/8/8/8/P3K3 w - - 0 1",
                "No black pawn(s) allowed at 8th rank", "" },
            // 25: the en-passant square must fit the side to move and have the pawn in front.
            Case { "BlackToMoveE3WithPawnE4", "4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1", "", "" },
            Case { "BlackToMoveE6", "4k3/8/8/8/4P3/8/8/4K3 b - e6 0 1", "ep field invalid",
                "4k3/8/8/8/4P3/8/8/4K3 b - - 0 1" },
            Case { "BlackToMoveE3BlackPawnE4", "4k3/8/8/8/4p3/8/8/4K3 b - e3 0 1",
                "ep field invalid", "4k3/8/8/8/4p3/8/8/4K3 b - - 0 1" },
            Case { "WhiteToMoveD6NoPawn", Kings + " w - d6 0 1", "ep field invalid",
                Kings + " w - - 0 1" },
            Case { "WhiteToMoveD6PawnD5", "4k3/8/8/3p4/8/8/8/4K3 w - d6 0 1", "", "" },
            Case { "WhiteToMoveA6PawnA5", "4k3/8/8/p7/8/8/8/4K3 w - a6 0 1", "", "" },
            Case { "WhiteToMoveH6PawnH5", "4k3/8/8/7p/8/8/8/4K3 w - h6 3 9", "", "" },
            Case { "BlackToMoveA3PawnA4", "4k3/8/8/8/P7/8/8/4K3 b - a3 0 1", "", "" },
            Case { "WhiteToMoveH3", "4k3/8/8/8/7P/8/8/4K3 w - h3 0 1", "ep field invalid",
                "4k3/8/8/8/7P/8/8/4K3 w - - 0 1" },
            Case { "SquaresAroundThePawnIgnored", "4k3/8/3n4/3p4/8/8/8/4K3 w - d6 0 1", "", "" },
            Case { "EpKeepsCastling", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq e6 0 1", "ep field invalid",
                "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1" },
            // Order: castling before back-rank pawns before en passant.
            Case { "CastlingBeforePawns", "P3k3/8/8/8/8/8/8/R3K3 w K e6 0 1",
                "No white short castling allowed", "P3k3/8/8/8/8/8/8/R3K3 w - e6 0 1" },
            Case { "PawnsBeforeEp", "P3k3/8/8/8/8/8/8/4K3 w - e6 0 1",
                "No white pawn(s) allowed at 8th rank", "" },
            Case { "CountsBeforeCastling", "4k3/8/8/8/8/8/8/K6K w KQ - 0 1",
                "Too many white kings on the board", "" }),
        caseName);

    TEST(Validation, NoSelectionCountsAsWhiteToMove)
    {
        EpdParse parse = ParseEPDLine("4k3/8/8/3p4/8/8/8/4K3 w - d6 0 1");
        ASSERT_TRUE(parse.accepted);
        parse.panel.moveRight = -1;
        EXPECT_TRUE(ValidatePosition(parse.board, parse.panel).valid);
        parse.panel.epField = 7; // d3
        const ValidationResult result = ValidatePosition(parse.board, parse.panel);
        EXPECT_EQ(result.message, "ep field invalid");
        EXPECT_EQ(result.panel.epField, 0);
        EXPECT_EQ(result.panel.moveRight, -1);
    }

    TEST(Validation, CorrectionsLeaveTheRestOfThePanel)
    {
        EpdParse parse = ParseEPDLine("r3k2r/8/8/8/8/8/8/R2K3R b KQkq a3 42 77");
        ASSERT_TRUE(parse.accepted);
        const ValidationResult result = ValidatePosition(parse.board, parse.panel);
        EXPECT_EQ(result.message, "No white castling allowed");
        PanelState expected = parse.panel;
        expected.whiteShortCastling = expected.whiteLongCastling = false;
        EXPECT_EQ(result.panel, expected);
    }

    // Pressing Validate again after each correction walks through the failures one by one and
    // ends with a position that passes.
    TEST(Validation, RepeatedValidationConverges)
    {
        struct Step {
            const char* message;
            const char* line;
        };
        EpdParse parse = ParseEPDLine("1r2k1r1/8/8/8/8/8/8/1R2K1R1 w KQkq c6 0 1");
        ASSERT_TRUE(parse.accepted);
        const Step steps[] = {
            { "No white short castling allowed", "1r2k1r1/8/8/8/8/8/8/1R2K1R1 w Qkq c6 0 1" },
            { "No white long castling allowed", "1r2k1r1/8/8/8/8/8/8/1R2K1R1 w kq c6 0 1" },
            { "No black short castling allowed", "1r2k1r1/8/8/8/8/8/8/1R2K1R1 w q c6 0 1" },
            { "No black long castling allowed", "1r2k1r1/8/8/8/8/8/8/1R2K1R1 w - c6 0 1" },
            { "ep field invalid", "1r2k1r1/8/8/8/8/8/8/1R2K1R1 w - - 0 1" },
            { "", "1r2k1r1/8/8/8/8/8/8/1R2K1R1 w - - 0 1" },
        };
        PanelState panel = parse.panel;
        for (const Step& step : steps) {
            const ValidationResult result = ValidatePosition(parse.board, panel);
            EXPECT_EQ(result.message, step.message);
            EXPECT_EQ(BuildEPDLine(parse.board, result.panel), step.line);
            panel = result.panel;
        }
    }

} // namespace
} // namespace pictog
