// A reader that keeps a whole game with its variations, for the window, which opens one game at
// a time. The streaming reader in pgn_reader.cpp stays the quick path over whole files; this one
// works on the text of a single game and builds the tree as it reads.
#include "game/game_tree.h"

#include "game/pgn_reader.h"
#include "game/san.h"
#include "game/text_input.h"

#include <cstring>

namespace pictog::game {

GameTree::GameTree(const Board& start)
{
    m_nodes.emplace_back();
    m_nodes[0].position = start;
}

int GameTree::addMove(int parent, Move move)
{
    for (const int child : node(parent).children) {
        if (node(child).move == move)
            return child;
    }
    GameNode next;
    next.move = move;
    next.parent = parent;
    next.san = writeSan(node(parent).position, move);
    next.position = node(parent).position;
    next.position.play(move);
    next.ply = node(parent).ply + 1;
    const int index = size();
    m_nodes.push_back(std::move(next));
    node(parent).children.push_back(index);
    return index;
}

int GameTree::lineEnd(int index) const
{
    while (!node(index).children.empty())
        index = node(index).children.front();
    return index;
}

bool GameTree::onMainLine(int index) const
{
    for (int parent = node(index).parent; parent >= 0; parent = node(index).parent) {
        if (node(parent).children.front() != index)
            return false;
        index = parent;
    }
    return true;
}

std::string GameTree::moveNumber(int index) const
{
    const Board& before = node(node(index).parent < 0 ? index : node(index).parent).position;
    return std::to_string(before.fullmoveNumber()) + (before.whiteToMove() ? "." : "...");
}

std::string nagText(int nag)
{
    static const char* const glyphs[] = { "", "!", "?", "!!", "??", "!?", "?!", "\u25A1", "", "",
        "=", "", "", "\u221E", "+=", "=+", "\u00B1", "\u2213", "+-", "-+" };
    if (nag > 0 && nag < static_cast<int>(std::size(glyphs)) && *glyphs[nag])
        return glyphs[nag];
    return "$" + std::to_string(nag);
}

std::string_view GameRead::tag(std::string_view name) const
{
    for (const auto& [tagName, value] : tags) {
        if (tagName == name)
            return value;
    }
    return {};
}

namespace {

    // The NAG a glyph written as text stands for, or 0.
    int glyphNag(std::string_view text)
    {
        static const std::pair<std::string_view, int> glyphs[] = { { "!", 1 }, { "?", 2 },
            { "!!", 3 }, { "??", 4 }, { "!?", 5 }, { "?!", 6 }, { "=", 10 }, { "+/=", 14 },
            { "=/+", 15 }, { "+/-", 16 }, { "-/+", 17 }, { "+-", 18 }, { "-+", 19 } };
        for (const auto& [glyph, nag] : glyphs) {
            if (glyph == text)
                return nag;
        }
        return 0;
    }

    bool isResult(std::string_view text)
    {
        return text == "1-0" || text == "0-1" || text == "1/2-1/2" || text == "*"
            || text == "\xC2\xBD-\xC2\xBD";
    }

