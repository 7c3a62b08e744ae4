// The renderer's options of an export, and pdf -o FILE: every input position a page of one file.
#include "render_line.h"

#include "diagram_renderer.h"
#include "position/epd_parser.h"
#include "settings/file_writer.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictog::cli {

namespace {

    int parseInt(const char* text, const char* option)
    {
        int value = 0;
        const char* end = text + std::strlen(text);
        const auto [stop, error] = std::from_chars(text, end, value);
        if (error != std::errc() || stop != end)
            throw UsageError(
                std::string(option) + " needs a whole number, not '" + quoteForMessage(text) + "'");
        return value;
    }

    double parsePositive(const char* text, const char* option)
    {
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(text, &end);
        if (end == text || *end != '\0' || errno != 0 || !(value > 0))
            throw UsageError(std::string(option) + " needs a positive number, not '"
                + quoteForMessage(text) + "'");
        return value;
    }

    // The position of a value in a list of names, or a usage error naming them all.
    template <std::size_t N>
    std::size_t nameIndex(
        const char* value, const std::array<std::string_view, N>& names, const char* what)
    {
        std::string all;
        for (std::size_t i = 0; i < N; ++i) {
            if (names[i] == value)
                return i;
            all += (i ? ", " : "") + std::string(names[i]);
        }
        throw UsageError(
            std::string("unknown ") + what + " '" + quoteForMessage(value) + "' (" + all + ")");
    }

    std::string colorOption(const char* value, const char* option)
    {
        if (!isHexColor(value))
            throw UsageError(std::string(option) + " needs a colour #RRGGBB, not '"
                + quoteForMessage(value) + "'");
        return value;
    }

    PdfPageSize pageSizeOf(const ExportOptions& options);

} // namespace

bool parseLookOption(std::string_view arg, Arguments& args, LookOptions& look)
{
    const std::pair<std::string_view, const char * LookOptions::*> names[] = {
        { "--style", &LookOptions::style },
        { "--theme", &LookOptions::theme },
        { "--light", &LookOptions::light },
        { "--dark", &LookOptions::dark },
        { "--coords", &LookOptions::coords },
        { "--frame", &LookOptions::frame },
        { "--background", &LookOptions::background },
    };
    for (const auto& [name, field] : names) {
        if (arg == name) {
            look.*field = args.value(arg);
            return true;
        }
    }
    return false;
}

void applyLookOptions(const LookOptions& look, DiagramChoices& choices)
{
    if (look.style) {
        const std::optional<DiagramStyle> style = parseDiagramStyle(look.style);
        if (!style) {
            std::string names;
            for (const std::string_view name : DiagramStyleNames)
                names += (names.empty() ? "" : ", ") + std::string(name);
            throw UsageError("unknown style '" + quoteForMessage(look.style) + "' (" + names + ")");
        }
        choices.style = *style;
    }
    if (look.theme)
        choices.theme = static_cast<BoardTheme>(nameIndex(look.theme, BoardThemeNames, "theme"));
    if (look.light)
        choices.lightSquares = colorOption(look.light, "--light");
    if (look.dark)
        choices.darkSquares = colorOption(look.dark, "--dark");
    if (look.coords)
        choices.coordinates = static_cast<CoordinatePlace>(
            1 + nameIndex(look.coords, CoordinatePlaceNames, "coordinate place"));
    if (look.frame)
        choices.frame = static_cast<FrameStyle>(nameIndex(look.frame, FrameStyleNames, "frame"));
    if (look.background) {
        if (std::string_view(look.background) == "none")
            choices.transparent = true;
        else
            choices.background = colorOption(look.background, "--background");
    }
}

