#include "position/epd_line.h"
#include "position/epd_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace pictog {
namespace {

    // What a parse left behind, written as a line: the board read so far and the panel.
    std::string stateOf(const EpdParse& parse)
    {
        return BuildEPDLine(parse.board, parse.panel);
    }

    const std::string E = "8/8/8/8/8/8/8/8";

    struct AcceptCase {
        std::string input;
        std::string built;
    };

    class ParseAccepts : public testing::TestWithParam<AcceptCase>
    {
    };

    TEST_P(ParseAccepts, BuildsTheExpectedLine)
    {
        const EpdParse parse = ParseEPDLine(GetParam().input);
        EXPECT_TRUE(parse.accepted) << parse.message;
        EXPECT_EQ(parse.message, "");
        EXPECT_EQ(stateOf(parse), GetParam().built);
    }

    INSTANTIATE_TEST_SUITE_P(Lines, ParseAccepts,
        testing::Values(
            // Placement alone, the initial EPD line, the usual six fields.
            AcceptCase { E, E + " w - - 0 1" },
            AcceptCase { std::string(InitialPositionLine),
                "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" },
            AcceptCase { "r3k2r/8/8/3pP3/8/8/8/R3K2R w Kq d6 7 42",
                "r3k2r/8/8/3pP3/8/8/8/R3K2R w Kq d6 7 42" },
            // Slashes are skipped wherever they stand; rank lengths are not checked.
            AcceptCase { "88888888", E + " w - - 0 1" },
            AcceptCase { "8888/8888", E + " w - - 0 1" },
            AcceptCase { "/8/8/8/8/8/8/8/8", E + " w - - 0 1" },
            AcceptCase { "4p4/7/8/8/8/8/8/8", "4p3/8/8/8/8/8/8/8 w - - 0 1" },
            AcceptCase { "2p6/7/8/8/8/8/8/8", "2p5/8/8/8/8/8/8/8 w - - 0 1" },
            AcceptCase { "7k1/7/8/8/8/8/8/7K", "7k/8/8/8/8/8/8/7K w - - 0 1" },
            AcceptCase { "kK61/7/8/8/8/8/8/8", "kK6/8/8/8/8/8/8/8 w - - 0 1" },
            // Side to move: one letter, the rest of the word ignored.
            AcceptCase { E + " b", E + " b - - 0 1" },
            AcceptCase { E + " white", E + " w - - 0 1" },
            AcceptCase { E + " black KQkq", E + " b KQkq - 0 1" },
            // Castling: any order, repeats, stops at the first other character.
            AcceptCase { E + " b qkQK - 12 34", E + " b KQkq - 12 34" },
            AcceptCase { E + " w KQxkq -", E + " w KQ - 0 1" },
            AcceptCase { E + " w qqqk -", E + " w kq - 0 1" },
            AcceptCase { E + " w -KQ -", E + " w - - 0 1" },
            AcceptCase { E + " w x -", E + " w - - 0 1" },
            // En passant: two characters compared, the rest of the field ignored.
            AcceptCase { E + " b - e3x 0 1", E + " b - e3 0 1" },
            AcceptCase { E + " w - a6", E + " w - a6 0 1" },
            AcceptCase { E + " w - h3 0 1", E + " w - h3 0 1" },
            AcceptCase { E + " w - -x", E + " w - - 0 1" },
            // Counters: trimmed, a lone number not read, non-integers default, values clamped.
            AcceptCase { E + " w - - 5", E + " w - - 0 1" },
            AcceptCase { E + " w - - 5 ", E + " w - - 0 1" },
            AcceptCase { E + " w - - 150 1200", E + " w - - 100 999" },
            AcceptCase { E + " w - - x y", E + " w - - 0 1" },
            AcceptCase { E + " w - - 5 x", E + " w - - 5 1" },
            AcceptCase { E + " w - - x 7", E + " w - - 0 7" },
            AcceptCase { E + " w - - 5 7 9", E + " w - - 5 1" },
            AcceptCase { E + " w - - 12 34;", E + " w - - 12 1" },
            AcceptCase { E + " w KQkq - hmvc 0; fmvn 1;", E + " w KQkq - 0 1" },
            AcceptCase { E + " w - -  3  4 ", E + " w - - 3 4" },
            AcceptCase { E + " w - - \t3\t 4\t", E + " w - - 3 4" },
            AcceptCase { E + " w - - 3\t4", E + " w - - 0 1" },
            AcceptCase { E + " w - - 3 4\t5", E + " w - - 3 1" },
            AcceptCase { E + " w - - -5 -7", E + " w - - 0 1" },
            AcceptCase { E + " w - - +7 +9", E + " w - - 7 9" },
            AcceptCase { E + " w - - 007 010", E + " w - - 7 10" },
            AcceptCase { E + " w - - + -", E + " w - - 0 1" },
            AcceptCase { E + " w - - 2147483647 2147483647", E + " w - - 100 999" },
            AcceptCase { E + " w - - 2147483648 5", E + " w - - 0 5" },
            AcceptCase { E + " w - - 5 -2147483648", E + " w - - 5 1" },
            AcceptCase { E + " w - - 99 99999999999999999999", E + " w - - 99 1" },
            // A line break after two or more fields is read as if it were not there.
            AcceptCase { E + " b\r\n", E + " b - - 0 1" },
            AcceptCase { E + " w KQ\r\n", E + " w KQ - 0 1" },
            AcceptCase { E + " w - e6\n", E + " w - e6 0 1" },
            AcceptCase { E + " w - - 3 4\r\n", E + " w - - 3 4" },
            // An empty castling or en-passant field at the very end reads as absent.
            AcceptCase { E + " w ", E + " w - - 0 1" },
            AcceptCase { E + " b Qk ", E + " b Qk - 0 1" },
            AcceptCase { E + " w - - ", E + " w - - 0 1" },
            // Every piece on every square: a 71-character placement reads back.
            AcceptCase {
                "rnbqkbnr/pppppppp/RNBQKBNR/PPPPPPPP/kqrbnpKQ/RBNPkqrb/nKQRBNPp/KQkqRrBb b - - 0 1",
                "rnbqkbnr/pppppppp/RNBQKBNR/PPPPPPPP/kqrbnpKQ/RBNPkqrb/nKQRBNPp/KQkqRrBb b - - 0 "
                "1" }));

