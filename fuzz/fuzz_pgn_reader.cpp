// PGN games: any bytes read to the end without hanging; every game is either read or carries a
// message and a line inside the input; a game read without fault replays from its start to its
// end position; and the games come out the same whatever sizes the read calls return.
#include "fuzz_check.h"

#include "game/pgn_reader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pictog::game;

struct Summary {
    std::string fen;
    std::string error;
    long errorLine = 0;
    std::size_t moves = 0;
    friend bool operator==(const Summary& a, const Summary& b)
    {
        return a.fen == b.fen && a.error == b.error && a.errorLine == b.errorLine
            && a.moves == b.moves;
    }
};

std::vector<Summary> readAll(ReadFunction read, long lines)
{
    PgnReader reader(std::move(read));
    PgnGame game;
    std::vector<Summary> games;
    while (reader.next(game)) {
        FUZZ_CHECK(game.number == static_cast<long>(games.size()) + 1);
        FUZZ_CHECK(game.line >= 1 && game.line <= lines);
        Summary summary { "", game.error, game.errorLine, game.moves.size() };
        if (game.ok()) {
            Board board = game.start;
            for (const Move move : game.moves) {
                FUZZ_CHECK(isLegal(board, move));
                board.play(move);
            }
            summary.fen = game.end.fenLine();
            FUZZ_CHECK(board.fenLine() == summary.fen);
            for (const PositionNote* note = game.notesBegin(); note != game.notesEnd(); ++note)
                FUZZ_CHECK(note->ply >= 0 && note->ply <= static_cast<int>(game.moves.size()));
        } else {
            FUZZ_CHECK(game.errorLine >= 1 && game.errorLine <= lines);
        }
        games.push_back(std::move(summary));
    }
    return games;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Every line end (LF, CR LF, CR) counts once; a game or error can only be on those lines.
    long lines = 1;
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == size || text[i + 1] != '\n')))
            ++lines;
    }
    const std::vector<Summary> whole = readAll(readFromString(text), lines);
    FUZZ_CHECK(whole.size() <= size);

    // Read calls of 1 to 7 bytes, sizes taken from the input itself.
    std::size_t pos = 0;
    std::size_t call = 0;
    const std::vector<Summary> pieces = readAll(
        [&](char* buffer, std::size_t capacity) -> std::size_t {
            std::size_t count
                = size == 0 ? 0 : 1 + static_cast<std::uint8_t>(text[call++ % size]) % 7;
            count = std::min({ count, capacity, size - pos });
            std::copy(data + pos, data + pos + count, buffer);
            pos += count;
            return count;
        },
        lines);
    FUZZ_CHECK(pieces == whole);
    return 0;
}
