// normalize, validate and transform: one output line for every input line.
#include "cli_common.h"
#include "record_source.h"

#include "position/epd_parser.h"
#include "position/transformation.h"
#include "position/validation.h"

#include <type_traits>

namespace pictog::cli {

namespace {

    // The optional position argument after the command's own arguments.
    // Every argument is taken, so "--help" anywhere asks for the usage.
    const char* positionArgument(Arguments& args)
    {
        const char* position = nullptr;
        while (!args.empty()) {
            const char* arg = args.take();
            if (arg[0] == '-' && arg[1] != '\0')
                throw UsageError("unknown option " + quoteForMessage(arg));
            if (position)
                throw UsageError("too many arguments");
            position = arg;
        }
        return position;
    }

    void writeLine(Output& out, const TChessPosition& board, const PanelState& panel)
    {
        char* line = out.reserve(MaxEpdLineLength + 1);
        std::size_t length = writeEPDLine(line, board, panel);
        line[length++] = '\n';
        out.commit(length);
    }

    // Runs fn(parse) for every accepted line; a rejected line gives an empty output line and
    // its message on stderr. Returns whether every line was accepted; an input that could not be
    // read to its end counts as not accepted, so a read error never passes for success.
    template <class Fn>
    bool forEachPosition(const char* position, Output& out, Output& err, Fn&& fn)
    {
        bool allAccepted = true;
        EpdParse parse;
        const int readError = forEachInputLine(position, [&](long lineNumber, auto& source) {
            RecordPositionSource<std::remove_reference_t<decltype(source)>> record(source);
            detail::parseEPDLineInto(record, parse);
            if (parse.accepted) {
                fn(parse);
                return;
            }
            allAccepted = false;
            out.put('\n');
            reportLine(err, lineNumber, parse.message);
        });
        if (readError != 0) {
            reportReadError(err, readError);
            return false;
        }
        return allAccepted;
    }

} // namespace

int runNormalize(const GlobalOptions&, Arguments& args, Output& out, Output& err)
{
    const char* position = positionArgument(args);
    const bool ok = forEachPosition(position, out, err,
        [&out](const EpdParse& parse) { writeLine(out, parse.board, parse.panel); });
    return ok ? ExitOk : ExitRejected;
}

int runValidate(const GlobalOptions&, Arguments& args, Output& out, Output& err)
{
    const char* position = positionArgument(args);
    bool allValid = true;
    const bool ok = forEachPosition(position, out, err, [&](const EpdParse& parse) {
        const ValidationResult result = ValidatePosition(parse.board, parse.panel);
        if (result.valid) {
            out.write("ok");
        } else {
            allValid = false;
            out.write(result.message);
        }
        out.put('\t');
        writeLine(out, parse.board, result.panel);
    });
    return ok && allValid ? ExitOk : ExitRejected;
}

int runTransform(const GlobalOptions&, Arguments& args, Output& out, Output& err)
{
    if (args.empty())
        throw UsageError("transform needs a transformation name");
    const std::string_view name = args.take();
    const std::optional<Transformation> transformation = transformationFromName(name);
    if (!transformation)
        throw UsageError("unknown transformation " + quoteForMessage(name));
    const char* position = positionArgument(args);
    const bool ok = forEachPosition(position, out, err, [&](const EpdParse& parse) {
        writeLine(out, TransformBoard(parse.board, *transformation), PanelState {});
    });
    return ok ? ExitOk : ExitRejected;
}

} // namespace pictog::cli
