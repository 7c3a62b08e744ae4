// The reading of PGN games, EPD lines and puzzle files into records of the selected positions,
// shared by `positions` (record lines) and `sheet` (pages of diagrams).
#include "record_reader.h"

#include "game/epd_operations.h"
#include "game/pgn_reader.h"
#include "game/puzzle_csv.h"
#include "game/san.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace pictog::cli {

using namespace pictog::game;

namespace {

    bool readNumber(std::string_view text, long& value)
    {
        if (text.empty() || text.size() > 9)
            return false;
        value = 0;
        for (const char c : text) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + (c - '0');
        }
        return true;
    }

    // Calls fn for each comma-separated item; false when fn refuses one.
    template <class Fn> bool forEachItem(std::string_view list, Fn&& fn)
    {
        for (;;) {
            const std::size_t comma = list.find(',');
            if (!fn(list.substr(0, comma)))
                return false;
            if (comma == std::string_view::npos)
                return true;
            list.remove_prefix(comma + 1);
        }
    }

    void parseAt(std::string_view list, RecordSelection& options)
    {
        const bool ok = forEachItem(list, [&](std::string_view item) {
            long number = 0;
            if (item == "end") {
                options.end = true;
            } else if (item == "start") {
                options.start = true;
            } else if (item.substr(0, 4) == "ply:" && readNumber(item.substr(4), number)) {
                options.points.push_back({ static_cast<int>(number), -1 });
            } else if (item.size() > 1 && (item.back() == 'w' || item.back() == 'b')
                && readNumber(item.substr(0, item.size() - 1), number) && number > 0) {
                options.points.push_back({ static_cast<int>(number), item.back() == 'w' ? 0 : 1 });
            } else {
                return false;
            }
            return true;
        });
        if (!ok)
            throw UsageError("bad --at value " + std::string(list)
                + " (expected end, start, 23w, 23b or ply:N, separated by commas)");
    }

    void parseGames(std::string_view list, RecordSelection& options)
    {
        const bool ok = forEachItem(list, [&](std::string_view item) {
            const std::size_t dash = item.find('-');
            long first = 0;
            long last = 0;
            if (dash == std::string_view::npos) {
                if (!readNumber(item, first))
                    return false;
                last = first;
            } else if (!readNumber(item.substr(0, dash), first)) {
                return false;
            } else if (dash + 1 == item.size()) {
                last = LONG_MAX;
            } else if (!readNumber(item.substr(dash + 1), last)) {
                return false;
            }
            if (first < 1 || last < first)
                return false;
            options.games.emplace_back(first, last);
            return true;
        });
        if (!ok)
            throw UsageError("bad --games value " + std::string(list)
                + " (expected numbers and ranges such as 1-10,15)");
    }

} // namespace

bool RecordSelection::wantsGame(long number) const
{
    if (games.empty())
        return true;
    for (const auto& range : games) {
        if (number >= range.first && number <= range.second)
            return true;
    }
    return false;
}

long RecordSelection::lastGame() const
{
    long last = 0;
    for (const auto& range : games)
        last = std::max(last, range.second);
    return games.empty() ? LONG_MAX : last;
}

bool parseSelectionOption(std::string_view arg, Arguments& args, RecordSelection& options)
{
    if (arg == "--at") {
        parseAt(args.value(arg), options);
    } else if (arg == "--every") {
        options.every = true;
    } else if (arg == "--commented") {
        options.commented = true;
    } else if (arg == "--games") {
        parseGames(args.value(arg), options);
    } else if (arg == "--solution") {
        const std::string_view value = args.value(arg);
        long number = 0;
        if (!readNumber(value, number))
            throw UsageError("bad --solution value " + std::string(value));
        options.solution = static_cast<int>(number);
    } else if (arg == "--from") {
        const std::string_view value = args.value(arg);
        if (value == "pgn")
            options.format = RecordFormat::Pgn;
        else if (value == "epd")
            options.format = RecordFormat::Epd;
        else if (value == "csv")
            options.format = RecordFormat::Csv;
        else
            throw UsageError(
                "bad --from value " + std::string(value) + " (expected pgn, epd or csv)");
    } else {
        return false;
    }
    return true;
}

void finishSelection(RecordSelection& options)
{
    if (!options.start && !options.every && !options.commented && options.points.empty())
        options.end = true;
    if (options.files.empty())
        options.files.push_back("-");
}

