#include "game/puzzle_csv.h"

#include "game/san.h"

#include <algorithm>

namespace pictog::game {

void splitCsvLine(std::string_view line, std::vector<std::string>& fields)
{
    fields.clear();
    fields.emplace_back();
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
}

bool readPuzzleHeader(std::string_view line, PuzzleColumns& columns)
{
    std::vector<std::string> fields;
    splitCsvLine(line, fields);
    PuzzleColumns found { -1, -1, -1 };
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int index = static_cast<int>(i);
        if (fields[i] == "PuzzleId")
            found.id = index;
        else if (fields[i] == "FEN")
            found.fen = index;
        else if (fields[i] == "Moves")
            found.moves = index;
    }
    if (found.id < 0 || found.fen < 0 || found.moves < 0)
        return false;
    columns = found;
    return true;
}

std::optional<std::string> readPuzzleLine(
    std::string_view line, const PuzzleColumns& columns, Puzzle& puzzle)
{
    std::vector<std::string> fields;
    splitCsvLine(line, fields);
    const int count = static_cast<int>(fields.size());
    if (columns.id >= count || columns.fen >= count || columns.moves >= count)
        return std::string("too few columns");
    puzzle.id = fields[static_cast<std::size_t>(columns.id)];
    puzzle.solution.clear();
    std::string message;
    std::optional<Board> board
        = Board::fromLine(fields[static_cast<std::size_t>(columns.fen)], &message);
    if (!board)
        return "FEN: " + message;
    const std::string& moves = fields[static_cast<std::size_t>(columns.moves)];
    std::size_t pos = 0;
    bool first = true;
    while (pos < moves.size()) {
        if (moves[pos] == ' ') {
            ++pos;
            continue;
        }
        const std::size_t end = std::min(moves.find(' ', pos), moves.size());
        const MoveRead read = readUci(*board, std::string_view(moves).substr(pos, end - pos));
        if (!read.ok())
            return "Moves: " + read.error;
        if (first)
            first = false;
        else
            puzzle.solution.push_back(writeSan(*board, read.move));
        board->play(read.move);
        if (puzzle.solution.empty())
            puzzle.position = *board;
        pos = end;
    }
    if (first)
        return std::string("Moves: no moves");
    return std::nullopt;
}

} // namespace pictog::game
