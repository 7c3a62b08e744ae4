// A PGN reader that looks at buffered bytes in place: a move is read from the buffer as it
// stands (no copy), comments go into reused strings, and only the main line is kept.
#include "game/pgn_reader.h"

#include "game/san.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pictog::game {

namespace {

    // Bytes that end a move or move number: blanks, controls and PGN's delimiters.
    struct SymbolEndTable {
        bool ends[256] {};
        constexpr SymbolEndTable()
        {
            for (int c = 0; c <= ' '; ++c)
                ends[c] = true;
            for (const char c : { '{', '}', '(', ')', '[', ']', ';', '$', '"' })
                ends[static_cast<unsigned char>(c)] = true;
        }
    };
    constexpr SymbolEndTable symbolEnds {};

    bool isResult(std::string_view text)
    {
        const char first = text[0];
        if (first != '0' && first != '1' && first != '*' && first != '\xC2')
            return false;
        return text == "1-0" || text == "0-1" || text == "1/2-1/2" || text == "*"
            || text == "\xC2\xBD-\xC2\xBD";
    }

    // Evaluation and move-quality glyphs written as text ("!?", "+-", "=") carry nothing a
    // position needs; "--" is left out, since that is a null move and must not pass unread.
    bool isGlyphText(std::string_view text)
    {
        if (!std::strchr("!?+-=/", text[0]) || text == "--")
            return false;
        for (const char c : text) {
            if (!std::strchr("!?+-=/", c))
                return false;
        }
        return true;
    }

    bool isLetter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }

    // The comment's text without its [%...] commands and "[#]" signs, blanks collapsed to one
    // space; sets diagram when a "[#]" was there and annotations when a [%cal]/[%csl] was.
    void cleanComment(std::string_view raw, std::string& out, bool& diagram, bool& annotations)
    {
        out.clear();
        bool blank = true;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const char c = raw[i];
            if (c == '[' && i + 1 < raw.size()) {
                if (raw[i + 1] == '%') {
                    const std::size_t close = raw.find(']', i);
                    if (raw.compare(i, 5, "[%cal") == 0 || raw.compare(i, 5, "[%csl") == 0)
                        annotations = true;
                    if (close == std::string_view::npos)
                        break;
                    i = close;
                    continue;
                }
                if (raw.compare(i, 3, "[#]") == 0) {
                    diagram = true;
                    i += 2;
                    continue;
                }
            }
            if (static_cast<unsigned char>(c) <= ' ') {
                blank = true;
                continue;
            }
            if (blank && !out.empty())
                out += ' ';
            blank = false;
            out += c;
        }
    }

} // namespace

std::string_view PgnGame::tag(std::string_view name) const
{
    for (std::size_t i = 0; i < m_tagCount; ++i) {
        if (m_tags[i].name == name)
            return m_tags[i].value;
    }
    return {};
}

const PositionNote* PgnGame::note(int ply) const
{
    for (const PositionNote* n = notesBegin(); n != notesEnd(); ++n) {
        if (n->ply == ply)
            return n;
    }
    return nullptr;
}

void PgnGame::clear()
{
    number = line = errorLine = 0;
    error.clear();
    static const Board initial = Board::initial();
    start = end = initial;
    moves.clear();
    m_tagCount = 0;
    m_noteCount = 0;
}

PositionNote& PgnGame::noteFor(int ply)
{
    if (m_noteCount > 0 && m_notes[m_noteCount - 1].ply == ply)
        return m_notes[m_noteCount - 1];
    if (m_noteCount == m_notes.size())
        m_notes.emplace_back();
    PositionNote& note = m_notes[m_noteCount++];
    note.ply = ply;
    note.comment.clear();
    note.annotations.arrows.clear();
    note.annotations.squares.clear();
    note.diagram = false;
    return note;
}

PgnReader::PgnReader(ReadFunction read)
    : m_in(std::move(read))
    , m_lines(1)
{
}

void PgnReader::fail(PgnGame& game, std::string message, long line)
{
    if (game.ok()) {
        game.error = std::move(message);
        game.errorLine = line;
    }
    m_checking = false;
}

