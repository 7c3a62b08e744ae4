// moves and perft: the legal moves of one position, and their tree's node counts.
#include "cli_common.h"

#include "game/board.h"
#include "game/san.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pictog::cli {

namespace {

    // The board of the POSITION argument; a rejected line is reported as line 1, as the line
    // commands report it.
    std::optional<game::Board> boardArgument(const char* position, Output& err)
    {
        std::string message;
        std::optional<game::Board> board = game::Board::fromLine(position, &message);
        if (!board)
            reportLine(err, 1, message);
        return board;
    }

    void writeNumber(Output& out, std::uint64_t value)
    {
        char text[24];
        const auto end = std::to_chars(text, text + sizeof text, value).ptr;
        out.write(text, static_cast<std::size_t>(end - text));
    }

} // namespace

int runMoves(const GlobalOptions&, Arguments& args, Output& out, Output& err)
{
    bool uci = false;
    const char* position = nullptr;
    while (!args.empty()) {
        const char* arg = args.take();
        if (std::string_view(arg) == "--uci")
            uci = true;
        else if (arg[0] == '-' && arg[1] != '\0')
            throw UsageError("unknown option " + std::string(arg));
        else if (position)
            throw UsageError("too many arguments");
        else
            position = arg;
    }
    if (!position)
        throw UsageError("moves needs a position");
    const std::optional<game::Board> board = boardArgument(position, err);
    if (!board)
        return ExitRejected;
    game::MoveList moves;
    game::generateLegalMoves(*board, moves);
    std::vector<std::string> texts;
    texts.reserve(moves.size());
    for (const game::Move move : moves)
        texts.push_back(uci ? game::writeUci(move) : game::writeSan(*board, move));
    std::sort(texts.begin(), texts.end());
    for (const std::string& text : texts) {
        out.write(text);
        out.put('\n');
    }
    return ExitOk;
}

int runPerft(const GlobalOptions&, Arguments& args, Output& out, Output& err)
{
    // Deep enough for any check a user runs; deeper trees take years, not a different answer.
    constexpr int MaxDepth = 20;
    bool divide = false;
    const char* depthText = nullptr;
    const char* position = nullptr;
    while (!args.empty()) {
        const char* arg = args.take();
        if (std::string_view(arg) == "--divide")
            divide = true;
        else if (arg[0] == '-' && arg[1] != '\0')
            throw UsageError("unknown option " + std::string(arg));
        else if (!depthText)
            depthText = arg;
        else if (!position)
            position = arg;
        else
            throw UsageError("too many arguments");
    }
    if (!depthText)
        throw UsageError("perft needs a depth");
    const std::string_view digits(depthText);
    int depth = -1;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), depth);
    if (parsed.ec != std::errc() || parsed.ptr != digits.data() + digits.size() || depth < 0
        || depth > MaxDepth)
        throw UsageError(
            "bad depth " + std::string(digits) + " (0-" + std::to_string(MaxDepth) + ")");
    std::optional<game::Board> board = game::Board::initial();
    if (position && !(board = boardArgument(position, err)))
        return ExitRejected;
    if (!divide || depth == 0) {
        writeNumber(out, game::perft(*board, depth));
        out.put('\n');
        return ExitOk;
    }
    game::MoveList moves;
    game::generateLegalMoves(*board, moves);
    std::vector<std::pair<std::string, std::uint64_t>> counts;
    std::uint64_t total = 0;
    for (const game::Move move : moves) {
        game::Board next = *board;
        next.play(move);
        counts.emplace_back(game::writeUci(move), game::perft(next, depth - 1));
        total += counts.back().second;
    }
    std::sort(counts.begin(), counts.end());
    for (const auto& [move, count] : counts) {
        out.write(move);
        out.write(": ");
        writeNumber(out, count);
        out.put('\n');
    }
    writeNumber(out, total);
    out.put('\n');
    return ExitOk;
}

} // namespace pictog::cli
