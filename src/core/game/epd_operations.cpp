#include "game/epd_operations.h"

#include "game/san.h"

namespace pictog::game {

namespace {

    bool isLetter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    }
    bool isDigit(char c)
    {
        return c >= '0' && c <= '9';
    }
    bool isBlank(char c)
    {
        return c == ' ' || c == '\t';
    }
    bool isNumber(std::string_view text)
    {
        if (text.empty() || text.size() > 9)
            return false;
        for (const char c : text) {
            if (!isDigit(c))
                return false;
        }
        return true;
    }

    std::string_view nextWord(std::string_view text, std::size_t& pos)
    {
        const std::size_t begin = pos;
        while (pos < text.size() && text[pos] != ' ')
            ++pos;
        return text.substr(begin, pos - begin);
    }

} // namespace

std::optional<std::string> parseEpdOperations(
    std::string_view text, std::vector<EpdOperation>& operations, Annotations* annotations)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (true) {
        while (i < n && (static_cast<unsigned char>(text[i]) <= ' ' || text[i] == ';'))
            ++i;
        if (i == n)
            return std::nullopt;
        if (text[i] == '[') {
            const std::size_t close = text.find(']', i);
            const std::size_t end = close == std::string_view::npos ? n : close + 1;
            if (annotations) {
                if (auto message = parseAnnotationComment(text.substr(i, end - i), *annotations))
                    return message;
            }
            i = end;
            continue;
        }
        const std::size_t begin = i;
        if (!isLetter(text[i])) {
            while (i < n && !isBlank(text[i]) && text[i] != ';')
                ++i;
            return "bad operation '" + quoteForMessage(text.substr(begin, i - begin)) + "'";
        }
        while (i < n && (isLetter(text[i]) || isDigit(text[i]) || text[i] == '_'))
            ++i;
        EpdOperation operation;
        operation.opcode.assign(text.substr(begin, i - begin));
        if (i < n && !isBlank(text[i]) && text[i] != ';') {
            while (i < n && !isBlank(text[i]) && text[i] != ';')
                ++i;
            return "bad operation '" + quoteForMessage(text.substr(begin, i - begin)) + "'";
        }
        for (;;) {
            while (i < n && isBlank(text[i]))
                ++i;
            if (i == n || text[i] == ';')
                break;
            EpdOperand operand;
            if (text[i] == '"') {
                operand.quoted = true;
                ++i;
                while (i < n && text[i] != '"') {
                    if (text[i] == '\\' && i + 1 < n && (text[i + 1] == '"' || text[i + 1] == '\\'))
                        ++i;
                    operand.text += text[i++];
                }
                if (i == n)
                    return "unclosed string in operation '" + quoteForMessage(operation.opcode)
                        + "'";
                ++i;
            } else {
                const std::size_t word = i;
                while (i < n && !isBlank(text[i]) && text[i] != ';')
                    ++i;
                operand.text.assign(text.substr(word, i - word));
            }
            operation.operands.push_back(std::move(operand));
        }
        operations.push_back(std::move(operation));
    }
}

void appendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
}

void appendOperations(std::string& out, const std::vector<EpdOperation>& operations)
{
    bool first = true;
    for (const EpdOperation& operation : operations) {
        if (!first)
            out += ' ';
        first = false;
        out += operation.opcode;
        for (const EpdOperand& operand : operation.operands) {
            out += ' ';
            if (operand.quoted)
                appendQuoted(out, operand.text);
            else
                out += operand.text;
        }
        out += ';';
    }
}

const EpdOperation* findOperation(
    const std::vector<EpdOperation>& operations, std::string_view opcode)
{
    for (const EpdOperation& operation : operations) {
        if (operation.opcode == opcode)
            return &operation;
    }
    return nullptr;
}

std::vector<std::string> solutionMoves(const std::vector<EpdOperation>& operations)
{
    const EpdOperation* solution = findOperation(operations, "pv");
    if (!solution || solution->operands.empty())
        solution = findOperation(operations, "bm");
    std::vector<std::string> moves;
    if (solution)
        for (const EpdOperand& operand : solution->operands)
            moves.push_back(operand.text);
    return moves;
}

const std::string* firstOperand(
    const std::vector<EpdOperation>& operations, std::string_view opcode)
{
    const EpdOperation* operation = findOperation(operations, opcode);
    return operation && !operation->operands.empty() ? &operation->operands[0].text : nullptr;
}