    struct RejectCase {
        std::string input;
        std::string message;
        std::string state; // board read before the error and the panel as the steps left it
    };

    class ParseRejects : public testing::TestWithParam<RejectCase>
    {
    };

    TEST_P(ParseRejects, ReportsTheMessageAndKeepsWhatWasRead)
    {
        const EpdParse parse = ParseEPDLine(GetParam().input);
        EXPECT_FALSE(parse.accepted);
        EXPECT_EQ(parse.message, GetParam().message);
        EXPECT_EQ(stateOf(parse), GetParam().state);
    }

    const std::string Invalid(MsgInvalidCharSuffix);
    const std::string Position(MsgPositionError);
    const std::string Rank(MsgRankError);
    const std::string MoveRight(MsgMoveRightError);
    const std::string EpField(MsgEpFieldError);

    INSTANTIATE_TEST_SUITE_P(Lines, ParseRejects,
        testing::Values(
            // Too few or too many squares.
            RejectCase { "", Position, E + " w - - 0 1" },
            RejectCase { "8/8/8/8/8/8/8", Position, E + " w - - 0 1" },
            RejectCase { "8/8/8/8/8/8/8/7", Position, E + " w - - 0 1" },
            RejectCase { "8/8/8/8/8/8/8/8p", Position, E + " w - - 0 1" },
            RejectCase { "8/8/8/8/8/8/8/7pp w", Position, "8/8/8/8/8/8/8/7p w - - 0 1" },
            RejectCase { "8/8/8/8/8/8/8/7K1", Position, "8/8/8/8/8/8/8/7K w - - 0 1" },
            RejectCase { " " + E + " w - - 0 1", Position, E + " w - - 0 1" },
            RejectCase { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN", Position,
                "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN1 w - - 0 1" },
            // A run that would take the file counter past 9.
            RejectCase { "2p7/8/8/8/8/8/8/8", Rank, "2p5/8/8/8/8/8/8/8 w - - 0 1" },
            RejectCase { "8/8/8/8/8/8/8/7K2", Rank, "8/8/8/8/8/8/8/7K w - - 0 1" },
            RejectCase { "8/8/8/8/8/8/8/8/2", Rank, E + " w - - 0 1" },
            RejectCase { "8/8/8/8/8/8/8/8/1", Position, E + " w - - 0 1" },
            // Characters that are no piece letter, no digit 1..8 and no single slash.
            RejectCase { "rnbqkbnr/ppppxppp/8/8/8/8/PPPPPPPP/RNBQKBNR", "x" + Invalid,
                "rnbqkbnr/pppp4/8/8/8/8/8/8 w - - 0 1" },
            RejectCase { "0/8/8/8/8/8/8/8", "0" + Invalid, E + " w - - 0 1" },
            RejectCase { "9/8/8/8/8/8/8/8", "9" + Invalid, E + " w - - 0 1" },
            RejectCase { "8//8/8/8/8/8/8/8", "/" + Invalid, E + " w - - 0 1" },
            RejectCase { E + "\n", "\n" + Invalid, E + " w - - 0 1" },
            RejectCase { E + "\r\n", "\r" + Invalid, E + " w - - 0 1" },
            RejectCase { E + "\tw - - 0 1", "\t" + Invalid, E + " w - - 0 1" },
            RejectCase { "k" + std::string(1, '\0') + "7/8/8/8/8/8/8/8",
                std::string(1, '\0') + Invalid, "k7/8/8/8/8/8/8/8 w - - 0 1" },
            // A multi-byte character is quoted whole; a broken one as far as it goes.
            RejectCase { "8/\xC3\xA9/8", "\xC3\xA9" + Invalid, E + " w - - 0 1" },
            RejectCase { "8/\xE2\x82\xAC", "\xE2\x82\xAC" + Invalid, E + " w - - 0 1" },
            RejectCase { "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80" + Invalid, E + " w - - 0 1" },
            RejectCase { "\xE2\x82", "\xE2\x82" + Invalid, E + " w - - 0 1" },
            RejectCase { "\xC3"
                         "A",
                "\xC3" + Invalid, E + " w - - 0 1" },
            RejectCase { "\x80", "\x80" + Invalid, E + " w - - 0 1" },
            // A slash ending the text, and a slash ending the placement before a space.
            RejectCase { E + "/", Position, E + " w - - 0 1" },
            RejectCase { E + "/ w - - 0 1", " " + Invalid, E + " w - - 0 1" },
            // Side to move.
            RejectCase { E + " W", MoveRight, E + " w - - 0 1" },
            RejectCase { E + " ", MoveRight, E + " w - - 0 1" },
            RejectCase { E + "  w - - 0 1", MoveRight, E + " w - - 0 1" },
            RejectCase { "4k3/8/8/8/8/8/8/4K3 -", MoveRight, "4k3/8/8/8/8/8/8/4K3 w - - 0 1" },
            // En passant, with what the steps before it set.
            RejectCase { E + " b - E3", EpField, E + " b - - 0 1" },
            RejectCase { E + " b KQ e", EpField, E + " b KQ - 0 1" },
            RejectCase { E + " b KQ e 0 1", EpField, E + " b KQ - 0 1" },
            RejectCase { E + " w k e4", EpField, E + " w k - 0 1" },
            RejectCase { E + " w - i3", EpField, E + " w - - 0 1" },
            RejectCase { E + " w - 3e", EpField, E + " w - - 0 1" },
            RejectCase { E + " w - \xC3\xA9", EpField, E + " w - - 0 1" },
            // A doubled space before castling leaves it empty and reads the letters as en passant.
            RejectCase { E + " w  KQkq - 0 1", EpField, E + " w - - 0 1" },
            RejectCase { E + " b KQkq  - 0 1", EpField, E + " b KQkq - 0 1" }));

