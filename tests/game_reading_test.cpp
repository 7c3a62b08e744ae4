// Reading games, EPD operations and puzzle rows. Expected positions are worked out by hand from
// the moves; every PGN case is read twice, once in one piece and once a byte per read call, and
// both must agree.
#include "game/epd_operations.h"
#include "game/pgn_reader.h"
#include "game/puzzle_csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace pictog;
using namespace pictog::game;

const char* const KingsPawn2 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2";
const char* const KingsPawn1 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
const char* const QueensPawn1 = "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 1";

// What one game must read as: its end position, or its error and the line of it.
struct ExpectedGame {
    std::string fen = {}; // empty when an error is expected
    std::string error = {}; // the start of the message
    long line = 0;
};

struct PgnCase {
    const char* name;
    std::string text;
    std::vector<ExpectedGame> games;
};

std::vector<PgnCase> pgnCases()
{
    std::string manyTags;
    for (int i = 0; i < 1001; ++i)
        manyTags += "[A \"b\"]\n";
    return {
        { "tag limit", manyTags + "1. e4 *", { { "", "more than 1000 tags", 1001 } } },
        { "tags, numbers, result", "[Event \"E\"]\n[White \"A\"]\n\n1. e4 e5 2. Nf3 *\n",
            { { KingsPawn2 } } },
        { "number forms", "1.e4 1...e5 2 Nf3 1-0", { { KingsPawn2 } } },
        { "comments", "1. e4 {best} e5 ; rest of line\n2. Nf3 1/2-1/2", { { KingsPawn2 } } },
        { "escape line", "%1. d4 here is ignored\n1. e4 e5 2. Nf3 0-1", { { KingsPawn2 } } },
        { "NAGs and glyphs", "1. e4! $1 e5?! 2. Nf3 !! $220 +- *", { { KingsPawn2 } } },
        { "nested variations", "1. e4 (1. d4 d5 (1... Nf6 2. c4) 2. c4) (1. c4) e5 2. Nf3 *",
            { { KingsPawn2 } } },
        { "setup", "[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\"]\n\n1. e4 Kd7 *",
            { { "8/3k4/8/8/4P3/8/8/4K3 w - - 1 2" } } },
        { "BOM", "\xEF\xBB\xBF[White \"J\xC3\xBCrgen\"]\n\n1. e4 *", { { KingsPawn1 } } },
        { "CR only", "[White \"A\"]\r\r1. e4\re5\r*\r[White \"B\"]\r\r1. d4 Nf3 *",
            { { "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2" },
                { "", "illegal move 'Nf3'", 8 } } },
        { "CR LF", "1. e4 *\r\n\r\n1. d4\r\n{x\r\n} e4 *",
            { { KingsPawn1 }, { "", "illegal", 5 } } },
        { "illegal move, then the next game",
            "[Event \"a\"]\n\n1. e4 e5 2. Ke3 Nc6 1-0\n\n[Event \"b\"]\n\n1. d4 *",
            { { "", "illegal move 'Ke3'", 3 }, { QueensPawn1 } } },
        { "variation moves are checked", "1. e4 (1. d4 Nf3) e5 *",
            { { "", "illegal move 'Nf3'", 1 } } },
        { "unclosed comment", "1. e4 {never closed\n\n[Event \"n\"]\n\n1. d4 *",
            { { "", "unclosed comment", 1 }, { QueensPawn1 } } },
        { "tag-like line past the name limit inside a comment",
            "1. e4 {open\n[" + std::string(300, 'a') + " \"x\"]\n1. d4 *",
            { { "", "unclosed comment", 1 } } },
        { "unclosed comment at the end", "1. e4 e5\n{ open", { { "", "unclosed comment", 2 } } },
        { "unclosed variation", "1. e4 (1. d4 d5\n*\n\n1. d4 *",
            { { "", "unclosed variation", 1 }, { QueensPawn1 } } },
        { "missing result", "1. e4 e5\n\n[Event \"n\"]\n\n1. d4 *",
            { { "", "missing result", 3 }, { QueensPawn1 } } },
        { "missing result at the end", "\n1. e4", { { "", "missing result", 2 } } },
        { "variation before any move", "( 1. d4 ) 1. e4 *",
            { { "", "variation without a move", 1 } } },
        { "stray parenthesis", "1. e4 ) *", { { "", "')' without a variation", 1 } } },
        { "bad FEN tag", "[FEN \"8/8/x\"]\n1. e4 *", { { "", "bad FEN tag", 1 } } },
        { "unclosed tag value", "[Event \"a]\n1. e4 *", { { "", "unclosed tag value", 1 } } },
        { "null move", "1. e4 -- *", { { "", "unreadable move '--'", 1 } } },
    };
}

