// Game trees with variations, opened files of games and positions, and the cursor through a
// game: tables of PGN texts with their trees and faults, the tree reader checked against the
// streaming reader on random games, navigation and moves made, captions that follow entries.
#include "editor/game_file.h"
#include "editor/undo_stack.h"
#include "game/pgn_reader.h"
#include "game/san.h"

#include <gtest/gtest.h>

#include <random>

namespace pictog {
namespace {

    using game::GameTree;

    // The SAN of the line from the start through every first child.
    std::string mainLine(const GameTree& tree)
    {
        std::string out;
        for (int n = 0; !tree.node(n).children.empty();) {
            n = tree.node(n).children.front();
            out += (out.empty() ? "" : " ") + tree.node(n).san;
        }
        return out;
    }

    int find(const GameTree& tree, const std::string& san, int from = 1)
    {
        for (int n = from; n < tree.size(); ++n) {
            if (tree.node(n).san == san)
                return n;
        }
        return -1;
    }

    struct TreeRow {
        const char* pgn;
        const char* mainLine;
        int nodes;
        const char* error; // "" for none
        long errorLine;
    };

    TEST(GameTree, ReadsMovesVariationsAndFaults)
    {
        const TreeRow rows[] = {
            { "1. e4 e5 2. Nf3 Nc6 *", "e4 e5 Nf3 Nc6", 5, "", 0 },
            { "1.e4 (1. d4 d5) 1... e5 (1... c5 2. Nf3 (2. c3)) 2. Nf3 1-0", "e4 e5 Nf3", 9, "",
                0 },
            { "[FEN \"8/8/8/8/8/8/8/K6k b - - 0 1\"]\n\n1... Kg2 2. Kb1 *", "Kg2 Kb1", 3, "", 0 },
            { "% escape line\n1. e4 ; rest of line\n e5 1/2-1/2", "e4 e5", 3, "", 0 },
            { "1. e4 e5\n2. Ke3 *", "e4 e5", 3, "illegal move 'Ke3'", 2 },
            { "1. e4 (1. d4\n\n1-0", "e4", 3, "unclosed variation", 1 },
            { "1. e4 e5", "e4 e5", 3, "missing result", 1 },
            { "1. e4 {open\n\n*", "e4", 2, "unclosed comment", 1 },
            { "(1. e4) *", "", 1, "variation without a move before it", 1 },
            { "1. e4 ) *", "e4", 2, "')' without a variation to close", 1 },
            { "1. e4 e5 (1... d5 (1... d6 (1... c6 *", "e4 e5", 6, "unclosed variation", 1 },
        };
        for (const TreeRow& row : rows) {
            SCOPED_TRACE(row.pgn);
            const game::GameRead read = game::readGameTree(row.pgn);
            EXPECT_EQ(mainLine(read.tree), row.mainLine);
            EXPECT_EQ(read.tree.size(), row.nodes);
            EXPECT_EQ(read.error.substr(0, std::string(row.error).size()), row.error);
            EXPECT_EQ(read.errorLine, row.errorLine);
        }
    }

    TEST(GameTree, KeepsCommentsGlyphsAndAnnotationsWithTheirPositions)
    {
        const game::GameRead read = game::readGameTree(
            "{ Start } 1. e4!? { [%cal Ge2e4] best  by\n test } $14 (1. d4 { [%csl Rd4] } d5?) "
            "(1. c4) 1... e5?? $1 ({ instead } 1... c5) *");
        ASSERT_TRUE(read.ok()) << read.error;
        const GameTree& t = read.tree;
        EXPECT_EQ(t.node(0).comment, "Start");
        const int e4 = find(t, "e4");
        EXPECT_EQ(t.node(e4).comment, "best by test");
        EXPECT_EQ(t.node(e4).nags, (std::vector<int> { 5, 14 }));
        EXPECT_EQ(formatAnnotationComment(t.node(e4).annotations), "[%cal Ge2e4]");
        EXPECT_EQ(formatAnnotationComment(t.node(find(t, "d4")).annotations), "[%csl Rd4]");
        EXPECT_EQ(t.node(find(t, "d5")).nags, std::vector<int> { 2 });
        EXPECT_EQ(t.node(find(t, "e5")).nags, (std::vector<int> { 4, 1 }));
        EXPECT_EQ(t.node(find(t, "c5")).commentBefore, "instead");
        // Two alternatives to 1. e4 in the order written, and one to 1... e5.
        EXPECT_EQ(t.node(0).children.size(), 3u);
        EXPECT_EQ(t.node(t.node(0).children[2]).san, "c4");
        EXPECT_EQ(t.moveNumber(find(t, "c5")), "1...");
        EXPECT_FALSE(t.onMainLine(find(t, "d5")));
        EXPECT_TRUE(t.onMainLine(find(t, "e5")));
    }

