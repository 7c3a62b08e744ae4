#pragma once

#include "diagram/annotations.h"
#include "game/board.h"
#include "game/text_input.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pictog::game {

// What a game says about one position of its main line: the text of its comments (without the
// [%...] commands, blanks collapsed), the arrows and marks of its [%cal]/[%csl] commands and
// whether it carries a diagram sign ($220, $221 or a "[#]" comment).
struct PositionNote {
    int ply = 0; // the position after this many main-line moves
    std::string comment;
    Annotations annotations;
    bool diagram = false;
};

// One game as read: its tags, start position and main line, and the notes of its main-line
// positions. Variations are read and checked, but not kept.
class PgnGame
{
public:
    // The game's number in the input (1 for the first) and the line its text starts on.
    long number = 0;
    long line = 0;
    // Empty for a game read without fault; else the message and the line where reading stopped.
    std::string error;
    long errorLine = 0;

    Board start = Board::initial();
    // The position after the last main-line move.
    Board end = Board::initial();
    std::vector<Move> moves;

    bool ok() const { return error.empty(); }
    // The value of the first tag of that name; empty when there is none.
    std::string_view tag(std::string_view name) const;
    std::size_t tagCount() const { return m_tagCount; }
    std::string_view tagName(std::size_t i) const { return m_tags[i].name; }
    std::string_view tagValue(std::size_t i) const { return m_tags[i].value; }
    // The note of the position after ply moves, or null when it has none.
    const PositionNote* note(int ply) const;
    const PositionNote* notesBegin() const { return m_notes.data(); }
    const PositionNote* notesEnd() const { return m_notes.data() + m_noteCount; }

private:
    friend class PgnReader;
    struct Tag {
        std::string name, value;
    };
    void clear();
    PositionNote& noteFor(int ply);

    // Reused from game to game, so that reading allocates nothing once the sizes have settled.
    std::vector<Tag> m_tags;
    std::size_t m_tagCount = 0;
    std::vector<PositionNote> m_notes;
    std::size_t m_noteCount = 0;
};

// Reads PGN games one after the other from a read function in constant memory, whatever the size
// of the input. The text may be UTF-8 (with or without a byte order mark) or Latin-1 (a tag value
// or comment that is not valid UTF-8 is taken as Latin-1 and kept as UTF-8), with LF, CR LF or
// CR line ends. A game with a fault is returned with its error set; reading then goes on with the
// next game.
class PgnReader
{
public:
    explicit PgnReader(ReadFunction read);

    // Reads the next game into game; false when the input holds no further game. With check false
    // the game's moves are only skipped over (tags and structure still read), which is quicker
    // for games that are not wanted.
    bool next(PgnGame& game, bool check = true);
    // Bytes read so far, for progress reports.
    unsigned long long consumed() const { return m_in.consumed(); }

    // Limits that keep memory bounded on hostile input; passing one is an error in that game.
    static constexpr std::size_t MaxTextLength = 1 << 20; // one comment or tag value
    static constexpr std::size_t MaxGameText = 4 << 20; // all kept comments of one game
    static constexpr std::size_t MaxTags = 1000;
    static constexpr std::size_t MaxPlies = 100000; // main-line moves of one game
    static constexpr std::size_t MaxDepth = 128; // nested variations
    static constexpr std::size_t MaxToken = 255; // one move or move number

private:
    struct Line {
        Board before, current;
        bool moved = false; // whether before holds the position before a move of this line
        long openLine = 0; // where the variation opened
    };

    void skipSpace();
    void newline(int c);
    bool readTag(PgnGame& game);
    bool readComment(PgnGame& game, bool toLineEnd);
    void readNag(PgnGame& game);
    void readSymbol(PgnGame& game);
    void playMove(PgnGame& game, std::string_view text);
    void fail(PgnGame& game, std::string message, long line);
    void finishComment(PgnGame& game);
    bool atTagLine();

    TextInput m_in;
    long m_line = 1;
    long m_games = 0;
    bool m_lineStart = true;
    // State of the game being read.
    bool m_checking = true;
    bool m_done = false;
    std::size_t m_gameText = 0; // bytes of comment text kept for the game so far
    std::vector<Line> m_lines; // [0] the main line, then the open variations
    std::size_t m_depth = 0;
    std::string m_scratch;
    std::string m_clean;
};

} // namespace pictog::game
