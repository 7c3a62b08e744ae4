// export svg|pdf, and png with the diagram options: the scalable diagrams of the input positions.
#include "cli_common.h"
#include "ordered_batch.h"

#include "diagram/file_output.h"
#include "diagram_renderer.h"
#include "position/epd_parser.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pictog::cli {

namespace {

    // Annotation text after the TAB of an input line longer than this is not read.
    constexpr std::size_t MaxAnnotationText = 1 << 16;

    // The bytes of a line up to its first TAB; what follows the TAB is kept for the annotation
    // reader, up to MaxAnnotationText bytes.
    template <class Source> class BeforeTab
    {
    public:
        explicit BeforeTab(Source& in)
            : m_in(in)
        {
        }

        int next()
        {
            if (m_ended)
                return -1;
            const int c = m_in.next();
            if (c == '\t' || c == -1) {
                m_ended = true;
                m_tab = c == '\t';
                return -1;
            }
            return c;
        }

        // Reads the rest of the line: false when the text after the TAB is too long.
        bool finish(std::string& afterTab)
        {
            while (next() != -1) { }
            if (!m_tab)
                return true;
            bool fits = true;
            for (int c = m_in.next(); c != -1; c = m_in.next()) {
                if (afterTab.size() < MaxAnnotationText)
                    afterTab.push_back(static_cast<char>(c));
                else
                    fits = false;
            }
            return fits;
        }

    private:
        Source& m_in;
        bool m_ended = false;
        bool m_tab = false;
    };

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

    // The renderer's options from the settings and the command line; a bad value is a usage
    // error with the renderer's message.
    DiagramRenderOptions renderOptionsOf(
        const ExportOptions& options, const PictureSettings& settings)
    {
        DiagramRenderOptions render;
        render.showBorder = settings.showBorder;
        render.coordinates = settings.coordinates;
        render.colorLightSquares = settings.colorLightSquares;
        render.colorDarkSquares = settings.colorDarkSquares;
        render.colorDiagramBackground = settings.colorDiagramBackground;
        render.header1 = options.header1;
        render.header2 = options.header2;
        render.footer1 = options.footer1;
        render.footer2 = options.footer2;
        render.flip = options.flip;
        render.marker = options.marker;
        if (options.square && options.squareMm)
            throw UsageError("--square and --square-mm exclude each other");
        if (options.dpi)
            render.dpi = parsePositive(options.dpi, "--dpi");
        if (options.square)
            render.squarePx = parseInt(options.square, "--square");
        if (options.squareMm) {
            if (!options.dpi)
                throw UsageError("--square-mm needs --dpi");
            render.squarePx = squarePxForMillimetres(
                parsePositive(options.squareMm, "--square-mm"), render.dpi);
        }
        if (options.style) {
            const std::optional<DiagramStyle> style = parseDiagramStyle(options.style);
            if (!style)
                throw UsageError(
                    "unknown style '" + quoteForMessage(options.style) + "' (color, gray, print)");
            render.style = *style;
        }
        if (options.arrows) {
            if (const auto message = parseArrowList(options.arrows, render.annotations))
                throw UsageError(*message);
        }
        if (options.squares) {
            if (const auto message = parseSquareList(options.squares, render.annotations))
                throw UsageError(*message);
        }
        if (const auto problem = checkRenderOptions(render))
            throw UsageError(*problem);
        return render;
    }

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

    // One input line read for the renderer: the position and the annotations of the line added
    // to those of the options; message is set when the line gives no diagram.
    struct RenderLine {
        EpdParse parse;
        DiagramRenderOptions options;
        std::string message;
    };

    template <class Source>
    RenderLine readRenderLine(Source& source, const DiagramRenderOptions& defaults)
    {
        RenderLine line;
        BeforeTab<Source> position(source);
        line.parse = detail::parseEPDLine(position);
        std::string afterTab;
        const bool fits = position.finish(afterTab);
        if (!line.parse.accepted) {
            line.message = line.parse.message;
            return line;
        }
        if (!fits) {
            line.message = "annotation text after the TAB is too long";
            return line;
        }
        line.options = defaults;
        if (const auto message = parseAnnotationComment(afterTab, line.options.annotations))
            line.message = *message;
        return line;
    }

    // A file written under a temporary name beside its place and renamed there once complete,
    // for a PDF of many pages that never sits in memory whole.
    class StreamedFile
    {
    public:
        explicit StreamedFile(std::string path)
            : m_path(std::move(path))
            , m_temporary(m_path + ".XXXXXX")
        {
            m_fd = ::mkstemp(m_temporary.data());
            if (m_fd < 0)
                m_error = errno;
            else
                m_out = std::make_unique<Output>(m_fd, 1 << 16);
        }
        ~StreamedFile()
        {
            m_out.reset();
            if (m_fd >= 0) {
                ::close(m_fd);
                ::unlink(m_temporary.c_str());
            }
        }
        StreamedFile(const StreamedFile&) = delete;
        StreamedFile& operator=(const StreamedFile&) = delete;

        bool open() const { return m_fd >= 0; }
        int error() const { return m_error; }
        bool write(const unsigned char* data, std::size_t size)
        {
            m_out->write(reinterpret_cast<const char*>(data), size);
            if (m_out->failed() && m_error == 0)
                m_error = errno ? errno : EIO;
            return !m_out->failed();
        }