void PgnReader::newline(int c)
{
    m_in.skip();
    if (c == '\r' && m_in.peek() == '\n')
        m_in.skip();
    ++m_line;
    m_lineStart = true;
}

void PgnReader::skipSpace()
{
    for (;;) {
        const int c = m_in.peek();
        if (c == '\n' || c == '\r') {
            newline(c);
        } else if (c >= 0 && c <= ' ') {
            m_in.skip();
            m_lineStart = false;
        } else if (c == '%' && m_lineStart) {
            // An escape line: everything up to the line end is for other programs.
            for (int d = m_in.peek(); d >= 0 && d != '\n' && d != '\r'; d = m_in.peek())
                m_in.skip();
        } else if (c == 0xEF && m_in.ensure(3)
            && std::memcmp(m_in.data(), "\xEF\xBB\xBF", 3) == 0) {
            // A byte order mark, at the start of the input or of a file joined onto it.
            m_in.skip(3);
        } else {
            return;
        }
    }
}

bool PgnReader::atTagLine()
{
    // Only the first MaxToken bytes count, however many the buffer happens to hold, so that the
    // answer does not depend on the sizes the input arrived in (a longer tag name is malformed).
    m_in.ensure(MaxToken);
    const char* p = m_in.data();
    const std::size_t n = std::min(m_in.available(), MaxToken);
    if (n < 2 || p[0] != '[' || !isLetter(p[1]))
        return false;
    std::size_t i = 2;
    while (i < n && (isLetter(p[i]) || (p[i] >= '0' && p[i] <= '9') || p[i] == '_'))
        ++i;
    while (i < n && p[i] == ' ')
        ++i;
    return i < n && p[i] == '"';
}

bool PgnReader::readTag(PgnGame& game)
{
    const long line = m_line;
    m_in.skip(); // '['
    m_lineStart = false;
    auto malformed = [&](const char* message) {
        fail(game, message, line);
        for (int c = m_in.peek(); c >= 0 && c != '\n' && c != '\r'; c = m_in.peek())
            m_in.skip();
        return false;
    };
    while (m_in.peek() == ' ' || m_in.peek() == '\t')
        m_in.skip();
    if (game.m_tagCount >= MaxTags)
        return malformed("more than 1000 tags");
    if (game.m_tagCount == game.m_tags.size())
        game.m_tags.emplace_back();
    PgnGame::Tag& tag = game.m_tags[game.m_tagCount];
    tag.name.clear();
    tag.value.clear();
    for (int c = m_in.peek(); c > ' ' && c != '"' && c != ']'; c = m_in.peek()) {
        if (tag.name.size() >= MaxToken)
            return malformed("tag name too long");
        tag.name += static_cast<char>(c);
        m_in.skip();
    }
    while (m_in.peek() == ' ' || m_in.peek() == '\t')
        m_in.skip();
    if (tag.name.empty() || m_in.peek() != '"')
        return malformed("malformed tag pair");
    m_in.skip();
    for (;;) {
        // The plain run up to the next quote, backslash or line end in one piece.
        if (m_in.ensure(1)) {
            const char* run = m_in.data();
            const std::size_t n = m_in.available();
            std::size_t k = 0;
            while (k < n && run[k] != '"' && run[k] != '\\' && run[k] != '\n' && run[k] != '\r')
                ++k;
            if (tag.value.size() + k > MaxTextLength)
                return malformed("tag value too long");
            tag.value.append(run, k);
            m_in.skip(k);
        }
        int c = m_in.peek();
        if (c < 0 || c == '\n' || c == '\r')
            return malformed("unclosed tag value");
        m_in.skip();
        if (c == '"')
            break;
        if (c == '\\') {
            // \" and \\ stand for the character; any other backslash is kept as it is.
            const int escaped = m_in.peek();
            if (escaped == '"' || escaped == '\\') {
                c = escaped;
                m_in.skip();
            }
        }
        tag.value += static_cast<char>(c);
    }
    while (m_in.peek() == ' ' || m_in.peek() == '\t')
        m_in.skip();
    if (m_in.peek() != ']')
        return malformed("malformed tag pair");
    m_in.skip();
    repairEncoding(tag.value);
    ++game.m_tagCount;
    return true;
}