// Reads every game of the text, with the given read function.
std::vector<ExpectedGame> readAll(ReadFunction read)
{
    PgnReader reader(std::move(read));
    PgnGame game;
    std::vector<ExpectedGame> games;
    while (reader.next(game)) {
        if (game.ok())
            games.push_back({ game.end.fenLine(), "", 0 });
        else
            games.push_back({ "", game.error, game.errorLine });
    }
    return games;
}

ReadFunction byteByByte(const std::string& text)
{
    return [text, pos = std::size_t(0)](char* buffer, std::size_t) mutable -> std::size_t {
        if (pos == text.size())
            return 0;
        buffer[0] = text[pos++];
        return 1;
    };
}

TEST(PgnReaderTest, SyntaxAndErrorsTable)
{
    for (const PgnCase& row : pgnCases()) {
        SCOPED_TRACE(row.name);
        for (int way = 0; way < 2; ++way) {
            const std::vector<ExpectedGame> games
                = readAll(way == 0 ? readFromString(row.text) : byteByByte(row.text));
            ASSERT_EQ(games.size(), row.games.size());
            for (std::size_t i = 0; i < games.size(); ++i) {
                SCOPED_TRACE("game " + std::to_string(i + 1));
                EXPECT_EQ(games[i].fen, row.games[i].fen);
                EXPECT_EQ(games[i].error.substr(0, row.games[i].error.size()), row.games[i].error)
                    << games[i].error;
                EXPECT_EQ(games[i].error.empty(), row.games[i].error.empty());
                EXPECT_EQ(games[i].line, row.games[i].line);
            }
        }
    }
}

TEST(PgnReaderTest, TagsCommentsAnnotationsAndEncodings)
{
    const std::string text = "[White \"J\xFCrgen \\\"Kid\\\" \\\\\"]\n[Black \"\xC3\x85sa\"]\n"
                             "[Date \"????.??.??\"]\n\n"
                             "{Start} 1. e4 { good [%clk 0:01:00]\n [%cal Ge2e4,Rd1d8] [%csl Yd5] "
                             "move } { M\xFCller } e5 $220 2. Nf3 {[#]} *";
    PgnReader reader(readFromString(text));
    PgnGame game;
    ASSERT_TRUE(reader.next(game));
    ASSERT_TRUE(game.ok()) << game.error;
    EXPECT_EQ(game.tag("White"), "J\xC3\xBCrgen \"Kid\" \\"); // Latin-1 read, escapes undone
    EXPECT_EQ(game.tag("Black"), "\xC3\x85sa"); // valid UTF-8 kept
    EXPECT_EQ(game.tag("Round"), "");
    ASSERT_EQ(game.moves.size(), 3u);

    const PositionNote* start = game.note(0);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->comment, "Start");
    const PositionNote* afterE4 = game.note(1);
    ASSERT_TRUE(afterE4);
    EXPECT_EQ(afterE4->comment, "good move M\xC3\xBCller");
    const Annotations expected {
        { { squareIndex(4, 1), squareIndex(4, 3), AnnotationColor::Green },
            { squareIndex(3, 0), squareIndex(3, 7), AnnotationColor::Red } },
        { { squareIndex(3, 4), AnnotationColor::Yellow } }
    };
    EXPECT_EQ(afterE4->annotations, expected);
    EXPECT_FALSE(afterE4->diagram);
    const PositionNote* afterE5 = game.note(2);
    ASSERT_TRUE(afterE5);
    EXPECT_TRUE(afterE5->diagram);
    EXPECT_EQ(afterE5->comment, "");
    const PositionNote* afterNf3 = game.note(3);
    ASSERT_TRUE(afterNf3);
    EXPECT_TRUE(afterNf3->diagram);
    EXPECT_FALSE(reader.next(game));
}

