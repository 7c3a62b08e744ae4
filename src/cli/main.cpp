// pictog-cli: batch and scripting access to Pictog's core.
#include "cli_common.h"

#include "settings/file_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace pictog::cli {

namespace {

    constexpr const char* usageText = R"(usage: pictog-cli [--ini FILE] COMMAND [ARGS] [POSITION]

Reads the FEN/EPD line given as POSITION or, without it, one line after another from stdin
(a trailing CR is dropped), and writes one result line for every input line.

commands:
  normalize             the line in its built six-field form; an empty line when it is rejected
  validate              RESULT<TAB>LINE: "ok" or the first failing check, and the line after
                        that check's corrections
  transform NAME        the line of the transformed board, with the panel reset (w - - 0 1);
                        NAME: rotate-left, rotate-right, switch-color, mirror-horizontal,
                        mirror-vertical, mirror-left-diagonal, mirror-right-diagonal
  export FORMAT [-o OUT] [--header1 T] [--header2 T] [--footer1 T] [--footer2 T] [--preview]
         [--embed]
                        fen, ccc ("[D]" + line), ascii, pgn (Date in the LC_TIME short form),
                        bbcode ("[fen]LINE[/fen]"), md (a Markdown image of 0001.svg, ...
                        with the position read aloud as alt text),
                        html (--preview: the whole preview page, images as file:// URLs;
                        --embed: each image a data: URI of its GIF in the local folder): the
                        bytes the desktop program exports (CR LF line ends), captions from
                        the options or else, for a record line of positions, its id (first
                        header) and c0 (first footer); to stdout, -o FILE, or -o DIR/ for
                        one file per input line (0001.txt for ascii, 0001.html, ...); with several stdin lines each
                        record is followed by LF unless it already ends with a line break
                        png, bmp: the diagram picture (settings showBorder, coordinates and
                        the three colours); -o is required, and a file takes one position, so
                        further stdin lines are rejected: use -o DIR/ for 0001.png, ...;
                        progress on stderr when it is a terminal
                        svg, pdf, and png with any of these: the scalable diagram
                        --square PX (8-1000) | --dpi N --square-mm MM, --flip, --marker,
                        --arrows "Ge2e4,..." and --squares "Yd5,..." ([%cal]/[%csl]; also
                        after a TAB in an input line; no colour letter: green),
                        --style color|gray|print, --theme blue|brown|green|gray,
                        --light #RRGGBB, --dark #RRGGBB, --coords outside|inside|none,
                        --frame classic|thin|none, --background #RRGGBB|none, --inline (svg:
                        a fragment for a web page, role="img" and an aria-label); the renderer
                        also draws the captions; pdf -o FILE takes every line, one page each,
                        on a page of the diagram's size or a white --page a4|letter (a
                        diagram that does not fit is an error)
  moves [--uci] POSITION
                        the legal moves of POSITION, one a line in SAN (--uci: in UCI form),
                        sorted as the strings sort
  perft DEPTH [POSITION] [--divide]
                        the number of leaf nodes of the legal move tree DEPTH (0-20) plies
                        deep from POSITION (the initial position when none is given);
                        --divide: "MOVE: COUNT" for every move (UCI, sorted), then the total
  positions [--at LIST] [--every] [--commented] [--games LIST] [--solution N]
            [--from pgn|epd|csv] [FILE...]
                        one record line for each selected position of PGN games, EPD/FEN
                        lines or puzzle CSV (PuzzleId,FEN,Moves,...) read from the FILEs (stdin
                        when none or -; the kind is recognised from the content unless --from
                        names it): the six-field line and, after a TAB, EPD operations id "...";
                        c0 "..." (the comment); pv ... (SAN) and the [%cal]/[%csl] arrows and
                        marks, which every command that reads lines takes after a TAB;
                        --at end (default), start, 23w, 23b (after White's or Black's 23rd
                        move), ply:N, separated by commas; --every: the start and every
                        position of the main line; --commented: every position whose move has
                        a comment, arrow, mark or diagram sign; --games 1-10,15: those games of
                        each file; --solution N: the next N moves as pv (puzzles: the whole
                        solution unless N is given); a game or line with a fault is skipped
                        with "FILE: game N (line L): MESSAGE" on stderr
  sheet -o FILE.pdf|DIR/ [--page a4|letter] [--grid CxR] [--square-mm MM] [--start N]
        [--solutions end|page|none] [--prompt TEXT] [--title TEXT] [--turn-board]
        [--figurines] [--format svg|png] [--dpi N] [--style S] [--theme T] [--light C]
        [--dark C] [--coords P] [--frame F] [SELECTION] [FILE...]
                        the positions that positions selects (same options and inputs) as
                        pages of numbered diagrams (default grid 2x3, --square-mm: the grid
                        that fits), each with "White to play"/"Black to play" (or --prompt)
                        and its id and comment as caption; solutions from pv/bm as numbered
                        SAN (--figurines: piece figurines) on pages at the end (the default
                        when any record has one) or after each page; --title on the first
                        page; a PDF holds every page with an outline and each FEN in its text
                        layer; -o DIR/ writes page-001.svg (or .png at --dpi, default 150), ...;
                        --style, --theme, --light, --dark, --coords and --frame as for export,
                        on a white page