// The renderer's options from the settings and the command line; a bad value is a usage error
// with the renderer's message.
DiagramRenderOptions renderOptionsOf(const ExportOptions& options, const PictureSettings& settings)
{
    DiagramChoices choices;
    choices.flip = options.flip;
    choices.marker = options.marker;
    if (options.square && options.squareMm)
        throw UsageError("--square and --square-mm exclude each other");
    if (options.dpi) {
        // The range is checked on the number as read, before anything converts it.
        choices.dpi = parsePositive(options.dpi, "--dpi");
        if (!(choices.dpi >= MinDpi && choices.dpi <= MaxDpi))
            throw UsageError("resolution '" + quoteForMessage(options.dpi) + "' out of range "
                + std::to_string(MinDpi) + "-" + std::to_string(MaxDpi));
    }
    if (options.square)
        choices.squarePx = parseInt(options.square, "--square");
    if (options.squareMm) {
        if (!options.dpi)
            throw UsageError("--square-mm needs --dpi");
        choices.squarePx
            = squarePxForMillimetres(parsePositive(options.squareMm, "--square-mm"), choices.dpi);
    }
    applyLookOptions(options.look, choices);
    Annotations annotations;
    if (options.arrows) {
        if (const auto message = parseArrowList(options.arrows, annotations))
            throw UsageError(*message);
    }
    if (options.squares) {
        if (const auto message = parseSquareList(options.squares, annotations))
            throw UsageError(*message);
    }
    DiagramRenderOptions render = buildRenderOptions(settings, choices,
        Captions { options.header1, options.header2, options.footer1, options.footer2 },
        annotations);
    render.inlineSvg = options.inlineSvg;
    if (const auto problem = checkRenderOptions(render))
        throw UsageError(*problem);
    const PdfPageSize page = pageSizeOf(options);
    if (page != PdfPageSize::Diagram && render.squarePx > largestSquareOnPage(render, page)) {
        // Said in the unit the size was given in.
        const int largest = largestSquareOnPage(render, page);
        std::string what = options.squareMm ? std::string("--square-mm ") + options.squareMm
            : options.square                ? std::string("--square ") + options.square
                                            : std::string("the diagram");
        std::string most;
        if (largest == 0) {
            most = "no square size fits";
        } else if (options.squareMm) {
            char text[32];
            // Rounded down, so that the size named fits.
            std::snprintf(
                text, sizeof text, "%.1f", std::floor(largest * 25.4 / choices.dpi * 10) / 10);
            most = std::string("at most ") + text + " mm";
        } else {
            most = "at most " + std::to_string(largest);
        }
        throw UsageError(quoteForMessage(what) + " does not fit "
            + (page == PdfPageSize::A4 ? "an " : "a ") + pageSizeName(page) + " page: " + most);
    }
    return render;
}

namespace {

    PdfPageSize pageSizeOf(const ExportOptions& options)
    {
        if (!options.page)
            return PdfPageSize::Diagram;
        const std::string_view page = options.page;
        if (page == "a4")
            return PdfPageSize::A4;
        if (page == "letter")
            return PdfPageSize::Letter;
        throw UsageError("unknown page size '" + quoteForMessage(page) + "' (a4, letter)");
    }

    // A PDF of every line, one page each, streamed into the file as it is made.
    int runPdfFile(const ExportOptions& options, const DiagramRenderOptions& defaults,
        PdfPageSize page, Output& err)
    {
        auto reportFileError = [&](const std::string& reason) {
            err.write("pictog-cli: cannot create file "
                + quoteForMessage(options.output, QuoteLength::Whole) + ": " + reason + "\n");
        };
        FileSystem files;
        FileWriter file(files);
        if (const std::string error = file.open(options.output); !error.empty()) {
            reportFileError(error);
            return ExitRejected;
        }
        Output out(file.descriptor(), 1 << 16);
        bool allAccepted = true;
        bool sinkFailed = false;
        PdfDiagramWriter writer(
            [&](const unsigned char* data, std::size_t size) {
                out.write(reinterpret_cast<const char*>(data), size);
                sinkFailed = sinkFailed || out.failed();
                return !sinkFailed;
            },
            page);
        long pages = 0;
        forEachInputLine(options.position, [&](long lineNumber, auto& source) {
            if (sinkFailed)
                return;
            const RenderLine line = readRenderLine(source, defaults);
            if (!line.message.empty()) {
                allAccepted = false;
                reportLine(err, lineNumber, line.message);
                return;
            }
            if (writer.addPage(line.parse.board, line.parse.panel, line.options))
                ++pages;
            else if (!sinkFailed) {
                allAccepted = false;
                reportLine(err, lineNumber, writer.error());
            }
        });
        if (pages == 0) {
            // Nothing to show: no file rather than a document without pages. A file that
            // could not take even the first page says why.
            if (sinkFailed)
                reportFileError(std::strerror(out.error() ? out.error() : EIO));
            else if (allAccepted)
                err.write("pictog-cli: no position given; "
                    + quoteForMessage(options.output, QuoteLength::Whole) + " not written\n");
            return ExitRejected;
        }
        const bool finished = writer.finish() && out.flush() && !sinkFailed;
        if (!finished) {
            reportFileError(std::strerror(out.error() ? out.error() : EIO));
            return ExitRejected;
        }
        if (const std::string error = file.commit(); !error.empty()) {
            reportFileError(error);
            return ExitRejected;
        }
        return allAccepted ? ExitOk : ExitRejected;
    }

} // namespace

int runPdfExport(const ExportOptions& options, const DiagramRenderOptions& defaults, Output& err)
{
    return runPdfFile(options, defaults, pageSizeOf(options), err);
}

PdfPageSize pdfPageSize(const ExportOptions& options)
{
    return pageSizeOf(options);
}

} // namespace pictog::cli