bool PgnReader::readComment(PgnGame& game, bool toLineEnd)
{
    const long line = m_line;
    m_in.skip(); // '{' or ';'
    m_lineStart = false;
    // Only comments of the main line are kept; the rest is only read past.
    const bool keep = m_checking && m_depth == 0;
    m_scratch.clear();
    for (;;) {
        if (!m_in.ensure(1)) {
            if (toLineEnd)
                break;
            fail(game, "unclosed comment", line);
            return false;
        }
        const char* p = m_in.data();
        const std::size_t n = m_in.available();
        std::size_t i = 0;
        while (i < n && p[i] != '}' && p[i] != '\n' && p[i] != '\r')
            ++i;
        if (keep && m_scratch.size() < MaxTextLength)
            m_scratch.append(p, i);
        m_in.skip(i);
        if (i == n)
            continue;
        const char c = p[i];
        if (c == '}') {
            if (toLineEnd) {
                m_in.skip();
                if (keep)
                    m_scratch += '}';
                continue;
            }
            m_in.skip();
            break;
        }
        if (toLineEnd)
            break;
        newline(c);
        if (keep)
            m_scratch += ' ';
        // A tag line inside a comment means its closing brace is missing: the next game starts.
        if (atTagLine()) {
            fail(game, "unclosed comment", line);
            return false;
        }
    }
    m_lineStart = false;
    if (!keep)
        return true;
    if (m_scratch.size() >= MaxTextLength) {
        fail(game, "comment too long", line);
        return false;
    }
    bool diagram = false;
    bool annotations = false;
    std::string& clean = m_clean;
    cleanComment(m_scratch, clean, diagram, annotations);
    const int ply = static_cast<int>(game.moves.size());
    if (annotations) {
        PositionNote& note = game.noteFor(ply);
        if (auto message = parseAnnotationComment(m_scratch, note.annotations)) {
            fail(game, std::move(*message), line);
            return false;
        }
    }
    if (!clean.empty() || diagram) {
        PositionNote& note = game.noteFor(ply);
        note.diagram |= diagram;
        if (!clean.empty()) {
            m_gameText += clean.size();
            if (m_gameText > MaxGameText) {
                fail(game, "comments of the game longer than 4 MiB", line);
                return false;
            }
            repairEncoding(clean);
            if (!note.comment.empty())
                note.comment += ' ';
            note.comment += clean;
        }
    }
    return true;
}

void PgnReader::readNag(PgnGame& game)
{
    const long line = m_line;
    m_in.skip(); // '$'
    m_lineStart = false;
    int value = 0;
    int digits = 0;
    for (int c = m_in.peek(); c >= '0' && c <= '9'; c = m_in.peek()) {
        if (value < 100000)
            value = value * 10 + (c - '0');
        ++digits;
        m_in.skip();
    }
    if (digits == 0)
        return fail(game, "'$' without a number", line);
    if ((value == 220 || value == 221) && m_checking && m_depth == 0)
        game.noteFor(static_cast<int>(game.moves.size())).diagram = true;
}

void PgnReader::playMove(PgnGame& game, std::string_view text)
{
    Line& line = m_lines[m_depth];
    const MoveRead read = readSan(line.current, text);
    if (!read.ok())
        return fail(game, read.error, m_line);
    if (m_depth == 0) {
        if (game.moves.size() >= MaxPlies)
            return fail(game, "game longer than 100000 moves", m_line);
        game.moves.push_back(read.move);
    }
    line.before = line.current;
    line.moved = true;
    line.current.play(read.move);
}

