// Opened files of games: any bytes are listed and every entry opened without hanging; every node
// of a tree is a legal move from its parent; faults lie on lines of the input; and a game both
// readers read without fault has the streaming reader's moves as the tree's main line.
#include "fuzz_check.h"

#include "editor/game_file.h"
#include "game/pgn_reader.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pictog;
    auto text = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    // Every line end (LF, CR LF, CR) counts once, as the readers count them.
    long lines = 1;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = (*text)[i];
        lines += c == '\n' || (c == '\r' && (i + 1 == size || (*text)[i + 1] != '\n'));
    }
    for (const GameFileKind kind :
        { GameFileKind::Games, GameFileKind::Positions, GameFileKind::Puzzles }) {
        GameFileLister lister(text, kind);
        std::vector<GameFileEntry> entries;
        while (lister.read(3, entries)) { }
        FUZZ_CHECK(entries.size() <= size);
        game::PgnReader reader(game::readFromString(*text));
        game::PgnGame streamed;
        for (const GameFileEntry& entry : entries) {
            FUZZ_CHECK(entry.offset + entry.length <= size);
            FUZZ_CHECK(entry.line >= 1 && entry.line <= lines);
            const OpenedEntry opened = openEntry(*text, kind, entry);
            const game::GameTree& tree = opened.tree;
            for (int n = 1; n < tree.size(); ++n) {
                const game::GameNode& node = tree.node(n);
                FUZZ_CHECK(node.parent >= 0 && node.parent < n);
                FUZZ_CHECK(game::isLegal(tree.node(node.parent).position, node.move));
            }
            if (!opened.error.empty())
                FUZZ_CHECK(opened.errorLine >= 1 && opened.errorLine <= lines);
            if (kind != GameFileKind::Games)
                continue;
            FUZZ_CHECK(reader.next(streamed));
            if (!streamed.ok() || !opened.error.empty())
                continue;
            int n = 0;
            for (const game::Move move : streamed.moves) {
                FUZZ_CHECK(!tree.node(n).children.empty());
                n = tree.node(n).children.front();
                FUZZ_CHECK(tree.node(n).move == move);
            }
            FUZZ_CHECK(tree.node(n).children.empty());
        }
    }
    return 0;
}
