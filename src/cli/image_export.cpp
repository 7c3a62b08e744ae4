// export png|bmp|svg, and pdf into a folder: one picture file per input position.
#include "cli_common.h"
#include "ordered_batch.h"
#include "render_line.h"

#include "diagram/bmp_codec.h"
#include "diagram/diagram_picture.h"
#include "diagram/file_output.h"
#include "diagram/pictogram_2d.h"
#include "diagram/png_encoder.h"
#include "position/epd_parser.h"
#include "settings/html_color.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pictog::cli {

namespace {

    using Clock = std::chrono::steady_clock;

    // The board view's start-up errors, as lines on stderr.
    class StderrMessages : public ErrorMessages
    {
    public:
        explicit StderrMessages(Output& err)
            : m_err(err)
        {
        }
        void ShowError(const std::string& text) override
        {
            m_err.write("pictog-cli: ");
            m_err.write(text);
            m_err.put('\n');
        }

    private:
        Output& m_err;
    };

    // A one-line progress display on stderr, redrawn a few times a second: a bar, the count,
    // the rate and the time left when the share of the input read so far is known (stdin a
    // regular file), else the count and the rate alone.
    class Progress
    {
    public:
        explicit Progress(Output& err)
            : m_err(err)
            , m_start(Clock::now())
            , m_lastDraw(m_start)
        {
            struct stat info {
            };
            if (::fstat(0, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
                m_inputSize = static_cast<double>(info.st_size);
        }

        void advance()
        {
            ++m_count;
            const Clock::time_point now = Clock::now();
            if (now - m_lastDraw >= std::chrono::milliseconds(100)) {
                m_lastDraw = now;
                draw(now);
            }
        }

        // Clears the display before another message goes to stderr.
        void clear()
        {
            if (!m_shown)
                return;
            m_err.write("\r\033[K");
            m_shown = false;
        }

        void finish()
        {
            if (m_count == 0)
                return;
            draw(Clock::now());
            m_err.put('\n');
            m_err.flush();
        }

    private:
        void draw(Clock::time_point now)
        {
            const double seconds = std::chrono::duration<double>(now - m_start).count();
            const double rate = seconds > 0 ? static_cast<double>(m_count) / seconds : 0.0;
            char text[160];
            int length = 0;
            // The reader runs ahead of the pictures by at most its buffer, so near the end the
            // share read is a little ahead of the pictures written.
            const double fraction = readFraction();
            if (fraction > 0) {
                const int filled = static_cast<int>(fraction * 30 + 0.5);
                char bar[31];
                for (int i = 0; i < 30; ++i)
                    bar[i] = i < filled ? '#' : '-';
                bar[30] = '\0';
                const long left = static_cast<long>(seconds * (1 - fraction) / fraction + 0.5);
                length = std::snprintf(text, sizeof text,
                    "\r[%s] %3d%%  %ld pictures  %.0f/s  ETA %ld:%02ld\033[K", bar,
                    static_cast<int>(fraction * 100), m_count, rate, left / 60, left % 60);
            } else {
                length = std::snprintf(
                    text, sizeof text, "\r%ld pictures  %.0f/s\033[K", m_count, rate);
            }
            m_err.write(text, static_cast<std::size_t>(length));
            m_err.flush();
            m_shown = true;
        }

        double readFraction() const
        {
            if (m_inputSize <= 0)
                return 0;
            const off_t offset = ::lseek(0, 0, SEEK_CUR);
            if (offset <= 0)
                return 0;
            return std::min(1.0, static_cast<double>(offset) / m_inputSize);
        }

        Output& m_err;
        Clock::time_point m_start;
        Clock::time_point m_lastDraw;
        double m_inputSize = 0;
        long m_count = 0;
        bool m_shown = false;
    };

    // The board view and picture options of one run, turning positions into picture files.
    class PictureMaker
    {
    public:
        PictureMaker(const PictureSettings& settings, bool png, ErrorMessages* messages)
            : m_board(findResource, messages)
            , m_png(png)
        {
            m_board.SetLightSquareColor(HtmlColorToColor(settings.colorLightSquares));
            m_board.SetDarkSquareColor(HtmlColorToColor(settings.colorDarkSquares));
            m_options.showBorder = settings.showBorder;
            m_options.coordinates = settings.coordinates;
            m_options.colorDiagramBackground = settings.colorDiagramBackground;
        }

        bool ready() const { return !m_board.terminationRequested(); }

        // The bytes of the picture file of the position; false when it cannot be made.
        bool make(const TChessPosition& position, std::vector<unsigned char>& bytes)
        {
            // Only squares that differ from the previous picture need setting: the composition
            // repaints the whole board anyway.
            for (int square = 0; square <= 77; ++square) {
                const int piece = position.GetPiece(square);
                if (isOnBoard(square) && m_board.GetSquare(square) != piece)
                    m_board.SetSquare(piece, square);
            }
            try {
                if (!ComposeDiagramPicture(m_board, m_options, m_picture))
                    return false;
                if (m_png)
                    m_encoder.encode(m_picture, bytes);
                else
                    bytes = encodeBmp(m_picture);
                return true;
            } catch (const std::exception&) {
                return false;
            }
        }

    private:
        TPictogram2D m_board;
        DiagramPictureOptions m_options;
        bool m_png;
        // Kept from one picture to the next, so a batch allocates them once.
        PngEncoder m_encoder;
        Raster m_picture;
    };

    // The work of a folder batch: each line's picture on worker threads, the files written in
    // input order on the one reporting thread (which also keeps the workers from contending for
    // the folder).
    struct PictureJob {
        long lineNumber = 0;
        TChessPosition position;
        PanelState panel;
        // Set when the renderer draws the picture, else it is the classic one.
        std::optional<DiagramRenderOptions> render;
        std::string path;
    };
    struct PictureOutcome {
        long lineNumber = 0;
        std::string error;
        std::string path;
        std::vector<unsigned char> bytes;
    };
    using PictureBatch = OrderedBatch<PictureJob, PictureOutcome>;

    // One worker per processor for a folder of pictures, at most 8; a single file needs one.
    std::size_t workerCount(bool toFolder)
    {
        if (!toFolder)
            return 1;
        const unsigned processors = std::thread::hardware_concurrency();
        return std::clamp<std::size_t>(processors, 1, 8);
    }

    // The renderer's file of a line in the export's format, or why it cannot be drawn.
    RenderResult renderPicture(const PictureJob& job, const std::string& format, PdfPageSize page)
    {
        const DiagramFormat kind = format == "svg" ? DiagramFormat::Svg
            : format == "pdf"                      ? DiagramFormat::Pdf
                                                   : DiagramFormat::Png;
        return renderDiagram(kind, job.position, job.panel, *job.render, page);
    }

} // namespace

int runPictureExport(
    const ExportOptions& options, const PictureSettings& settings, bool render, Output& err)
{
    if (options.output.empty())
        throw UsageError("export " + options.format + " needs -o FILE or -o DIR/");
    const DiagramRenderOptions defaults = renderOptionsOf(options, settings);
    const PdfPageSize page = options.format == "pdf" ? pdfPageSize(options) : PdfPageSize::Diagram;
    const bool png = options.format == "png";
    const bool toFolder = isFolderOutput(options.output);
    if (options.format == "pdf" && !toFolder)
        return runPdfExport(options, defaults, err);
    if (toFolder && ::mkdir(options.output.c_str(), 0777) != 0 && errno != EEXIST) {
        err.write("pictog-cli: cannot create folder "
            + quoteForMessage(options.output, QuoteLength::Whole) + ": " + std::strerror(errno)
            + "\n");
        return ExitRejected;
    }

    // Every worker's board loads the same bitmaps, so only the first reports a failure.
    StderrMessages messages(err);
    std::vector<std::unique_ptr<PictureMaker>> makers;
    const std::size_t workers = workerCount(toFolder);
    for (std::size_t i = 0; i < workers && !render; ++i) {
        makers.push_back(
            std::make_unique<PictureMaker>(settings, png, i == 0 ? &messages : nullptr));
        if (!makers.back()->ready())
            return ExitRejected;
    }

    const bool showProgress = !render && !options.position && ::isatty(2);
    Progress progress(err);
    bool allDone = true;
    auto reportOne = [&](const PictureOutcome& outcome) {
        std::string error = outcome.error;
        if (error.empty()) {
            const std::string reason
                = writeFileReplacing(outcome.path, outcome.bytes.data(), outcome.bytes.size());
            if (!reason.empty())
                error = "cannot create file " + quoteForMessage(outcome.path, QuoteLength::Whole)
                    + ": " + reason;
        }
        if (error.empty()) {
            if (showProgress)
                progress.advance();
            return;
        }
        allDone = false;
        if (showProgress)
            progress.clear();
        reportLine(err, outcome.lineNumber, error);
    };

    PictureBatch batch(workers, [&](std::size_t worker, PictureJob& job) {
        PictureOutcome outcome { job.lineNumber, {}, std::move(job.path), {} };
        if (job.render) {
            RenderResult result = renderPicture(job, options.format, page);
            outcome.bytes.assign(result.bytes.begin(), result.bytes.end());
            outcome.error = std::move(result.error);
        } else if (!makers[worker]->make(job.position, outcome.bytes)) {
            outcome.error = "Error in creating diagram bitmap";
        }
        return outcome;
    });
    forEachInputLine(options.position, [&](long lineNumber, auto& source) {
        // One file holds one picture: further lines need a folder.
        if (!toFolder && lineNumber > 1) {
            batch.addDone(
                { lineNumber, "one picture per file; use -o DIR/ for several positions", {}, {} });
        } else {
            const std::string path = toFolder
                ? numberedOutputPath(options.output, lineNumber, options.format)
                : options.output;
            if (render || png) {
                // A png line with arrows or marks after its TAB is drawn by the renderer.
                RenderLine line = readRenderLine(source, defaults);
                const Annotations& drawn = line.options.annotations;
                if (!line.message.empty())
                    batch.addDone({ lineNumber, std::move(line.message), {}, {} });
                else if (render || !drawn.arrows.empty() || !drawn.squares.empty())
                    batch.add({ lineNumber, line.parse.board, line.parse.panel,
                        std::move(line.options), path });
                else
                    batch.add({ lineNumber, line.parse.board, line.parse.panel, {}, path });
            } else {
                // bmp: the classic picture, which shows no captions, arrows or marks; a record's
                // text after the TAB is still checked, and arrows or marks it cannot show are
                // said on stderr rather than dropped silently.
                const RecordRead read = readRecord(source);
                if (!read.message.empty()) {
                    batch.addDone({ lineNumber, read.message, {}, {} });
                } else {
                    if (!read.extras.annotations.empty())
                        reportLine(err, lineNumber,
                            "warning: a bmp picture shows no arrows or marks; png, svg and pdf "
                            "draw them");
                    batch.add({ lineNumber, read.parse.board, read.parse.panel, {}, path });
                }
            }
        }
        batch.report(reportOne, false);
    });
    batch.report(reportOne, true);
    if (showProgress)
        progress.finish();
    return allDone ? ExitOk : ExitRejected;
}

} // namespace pictog::cli