    // Random legal games with variations written as PGN: the tree holds every move written,
    // and its main line is the one the streaming reader keeps.
    TEST(GameTree, AgreesWithTheStreamingReaderOnRandomGames)
    {
        std::mt19937 random(7);
        std::string pgn;
        std::vector<std::vector<std::string>> written;
        for (int g = 0; g < 40; ++g) {
            game::Board board = game::Board::initial();
            std::vector<std::string> sans;
            pgn += "[Event \"random\"]\n\n";
            for (int ply = 0; ply < 60; ++ply) {
                game::MoveList moves;
                game::generateLegalMoves(board, moves);
                if (moves.empty())
                    break;
                const std::size_t index = random() % moves.size();
                const game::Move move = moves[index];
                const std::string san = game::writeSan(board, move);
                pgn += std::to_string(board.fullmoveNumber())
                    + (board.whiteToMove() ? ". " : "... ") + san + " ";
                if (random() % 5 == 0 && moves.size() > 1) {
                    const game::Move other = moves[(index + 1) % moves.size()];
                    pgn += "( " + std::to_string(board.fullmoveNumber())
                        + (board.whiteToMove() ? ". " : "... ") + game::writeSan(board, other)
                        + " {side} ) ";
                    sans.push_back("(" + game::writeSan(board, other));
                }
                sans.push_back(san);
                board.play(move);
            }
            pgn += "*\n\n";
            written.push_back(sans);
        }
        auto text = std::make_shared<const std::string>(pgn);
        GameFileLister lister(text, GameFileKind::Games);
        std::vector<GameFileEntry> entries;
        while (lister.read(7, entries)) { }
        ASSERT_EQ(entries.size(), written.size());
        EXPECT_FALSE(lister.firstProblem());
        game::PgnReader reader(game::readFromString(pgn));
        game::PgnGame streamed;
        for (std::size_t g = 0; g < entries.size(); ++g) {
            ASSERT_TRUE(reader.next(streamed));
            const OpenedEntry opened = openEntry(*text, GameFileKind::Games, entries[g]);
            ASSERT_EQ(opened.error, "") << g;
            std::string expected;
            game::Board board = streamed.start;
            for (const game::Move m : streamed.moves) {
                expected += (expected.empty() ? "" : " ") + game::writeSan(board, m);
                board.play(m);
            }
            EXPECT_EQ(mainLine(opened.tree), expected);
            int variations = 0;
            for (const std::string& san : written[g])
                variations += san[0] == '(';
            EXPECT_EQ(opened.tree.size(), 1 + static_cast<int>(streamed.moves.size()) + variations);
        }
    }

    struct StepRow {
        const char* steps; // f forward, b back, s start, e end, v select the variation's d5
        const char* san; // of the position reached ("" for the start)
        bool changed; // by the last step
    };

    TEST(GameCursor, MovesThroughLinesAndVariations)
    {
        const GameTree tree = game::readGameTree("1. e4 (1. d4 d5 2. c4) 1... e5 2. Nf3 *").tree;
        const StepRow rows[] = {
            { "f", "e4", true }, { "ff", "e5", true }, { "fffff", "Nf3", false },
            { "e", "Nf3", true }, { "eb", "e5", true }, { "es", "", true }, { "b", "", false },
            { "v", "d5", true }, { "ve", "c4", true }, // the end of the variation, not of the game
            { "vbb", "", true }, { "vbbf", "e4", true }, // forward is the main move again
        };
        for (const StepRow& row : rows) {
            SCOPED_TRACE(row.steps);
            GameCursor cursor(tree);
            bool changed = false;
            for (const char* c = row.steps; *c; ++c) {
                switch (*c) {
                case 'f':
                    changed = cursor.forward();
                    break;
                case 'b':
                    changed = cursor.back();
                    break;
                case 's':
                    changed = cursor.toStart();
                    break;
                case 'e':
                    changed = cursor.toEnd();
                    break;
                default:
                    changed = cursor.select(find(tree, "d5"));
                }
            }
            EXPECT_EQ(cursor.current().san, row.san);
            EXPECT_EQ(changed, row.changed);
        }
    }

    struct PlayRow {
        const char* at; // the SAN of the position the move is made in ("" for the start)
        const char* uci;
        bool played;
        int nodesAdded;
        int childrenAfter; // of the position the move was made in
    };

