// positions: one record line for every selected position of PGN games, EPD lines and puzzle
// files.
#include "record_reader.h"

namespace pictog::cli {

namespace {

    using namespace pictog::game;

    // Writes the line of board, then a TAB and the operations and annotations when there are any.
    class RecordWriter
    {
    public:
        explicit RecordWriter(Output& out)
            : m_out(out)
        {
        }

        void write(const Board& board, const std::vector<EpdOperation>& operations,
            const Annotations* annotations)
        {
            m_line = board.fenLine();
            const bool arrows = annotations && !annotations->arrows.empty();
            const bool marks = annotations && !annotations->squares.empty();
            if (!operations.empty() || arrows || marks) {
                m_line += '\t';
                appendOperations(m_line, operations);
                if ((arrows || marks) && !operations.empty())
                    m_line += ' ';
                if (arrows)
                    m_line += "[%cal " + formatArrowList(*annotations) + "]";
                if (marks)
                    m_line += "[%csl " + formatSquareList(*annotations) + "]";
            }
            m_line += '\n';
            m_out.write(m_line);
        }

    private:
        Output& m_out;
        std::string m_line;
    };

} // namespace

int runPositions(const GlobalOptions&, Arguments& args, Output& out, Output& err)
{
    RecordSelection selection;
    while (!args.empty()) {
        const std::string_view arg = args.take();
        if (parseSelectionOption(arg, args, selection))
            continue;
        if (arg.size() > 1 && arg[0] == '-')
            throw UsageError("unknown option " + std::string(arg));
        selection.files.push_back(arg.data());
    }
    finishSelection(selection);
    RecordWriter writer(out);
    const bool accepted = readRecords(selection, err,
        [&writer](const Board& board, const std::vector<EpdOperation>& operations,
            const Annotations* annotations) { writer.write(board, operations, annotations); });
    return accepted ? ExitOk : ExitRejected;
}

} // namespace pictog::cli
