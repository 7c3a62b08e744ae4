// The plain-text exports: FEN and CCC strings, the ASCII board and the PGN header.
#include "export/text_exports.h"
#include "position/epd_line.h"

#include <gtest/gtest.h>

namespace pictog {
namespace {

    struct Position {
        BoardCodes pieces;
        std::string line;
    };

    Position positionOf(std::string_view fen)
    {
        const EpdParse parse = ParseEPDLine(fen);
        EXPECT_TRUE(parse.accepted) << fen;
        return { boardCodesOf(parse.board), BuildEPDLine(parse.board, parse.panel) };
    }

    constexpr std::string_view Initial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    constexpr const char* InitialLine = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

    TEST(TextExportTest, FenStringsCarryNoLineEnd)
    {
        EXPECT_EQ(BuildFENString(InitialLine), InitialLine);
        EXPECT_EQ(BuildCCCFENString(InitialLine), std::string("[D]") + InitialLine);
        EXPECT_EQ(BuildFENString(""), "");
        EXPECT_EQ(BuildCCCFENString(""), "[D]");
    }

    struct AsciiCase {
        const char* name;
        const char* fen;
        int moveRight;
        AsciiSettings settings;
        const char* expected;
    };

    TEST(TextExportTest, AsciiBoard)
    {
        const AsciiCase cases[] = {
            { "initial with coordinates", Initial.data(), 0, { true, true, true },
                "      a   b   c   d   e   f   g   h\r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  8 | R*| N*| B*| Q*| K*| B*| N*| R*| 8  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  7 | P*| P*| P*| P*| P*| P*| P*| P*| 7  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  6 |   |   |   |   |   |   |   |   | 6  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  5 |   |   |   |   |   |   |   |   | 5  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  4 |   |   |   |   |   |   |   |   | 4  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  3 |   |   |   |   |   |   |   |   | 3  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  2 | P | P | P | P | P | P | P | P | 2  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  1 | R | N | B | Q | K | B | N | R | 1  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "      a   b   c   d   e   f   g   h\r\n"
                "\r\n"
                "    White to move\r\n"
                "\r\n"
                "FEN: rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\r\n" },
            { "initial without coordinates", Initial.data(), 0, { false, true, true },
                "    +---+---+---+---+---+---+---+---+\r\n"
                "    | R*| N*| B*| Q*| K*| B*| N*| R*|    \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "    | P*| P*| P*| P*| P*| P*| P*| P*|    \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "    |   |   |   |   |   |   |   |   |    \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "    |   |   |   |   |   |   |   |   |    \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "    |   |   |   |   |   |   |   |   |    \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "    |   |   |   |   |   |   |   |   |    \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "    | P | P | P | P | P | P | P | P |    \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "    | R | N | B | Q | K | B | N | R |    \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "\r\n"
                "    White to move\r\n"
                "\r\n"
                "FEN: rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1\r\n" },
            { "no side, no FEN, coordinates: ends with the letter line",
                "8/8/8/8/8/8/8/7k b - - 0 1", 1, { true, false, false },
                "      a   b   c   d   e   f   g   h\r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  8 |   |   |   |   |   |   |   |   | 8  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  7 |   |   |   |   |   |   |   |   | 7  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  6 |   |   |   |   |   |   |   |   | 6  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  5 |   |   |   |   |   |   |   |   | 5  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  4 |   |   |   |   |   |   |   |   | 4  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  3 |   |   |   |   |   |   |   |   | 3  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  2 |   |   |   |   |   |   |   |   | 2  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "  1 |   |   |   |   |   |   |   | K*| 1  \r\n"
                "    +---+---+---+---+---+---+---+---+\r\n"
                "      a   b   c   d   e   f   g   h\r\n" },
        };
        for (const AsciiCase& c : cases) {
            const Position position = positionOf(c.fen);
            EXPECT_EQ(BuildASCIIBoard(position.pieces, c.moveRight, position.line, c.settings),
                c.expected)
                << c.name;
        }
    }

    TEST(TextExportTest, AsciiSideLineAndEveryPiece)
    {
        const Position position = positionOf("kqrbnp2/8/8/8/8/8/8/KQRBNP2 w - - 0 1");
        struct SideCase {
            int moveRight;
            const char* side;
        };
        for (const SideCase c :
            { SideCase { 0, "White" }, SideCase { 1, "Black" }, SideCase { -1, "Black" } }) {
            const std::string text
                = BuildASCIIBoard(position.pieces, c.moveRight, "LINE", { false, true, true });
            const std::string expectedTail
                = std::string("\r\n    ") + c.side + " to move\r\n\r\nFEN: LINE\r\n";
            ASSERT_GE(text.size(), expectedTail.size());
            EXPECT_EQ(text.substr(text.size() - expectedTail.size()), expectedTail) << c.moveRight;
            EXPECT_NE(
                text.find("    | K*| Q*| R*| B*| N*| P*|   |   |    \r\n"), std::string::npos);
            EXPECT_NE(
                text.find("    | K | Q | R | B | N | P |   |   |    \r\n"), std::string::npos);
        }
    }

    struct PgnCase {
        int moveRight;
        const char* moveText;
    };

    TEST(TextExportTest, PgnHeaderForEachSideToMove)
    {
        const PgnCase cases[] = { { 0, "1. *" }, { 1, "1... *" }, { -1, "1. *" } };
        for (const PgnCase& c : cases) {
            const std::string line = "8/8/8/8/8/8/8/k6K b - - 3 40";
            EXPECT_EQ(BuildPGNHeader(line, c.moveRight, "24.12.2024"),
                std::string("[Event \"Test Position\"]\r\n"
                            "[Site \"Pictog V1.01\"]\r\n"
                            "[Date \"24.12.2024\"]\r\n"
                            "[Round \"1\"]\r\n"
                            "[White \"White\"]\r\n"
                            "[Black \"Black\"]\r\n"
                            "[Result \"*\"]\r\n"
                            "[SetUp \"1\"]\r\n"
                            "[FEN \"8/8/8/8/8/8/8/k6K b - - 3 40\"]\r\n"
                            "\r\n")
                    + c.moveText + "\r\n\r\n")
                << c.moveRight;
        }
        EXPECT_NE(BuildPGNHeader("", 0, "").find("[Date \"\"]\r\n"), std::string::npos);
        EXPECT_NE(BuildPGNHeader("", 0, "").find("[FEN \"\"]\r\n"), std::string::npos);
    }

} // namespace
} // namespace pictog