std::string_view recordPosition(std::string_view line)
{
    for (std::size_t tab = line.find('\t'); tab != std::string_view::npos;
         tab = line.find('\t', tab + 1)) {
        if (tab + 1 < line.size() && startsRecordTail(line[tab + 1]))
            return line.substr(0, tab);
    }
    return line;
}

std::optional<std::string> splitRecordLine(std::string_view line, RecordLine& record)
{
    record.operations.clear();
    record.annotations = Annotations {};
    record.position = recordPosition(line);
    if (record.position.size() == line.size())
        return std::nullopt;
    return parseEpdOperations(
        line.substr(record.position.size() + 1), record.operations, &record.annotations);
}

std::optional<std::string> readEpdLine(std::string_view line, EpdRecord& record, bool annotations)
{
    record.operations.clear();
    record.annotations = Annotations {};
    // The four fields, the counters when both are numbers, then the operations: after a blank,
    // after a TAB (a record line), or both, as when operations were typed before the TAB.
    const std::string_view head = recordPosition(line);
    const std::string_view tail
        = head.size() < line.size() ? line.substr(head.size() + 1) : std::string_view();
    std::size_t at = 0;
    for (int field = 0; field < 4 && at < head.size(); ++field) {
        nextWord(head, at);
        if (at < head.size() && field < 3)
            ++at;
    }
    std::size_t end = at;
    std::size_t next = at + 1;
    if (at < head.size() && isNumber(nextWord(head, next)) && next < head.size()) {
        ++next;
        if (isNumber(nextWord(head, next)))
            end = next;
    }
    std::string_view position = head.substr(0, end);
    std::string_view rest = head.substr(end < head.size() ? end + 1 : end);
    std::vector<EpdOperation> before;
    if (head.size() < line.size() && parseEpdOperations(rest, before, nullptr)) {
        // Before a TAB, text that is no operation stays with the position, read leniently.
        position = head;
        rest = {};
    }
    std::string message;
    std::optional<Board> board = Board::fromLine(position, &message);
    if (!board)
        return message;
    for (const std::string_view text : { rest, tail }) {
        if (auto fault = parseEpdOperations(
                text, record.operations, annotations ? &record.annotations : nullptr))
            return fault;
    }

    // hmvc and fmvn stand for the counters of a four-field line.
    const EpdOperation* hmvc = findOperation(record.operations, "hmvc");
    const EpdOperation* fmvn = findOperation(record.operations, "fmvn");
    if (hmvc || fmvn) {
        for (const EpdOperation* counter : { hmvc, fmvn }) {
            if (counter && (counter->operands.size() != 1 || !isNumber(counter->operands[0].text)))
                return counter->opcode + ": bad number";
        }
        const std::string fen = board->fenLine();
        std::size_t pos = 0;
        for (int field = 0; field < 4; ++field) {
            nextWord(fen, pos);
            ++pos;
        }
        std::size_t probe = pos;
        const std::string_view half = nextWord(fen, probe);
        ++probe;
        const std::string_view full = nextWord(fen, probe);
        std::string counted(fen.substr(0, pos));
        counted += hmvc ? std::string_view(hmvc->operands[0].text) : half;
        counted += ' ';
        counted += fmvn ? std::string_view(fmvn->operands[0].text) : full;
        board = Board::fromLine(counted, &message);
        if (!board)
            return message;
        std::vector<EpdOperation> kept;
        for (EpdOperation& operation : record.operations) {
            if (operation.opcode != "hmvc" && operation.opcode != "fmvn")
                kept.push_back(std::move(operation));
        }
        record.operations.swap(kept);
    }
    record.board = *board;

    for (EpdOperation& operation : record.operations) {
        const bool sequence = operation.opcode == "pv";
        if (!sequence && operation.opcode != "bm" && operation.opcode != "am")
            continue;
        Board current = record.board;
        for (EpdOperand& operand : operation.operands) {
            const MoveRead read = readSan(current, operand.text);
            if (!read.ok())
                return operation.opcode + ": " + read.error;
            operand.text = writeSan(current, read.move);
            operand.quoted = false;
            if (sequence)
                current.play(read.move);
        }
    }
    return std::nullopt;
}

} // namespace pictog::game
