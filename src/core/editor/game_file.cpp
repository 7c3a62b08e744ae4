// Opened files of games and positions: their lists, an entry read in full, and the cursor the
// window moves through a game with.
#include "editor/game_file.h"

#include "game/epd_operations.h"
#include "game/puzzle_csv.h"

#include <algorithm>
#include <cstring>

namespace pictog {

namespace {

    bool endsWith(std::string_view text, std::string_view suffix)
    {
        if (text.size() < suffix.size())
            return false;
        for (std::size_t i = 0; i < suffix.size(); ++i) {
            const char c = text[text.size() - suffix.size() + i];
            if ((c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != suffix[i])
                return false;
        }
        return true;
    }

    std::string_view trimmed(std::string_view text)
    {
        while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
            text.remove_prefix(1);
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            text.remove_prefix(3);
        while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
            text.remove_suffix(1);
        return text;
    }

    // Line ends as the readers count them: LF, CR LF and a lone CR once each.
    long countLines(std::string_view text)
    {
        long lines = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n'
                || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
                ++lines;
        }
        return lines;
    }

    // The first line of the text without its line end.
    std::string_view firstLine(std::string_view text)
    {
        return text.substr(0, std::min(text.find_first_of("\r\n"), text.size()));
    }

    // "White - Black", or the one name there is.
    std::string players(std::string_view white, std::string_view black)
    {
        std::string text(white);
        if (!white.empty() && !black.empty())
            text += " - ";
        return text.append(black);
    }