namespace {

    // The kind of text, from its first bytes: PGN starts with a tag, a comment, an escape line
    // or a move number; a puzzle file with its header or a line whose second column is a FEN
    // placement; anything else is taken for EPD lines.
    RecordFormat sniff(std::string_view head)
    {
        if (head.substr(0, 3) == "\xEF\xBB\xBF")
            head.remove_prefix(3);
        while (!head.empty() && static_cast<unsigned char>(head.front()) <= ' ')
            head.remove_prefix(1);
        if (head.empty())
            return RecordFormat::Epd;
        const char first = head.front();
        if (first == '[' || first == '{' || first == ';' || first == '%')
            return RecordFormat::Pgn;
        const std::string_view line = head.substr(0, head.find_first_of("\r\n"));
        if (line.substr(0, 9) == "PuzzleId,")
            return RecordFormat::Csv;
        std::size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
            ++digits;
        if (digits > 0 && digits < line.size() && line[digits] == '.')
            return RecordFormat::Pgn;
        const std::size_t comma = line.find(',');
        if (comma != std::string_view::npos
            && line.substr(0, comma).find('/') == std::string_view::npos
            && std::count(line.begin() + static_cast<long>(comma), line.end(), '/') >= 7)
            return RecordFormat::Csv;
        return RecordFormat::Epd;
    }

    // The input of one file argument: the bytes read for sniffing first, then the rest of the
    // file; a failed read is remembered.
    class FileInput
    {
    public:
        explicit FileInput(int fd)
            : m_fd(fd)
        {
            char buffer[4096];
            std::size_t size = 0;
            while (size < sizeof buffer) {
                const std::size_t got = readSome(buffer + size, sizeof buffer - size);
                if (got == 0)
                    break;
                size += got;
            }
            m_head.assign(buffer, size);
        }

        std::string_view head() const { return m_head; }
        int error() const { return m_error; }

        ReadFunction reader()
        {
            return [this](char* buffer, std::size_t capacity) {
                if (m_headPos < m_head.size()) {
                    const std::size_t count = std::min(capacity, m_head.size() - m_headPos);
                    std::memcpy(buffer, m_head.data() + m_headPos, count);
                    m_headPos += count;
                    return count;
                }
                return readSome(buffer, capacity);
            };
        }

    private:
        std::size_t readSome(char* buffer, std::size_t capacity)
        {
            if (m_error != 0)
                return 0;
            for (;;) {
                const ssize_t got = ::read(m_fd, buffer, capacity);
                if (got >= 0)
                    return static_cast<std::size_t>(got);
                if (errno != EINTR) {
                    m_error = errno;
                    return 0;
                }
            }
        }

        int m_fd;
        std::string m_head;
        std::size_t m_headPos = 0;
        int m_error = 0;
    };

    // "White – Black, Event Year" from the parts a game's tags hold.
    std::string gameTitle(const PgnGame& game)
    {
        auto known = [](std::string_view value) {
            return !value.empty() && value.find_first_not_of("?") != std::string_view::npos;
        };
        std::string names;
        for (const char* side : { "White", "Black" }) {
            const std::string_view name = game.tag(side);
            if (!known(name))
                continue;
            if (!names.empty())
                names += " \xE2\x80\x93 ";
            names += name;
        }
        std::string event;
        if (const std::string_view name = game.tag("Event"); known(name))
            event = name;
        const std::string_view date = game.tag("Date");
        const std::string_view year = date.substr(0, date.find('.'));
        if (year.size() == 4 && year.find_first_not_of("0123456789") == std::string_view::npos) {
            if (!event.empty())
                event += ' ';
            event += year;
        }
        if (!names.empty() && !event.empty())
            names += ", ";
        return names + event;
    }

    EpdOperation stringOperation(const char* opcode, std::string_view text)
    {
        return { opcode, { { std::string(text), true } } };
    }

    // A progress line on stderr for long inputs when stderr is a terminal.
    class Progress
    {
    public:
        using Clock = std::chrono::steady_clock;
        Progress(Output& err, std::string label, const char* noun)
            : m_err(err)
            , m_label(std::move(label))
            , m_noun(noun)
            , m_enabled(::isatty(2))
            , m_last(Clock::now())
        {
        }
        ~Progress() { clear(); }

