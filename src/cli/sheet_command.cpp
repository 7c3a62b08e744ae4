// sheet: the selected positions of games, EPD lines and puzzle files as pages of numbered
// diagrams with their side to move, captions and solutions, in one PDF or a folder of pages.
#include "record_reader.h"
#include "render_line.h"

#include "diagram_sheet.h"
#include "position/epd_line.h"
#include "settings/file_system.h"
#include "settings/file_writer.h"
#include "settings/pictog_params.h"
#include "settings/program_locations.h"
#include "sheet_record.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace pictog::cli {

namespace {

    using namespace pictog::game;

    struct SheetCommandOptions {
        RecordSelection selection;
        std::string output;
        const char* format = nullptr; // pdf, svg, png
        SheetRequest request;
        LookOptions look;
        bool gridGiven = false;
        int start = 1;
        const char* solutions = nullptr; // end, page, none
        std::string prompt;
        std::string title;
        bool turnBoard = false;
        bool figurines = false;
        double dpi = 150;
    };

    long readWhole(std::string_view option, std::string_view value, long low, long high)
    {
        long number = 0;
        const std::string text(value);
        char* end = nullptr;
        errno = 0;
        number = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || errno != 0 || number < low || number > high)
            throw UsageError("bad " + std::string(option) + " value " + quoteForMessage(value)
                + " (expected a number " + std::to_string(low) + "-" + std::to_string(high) + ")");
        return number;
    }

    SheetCommandOptions parseOptions(Arguments& args)
    {
        SheetCommandOptions options;
        while (!args.empty()) {
            const std::string_view arg = args.take();
            if (parseSelectionOption(arg, args, options.selection))
                continue;
            if (parseLookOption(arg, args, options.look)) {
                // A sheet is printed on white paper: the band around each board is the page.
                if (options.look.background)
                    throw UsageError(
                        "--background goes with export only (a sheet's page is white)");
                continue;
            }
            if (arg == "-o") {
                options.output = args.value(arg);
            } else if (arg == "--format") {
                options.format = args.value(arg);
            } else if (arg == "--page") {
                const std::string_view value = args.value(arg);
                if (value == "a4")
                    options.request.page = SheetPage::A4;
                else if (value == "letter")
                    options.request.page = SheetPage::Letter;
                else
                    throw UsageError(
                        "unknown page size '" + quoteForMessage(value) + "' (a4, letter)");
            } else if (arg == "--grid") {
                const std::string_view value = args.value(arg);
                const std::size_t x = value.find('x');
                if (x == std::string_view::npos)
                    throw UsageError("bad --grid value " + quoteForMessage(value)
                        + " (expected COLUMNSxROWS, e.g. 2x3)");
                options.request.columns
                    = static_cast<int>(readWhole("--grid", value.substr(0, x), 1, 20));
                options.request.rows
                    = static_cast<int>(readWhole("--grid", value.substr(x + 1), 1, 20));
                options.gridGiven = true;
            } else if (arg == "--square-mm") {
                const std::string value = args.value(arg);
                char* end = nullptr;
                const double mm = std::strtod(value.c_str(), &end);
                if (value.empty() || *end != '\0' || !(mm >= 1 && mm <= 100))
                    throw UsageError("bad --square-mm value " + quoteForMessage(value)
                        + " (expected millimetres 1-100)");
                options.request.squareMm = mm;
            } else if (arg == "--start") {
                options.start = static_cast<int>(readWhole(arg, args.value(arg), 1, 1000000));
            } else if (arg == "--solutions") {
                options.solutions = args.value(arg);
                const std::string_view value = options.solutions;
                if (value != "end" && value != "page" && value != "none")
                    throw UsageError("bad --solutions value " + quoteForMessage(value)
                        + " (expected end, page or none)");
            } else if (arg == "--prompt") {
                options.prompt = args.value(arg);
            } else if (arg == "--title") {
                options.title = args.value(arg);
            } else if (arg == "--turn-board") {
                options.turnBoard = true;
            } else if (arg == "--figurines") {
                options.figurines = true;
            } else if (arg == "--dpi") {
                options.dpi = static_cast<double>(readWhole(arg, args.value(arg), 10, 600));
            } else if (arg.size() > 1 && arg[0] == '-') {
                throw UsageError("unknown option " + std::string(arg));
            } else {
                options.selection.files.push_back(arg.data());
            }
        }
        finishSelection(options.selection);
        if (options.output.empty())
            throw UsageError("sheet needs -o FILE.pdf or -o DIR/");
        const bool folder = isFolderOutput(options.output);
        if (!options.format)
            options.format = folder ? "svg" : "pdf";
        const std::string_view format = options.format;
        if (format != "pdf" && format != "svg" && format != "png")
            throw UsageError(
                "bad --format value " + quoteForMessage(format) + " (expected pdf, svg or png)");
        if (folder == (format == "pdf"))
            throw UsageError(folder ? "a folder of pages takes --format svg or png"
                                    : "--format " + std::string(format) + " needs -o DIR/");
        return options;
    }

    void reportFileError(Output& err, const std::string& name, const std::string& reason)
    {
        err.write("pictog-cli: cannot create file " + quoteForMessage(name, QuoteLength::Whole)
            + ": " + reason + "\n");
    }

} // namespace