    TEST(ParseEPDLine, InvalidCharacterStopsReadingAtOnce)
    {
        // Pieces after the bad character are not read, so only a8..d8 stand.
        const EpdParse parse = ParseEPDLine("rnbq?bnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR");
        EXPECT_EQ(parse.message, "?" + Invalid);
        EXPECT_EQ(BuildEPDLine(parse.board, parse.panel), "rnbq4/8/8/8/8/8/8/8 w - - 0 1");
    }

    struct BuildCase {
        const char* name;
        PanelState panel;
        std::string fields; // everything after the placement
    };

    PanelState panelWith(int moveRight, const char* castling, int epField, int halfMove, int move)
    {
        PanelState panel;
        panel.moveRight = moveRight;
        for (const char* c = castling; *c; ++c) {
            panel.whiteShortCastling |= *c == 'K';
            panel.whiteLongCastling |= *c == 'Q';
            panel.blackShortCastling |= *c == 'k';
            panel.blackLongCastling |= *c == 'q';
        }
        panel.epField = epField;
        panel.halfMoveClock = halfMove;
        panel.moveNumber = move;
        return panel;
    }

    TEST(BuildEPDLine, WritesThePanelFields)
    {
        const BuildCase cases[] = {
            { "defaults", PanelState {}, " w - - 0 1" },
            { "nothing selected", PanelState::unselected(), " w - - 0 1" },
            { "black", panelWith(1, "", 0, 0, 1), " b - - 0 1" },
            { "castling order", panelWith(0, "qkQK", 0, 0, 1), " w KQkq - 0 1" },
            { "white long, black short", panelWith(0, "Qk", 0, 0, 1), " w Qk - 0 1" },
            { "black long only", panelWith(0, "q", 0, 0, 1), " w q - 0 1" },
            { "a3", panelWith(1, "", 1, 0, 1), " b - a3 0 1" },
            { "a6", panelWith(0, "", 2, 0, 1), " w - a6 0 1" },
            { "f3", panelWith(1, "", 11, 0, 1), " b - f3 0 1" },
            { "f6", panelWith(0, "", 12, 0, 1), " w - f6 0 1" },
            { "h6", panelWith(0, "", 16, 0, 1), " w - h6 0 1" },
            { "entry out of range", panelWith(0, "", 17, 0, 1), " w - - 0 1" },
            { "counters", panelWith(0, "", 0, 100, 999), " w - - 100 999" },
            // A value the user typed stands as typed until the box clamps it.
            { "typed counters", panelWith(0, "", 0, 250, -3), " w - - 250 -3" },
            { "extreme counters", panelWith(0, "", 0, -2147483647 - 1, 2147483647),
                " w - - -2147483648 2147483647" },
        };
        for (const BuildCase& c : cases)
            EXPECT_EQ(BuildEPDLine(emptyPosition(), c.panel), E + c.fields) << c.name;
    }