TEST(PgnReaderTest, BadArrowSkipsTheGame)
{
    PgnReader reader(readFromString("1. e4 {[%cal Ge2e9]} *\n\n1. d4 *"));
    PgnGame game;
    ASSERT_TRUE(reader.next(game));
    EXPECT_EQ(game.error,
        "bad arrow 'Ge2e9': expected an optional colour letter G, R, Y or B and two different "
        "squares, e.g. Ge2e4");
    ASSERT_TRUE(reader.next(game));
    EXPECT_EQ(game.number, 2);
    EXPECT_EQ(game.end.fenLine(), QueensPawn1);
}

struct EpdCase {
    const char* line;
    std::string fen; // empty: rejected
    std::string operations; // as written back, or the start of the message
};

TEST(EpdOperationsTest, LinesTable)
{
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
    const std::string startFen = start + " 0 1";
    const EpdCase cases[] = {
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - id \"x \\\"y\\\"\"; c0 "
          "\"a\\\\b\"; bm e4 Ng1f3; am f3; pv e4 e5 Nf3; foo 1 \"two\";",
            startFen,
            "id \"x \\\"y\\\"\"; c0 \"a\\\\b\"; bm e4 Nf3; am f3; pv e4 e5 Nf3; foo 1 \"two\";" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - hmvc 7; fmvn 30; id \"a\"",
            start + " 7 30", "id \"a\";" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 3 9 id \"a\";", start + " 3 9",
            "id \"a\";" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 3 9\tid \"a\";", start + " 3 9",
            "id \"a\";" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - bm Nf6;", "",
            "bm: illegal move 'Nf6'" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - pv e4 e4;", "",
            "pv: illegal move 'e4'" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - id \"abc", "",
            "unclosed string in operation 'id'" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 3x;", "", "bad operation '3x'" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - fmvn x;", "", "fmvn: bad number" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 bm e5;", "",
            "bm: illegal move 'e5'" },
        { "rnbqkbnr/pppppppp/8/8/8/8/PPPXPPPP/RNBQKBNR w KQkq - id \"a\";", "",
            "X - Invalid character" },
    };
    for (const EpdCase& row : cases) {
        SCOPED_TRACE(row.line);
        EpdRecord record;
        const auto message = readEpdLine(row.line, record);
        if (row.fen.empty()) {
            ASSERT_TRUE(message);
            EXPECT_EQ(message->substr(0, row.operations.size()), row.operations) << *message;
            continue;
        }
        ASSERT_FALSE(message) << *message;
        EXPECT_EQ(record.board.fenLine(), row.fen);
        std::string written;
        appendOperations(written, record.operations);
        EXPECT_EQ(written, row.operations);
    }
}