        // Puts the file in its place; false (and error() set) when that failed.
        bool commit()
        {
            if (!m_out->flush()) {
                m_error = m_error ? m_error : errno;
                return false;
            }
            m_out.reset();
            // mkstemp makes the file private; a picture gets the usual permissions.
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(m_fd, 0666 & ~mask);
            const int fd = m_fd;
            m_fd = -1;
            if (::close(fd) != 0 || ::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
                m_error = errno;
                ::unlink(m_temporary.c_str());
                return false;
            }
            return true;
        }

    private:
        std::string m_path;
        std::string m_temporary;
        int m_fd = -1;
        int m_error = 0;
        std::unique_ptr<Output> m_out;
    };

    int runPdfFile(const ExportOptions& options, const DiagramRenderOptions& defaults,
        PdfPageSize page, Output& err)
    {
        StreamedFile file(options.output);
        if (!file.open()) {
            err.write("pictog-cli: cannot create file " + options.output + ": "
                + std::strerror(file.error()) + "\n");
            return ExitRejected;
        }
        bool allAccepted = true;
        bool sinkFailed = false;
        PdfDiagramWriter writer(
            [&](const unsigned char* data, std::size_t size) {
                sinkFailed = sinkFailed || !file.write(data, size);
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
                reportLine(err, lineNumber, "Error in creating diagram");
            }
        });
        if (pages == 0) {
            // Nothing to show: no file rather than a document without pages.
            if (allAccepted && !sinkFailed)
                err.write("pictog-cli: no position given; " + options.output + " not written\n");
            return ExitRejected;
        }
        if (!writer.finish() || sinkFailed || !file.commit()) {
            err.write("pictog-cli: cannot create file " + options.output + ": "
                + std::strerror(file.error() ? file.error() : EIO) + "\n");
            return ExitRejected;
        }
        return allAccepted ? ExitOk : ExitRejected;
    }

    // The work of a folder batch: each line's file on worker threads, written in input order.
    struct RenderJob {
        long lineNumber = 0;
        RenderLine line;
        std::string path;
    };
    struct RenderOutcome {
        long lineNumber = 0;
        std::string path;
        std::string bytes;
        std::string error;
    };
    using RenderPool = OrderedBatch<RenderJob, RenderOutcome>;
    using RenderMaker = std::string (*)(const RenderLine&, PdfPageSize);

    std::string makeSvg(const RenderLine& line, PdfPageSize)
    {
        return renderDiagramSvg(line.parse.board, line.parse.panel, line.options);
    }
    std::string makePng(const RenderLine& line, PdfPageSize)
    {
        return renderDiagramPng(line.parse.board, line.parse.panel, line.options);
    }
    std::string makePdf(const RenderLine& line, PdfPageSize page)
    {
        return renderDiagramPdf(line.parse.board, line.parse.panel, line.options, page);
    }

} // namespace

int runRenderExport(const ExportOptions& options, const PictureSettings& settings, Output& err)
{
    if (options.output.empty())
        throw UsageError("export " + options.format + " needs -o FILE or -o DIR/");
    const DiagramRenderOptions defaults = renderOptionsOf(options, settings);
    const PdfPageSize page = pageSizeOf(options);
    const bool toFolder = isFolderOutput(options.output);
    if (toFolder && ::mkdir(options.output.c_str(), 0777) != 0 && errno != EEXIST) {
        err.write("pictog-cli: cannot create folder " + options.output + ": " + std::strerror(errno)
            + "\n");
        return ExitRejected;
    }
    if (options.format == "pdf" && !toFolder)
        return runPdfFile(options, defaults, page, err);

    const RenderMaker maker = options.format == "svg" ? makeSvg
        : options.format == "pdf"                     ? makePdf
                                                      : makePng;
    // One worker per processor for a folder, at most 8; a single file needs one.
    const std::size_t workers
        = toFolder ? std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8) : 1;
    bool allDone = true;
    auto reportOne = [&](const RenderOutcome& outcome) {
        std::string error = outcome.error;
        if (error.empty()) {
            const std::string reason = writeFileReplacing(outcome.path,
                reinterpret_cast<const unsigned char*>(outcome.bytes.data()), outcome.bytes.size());
            if (!reason.empty())
                error = "cannot create file " + outcome.path + ": " + reason;
        }
        if (!error.empty()) {
            allDone = false;
            reportLine(err, outcome.lineNumber, error);
        }
    };
    RenderPool pool(workers, [maker, page](std::size_t, RenderJob& job) {
        RenderOutcome outcome { job.lineNumber, std::move(job.path), {}, {} };
        try {
            outcome.bytes = maker(job.line, page);
        } catch (const std::exception&) {
            outcome.bytes.clear();
        }
        if (outcome.bytes.empty())
            outcome.error = "Error in creating diagram";
        return outcome;
    });
    forEachInputLine(options.position, [&](long lineNumber, auto& source) {
        if (!toFolder && lineNumber > 1) {
            pool.addDone(
                { lineNumber, {}, {}, "one picture per file; use -o DIR/ for several positions" });
        } else {
            RenderLine line = readRenderLine(source, defaults);
            if (!line.message.empty())
                pool.addDone({ lineNumber, {}, {}, std::move(line.message) });
            else
                pool.add({ lineNumber, std::move(line),
                    toFolder ? numberedOutputPath(options.output, lineNumber, options.format)
                             : options.output });
        }
        pool.report(reportOne, false);
    });
    pool.report(reportOne, true);
    return allDone ? ExitOk : ExitRejected;
}

} // namespace pictog::cli