    TEST(GameCursor, MovesMadeFollowTheTreeOrStartVariations)
    {
        const PlayRow rows[] = {
            { "", "e2e4", true, 0, 2 }, // the main move: followed
            { "", "d2d4", true, 0, 2 }, // the variation's move: followed
            { "", "g1f3", true, 1, 3 }, // a new variation
            { "e4", "g8f6", true, 1, 2 },
            { "e5", "e1e2", true, 1, 1 }, // the first move after the end of the line
            { "", "e2e5", false, 0, 2 },
            { "", "e7e5", false, 0, 2 }, // Black's pawn while White is to move
        };
        for (const PlayRow& row : rows) {
            SCOPED_TRACE(row.uci);
            GameCursor cursor(game::readGameTree("1. e4 (1. d4) 1... e5 *").tree);
            cursor.select(*row.at ? find(cursor.tree(), row.at) : 0);
            const int at = cursor.node();
            const int before = cursor.tree().size();
            const game::MoveRead move = game::readUci(cursor.current().position, row.uci);
            EXPECT_EQ(cursor.play(move.move), row.played);
            EXPECT_EQ(cursor.tree().size() - before, row.nodesAdded);
            EXPECT_EQ(static_cast<int>(cursor.tree().node(at).children.size()), row.childrenAfter);
            if (row.played)
                EXPECT_EQ(cursor.current().parent, at);
            else
                EXPECT_EQ(cursor.node(), at);
        }
    }

    TEST(GameFile, KindsAndPastedTexts)
    {
        const struct {
            const char* name;
            const char* text;
            GameFileKind kind;
            bool pgn;
        } rows[] = {
            { "a.PGN", "", GameFileKind::Games, false },
            { "a.csv", "", GameFileKind::Puzzles, false },
            { "a.epd", "[Event \"x\"]", GameFileKind::Positions, true },
            { "clip", "  1. e4 e5 *", GameFileKind::Games, true },
            { "clip", "1.e4 *", GameFileKind::Games, true },
            { "clip", "8/8/8/8/8/8/8/K6k w - - 0 1", GameFileKind::Positions, false },
            { "clip", "1k6/8/8/8/8/8/8/K7 w - - 0 1", GameFileKind::Positions, false },
            { "clip", "PuzzleId,FEN,Moves\n1,x,y", GameFileKind::Puzzles, false },
            { "clip", "[%cal Ge2e4]", GameFileKind::Positions, false },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.text);
            EXPECT_EQ(gameFileKind(row.name, row.text), row.kind);
            EXPECT_EQ(isPgnText(row.text), row.pgn);
        }
    }

