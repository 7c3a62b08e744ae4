#pragma once

#include "editor/edit_document.h"
#include "game/epd_operations.h"
#include "game/game_tree.h"
#include "game/pgn_reader.h"
#include "game/puzzle_csv.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pictog {

// What an opened file holds: PGN games, FEN/EPD lines or puzzles in CSV.
enum class GameFileKind { Games, Positions, Puzzles };

// The kind a file name's extension says (.pgn, .csv; anything else holds positions), or for a
// name without a known one, what the text looks like.
GameFileKind gameFileKind(std::string_view fileName, std::string_view text);
// True when a text is PGN (a tag pair or a move number first) rather than a FEN/EPD line.
bool isPgnText(std::string_view text);

// One game or position of a file as its list shows it, and where its text lies.
struct GameFileEntry {
    long number = 0; // 1 for the first
    std::string label; // White - Black (Event) for a game, the id for a position or puzzle
    std::string result;
    std::size_t offset = 0; // the entry's bytes in the file
    std::size_t length = 0;
    long line = 1; // the line its bytes start on
};

// The first fault found in a file: in which game or position and on which line.
struct GameFileProblem {
    long number = 0;
    long line = 0;
    std::string message;
};

// Lists the entries of a file's text step by step, so that a caller shows the first ones while
// the rest are read. Games with a fault are listed (they open as far as they could be read), and
// so are EPD lines whose operations are faulty (they open as the bare position); lines without a
// readable position and faulty puzzle lines are left out. Only the first fault is kept.
class GameFileLister
{
public:
    GameFileLister(std::shared_ptr<const std::string> text, GameFileKind kind);
    ~GameFileLister();

    // Appends up to count further entries to out; false once the text is used up.
    bool read(std::size_t count, std::vector<GameFileEntry>& out);
    const std::optional<GameFileProblem>& firstProblem() const { return m_problem; }

private:
    bool readGame(std::vector<GameFileEntry>& out);
    bool readLine(std::vector<GameFileEntry>& out);
    void problem(long number, long line, std::string message);

    std::shared_ptr<const std::string> m_text;
    GameFileKind m_kind;
    std::unique_ptr<game::PgnReader> m_reader;
    game::PgnGame m_game;
    std::size_t m_pos = 0;
    long m_line = 1;
    long m_count = 0; // entries (or data lines) seen
    bool m_header = true; // a puzzle file's first line may name its columns
    game::PuzzleColumns m_columns;
    std::optional<GameFileProblem> m_problem;
};

// An entry read in full: its tree (a position alone for an EPD line, the solution line for a
// puzzle), the captions it suggests (header1 the id or the players, header2 c0 or the event)
// and the first fault, "" when none.
struct OpenedEntry {
    game::GameTree tree;
    Captions captions;
    std::string error;
    long errorLine = 0;
};
OpenedEntry openEntry(std::string_view fileText, GameFileKind kind, const GameFileEntry& entry);

// The current position in a game tree and the ways of moving through it.
class GameCursor
{
public:
    explicit GameCursor(game::GameTree tree = game::GameTree())
        : m_tree(std::move(tree))
    {
    }
    const game::GameTree& tree() const { return m_tree; }
    int node() const { return m_node; }
    const game::GameNode& current() const { return m_tree.node(m_node); }

    // Each returns whether the position changed: one move on along the line (the first child),
    // one back, to the start, to the end of the line the position is on, to any node.
    bool forward();
    bool back();
    bool toStart();
    bool toEnd();
    bool select(int node);
    // Plays a legal move: the next move of the line or a variation that has it is followed,
    // another one starts a new variation. An illegal move changes nothing (false).
    bool play(game::Move move);

private:
    game::GameTree m_tree;
    int m_node = 0;
};

// The document showing a game position: board, panel and line of the position, its arrows and
// marks, and the captions given; shown's other parts do not carry over.
EditDocument positionDocument(const game::GameNode& node, const Captions& captions);
// True when the document shows the node's position with its arrows and marks; false once the
// board, the panel or the annotations were edited.
bool showsPosition(const EditDocument& document, const game::GameNode& node);

// Captions that follow the entries: each header that is empty or still holds the text last
// filled in automatically takes the new one; lastFilled becomes the new texts. Footers stay.
void followCaptions(Captions& shown, Captions& lastFilled, const Captions& fresh);

// One position of a file for a worksheet: its EPD operations (id, c0, pv) and arrows and marks.
struct FileRecord {
    game::Board board;
    std::vector<game::EpdOperation> operations;
    Annotations annotations;
};
// A record for every entry of the file, as the command line's sheet takes them by default: a
// game's last position of its main line (id the list's label, c0 its comment there), an EPD
// line with its operations and arrows, a puzzle with its id and solution as pv. Entries that
// cannot be read are left out.
std::vector<FileRecord> fileRecords(
    const std::shared_ptr<const std::string>& fileText, GameFileKind kind);

} // namespace pictog