        void advance(unsigned long long bytes)
        {
            if (!m_enabled || (++m_count & 1023) != 0)
                return;
            const Clock::time_point now = Clock::now();
            if (now - m_last < std::chrono::milliseconds(m_shown ? 250 : 1000))
                return;
            m_last = now;
            char text[160];
            const int length
                = std::snprintf(text, sizeof text, "\rpictog-cli: %s%lu %s, %llu MB\033[K",
                    m_label.c_str(), m_count, m_noun, bytes >> 20);
            m_err.write(text, static_cast<std::size_t>(length));
            m_err.flush();
            m_shown = true;
        }
        void clear()
        {
            if (!m_shown)
                return;
            m_err.write("\r\033[K");
            m_err.flush();
            m_shown = false;
        }

    private:
        Output& m_err;
        std::string m_label;
        const char* m_noun;
        bool m_enabled;
        Clock::time_point m_last;
        unsigned long m_count = 0;
        bool m_shown = false;
    };

    class PositionsRun
    {
    public:
        PositionsRun(const RecordSelection& options, Output& err, const RecordSink& sink)
            : m_options(options)
            , m_err(err)
            , m_writer(sink)
        {
        }

        bool allAccepted() const { return m_allAccepted; }

        void readFile(const char* name)
        {
            const bool isStdin = std::string_view(name) == "-";
            m_label = isStdin ? std::string() : quoteForMessage(name, QuoteLength::Whole) + ": ";
            const int fd = isStdin ? 0 : ::open(name, O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                m_err.write("pictog-cli: cannot open " + quoteForMessage(name, QuoteLength::Whole)
                    + ": " + std::strerror(errno) + "\n");
                m_allAccepted = false;
                return;
            }
            FileInput input(fd);
            RecordFormat format = m_options.format;
            if (format == RecordFormat::Sniff)
                format = sniff(input.head());
            Progress progress(m_err, m_label, format == RecordFormat::Pgn ? "games" : "lines");
            if (format == RecordFormat::Pgn)
                readGames(input, progress);
            else
                readLines(input, progress, format == RecordFormat::Csv);
            progress.clear();
            if (input.error() != 0) {
                m_err.write("pictog-cli: " + m_label
                    + "cannot read the input: " + std::strerror(input.error()) + "\n");
                m_allAccepted = false;
            }
            if (!isStdin)
                ::close(fd);
        }

    private:
        void report(std::string_view where, std::string_view message)
        {
            m_allAccepted = false;
            m_err.write("pictog-cli: ");
            m_err.write(m_label);
            m_err.write(where);
            m_err.write(": ");
            m_err.write(quoteForMessage(message, QuoteLength::Whole));
            m_err.put('\n');
        }

        void readGames(FileInput& input, Progress& progress)
        {
            PgnReader reader(input.reader());
            const long last = m_options.lastGame();
            while (m_game.number < last) {
                const long number = m_game.number + 1;
                const bool wanted = m_options.wantsGame(number);
                if (!reader.next(m_game, wanted))
                    break;
                progress.advance(reader.consumed());
                if (!wanted)
                    continue;
                if (!m_game.ok()) {
                    report("game " + std::to_string(m_game.number) + " (line "
                            + std::to_string(m_game.errorLine) + ")",
                        m_game.error);
                    continue;
                }
                writeGame();
            }
            m_game.number = 0;
        }

        // The plies of the selected positions, in order, each once.
        void selectPlies()
        {
            const int plies = static_cast<int>(m_game.moves.size());
            m_plies.clear();
            if (m_options.start || m_options.every)
                m_plies.push_back(0);
            if (m_options.every) {
                for (int ply = 1; ply <= plies; ++ply)
                    m_plies.push_back(ply);
            }
            if (m_options.end)
                m_plies.push_back(plies);
            if (m_options.commented) {
                for (const PositionNote* note = m_game.notesBegin(); note != m_game.notesEnd();
                     ++note) {
                    if (!note->comment.empty() || !note->annotations.empty() || note->diagram)
                        m_plies.push_back(note->ply);
                }
            }
            // Plies counted from the position "White to move at move 1".
            const int origin
                = 2 * m_game.start.fullmoveNumber() + (m_game.start.whiteToMove() ? 0 : 1);
            for (const MovePoint& point : m_options.points) {
                const int ply
                    = point.side < 0 ? point.number : 2 * point.number + 1 + point.side - origin;
                if (ply >= 0 && ply <= plies)
                    m_plies.push_back(ply);
            }
            std::sort(m_plies.begin(), m_plies.end());
            m_plies.erase(std::unique(m_plies.begin(), m_plies.end()), m_plies.end());
        }