    TEST(GameFile, ListsPositionsAndPuzzlesAndKeepsTheFirstFault)
    {
        auto epd = std::make_shared<const std::string>(
            "# comment\n8/8/8/8/8/8/8/K6k w - - id \"a\"; c0 \"first\";\r\n\n"
            "7k/8/8/8/8/8/8/K7 w - - 3 9 bm Nf6;\n8/8/8/8/8/8/8/K6k b - - id \"c\";\n9/8 w\n");
        GameFileLister lister(epd, GameFileKind::Positions);
        std::vector<GameFileEntry> entries;
        EXPECT_FALSE(lister.read(10, entries));
        // A bad operation leaves the position listed; a bad position is left out.
        ASSERT_EQ(entries.size(), 3u);
        EXPECT_EQ(entries[0].label, "a");
        EXPECT_EQ(entries[2].label, "c");
        EXPECT_EQ(entries[2].number, 3);
        EXPECT_EQ(entries[2].line, 5);
        ASSERT_TRUE(lister.firstProblem());
        EXPECT_EQ(lister.firstProblem()->number, 2);
        EXPECT_EQ(lister.firstProblem()->line, 4);
        const OpenedEntry bare = openEntry(*epd, GameFileKind::Positions, entries[1]);
        EXPECT_NE(bare.error.find("Nf6"), std::string::npos);
        EXPECT_EQ(bare.tree.node(0).position.fenLine(), "7k/8/8/8/8/8/8/K7 w - - 3 9");
        const OpenedEntry first = openEntry(*epd, GameFileKind::Positions, entries[0]);
        EXPECT_EQ(first.captions.header1, "a");
        EXPECT_EQ(first.captions.header2, "first");
        EXPECT_EQ(first.tree.node(0).position.fenLine(), "8/8/8/8/8/8/8/K6k w - - 0 1");

        // A position's solution (pv, else bm) is its line of moves, as a puzzle's is.
        const struct {
            const char* line;
            const char* moves;
        } solved[] = {
            { "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5Q2/PPPP1PPP/RNB1K1NR w KQkq - pv Qxf7#;", "Qxf7#" },
            { "6k1/5ppp/8/8/8/8/r4PPP/1R4K1 b - - bm Ra1; pv Ra1 Rxa1;", "Ra1 Rxa1" },
            { "6k1/5ppp/8/8/8/8/r4PPP/1R4K1 b - - bm Ra1;", "Ra1" },
            { "6k1/5ppp/8/8/8/8/r4PPP/1R4K1 b - - id \"x\";", "" },
        };
        for (const auto& row : solved) {
            auto text = std::make_shared<const std::string>(row.line);
            GameFileLister lines(text, GameFileKind::Positions);
            entries.clear();
            lines.read(10, entries);
            ASSERT_EQ(entries.size(), 1u) << row.line;
            EXPECT_EQ(
                mainLine(openEntry(*text, GameFileKind::Positions, entries[0]).tree), row.moves);
        }

        auto csv = std::make_shared<const std::string>("PuzzleId,Moves,FEN\n"
                                                       "p1,e2e4 e7e5 g1f3,"
                                                       "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/"
                                                       "RNBQKBNR w KQkq - 0 1\n");
        GameFileLister puzzles(csv, GameFileKind::Puzzles);
        entries.clear();
        puzzles.read(10, entries);
        ASSERT_EQ(entries.size(), 1u);
        const OpenedEntry puzzle = openEntry(*csv, GameFileKind::Puzzles, entries[0]);
        EXPECT_EQ(puzzle.captions.header1, "p1");
        // The puzzle starts after the opponent's move; the solution is the line.
        EXPECT_EQ(mainLine(puzzle.tree), "e5 Nf3");
        EXPECT_FALSE(puzzle.tree.node(0).position.whiteToMove());
    }

    TEST(GameFile, CaptionsFollowWhileTheyHoldWhatWasFilledIn)
    {
        const struct {
            const char* shown;
            const char* last;
            const char* fresh;
            const char* after;
        } rows[] = {
            { "", "", "Game 1", "Game 1" },
            { "Game 1", "Game 1", "Game 2", "Game 2" },
            { "My title", "Game 1", "Game 2", "My title" },
            { "Game 1", "Game 1", "", "" },
        };
        for (const auto& row : rows) {
            Captions shown { row.shown, row.shown, "foot", "" };
            Captions last { row.last, row.last, "", "" };
            followCaptions(shown, last, Captions { row.fresh, row.fresh, "x", "y" });
            EXPECT_EQ(shown.header1, row.after);
            EXPECT_EQ(shown.header2, row.after);
            EXPECT_EQ(shown.footer1, "foot");
            EXPECT_EQ(last.header1, row.fresh);
        }
    }

    TEST(GameFile, AnEditedDocumentNoLongerShowsThePosition)
    {
        const GameTree tree = game::readGameTree("1. e4 {[%csl Ge4]} *").tree;
        const EditDocument shown = positionDocument(tree.node(1), Captions {});
        EXPECT_EQ(shown.line, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
        EXPECT_TRUE(showsPosition(shown, tree.node(1)));
        EXPECT_FALSE(showsPosition(shown, tree.node(0)));
        EditDocument edited = shown;
        edited.placePiece(squareIndex(0, 3), 0);
        EXPECT_TRUE(showsPosition(edited, tree.node(1))); // an empty square stays empty
        edited.placePiece(squareIndex(0, 3), WhiteQueen);
        EXPECT_FALSE(showsPosition(edited, tree.node(1)));
        edited = shown;
        edited.toggleAnnotation(squareIndex(4, 3), squareIndex(4, 3), AnnotationColor::Green);
        EXPECT_FALSE(showsPosition(edited, tree.node(1)));
        edited = shown;
        edited.captions.header1 = "mine";
        EXPECT_TRUE(showsPosition(edited, tree.node(1)));
    }

    TEST(UndoStack, ReplacingTheCurrentStateAddsNoStepAndEndsRedo)
    {
        UndoStack<int> stack;
        stack.reset(1);
        stack.record(2);
        stack.record(3);
        stack.undo();
        stack.replaceCurrent(20);
        EXPECT_EQ(stack.current(), 20);
        EXPECT_FALSE(stack.canRedo());
        EXPECT_EQ(stack.undoCount(), 1u);
        EXPECT_EQ(stack.undo(), 1);
    }

} // namespace
} // namespace pictog