    TEST(BuildEPDLine, DropsThePlacementBeforeAnUnknownCode)
    {
        struct Case {
            int square;
            int code;
            const char* placement;
        };
        // A king on a8 makes the dropped text visible; the run before the bad square is dropped
        // with it and building goes on with the next square.
        const Case cases[] = {
            { 34, 13, "3/8/8/8 w - - 0 1" },
            { 0, 15, "7 w - - 0 1" },
            { 77, 14, "/8/8/8/8/8/8/8 w - - 0 1" },
            { 70, 13, "7/8/8/8/8/8/8/8 w - - 0 1" },
        };
        for (const Case& c : cases) {
            TChessPosition board = emptyPosition();
            board.SetPiece(BlackKing, 70);
            board.SetPiece(c.code, c.square);
            int bad = -1;
            EXPECT_EQ(BuildEPDLine(board, PanelState {}, &bad), c.placement) << c.square;
            EXPECT_EQ(bad, 1);
        }
        int bad = -1;
        BuildEPDLine(TChessPosition(), PanelState {}, &bad);
        EXPECT_EQ(bad, 0);
    }

    TEST(BuildEPDLine, LongestLineFitsTheBuffer)
    {
        TChessPosition board = emptyPosition();
        for (int rank = 0; rank < 8; ++rank)
            for (int file = 0; file < 8; ++file)
                board.SetPiece(WhiteQueen, squareIndex(file, rank));
        const std::string line
            = BuildEPDLine(board, panelWith(1, "KQkq", 16, -2147483647 - 1, -2147483647 - 1));
        EXPECT_EQ(line.size(), MaxEpdLineLength);
    }

