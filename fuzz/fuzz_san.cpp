// The SAN reader: on any text and any position, a move it accepts is legal, and writing that
// move in SAN reads back to the same move; a refusal is one of the three messages. The input is
// "FEN LINE\nMOVE TEXT"; without a newline, or when the line is rejected, the text is read in
// one of a few fixed positions picked by its length.
#include "fuzz_check.h"

#include "game/board.h"
#include "game/san.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace pictog::game;

constexpr const char* fixedPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "4k3/8/8/3pP3/8/Q7/1p6/Q1Q1K3 w - d6 0 1",
};

bool startsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

void checkRead(const Board& board, const MoveRead& read)
{
    if (!read.ok()) {
        FUZZ_CHECK(startsWith(read.error, "illegal move '")
            || startsWith(read.error, "ambiguous move '")
            || startsWith(read.error, "unreadable move '"));
        return;
    }
    FUZZ_CHECK(isLegal(board, read.move));
    MoveList moves;
    generateLegalMoves(board, moves);
    FUZZ_CHECK(moves.contains(read.move));
    const MoveRead again = readSan(board, writeSan(board, read.move));
    FUZZ_CHECK(again.ok() && again.move == read.move);
    Board next = board;
    next.play(read.move);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view text = input;
    std::optional<Board> board;
    const std::size_t newline = input.find('\n');
    if (newline != std::string_view::npos) {
        board = Board::fromLine(input.substr(0, newline));
        text = input.substr(newline + 1);
    }
    if (!board)
        board = Board::fromLine(fixedPositions[size % std::size(fixedPositions)]);
    checkRead(*board, readSan(*board, text));
    checkRead(*board, readUci(*board, text));
    return 0;
}