options:
  --ini FILE            read settings from FILE (never written)
  -h, --help            show this text (also after a command: pictog-cli export --help)
  --version             show the program's name and version

exit status: 0 all lines accepted (and valid), 1 some line rejected (or invalid), 2 usage error.
Rejected lines are reported on stderr as "pictog-cli: line N: MESSAGE".
)";

    struct Command {
        const char* name;
        int (*run)(const GlobalOptions&, Arguments&, Output&, Output&);
    };

    constexpr Command commands[] = {
        { "normalize", runNormalize },
        { "validate", runValidate },
        { "transform", runTransform },
        { "export", runExport },
        { "positions", runPositions },
        { "sheet", runSheet },
        { "moves", runMoves },
        { "perft", runPerft },
    };

    // One line naming what was wrong, and where to read more; the usage itself stays out of the
    // way of the error.
    int usageError(Output& err, const std::string& message)
    {
        err.write("pictog-cli: ");
        err.write(quoteForMessage(message, QuoteLength::Whole));
        err.write("\nTry 'pictog-cli --help'.\n");
        return ExitUsage;
    }

    int run(int argc, char** argv)
    {
        Output out(1, 1 << 16);
        Output err(2, 1 << 12);
        Arguments args(argc, argv, 1);
        GlobalOptions options;
        try {
            while (!args.empty() && args.peek().size() > 1 && args.peek()[0] == '-') {
                const std::string_view option = args.take();
                if (option == "--version") {
                    out.write("pictog-cli " PICTOG_VERSION "\n");
                    return ExitOk;
                }
                if (option == "--ini")
                    options.iniFile = args.value(option);
                else
                    throw UsageError("unknown option " + quoteForMessage(option));
            }
            if (args.empty())
                throw UsageError("no command given");
            const std::string_view name = args.take();
            for (const Command& command : commands) {
                if (name == command.name) {
                    const int status = command.run(options, args, out, err);
                    if (!out.flush()) {
                        err.write("pictog-cli: cannot write the output: ");
                        err.write(std::strerror(errno));
                        err.put('\n');
                        return ExitRejected;
                    }
                    return status;
                }
            }
            throw UsageError("unknown command " + quoteForMessage(name));
        } catch (const UsageError& error) {
            return usageError(err, error.what());
        } catch (const HelpRequested&) {
            out.write(usageText);
            return out.flush() ? ExitOk : ExitRejected;
        }
    }

} // namespace

} // namespace pictog::cli

int main(int argc, char** argv)
{
    // Ctrl+C or SIGTERM during an export leaves no temporary file beside its target.
    pictog::FileWriter::removeTemporariesOnInterrupt();
    return pictog::cli::run(argc, argv);
}