        void writeGame()
        {
            selectPlies();
            if (m_plies.empty())
                return;
            const std::string title = gameTitle(m_game);
            const int plies = static_cast<int>(m_game.moves.size());
            const int solution = std::max(m_options.solution, 0);
            Board board = m_game.start;
            int at = 0;
            const PositionNote* note = m_game.notesBegin();
            for (const int ply : m_plies) {
                if (ply == plies) {
                    board = m_game.end;
                } else {
                    for (; at < ply; ++at)
                        board.play(m_game.moves[static_cast<std::size_t>(at)]);
                }
                at = ply;
                while (note != m_game.notesEnd() && note->ply < ply)
                    ++note;
                const PositionNote* here
                    = note != m_game.notesEnd() && note->ply == ply ? note : nullptr;
                m_operations.clear();
                if (!title.empty())
                    m_operations.push_back(stringOperation("id", title));
                if (here && !here->comment.empty())
                    m_operations.push_back(stringOperation("c0", here->comment));
                if (solution > 0 && ply < plies) {
                    EpdOperation pv { "pv", {} };
                    Board line = board;
                    for (int i = ply; i < plies && i < ply + solution; ++i) {
                        const Move move = m_game.moves[static_cast<std::size_t>(i)];
                        pv.operands.push_back({ writeSan(line, move), false });
                        line.play(move);
                    }
                    m_operations.push_back(std::move(pv));
                }
                m_writer(board, m_operations, here ? &here->annotations : nullptr);
            }
        }

        void readLines(FileInput& input, Progress& progress, bool puzzles)
        {
            TextInput text(input.reader());
            std::string line;
            bool truncated = false;
            long number = 0;
            PuzzleColumns columns;
            EpdRecord epd;
            Puzzle puzzle;
            constexpr std::size_t MaxLine = 1 << 20;
            while (text.readLine(line, MaxLine, truncated)) {
                ++number;
                progress.advance(text.consumed());
                if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
                    line.erase(0, 3);
                if (line.find_first_not_of(" \t") == std::string::npos)
                    continue;
                const std::string where = "line " + std::to_string(number);
                if (truncated) {
                    report(where, "line longer than 1 MiB");
                    continue;
                }
                repairEncoding(line);
                if (puzzles) {
                    if (number == 1 && readPuzzleHeader(line, columns))
                        continue;
                    if (auto message = readPuzzleLine(line, columns, puzzle)) {
                        report(where, *message);
                        continue;
                    }
                    m_operations.clear();
                    if (!puzzle.id.empty())
                        m_operations.push_back(stringOperation("id", puzzle.id));
                    const std::size_t count = m_options.solution < 0
                        ? puzzle.solution.size()
                        : std::min(
                            puzzle.solution.size(), static_cast<std::size_t>(m_options.solution));
                    if (count > 0) {
                        EpdOperation pv { "pv", {} };
                        for (std::size_t i = 0; i < count; ++i)
                            pv.operands.push_back({ puzzle.solution[i], false });
                        m_operations.push_back(std::move(pv));
                    }
                    m_writer(puzzle.position, m_operations, nullptr);
                } else {
                    if (auto message = readEpdLine(line, epd, true)) {
                        report(where, *message);
                        continue;
                    }
                    m_writer(epd.board, epd.operations, &epd.annotations);
                }
            }
        }

        const RecordSelection& m_options;
        Output& m_err;
        const RecordSink& m_writer;
        std::string m_label;
        bool m_allAccepted = true;
        PgnGame m_game;
        std::vector<int> m_plies;
        std::vector<EpdOperation> m_operations;
    };

} // namespace

bool readRecords(const RecordSelection& selection, Output& err, const RecordSink& sink)
{
    PositionsRun run(selection, err, sink);
    for (const char* file : selection.files)
        run.readFile(file);
    return run.allAccepted();
}

} // namespace pictog::cli