void PgnReader::readSymbol(PgnGame& game)
{
    m_lineStart = false;
    m_in.ensure(MaxToken + 1);
    const char* p = m_in.data();
    const std::size_t n = m_in.available();
    std::size_t length = 0;
    while (length < n && !symbolEnds.ends[static_cast<unsigned char>(p[length])])
        ++length;
    if (length > MaxToken) {
        fail(game, "unreadable move '" + quoteForMessage(std::string_view(p, 20)) + "...'", m_line);
        for (int c = m_in.peek(); c >= 0 && !symbolEnds.ends[c]; c = m_in.peek())
            m_in.skip();
        return;
    }
    const std::string_view token(p, length);
    m_in.skip(length);
    // A move number ("12", "12.", "12...") alone or stuck to the move ("12.e4"); results and
    // "0-0" also start with a digit, but never with digits and a dot.
    std::size_t i = 0;
    while (i < length && token[i] >= '0' && token[i] <= '9')
        ++i;
    std::string_view move = token;
    if (i == length)
        return;
    if (i > 0 && token[i] == '.') {
        while (i < length && token[i] == '.')
            ++i;
        if (i == length)
            return;
        move = token.substr(i);
    } else if (isResult(token)) {
        if (m_checking && m_depth > 0)
            fail(game, "unclosed variation", m_lines[m_depth].openLine);
        m_done = true;
        return;
    }
    const char first = move[0];
    if ((first < 'a' || first > 'h') && (first < 'A' || first > 'Z')) {
        if (move.find_first_not_of('.') == std::string_view::npos || isGlyphText(move))
            return;
    }
    if (first == 'e' && (move == "e.p." || move == "ep"))
        return;
    if (m_checking)
        playMove(game, move);
}

bool PgnReader::next(PgnGame& game, bool check)
{
    game.clear();
    m_checking = check;
    m_done = false;
    m_depth = 0;
    m_gameText = 0;
    skipSpace();
    if (m_in.peek() < 0)
        return false;
    game.number = ++m_games;
    game.line = m_line;

    while (m_in.peek() == '[') {
        readTag(game);
        skipSpace();
    }
    if (m_checking) {
        const std::string_view fen = game.tag("FEN");
        if (!fen.empty()) {
            std::string message;
            if (std::optional<Board> board = Board::fromLine(fen, &message))
                game.start = *board;
            else
                fail(game, "bad FEN tag: " + message, game.line);
        }
    }
    m_lines[0].current = game.start;
    m_lines[0].moved = false;

    while (!m_done) {
        skipSpace();
        const int c = m_in.peek();
        const long line = m_line;
        switch (c) {
        case -1:
        case '[':
            // The input or the game ended without a result; a '[' stays for the next game.
            if (m_checking && m_depth > 0)
                fail(game, "unclosed variation", m_lines[m_depth].openLine);
            else
                fail(game, "missing result", line);
            m_done = true;
            break;
        case '{':
        case ';':
            readComment(game, c == ';');
            break;
        case '(':
            m_in.skip();
            m_lineStart = false;
            if (!m_checking) {
                ++m_depth;
            } else if (!m_lines[m_depth].moved) {
                fail(game, "variation without a move before it", line);
                ++m_depth;
            } else if (m_depth + 1 >= MaxDepth) {
                fail(game, "variations nested too deeply", line);
                ++m_depth;
            } else {
                if (m_depth + 1 == m_lines.size())
                    m_lines.emplace_back();
                Line& variation = m_lines[m_depth + 1];
                variation.current = m_lines[m_depth].before;
                variation.moved = false;
                variation.openLine = line;
                ++m_depth;
            }
            break;
        case ')':
            m_in.skip();
            m_lineStart = false;
            if (m_depth == 0)
                fail(game, "')' without a variation to close", line);
            else
                --m_depth;
            break;
        case '$':
            readNag(game);
            break;
        case '}':
        case ']':
        case '"':
            m_in.skip();
            m_lineStart = false;
            fail(game, std::string("unexpected '") + static_cast<char>(c) + "'", line);
            break;
        default:
            readSymbol(game);
            break;
        }
    }
    if (game.ok())
        game.end = m_lines[0].current;
    return true;
}

} // namespace pictog::game