    // The position of an EPD line whose operations could not be read: its first four fields and
    // the two counters when they follow, so a bad "bm" still leaves the position to look at.
    std::optional<game::Board> bareEpdPosition(std::string_view line)
    {
        std::string fields;
        int count = 0;
        std::size_t pos = 0;
        while (count < 6) {
            pos = line.find_first_not_of(" \t", pos);
            if (pos == std::string_view::npos)
                break;
            const std::size_t end = std::min(line.find_first_of(" \t", pos), line.size());
            const std::string_view field = line.substr(pos, end - pos);
            if (count >= 4 && field.find_first_not_of("0123456789") != std::string_view::npos)
                break;
            fields.append(count ? " " : "").append(field);
            ++count;
            pos = end;
        }
        return count >= 4 ? game::Board::fromLine(fields) : std::nullopt;
    }

} // namespace

bool isPgnText(std::string_view text)
{
    text = trimmed(text);
    if (text.size() >= 2 && text[0] == '[')
        return (text[1] >= 'A' && text[1] <= 'Z') || (text[1] >= 'a' && text[1] <= 'z');
    // A FEN line never has a dot after its leading digits; a movetext does ("1. e4", "1.e4").
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    return digits > 0 && digits < text.size() && text[digits] == '.';
}

GameFileKind gameFileKind(std::string_view fileName, std::string_view text)
{
    if (endsWith(fileName, ".pgn"))
        return GameFileKind::Games;
    if (endsWith(fileName, ".csv"))
        return GameFileKind::Puzzles;
    if (endsWith(fileName, ".epd") || endsWith(fileName, ".fen"))
        return GameFileKind::Positions;
    if (isPgnText(text))
        return GameFileKind::Games;
    game::PuzzleColumns columns;
    if (readPuzzleHeader(firstLine(trimmed(text)), columns))
        return GameFileKind::Puzzles;
    return GameFileKind::Positions;
}

GameFileLister::GameFileLister(std::shared_ptr<const std::string> text, GameFileKind kind)
    : m_text(std::move(text))
    , m_kind(kind)
{
    if (m_kind == GameFileKind::Games)
        m_reader = std::make_unique<game::PgnReader>(game::readFromString(*m_text));
}

GameFileLister::~GameFileLister() = default;

void GameFileLister::problem(long number, long line, std::string message)
{
    if (!m_problem)
        m_problem = GameFileProblem { number, line, std::move(message) };
}

bool GameFileLister::read(std::size_t count, std::vector<GameFileEntry>& out)
{
    const std::size_t target = out.size() + count;
    while (out.size() < target) {
        if (!(m_kind == GameFileKind::Games ? readGame(out) : readLine(out)))
            return false;
    }
    return true;
}

bool GameFileLister::readGame(std::vector<GameFileEntry>& out)
{
    if (!m_reader->next(m_game))
        return false;
    const std::size_t end = static_cast<std::size_t>(m_reader->consumed());
    GameFileEntry entry;
    entry.number = m_game.number;
    entry.offset = m_pos;
    entry.length = end - m_pos;
    entry.line = m_line;
    m_line += countLines(std::string_view(*m_text).substr(m_pos, entry.length));
    m_pos = end;
    const std::string_view white = m_game.tag("White");
    const std::string_view black = m_game.tag("Black");
    const std::string_view event = m_game.tag("Event");
    entry.label = players(white, black);
    if (!event.empty() && event != "?")
        entry.label.append(entry.label.empty() ? "" : " (")
            .append(event)
            .append(entry.label.empty() || entry.label.back() == '(' ? "" : ")");
    entry.result = std::string(m_game.tag("Result"));
    if (!m_game.ok())
        problem(m_game.number, m_game.errorLine, m_game.error);
    out.push_back(std::move(entry));
    return true;
}

bool GameFileLister::readLine(std::vector<GameFileEntry>& out)
{
    const std::string& text = *m_text;
    while (m_pos < text.size()) {
        const std::size_t start = m_pos;
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const long line = m_line++;
        m_pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        std::string_view content = std::string_view(text).substr(start, end - start);
        if (line == 1 && content.compare(0, 3, "\xEF\xBB\xBF") == 0)
            content.remove_prefix(3);
        if (trimmed(content).empty() || content[0] == '#')
            continue;
        GameFileEntry entry;
        entry.offset = static_cast<std::size_t>(content.data() - text.data());
        entry.length = content.size();
        entry.line = line;
        if (m_kind == GameFileKind::Puzzles) {
            const bool header = std::exchange(m_header, false);
            if (header && game::readPuzzleHeader(content, m_columns))
                continue;
            game::Puzzle puzzle;
            ++m_count;
            if (auto message = game::readPuzzleLine(content, m_columns, puzzle)) {
                problem(m_count, line, *message);
                continue;
            }
            entry.label = puzzle.id;
        } else {
            game::EpdRecord record;
            ++m_count;
            if (auto message = game::readEpdLine(content, record)) {
                problem(m_count, line, *message);
                if (!bareEpdPosition(content))
                    continue;
            }
            if (const std::string* id = game::firstOperand(record.operations, "id"))
                entry.label = *id;
        }
        entry.number = m_count;
        out.push_back(std::move(entry));
        return true;
    }
    return false;
}

OpenedEntry openEntry(std::string_view fileText, GameFileKind kind, const GameFileEntry& entry)
{
    OpenedEntry opened;
    const std::string_view text = fileText.substr(entry.offset, entry.length);
    opened.errorLine = entry.line;
    if (kind == GameFileKind::Games) {
        game::GameRead read = game::readGameTree(text, entry.line);
        opened.tree = std::move(read.tree);
        opened.error = std::move(read.error);
        opened.errorLine = read.errorLine;
        opened.captions.header1 = players(read.tag("White"), read.tag("Black"));
        const std::string_view event = read.tag("Event");
        if (event != "?")
            opened.captions.header2 = std::string(event);
    } else if (kind == GameFileKind::Puzzles) {
        game::PuzzleColumns columns;
        game::readPuzzleHeader(firstLine(fileText), columns);
        game::Puzzle puzzle;
        if (auto message = game::readPuzzleLine(text, columns, puzzle))
            opened.error = *message;
        else
            opened.tree = game::lineTree(puzzle.position, puzzle.solution);
        opened.captions.header1 = puzzle.id;
    } else {
        game::EpdRecord record;
        if (auto message = game::readEpdLine(text, record)) {
            opened.error = *message;
            if (const std::optional<game::Board> board = bareEpdPosition(text))
                opened.tree = game::GameTree(*board);
            return opened;
        }
        // A position with a solution (pv, else bm) opens with it as its moves, as a puzzle does.
        const std::vector<std::string> moves = game::solutionMoves(record.operations);
        opened.tree = game::lineTree(record.board, moves);
        game::RecordLine split;
        if (!game::splitRecordLine(text, split))
            opened.tree.node(0).annotations = split.annotations;
        if (const std::string* id = game::firstOperand(record.operations, "id"))
            opened.captions.header1 = *id;
        if (const std::string* c0 = game::firstOperand(record.operations, "c0"))
            opened.captions.header2 = *c0;
    }
    if (opened.error.empty())
        opened.errorLine = 0;
    return opened;
}

bool GameCursor::forward()
{
    if (current().children.empty())
        return false;
    m_node = current().children.front();
    return true;
}

bool GameCursor::back()
{
    if (current().parent < 0)
        return false;
    m_node = current().parent;
    return true;
}

bool GameCursor::toStart()
{
    return select(0);
}

bool GameCursor::toEnd()
{
    return select(m_tree.lineEnd(m_node));
}

bool GameCursor::select(int node)
{
    if (node < 0 || node >= m_tree.size() || node == m_node)
        return false;
    m_node = node;
    return true;
}

bool GameCursor::play(game::Move move)
{
    if (!game::isLegal(current().position, move))
        return false;
    // The generator's own copy carries the flags a caller's move may lack.
    m_node = m_tree.addMove(m_node, move);
    return true;
}

EditDocument positionDocument(const game::GameNode& node, const Captions& captions)
{
    EditDocument document;
    node.position.toPosition(document.board, document.panel);
    document.captions = captions;
    document.annotations = node.annotations;
    document.rebuildLine();
    return document;
}

bool showsPosition(const EditDocument& document, const game::GameNode& node)
{
    const EditDocument shown = positionDocument(node, document.captions);
    return document.board == shown.board && document.panel == shown.panel
        && document.moveRightText.empty() && document.epFieldText.empty()
        && document.annotations == shown.annotations;
}

void followCaptions(Captions& shown, Captions& lastFilled, const Captions& fresh)
{
    for (std::string Captions::*field : { &Captions::header1, &Captions::header2 }) {
        if ((shown.*field).empty() || shown.*field == lastFilled.*field)
            shown.*field = fresh.*field;
        lastFilled.*field = fresh.*field;
    }
}

std::vector<FileRecord> fileRecords(
    const std::shared_ptr<const std::string>& fileText, GameFileKind kind)
{
    std::vector<GameFileEntry> entries;
    GameFileLister lister(fileText, kind);
    while (lister.read(1000, entries)) { }
    const auto stringOperation = [](const char* opcode, const std::string& text) {
        return game::EpdOperation { opcode, { game::EpdOperand { text, true } } };
    };
    std::vector<FileRecord> records;
    records.reserve(entries.size());
    for (const GameFileEntry& entry : entries) {
        FileRecord record;
        if (kind == GameFileKind::Positions) {
            const std::string_view line
                = std::string_view(*fileText).substr(entry.offset, entry.length);
            game::EpdRecord epd;
            if (game::readEpdLine(line, epd))
                continue;
            record.board = epd.board;
            record.operations = std::move(epd.operations);
            game::RecordLine split;
            if (!game::splitRecordLine(line, split))
                record.annotations = split.annotations;
        } else {
            const OpenedEntry opened = openEntry(*fileText, kind, entry);
            if (kind == GameFileKind::Puzzles && !opened.error.empty())
                continue;
            const game::GameTree& tree = opened.tree;
            const int shown = kind == GameFileKind::Games ? tree.lineEnd(0) : 0;
            const game::GameNode& node = tree.node(shown);
            record.board = node.position;
            record.annotations = node.annotations;
            const std::string& id
                = kind == GameFileKind::Games ? entry.label : opened.captions.header1;
            if (!id.empty())
                record.operations.push_back(stringOperation("id", id));
            if (kind == GameFileKind::Games && !node.comment.empty())
                record.operations.push_back(stringOperation("c0", node.comment));
            if (kind == GameFileKind::Puzzles) {
                game::EpdOperation pv { "pv", {} };
                for (int at = 0; !tree.node(at).children.empty();) {
                    at = tree.node(at).children.front();
                    pv.operands.push_back({ tree.node(at).san, false });
                }
                if (!pv.operands.empty())
                    record.operations.push_back(std::move(pv));
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace pictog