    // Random boards (sparse to full, every piece code) with random panels, built, parsed and
    // built again: the parse gives back the same board and panel, the second build the same line.
    TEST(EpdRoundTrip, EveryBuiltLineParsesBackUnchanged)
    {
        std::mt19937 random(20240601);
        auto uniform = [&random](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        for (int i = 0; i < 20000; ++i) {
            TChessPosition board = emptyPosition();
            // Every tenth board is full; the others range from empty to nearly full.
            const int density = i % 10 == 0 ? 100 : uniform(0, 100);
            for (int rank = 0; rank < 8; ++rank)
                for (int file = 0; file < 8; ++file)
                    if (uniform(1, 100) <= density)
                        board.SetPiece(uniform(1, 12), squareIndex(file, rank));
            PanelState panel;
            panel.moveRight = uniform(-1, 1);
            panel.whiteShortCastling = uniform(0, 1);
            panel.whiteLongCastling = uniform(0, 1);
            panel.blackShortCastling = uniform(0, 1);
            panel.blackLongCastling = uniform(0, 1);
            panel.epField = uniform(-1, 16);
            panel.setHalfMoveClock(uniform(-5, 105));
            panel.setMoveNumber(uniform(-5, 1005));

            const std::string line = BuildEPDLine(board, panel);
            const EpdParse parse = ParseEPDLine(line);
            ASSERT_TRUE(parse.accepted) << line << ": " << parse.message;
            EXPECT_EQ(parse.board, board) << line;
            PanelState expected = panel;
            expected.moveRight = panel.moveRight == 1 ? 1 : 0;
            expected.epField = panel.epField < 0 ? 0 : panel.epField;
            EXPECT_EQ(parse.panel, expected) << line;
            ASSERT_EQ(BuildEPDLine(parse.board, parse.panel), line);
        }
    }

    TEST(EpdRoundTrip, TypedCountersComeBackClamped)
    {
        const EpdParse parse
            = ParseEPDLine(BuildEPDLine(TChessPosition(), panelWith(0, "", 0, 250, 0)));
        ASSERT_TRUE(parse.accepted);
        EXPECT_EQ(parse.panel.halfMoveClock, 100);
        EXPECT_EQ(parse.panel.moveNumber, 1);
    }

    TEST(EpdParse, ParsingIntoAUsedResultStartsFromScratch)
    {
        EpdParse result;
        StringByteSource full("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq e3 9 9");
        detail::parseEPDLineInto(full, result);
        ASSERT_TRUE(result.accepted);
        StringByteSource bad("8/8/8/8/8/8/8/8 w - E3");
        detail::parseEPDLineInto(bad, result);
        EXPECT_FALSE(result.accepted);
        EXPECT_EQ(result.message, MsgEpFieldError);
        EXPECT_EQ(stateOf(result), E + " w - - 0 1");
        StringByteSource good("k7/8/8/8/8/8/8/7K");
        detail::parseEPDLineInto(good, result);
        EXPECT_TRUE(result.accepted);
        EXPECT_EQ(result.message, "");
        EXPECT_EQ(stateOf(result), "k7/8/8/8/8/8/8/7K w - - 0 1");
    }

} // namespace
} // namespace pictog
