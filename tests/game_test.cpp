// Legal moves, perft and SAN of the game module.
#include "game/board.h"
#include "game/san.h"
#include "position/epd_line.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace pictog::game;

namespace {

Board boardOf(const char* line)
{
    std::string message;
    const std::optional<Board> board = Board::fromLine(line, &message);
    EXPECT_TRUE(board) << line << ": " << message;
    return board ? *board : Board::initial();
}

std::string uciOf(const Board& board, const char* san)
{
    const MoveRead read = readSan(board, san);
    return read.ok() ? writeUci(read.move) : read.error;
}

constexpr const char* Initial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* Kiwipete
    = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

// Published counts for the six usual perft positions, and small boards counted by hand (the
// comment says how), among them the boards a FEN line can hold but a game cannot reach.
struct PerftCase {
    const char* line;
    int depth;
    std::uint64_t nodes;
};

const PerftCase perftCases[] = {
    { Initial, 5, 4865609 },
    { Kiwipete, 4, 4085603 },
    { "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 6, 11030083 },
    { "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 5, 15833292 },
    { "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 4, 2103487 },
    { "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 4, 3894594 },
    // Rooks 10 + 9, king 5, both castlings.
    { "4k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", 1, 26 },
    // The rights stay but the king is off e1: rooks 9 + 10, king 5, no castling.
    { "4k3/8/8/8/8/8/8/R2K3R w KQ - 0 1", 1, 24 },
    // The rook on f8 attacks f1 and f2: no O-O; O-O-O, rooks 10 + 9, king 3.
    { "4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1", 1, 23 },
    // b1 attacked does not stop O-O-O (only the king's squares count): rook 10, king 5, O-O-O.
    { "1r2k3/8/8/8/8/8/8/R3K3 w Q - 0 1", 1, 16 },
    // A knight on b1 does: rook 7, knight 3, king 5.
    { "4k3/8/8/8/8/8/8/RN2K3 w Q - 0 1", 1, 15 },
    // No castling out of check (rook e8): the king's d1, d2, f1, f2 only.
    { "4r1k1/8/8/8/8/8/8/R3K2R w KQ - 0 1", 1, 4 },
    // No king: a lone rook has its 14 squares.
    { "8/8/8/8/8/8/8/R7 w - - 0 1", 1, 14 },
    // Two kings, rook on b8: Ka1 only to a2, Kh1 to its three squares.
    { "1r6/8/8/8/8/8/8/K6K w - - 0 1", 1, 4 },
    // Two kings, Ka1 in check from a8: only Ka1's own escapes b1, b2 count.
    { "r7/8/8/8/8/8/8/K6K w - - 0 1", 1, 2 },
    // Pawns on a1 (one step only) and a8 (no move), king 5.
    { "P3k3/8/8/8/8/8/8/P3K3 w - - 0 1", 1, 6 },
    // bxc6 e.p. would open the fifth rank to the rook: Ka4, Ka6, Kb6 and b6.
    { "8/8/8/KPp4r/8/8/8/4k3 w - c6 0 1", 1, 4 },
    // exd3 e.p. takes the checking pawn: 8 king moves and the capture.
    { "8/8/8/2k5/3Pp3/8/8/4K3 b - d3 0 1", 1, 9 },
    // An en-passant square with no pawn behind it allows nothing: king 5, e5-e6.
    { "4k3/8/8/4P3/8/8/8/4K3 w - d6 0 1", 1, 6 },
    // Black in check while White moves: Qxe8 is not a move; the queen's 17 others, king 4.
    { "4k3/8/8/8/8/8/8/4QK2 w - - 0 1", 1, 21 },
    // A made-up board with 29 queens has more moves than any game position: 263, as chessops
    // counts them; none may be lost.
    { "BQQQQQbk/Q4Qpp/Q5QQ/Q6Q/Q6Q/Q6Q/Q6Q/KQQQQQQB w - - 0 1", 1, 263 },
};

TEST(GamePerft, MatchesPublishedAndHandCounts)
{
    for (const PerftCase& c : perftCases)
        EXPECT_EQ(perft(boardOf(c.line), c.depth), c.nodes) << c.line << " depth " << c.depth;
}

TEST(GameStatus, MateStalemateAndCheck)
{
    EXPECT_EQ(status(boardOf("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1")), GameStatus::Checkmate);
    EXPECT_EQ(status(boardOf("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1")), GameStatus::Stalemate);
    EXPECT_EQ(status(boardOf(Initial)), GameStatus::Ongoing);
    EXPECT_TRUE(boardOf("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1").inCheck());
    EXPECT_FALSE(boardOf("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1").inCheck());
    // No king at all: never in check, and with no pieces stalemate.
    EXPECT_EQ(status(boardOf("8/8/8/8/8/8/8/8 w - - 0 1")), GameStatus::Stalemate);
}

// The single-move check, and the SAN reader given the move in long form, agree with the
// generator on every from/to/promotion triple, in the positions where they take different paths
// (pins, checks, double check, en passant, castling, odd boards).
TEST(GameLegality, SingleMoveCheckAgreesWithTheGenerator)
{
    const char* lines[] = { Initial, Kiwipete, "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "8/8/8/KPp4r/8/8/8/4k3 w - c6 0 1", "8/8/8/2k5/3Pp3/8/8/4K3 b - d3 0 1",
        "4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1", "r7/8/8/8/8/8/8/K6K w - - 0 1",
        "P3k3/8/8/8/8/8/8/P3K3 w - - 0 1", "4k3/8/8/8/8/8/8/4QK2 w - - 0 1",
        "8/8/8/8/8/8/8/R7 w - - 0 1", "4k3/8/8/8/3R4/5n2/5R2/r3K3 w - - 0 1",
        "4k3/8/8/3pP3/8/8/8/r3K3 w - d6 0 1", "4k3/8/8/8/1q6/8/3B4/4K2r w - - 0 1",
        "4k3/8/8/3q4/8/8/4p3/3NK3 w - - 0 1" };
    for (const char* line : lines) {
        const Board board = boardOf(line);
        MoveList moves;
        generateLegalMoves(board, moves);
        for (int from = 0; from < 64; ++from)
            for (int to = 0; to < 64; ++to)
                for (std::uint8_t promotion = 0; promotion <= 4; ++promotion) {
                    const Move move { static_cast<std::uint8_t>(from),
                        static_cast<std::uint8_t>(to), promotion, 0 };
                    EXPECT_EQ(isLegal(board, move), moves.contains(move))
                        << line << ": " << writeUci(move);
                    const MoveRead read = readSan(board, writeUci(move));
                    EXPECT_EQ(read.ok() && read.move == move, moves.contains(move))
                        << line << ": " << writeUci(move) << " " << read.error;
                }
    }
}

// A board read from a line writes the line back as the position model's builder does.
TEST(GameBoard, LineRoundTripsThroughTheModel)
{
    const char* lines[] = { Initial, Kiwipete, "4k3/8/8/4P3/8/8/8/4K3 w - d6 0 1",
        "r3k2r/8/8/8/8/8/8/R2K3R b Kq - 99 999", "8/8/8/8/8/8/8/8 b - - 0 1",
        "kkkkkkkk/pppppppp/8/8/8/8/PPPPPPPP/KKKKKKKK w KQkq e3 7 42" };
    for (const char* line : lines) {
        const pictog::EpdParse parse = pictog::ParseEPDLine(line);
        ASSERT_TRUE(parse.accepted) << line;
        EXPECT_EQ(boardOf(line).fenLine(), pictog::BuildEPDLine(parse.board, parse.panel));
        EXPECT_EQ(Board::fromPosition(parse.board, parse.panel).fenLine(), line);
    }
    std::string message;
    EXPECT_FALSE(Board::fromLine("8/8/8 w", &message));
    EXPECT_EQ(message, "Error in EPD position description");
}

// Moves played from a line, and the line FEN records afterwards (worked out by hand).
struct PlayCase {
    const char* start;
    const char* moves;
    const char* after;
};

const PlayCase playCases[] = {
    { Initial, "e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1" },
    { Initial, "e4 c5 Nf3", "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2" },
    { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "O-O Rxa1", "4k2r/8/8/8/8/8/8/r4RK1 w k - 0 2" },
    { "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 3 9", "O-O-O Rh8+", "2kr3R/8/8/8/8/8/8/R3K3 b Q - 0 10" },
    { "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "exd6", "4k3/8/3P4/8/8/8/8/4K3 b - - 0 1" },
    { "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b8=N", "1N2k3/8/8/8/8/8/8/4K3 b - - 0 1" },
};

TEST(GamePlay, PlaysMovesAndRecordsTheLine)
{
    for (const PlayCase& c : playCases) {
        Board board = boardOf(c.start);
        std::string moves = c.moves;
        for (std::size_t at = 0; at < moves.size();) {
            std::size_t end = moves.find(' ', at);
            end = end == std::string::npos ? moves.size() : end;
            const MoveRead read = readSan(board, moves.substr(at, end - at));
            ASSERT_TRUE(read.ok()) << read.error;
            board.play(read.move);
            at = end + 1;
        }
        EXPECT_EQ(board.fenLine(), c.after) << c.start << " " << c.moves;
    }
}

// SAN worked out by hand: the move in UCI and how the PGN standard writes it.
struct SanCase {
    const char* line;
    const char* uci;
    const char* san;
};

constexpr const char* ThreeQueens = "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - - 0 1";
constexpr const char* Promotions = "r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1";

const SanCase sanCases[] = {
    { Initial, "g1f3", "Nf3" },
    { Initial, "e2e4", "e4" },
    { ThreeQueens, "a1b2", "Qa1b2" },
    { ThreeQueens, "c1b2", "Qcb2" },
    { ThreeQueens, "a3b2", "Q3b2" },
    { "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "b1d2", "Nbd2" },
    { "4k3/8/8/8/8/1N6/8/1N2K3 w - - 0 1", "b1d2", "N1d2" },
    // The knight on e2 is pinned, so it does not count for disambiguation.
    { "4r1k1/8/8/8/8/1N6/4N3/4K3 w - - 0 1", "b3d4", "Nd4" },
    { "4k3/8/8/8/8/8/8/R4RK1 w - - 0 1", "a1d1", "Rad1" },
    { "4k3/8/8/8/R7/8/8/R5K1 w - - 0 1", "a4a2", "R4a2" },
    { Promotions, "b7a8q", "bxa8=Q+" },
    { Promotions, "b7a8n", "bxa8=N" },
    { Promotions, "b7b8q", "b8=Q+" },
    { Promotions, "b7b8b", "b8=B" },
    { "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6" },
    { "5k2/8/8/8/8/8/8/4K2R w K - 0 1", "e1g1", "O-O+" },
    { "3k4/8/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1", "O-O-O+" },
    { "6k1/5ppp/8/8/8/8/8/R3K3 w Q - 0 1", "a1a8", "Ra8#" },
    { "6k1/5ppp/8/8/8/8/8/R3K3 w Q - 0 1", "e1c1", "O-O-O" },
    { "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "a8a1", "Rxa1+" },
};

TEST(GameSan, WritesAsWorkedOutByHand)
{
    for (const SanCase& c : sanCases) {
        const Board board = boardOf(c.line);
        const MoveRead move = readUci(board, c.uci);
        ASSERT_TRUE(move.ok()) << move.error;
        EXPECT_EQ(writeSan(board, move.move), c.san) << c.line;
        EXPECT_EQ(uciOf(board, c.san), c.uci) << c.line;
    }
}

// Every legal move of each position is written to a SAN of its own that reads back to it; UCI
// the same.
TEST(GameSan, EveryMoveReadsBack)
{
    const char* lines[] = { Initial, Kiwipete, ThreeQueens, Promotions,
        "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
        "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
        "1n2k3/2P5/8/1N1N4/8/1N1N4/8/R3K2R w KQ - 0 1", "8/8/8/KPp4r/8/8/8/4k3 w - c6 0 1",
        "8/8/8/2k5/3Pp3/8/8/4K3 b - d3 0 1", "1r6/8/8/8/8/8/8/K6K w - - 0 1" };
    for (const char* line : lines) {
        const Board board = boardOf(line);
        MoveList moves;
        generateLegalMoves(board, moves);
        std::set<std::string> written;
        for (const Move move : moves) {
            const std::string san = writeSan(board, move);
            EXPECT_TRUE(written.insert(san).second) << line << ": " << san << " twice";
            const MoveRead read = readSan(board, san);
            EXPECT_TRUE(read.ok() && read.move == move) << line << ": " << san << " " << read.error;
            const MoveRead uci = readUci(board, writeUci(move));
            EXPECT_TRUE(uci.ok() && uci.move == move) << line << ": " << writeUci(move);
            EXPECT_TRUE(isLegal(board, move));
        }
    }
}

// The ways real files write moves, and the move each one means.
const SanCase tolerantCases[] = {
    { Initial, "g1f3", "Nf3+" },
    { Initial, "g1f3", "Nf3#" },
    { Initial, "g1f3", "Nf3!?" },
    { Initial, "g1f3", "Nf3 ??" },
    { Initial, "g1f3", "Ng1f3" },
    { Initial, "g1f3", "Ng1-f3" },
    { Initial, "g1f3", "g1f3" },
    { Initial, "g1f3",
        "\xE2\x99\x98"
        "f3" },
    { Initial, "g1f3",
        "\xE2\x99\x9E"
        "f3" },
    { Initial, "b1c3", "Nbc3" },
    { Initial, "e2e4", "e2e4" },
    { Initial, "e2e4", "e2-e4" },
    { Initial, "e2e4", "Pe4" },
    { Initial, "e2e4",
        "\xE2\x99\x99"
        "e4!!" },
    { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", "0-0" },
    { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", "0-0-0+" },
    { "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", "O-0-O" },
    { "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", "e8g8" },
    { "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", "Kg8" },
    { "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7b8q", "b8Q" },
    { "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7b8r", "b8=R+" },
    { "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7b8n", "b7b8n" },
    { "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b7b8q", "b8=\xE2\x99\x95" },
    { "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6 e.p." },
    { "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "exd6e.p.+" },
    { "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "ed6" },
    { "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "e5d6", "e5d6" },
    { "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "b1d2", "Nb1d2" },
    { "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "b1d2", "Nb1xd2" },
    // En passant that takes the checking pawn; a pinned bishop along its line; double check.
    { "8/8/8/2k5/3Pp3/8/8/4K3 b - d3 0 1", "e4d3", "exd3" },
    { "4k3/8/8/8/1q6/8/3B4/4K3 w - - 0 1", "d2c3", "Bc3" },
    { "4k3/8/8/8/3R4/5n2/5R2/r3K3 w - - 0 1", "e1e2", "Ke2" },
};

TEST(GameSan, ReadsTolerantForms)
{
    for (const SanCase& c : tolerantCases)
        EXPECT_EQ(uciOf(boardOf(c.line), c.san), c.uci) << c.line << ": " << c.san;
}

struct ErrorCase {
    const char* line;
    const char* text;
    const char* message;
};

const ErrorCase errorCases[] = {
    { Initial, "Nf6", "illegal move 'Nf6': no knight can reach f6" },
    { Initial, "e5", "illegal move 'e5': no pawn can reach e5" },
    { Initial, "Ke2", "illegal move 'Ke2': no king can reach e2" },
    { Initial, "O-O", "illegal move 'O-O': castling short is not possible here" },
    { Initial, "e7e5", "illegal move 'e7e5': no piece of the side to move on e7" },
    { Initial, "x?", "unreadable move 'x?'" },
    { Initial, "", "unreadable move ''" },
    { Initial, "Nz3", "unreadable move 'Nz3'" },
    { Initial, "N\x1b[1f3", "unreadable move 'N\\x1b[1f3'" },
    { Initial, "Nf3=Q", "illegal move 'Nf3=Q': only a pawn reaching the last rank promotes" },
    { "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "Nd2", "ambiguous move 'Nd2'" },
    { "4r1k1/8/8/8/8/8/4N3/4K3 w - - 0 1", "Nc3",
        "illegal move 'Nc3': it leaves the king in check" },
    { "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", "b8",
        "illegal move 'b8': a promotion needs a piece (=Q, =R, =B or =N)" },
    { "4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1", "exd6", "illegal move 'exd6': no pawn can reach d6" },
    { "5k2/8/8/8/8/8/8/4K2R w K - 0 1", "O-O-O",
        "illegal move 'O-O-O': castling long is not possible here" },
    { "4k3/8/8/8/1q6/8/3B4/4K3 w - - 0 1", "Be3",
        "illegal move 'Be3': it leaves the king in check" },
    { "4k3/8/8/3pP3/8/8/8/r3K3 w - d6 0 1", "exd6",
        "illegal move 'exd6': it leaves the king in check" },
    { "4k3/8/8/8/3R4/5n2/5R2/r3K3 w - - 0 1", "Rd1",
        "illegal move 'Rd1': it leaves the king in check" },
    { "4k3/8/8/8/3R4/5n2/5R2/r3K3 w - - 0 1", "Kf1",
        "illegal move 'Kf1': it leaves the king in check" },
};

TEST(GameSan, RejectsWithMessages)
{
    for (const ErrorCase& c : errorCases)
        EXPECT_EQ(readSan(boardOf(c.line), c.text).error, c.message) << c.text;
    const Board initial = boardOf(Initial);
    EXPECT_EQ(
        readUci(initial, "e2e5").error, "illegal move 'e2e5': the pawn on e2 cannot go to e5");
    EXPECT_EQ(readUci(initial, "Nf3").error, "unreadable move 'Nf3'");
    EXPECT_EQ(
        readUci(initial, "e7e5").error, "illegal move 'e7e5': no piece of the side to move on e7");
}

} // namespace