TEST(EpdOperationsTest, RecordLines)
{
    // The TAB that starts the operations, and the TABs that lines have always been allowed.
    EXPECT_EQ(
        recordPosition("8/8/8/8/8/8/8/8 w - - 0 23\tid \"x\";"), "8/8/8/8/8/8/8/8 w - - 0 23");
    EXPECT_EQ(
        recordPosition("8/8/8/8/8/8/8/8 w - - \t5  17\t "), "8/8/8/8/8/8/8/8 w - - \t5  17\t ");
    EXPECT_EQ(recordPosition("8/8/8/8/8/8/8/8\t[%cal Ge2e4]"), "8/8/8/8/8/8/8/8");

    RecordLine record;
    ASSERT_FALSE(splitRecordLine(
        "8/8/8/8/8/8/8/8 w - - 0 1\tid \"a;b\"; c0 \"say \\\"hi\\\"\"; [%cal Ge2e4][%csl Rd5]",
        record));
    EXPECT_EQ(record.position, "8/8/8/8/8/8/8/8 w - - 0 1");
    ASSERT_EQ(record.operations.size(), 2u);
    EXPECT_EQ(record.operations[0].opcode, "id");
    EXPECT_EQ(record.operations[0].operands[0].text, "a;b");
    EXPECT_EQ(record.operations[1].operands[0].text, "say \"hi\"");
    ASSERT_TRUE(firstOperand(record.operations, "c0"));
    EXPECT_EQ(*firstOperand(record.operations, "c0"), "say \"hi\"");
    EXPECT_FALSE(firstOperand(record.operations, "pv"));
    ASSERT_EQ(record.annotations.arrows.size(), 1u);
    EXPECT_EQ(record.annotations.arrows[0].from, squareIndex(4, 1));
    ASSERT_EQ(record.annotations.squares.size(), 1u);
    EXPECT_EQ(record.annotations.squares[0].square, squareIndex(3, 4));

    const auto message = splitRecordLine("8/8/8/8/8/8/8/8 w - - 0 1\t[%cal Ge2e2]", record);
    ASSERT_TRUE(message);
    EXPECT_EQ(*message,
        "bad arrow 'Ge2e2': expected an optional colour letter G, R, Y or B and two different "
        "squares, e.g. Ge2e4");
    EXPECT_EQ(record.position, "8/8/8/8/8/8/8/8 w - - 0 1");
}

TEST(PuzzleCsvTest, RowsAndHeader)
{
    PuzzleColumns columns;
    EXPECT_FALSE(readPuzzleHeader("00008,r6k/8/8/8/8/8/8/7K w - - 0 1,h1g1", columns));
    ASSERT_TRUE(readPuzzleHeader("Rating,FEN,\"PuzzleId\",Moves", columns));
    EXPECT_EQ(columns.id, 2);
    EXPECT_EQ(columns.fen, 1);
    EXPECT_EQ(columns.moves, 3);

    // Black's Bxg3 is the opponent's move; White then wins the exchange on e7 and the queen
    // ends the checks on c1.
    Puzzle puzzle;
    const PuzzleColumns standard;
    ASSERT_FALSE(readPuzzleLine("00008,r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2R1/PqP2bPP/7K b - - 0 24,"
                                "f2g3 e6e7 b2b1 b3c1 b1c1 h6c1,1913,\"crushing, long\"",
        standard, puzzle));
    EXPECT_EQ(puzzle.id, "00008");
    EXPECT_EQ(puzzle.position.fenLine(), "r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2b1/PqP3PP/7K w - - 0 25");
    EXPECT_EQ(
        puzzle.solution, (std::vector<std::string> { "Rxe7", "Qb1+", "Nc1", "Qxc1+", "Qxc1" }));

    const std::pair<const char*, const char*> bad[] = {
        { "1,8/8/8/8/8/8/8/8 w - - 0 1,e2e4", "Moves: illegal move 'e2e4'" },
        { "1,8/8/8/8/8/8/8/Z w - - 0 1,e2e4", "FEN: Z - Invalid character" },
        { "1,rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1,", "Moves: no moves" },
        { "1", "too few columns" },
    };
    for (const auto& [line, error] : bad) {
        const auto message = readPuzzleLine(line, standard, puzzle);
        ASSERT_TRUE(message) << line;
        EXPECT_EQ(message->substr(0, std::string(error).size()), error) << *message;
    }
}

} // namespace