    // The comment's text without [%...] commands and "[#]" signs, blanks collapsed.
    std::string cleanText(std::string_view raw)
    {
        std::string out;
        bool blank = true;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw.compare(i, 2, "[%") == 0) {
                const std::size_t close = raw.find(']', i);
                if (close == std::string_view::npos)
                    break;
                i = close;
                continue;
            }
            if (raw.compare(i, 3, "[#]") == 0) {
                i += 2;
                continue;
            }
            if (static_cast<unsigned char>(raw[i]) <= ' ') {
                blank = true;
                continue;
            }
            if (blank && !out.empty())
                out += ' ';
            blank = false;
            out += raw[i];
        }
        repairEncoding(out);
        return out;
    }

    void appendText(std::string& to, const std::string& text)
    {
        if (text.empty())
            return;
        if (!to.empty())
            to += ' ';
        to += text;
    }

    class TreeReader
    {
    public:
        TreeReader(std::string_view text, long firstLine, GameRead& out)
            : m_text(text)
            , m_line(firstLine)
            , m_out(out)
        {
        }

        void read()
        {
            readTags();
            const std::string_view fen = m_out.tag("FEN");
            if (!fen.empty()) {
                std::string message;
                const std::optional<Board> board = Board::fromLine(fen, &message);
                if (!board)
                    return fail("bad FEN tag: " + message);
                m_out.tree = GameTree(*board);
            }
            readMoves();
        }

    private:
        int peek() const
        {
            return m_pos < m_text.size() ? static_cast<unsigned char>(m_text[m_pos]) : -1;
        }
        void fail(std::string message)
        {
            if (m_out.error.empty()) {
                m_out.error = std::move(message);
                m_out.errorLine = m_line;
            }
        }
        void skipSpace()
        {
            bool lineStart = m_pos == 0 || m_text[m_pos - 1] == '\n' || m_text[m_pos - 1] == '\r';
            while (m_pos < m_text.size()) {
                const char c = m_text[m_pos];
                if (c == '\n' || (c == '\r' && peekAt(1) != '\n')) {
                    ++m_line;
                    lineStart = true;
                    ++m_pos;
                } else if (c == '%' && lineStart) {
                    // An escape line: everything up to the line end is for other programs.
                    while (m_pos < m_text.size() && m_text[m_pos] != '\n' && m_text[m_pos] != '\r')
                        ++m_pos;
                } else if (m_text.compare(m_pos, 3, "\xEF\xBB\xBF") == 0) {
                    m_pos += 3;
                } else if (static_cast<unsigned char>(c) > ' ') {
                    return;
                } else {
                    lineStart = lineStart && c == '\r';
                    ++m_pos;
                }
            }
        }
        int peekAt(std::size_t ahead) const
        {
            return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : -1;
        }
        // Advances over text up to (not past) the byte, counting lines; false at the end.
        bool skipTo(char end)
        {
            for (; m_pos < m_text.size(); ++m_pos) {
                const char c = m_text[m_pos];
                if (c == end)
                    return true;
                if (c == '\n' || (c == '\r' && peekAt(1) != '\n'))
                    ++m_line;
            }
            return false;
        }

        void readTags()
        {
            for (skipSpace(); peek() == '['; skipSpace()) {
                const std::size_t start = ++m_pos;
                while (m_pos < m_text.size() && static_cast<unsigned char>(m_text[m_pos]) > ' '
                    && m_text[m_pos] != '"' && m_text[m_pos] != ']')
                    ++m_pos;
                std::string name(m_text.substr(start, m_pos - start));
                while (peek() == ' ' || peek() == '\t')
                    ++m_pos;
                std::string value;
                if (peek() == '"') {
                    for (++m_pos; m_pos < m_text.size() && m_text[m_pos] != '"'; ++m_pos) {
                        if (m_text[m_pos] == '\n' || m_text[m_pos] == '\r')
                            break;
                        if (m_text[m_pos] == '\\' && (peekAt(1) == '"' || peekAt(1) == '\\'))
                            ++m_pos;
                        value += m_text[m_pos];
                    }
                }
                if (!skipTo(']'))
                    return fail("malformed tag pair");
                ++m_pos;
                repairEncoding(value);
                m_out.tags.emplace_back(std::move(name), std::move(value));
            }
        }

        // Where the text of a comment goes: after the move just read, or before the first move
        // of a variation (or of the game).
        void comment(std::string_view raw)
        {
            GameTree& tree = m_out.tree;
            const bool before = m_atStart && m_depth > 0;
            GameNode& node = tree.node(m_current);
            const std::string text = cleanText(raw);
            if (before) {
                appendText(m_pendingBefore, text);
                if (auto message = parseAnnotationComment(raw, m_pendingAnnotations))
                    fail(*message);
                return;
            }
            appendText(node.comment, text);
            if (auto message = parseAnnotationComment(raw, node.annotations))
                fail(*message);
        }

        void play(std::string_view token)
        {
            // Glyphs stuck to the move ("e4!?") become its NAG.
            std::size_t end = token.size();
            while (end > 0 && (token[end - 1] == '!' || token[end - 1] == '?'))
                --end;
            const int nag = glyphNag(token.substr(end));
            GameTree& tree = m_out.tree;
            if (static_cast<std::size_t>(tree.size()) > PgnReader::MaxPlies)
                return fail("game longer than 100000 moves");
            const MoveRead read = readSan(tree.node(m_current).position, token.substr(0, end));
            if (!read.ok())
                return fail(read.error);
            const int child = tree.addMove(m_current, read.move);
            GameNode& node = tree.node(child);
            if (nag)
                node.nags.push_back(nag);
            if (m_atStart) {
                appendText(node.commentBefore, m_pendingBefore);
                for (const ArrowAnnotation& a : m_pendingAnnotations.arrows)
                    toggleArrow(node.annotations, a);
                for (const SquareAnnotation& s : m_pendingAnnotations.squares)
                    toggleSquare(node.annotations, s);
                m_pendingBefore.clear();
                m_pendingAnnotations = {};
            }
            m_current = child;
            m_atStart = false;
        }

        void readMoves()
        {
            struct Open {
                int current;
                long line;
            };
            std::vector<Open> open;
            for (skipSpace(); m_out.ok(); skipSpace()) {
                const int c = peek();
                const long line = m_line;
                if (c < 0 || c == '[') {
                    if (!open.empty())
                        m_line = open.back().line;
                    return fail(open.empty() ? "missing result" : "unclosed variation");
                }
                if (c == '{') {
                    const std::size_t start = ++m_pos;
                    if (!skipTo('}')) {
                        m_line = line;
                        return fail("unclosed comment");
                    }
                    comment(m_text.substr(start, m_pos++ - start));
                } else if (c == ';') {
                    const std::size_t start = ++m_pos;
                    while (m_pos < m_text.size() && m_text[m_pos] != '\n' && m_text[m_pos] != '\r')
                        ++m_pos;
                    comment(m_text.substr(start, m_pos - start));
                } else if (c == '(') {
                    ++m_pos;
                    if (m_current == 0 || m_atStart)
                        return fail("variation without a move before it");
                    if (open.size() + 1 >= PgnReader::MaxDepth)
                        return fail("variations nested too deeply");
                    open.push_back({ m_current, line });
                    ++m_depth;
                    m_current = m_out.tree.node(m_current).parent;
                    m_atStart = true;
                } else if (c == ')') {
                    ++m_pos;
                    if (open.empty())
                        return fail("')' without a variation to close");
                    m_current = open.back().current;
                    m_atStart = false;
                    open.pop_back();
                    --m_depth;
                } else if (c == '$') {
                    ++m_pos;
                    int value = 0;
                    int digits = 0;
                    for (; peek() >= '0' && peek() <= '9'; ++m_pos, ++digits) {
                        if (value < 100000)
                            value = value * 10 + (m_text[m_pos] - '0');
                    }
                    if (digits == 0)
                        return fail("'$' without a number");
                    if (m_current != 0 && !m_atStart)
                        m_out.tree.node(m_current).nags.push_back(value);
                } else if (std::strchr("}]\"", c)) {
                    ++m_pos;
                    return fail(std::string("unexpected '") + static_cast<char>(c) + "'");
                } else if (symbol()) {
                    if (!open.empty()) {
                        m_line = open.back().line;
                        return fail("unclosed variation");
                    }
                    return;
                }
            }
        }

        // Reads a move, move number, glyph or result; true for a result.
        bool symbol()
        {
            const std::size_t start = m_pos;
            while (m_pos < m_text.size() && static_cast<unsigned char>(m_text[m_pos]) > ' '
                && !std::strchr("{}()[];$\"", m_text[m_pos]))
                ++m_pos;
            std::string_view token = m_text.substr(start, m_pos - start);
            if (isResult(token))
                return true;
            std::size_t digits = 0;
            while (digits < token.size() && token[digits] >= '0' && token[digits] <= '9')
                ++digits;
            if (digits == token.size())
                return false;
            if (digits > 0 && token[digits] == '.') {
                const std::size_t move = token.find_first_not_of("0123456789.");
                if (move == std::string_view::npos)
                    return false;
                token.remove_prefix(move);
            }
            if (token.find_first_not_of('.') == std::string_view::npos)
                return false;
            if (const int nag = glyphNag(token)) {
                if (m_current != 0 && !m_atStart)
                    m_out.tree.node(m_current).nags.push_back(nag);
                return false;
            }
            if (token == "e.p." || token == "ep")
                return false;
            play(token);
            return false;
        }

        std::string_view m_text;
        std::size_t m_pos = 0;
        long m_line;
        GameRead& m_out;
        int m_current = 0;
        int m_depth = 0; // open variations
        bool m_atStart = true; // no move read yet in the line being read
        std::string m_pendingBefore;
        Annotations m_pendingAnnotations;
    };

} // namespace

GameRead readGameTree(std::string_view text, long firstLine)
{
    GameRead out;
    TreeReader(text, firstLine, out).read();
    return out;
}

GameTree lineTree(const Board& start, const std::vector<std::string>& moves)
{
    GameTree tree(start);
    int current = 0;
    for (const std::string& text : moves) {
        const MoveRead read = readSan(tree.node(current).position, text);
        if (!read.ok())
            break;
        current = tree.addMove(current, read.move);
    }
    return tree;
}

} // namespace pictog::game
