#pragma once

#include "diagram/annotations.h"
#include "game/board.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pictog::game {

// One position of a game: the move that led to it (none for the start), its SAN, the line it
// continues and the lines that go on from it, and what the game says about it.
struct GameNode {
    Move move;
    std::string san; // as writeSan writes it; empty for the start
    int parent = -1; // -1 for the start
    // [0] continues the line this position is on; the others start variations.
    std::vector<int> children;
    Board position;
    int ply = 0; // half-moves played since the start position
    // The comment written before the move (only at the start of a variation) and after it,
    // without [%...] commands and with blanks collapsed.
    std::string commentBefore;
    std::string comment;
    std::vector<int> nags;
    Annotations annotations;
};

// A game with its variations; nodes[0] is the start position, and a node's number is its index.
class GameTree
{
public:
    explicit GameTree(const Board& start = Board::initial());

    const GameNode& node(int index) const { return m_nodes[static_cast<std::size_t>(index)]; }
    GameNode& node(int index) { return m_nodes[static_cast<std::size_t>(index)]; }
    int size() const { return static_cast<int>(m_nodes.size()); }

    // The child of parent reached by the move (which must be legal there): the existing one when
    // the move is already there, else a new last child (a variation when there was one already).
    int addMove(int parent, Move move);
    // The last position of the line that goes on from node through every first child.
    int lineEnd(int node) const;
    // True when the node is the first child of its parent all the way up: on the main line.
    bool onMainLine(int node) const;
    // "12." for a White move, "12..." for a Black one (the number the move is played at).
    std::string moveNumber(int node) const;

private:
    std::vector<GameNode> m_nodes;
};

// The text of a Numeric Annotation Glyph: "!" for $1, "±" for $16; "$N" for one without a sign.
std::string nagText(int nag);

// A game read with its variations: its tags, the tree as far as it could be read, and the first
// fault (message and line counted from firstLine; empty when there was none).
struct GameRead {
    std::vector<std::pair<std::string, std::string>> tags;
    GameTree tree;
    std::string error;
    long errorLine = 0;
    bool ok() const { return error.empty(); }
    // The value of the first tag of that name; empty when there is none.
    std::string_view tag(std::string_view name) const;
};

// Reads one PGN game from text (the first game in it): tags, a FEN tag's start position, moves,
// variations, comments with their [%cal]/[%csl] arrows and marks, NAGs and glyphs written as
// text ("!?"). Reading stops at the result, at the end of the text, or at the first fault, whose
// message it keeps.
GameRead readGameTree(std::string_view text, long firstLine = 1);

// A tree of one line: the start position and the moves written in SAN, read as far as they are
// legal (a puzzle's solution).
GameTree lineTree(const Board& start, const std::vector<std::string>& moves);

} // namespace pictog::game