int runSheet(const GlobalOptions& global, Arguments& args, Output&, Output& err)
{
    const SheetCommandOptions options = parseOptions(args);
    TPictogParams params
        = TPictogParams::readOnly(locateProgramFiles(programFolder()).dataDir, global.iniFile);
    if (!global.iniFile.empty() && params.iniReadStatus() != FileReadStatus::Ok)
        err.write("pictog-cli: cannot read settings file "
            + quoteForMessage(global.iniFile, QuoteLength::Whole) + "; using the defaults\n");
    params.LoadSettings();

    SheetOptions sheet;
    DiagramChoices choices;
    applyLookOptions(options.look, choices);
    sheet.diagram = sheetDiagramOptions(pictureSettingsOf(params), choices);
    const SheetLayoutResult layout = sheetLayoutFor(options.request, sheet.diagram);
    if (!layout.error.empty())
        throw UsageError(layout.error);
    sheet.layout = layout.layout;
    sheet.start = options.start;
    sheet.prompt = options.prompt;
    sheet.title = options.title;
    sheet.turnBoard = options.turnBoard;
    sheet.dpi = options.dpi;

    std::vector<SheetDiagram> diagrams;
    bool anySolution = false;
    const bool accepted = readRecords(options.selection, err,
        [&](const Board& board, const std::vector<EpdOperation>& operations,
            const Annotations* annotations) {
            diagrams.push_back(sheetDiagram(board, operations, annotations, options.figurines));
            anySolution = anySolution || !diagrams.back().solution.empty();
        });
    if (diagrams.empty()) {
        if (accepted)
            err.write("pictog-cli: no position given; "
                + quoteForMessage(options.output, QuoteLength::Whole) + " not written\n");
        return ExitRejected;
    }
    const std::string_view placement = options.solutions ? options.solutions : "";
    sheet.solutions = placement == "page"                            ? SolutionPlacement::Page
        : placement == "none" || (placement.empty() && !anySolution) ? SolutionPlacement::None
                                                                     : SolutionPlacement::End;

    FileSystem files;
    const std::string_view format = options.format;
    if (format == "pdf") {
        FileWriter file(files);
        if (const std::string error = file.open(options.output); !error.empty()) {
            reportFileError(err, options.output, error);
            return ExitRejected;
        }
        Output out(file.descriptor(), 1 << 16);
        const auto problem = renderSheetPdf(
            sheet, diagrams, [&out](const unsigned char* data, std::size_t length) {
                out.write(reinterpret_cast<const char*>(data), length);
                return !out.failed();
            });
        if (problem && !out.failed()) {
            err.write("pictog-cli: " + *problem + "\n");
            return ExitRejected;
        }
        if (!out.flush() || problem) {
            reportFileError(err, options.output, std::strerror(out.error() ? out.error() : EIO));
            return ExitRejected;
        }
        if (const std::string error = file.commit(); !error.empty()) {
            reportFileError(err, options.output, error);
            return ExitRejected;
        }
        return accepted ? ExitOk : ExitRejected;
    }

    if (::mkdir(options.output.c_str(), 0777) != 0 && errno != EEXIST) {
        err.write("pictog-cli: cannot create folder "
            + quoteForMessage(options.output, QuoteLength::Whole) + ": " + std::strerror(errno)
            + "\n");
        return ExitRejected;
    }
    bool written = true;
    const auto problem = renderSheetPages(sheet, diagrams,
        format == "png" ? SheetFormat::Png : SheetFormat::Svg, [&](int page, std::string bytes) {
            char name[32];
            std::snprintf(name, sizeof name, "page-%03d.%s", page, options.format);
            const std::string path = options.output + name;
            if (const std::string error = writeWholeFile(files, path, bytes); !error.empty()) {
                reportFileError(err, path, error);
                written = false;
            }
            return written;
        });
    if (problem && written) {
        err.write("pictog-cli: " + *problem + "\n");
        return ExitRejected;
    }
    return accepted && written ? ExitOk : ExitRejected;
}

} // namespace pictog::cli
