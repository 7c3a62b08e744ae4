// export: the text formats and the preview page; pictures are handed to runImageExport.
#include "cli_common.h"
#include "record_source.h"

#include "export/html_diagram.h"
#include "export/html_preview.h"
#include "export/text_exports.h"
#include "position/epd_parser.h"
#include "settings/file_system.h"
#include "settings/file_writer.h"
#include "settings/pictog_params.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <limits.h>
#include <map>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace pictog::cli {

namespace {

    enum class TextFormat { Fen, Ccc, Ascii, Pgn, Html, BBCode, Markdown };

    struct FormatName {
        const char* name;
        TextFormat format;
        const char* extension;
    };

    constexpr FormatName textFormats[] = {
        { "fen", TextFormat::Fen, "fen" },
        { "ccc", TextFormat::Ccc, "ccc" },
        { "ascii", TextFormat::Ascii, "txt" },
        { "pgn", TextFormat::Pgn, "pgn" },
        { "html", TextFormat::Html, "html" },
        { "bbcode", TextFormat::BBCode, "txt" },
        { "md", TextFormat::Markdown, "md" },
    };

    ExportOptions parseExportOptions(Arguments& args)
    {
        if (args.empty())
            throw UsageError("export needs a format");
        ExportOptions options;
        options.format = args.take();
        while (!args.empty()) {
            const std::string_view arg = args.peek();
            if (arg.size() > 1 && arg[0] == '-') {
                args.take();
                if (arg == "-o")
                    options.output = args.value(arg);
                else if (arg == "--header1")
                    options.header1 = args.value(arg);
                else if (arg == "--header2")
                    options.header2 = args.value(arg);
                else if (arg == "--footer1")
                    options.footer1 = args.value(arg);
                else if (arg == "--footer2")
                    options.footer2 = args.value(arg);
                else if (arg == "--preview")
                    options.preview = true;
                else if (arg == "--embed")
                    options.embed = true;
                else if (arg == "--square")
                    options.square = args.value(arg);
                else if (arg == "--dpi")
                    options.dpi = args.value(arg);
                else if (arg == "--square-mm")
                    options.squareMm = args.value(arg);
                else if (arg == "--arrows")
                    options.arrows = args.value(arg);
                else if (arg == "--squares")
                    options.squares = args.value(arg);
                else if (arg == "--page")
                    options.page = args.value(arg);
                else if (parseLookOption(arg, args, options.look))
                    continue;
                else if (arg == "--inline")
                    options.inlineSvg = true;
                else if (arg == "--flip")
                    options.flip = true;
                else if (arg == "--marker")
                    options.marker = true;
                else
                    throw UsageError("unknown option " + quoteForMessage(arg));
            } else {
                if (options.position)
                    throw UsageError("too many arguments");
                options.position = args.take();
            }
        }
        if (options.embed && options.format != "html")
            throw UsageError("--embed goes with the html format only");
        if (options.preview && options.format != "html")
            throw UsageError("--preview goes with the html format only");
        const bool scalable
            = options.format == "png" || options.format == "svg" || options.format == "pdf";
        if (options.renderOptions() && !scalable)
            throw UsageError("the diagram options go with the png, svg and pdf formats only");
        if (options.inlineSvg && options.format != "svg")
            throw UsageError("--inline goes with the svg format only");
        if (options.page && options.format != "pdf")
            throw UsageError("--page goes with the pdf format only");
        return options;
    }

    // A piece image of the local image folder that --embed could not read.
    struct MissingImage {
        std::string path;
    };

    // Everything one text export of a position needs besides the position.
    struct TextExport {
        TextFormat format;
        bool preview = false;
        bool embed = false;
        // The images read for --embed, by file name: read once for the run.
        mutable std::map<std::string, std::string> images;

        std::optional<std::string> readImage(const std::string& name) const
        {
            if (const auto found = images.find(name); found != images.end())
                return found->second;
            FileSystem files;
            FileReadResult file
                = files.readBinaryFile(html.localImageBase + "/" + name, MaxHtmlImageBytes);
            if (file.status != FileReadStatus::Ok || file.contents.empty())
                return std::nullopt;
            return images.emplace(name, std::move(file.contents)).first->second;
        }
        HtmlSettings html;
        AsciiSettings ascii;
        Captions captions;
        std::string date;

        // The export of one line; its record's id and c0 stand in for empty first captions.
        // lineNumber: the input line, which names the picture a Markdown image links.
        std::string build(const RecordRead& read, long lineNumber) const
        {
            const EpdParse& parse = read.parse;
            const Captions lineCaptions = recordCaptions(captions, read.extras);
            // The line field shows the built form of what was read.
            const std::string line = BuildEPDLine(parse.board, parse.panel);
            switch (format) {
            case TextFormat::Fen:
                return BuildFENString(line);
            case TextFormat::Ccc:
                return BuildCCCFENString(line);
            case TextFormat::Ascii:
                return BuildASCIIBoard(
                    boardCodesOf(parse.board), parse.panel.moveRight, line, ascii);
            case TextFormat::Pgn:
                return BuildPGNHeader(line, parse.panel.moveRight, date);
            case TextFormat::BBCode:
                return BuildBBCode(line);
            case TextFormat::Markdown:
                // The picture export svg -o DIR/ writes for the same line, beside the snippet.
                return BuildMarkdownImage(boardCodesOf(parse.board), parse.panel.moveRight,
                    numberedOutputPath("", lineNumber, "svg"));
            case TextFormat::Html: {
                const HtmlMode mode = preview ? HtmlMode::Preview : HtmlMode::Clipboard;
                std::string code = BuildHTMLCode(html, lineCaptions, line, parse.panel.moveRight,
                    boardCodesOf(parse.board), mode);
                if (embed) {
                    std::string missing;
                    code = embedHtmlImages(
                        code, htmlImageBase(html, mode),
                        [this](const std::string& name) { return readImage(name); }, missing);
                    if (!missing.empty())
                        throw MissingImage { html.localImageBase + "/" + missing };
                }
                return preview ? BuildPreviewPage(code) : code;
            }
            }
            return {};
        }
    };

    bool endsWithLineBreak(const std::string& text)
    {
        return !text.empty() && (text.back() == '\n' || text.back() == '\r');
    }

    // Writes the records of a stream: one input line gives its record exactly as the clipboard
    // would hold it; with several input lines every record is followed by one LF unless it
    // already ends with a line break. The first record waits until the second line shows up.
    class RecordStream
    {
    public:
        explicit RecordStream(Output& out)
            : m_out(out)
        {
        }

        void line(std::optional<std::string> record)
        {
            ++m_lines;
            if (m_lines == 2 && m_first)
                writeSeparated(*m_first);
            if (m_lines == 1)
                m_first = std::move(record);
            else if (record)
                writeSeparated(*record);
        }

        void finish()
        {
            if (m_lines == 1 && m_first)
                m_out.write(*m_first);
        }

    private:
        void writeSeparated(const std::string& record)
        {
            m_out.write(record);
            if (!endsWithLineBreak(record))
                m_out.put('\n');
        }

        Output& m_out;
        long m_lines = 0;
        std::optional<std::string> m_first;
    };

    void reportFileError(Output& err, const std::string& path, const std::string& reason)
    {
        err.write("pictog-cli: cannot create file ");
        err.write(quoteForMessage(path, QuoteLength::Whole));
        err.write(": ");
        err.write(reason);
        err.put('\n');
    }

    int runTextExport(const ExportOptions& options, const TextExport& exporter,
        const char* extension, Output& out, Output& err)
    {
        bool allAccepted = true;
        bool allWritten = true;

        if (isFolderOutput(options.output)) {
            if (::mkdir(options.output.c_str(), 0777) != 0 && errno != EEXIST) {
                err.write("pictog-cli: cannot create folder "
                    + quoteForMessage(options.output, QuoteLength::Whole) + ": "
                    + std::strerror(errno) + "\n");
                return ExitRejected;
            }
            FileSystem files;
            const int readError
                = forEachInputLine(options.position, [&](long lineNumber, auto& source) {
                      const RecordRead read = readRecord(source);
                      if (!read.message.empty()) {
                          allAccepted = false;
                          reportLine(err, lineNumber, read.message);
                          return;
                      }
                      const std::string path
                          = numberedOutputPath(options.output, lineNumber, extension);
                      const std::string error = files.replaceFileAtomically(
                          path, exporter.build(read, lineNumber), FileSystem::Durability::Unsynced);
                      if (!error.empty()) {
                          allWritten = false;
                          reportFileError(err, path, error);
                      }
                  });
            if (readError != 0) {
                reportReadError(err, readError);
                return ExitRejected;
            }
            return allAccepted && allWritten ? ExitOk : ExitRejected;
        }

        std::optional<Output> file;
        FileSystem files;
        FileWriter outputFile(files);
        if (!options.output.empty()) {
            const std::string error = outputFile.open(options.output);
            if (!error.empty()) {
                reportFileError(err, options.output, error);
                return ExitRejected;
            }
            file.emplace(outputFile.descriptor());
        }
        Output& target = file ? *file : out;
        int readError = 0;
        if (options.position) {
            // A position given as the argument is taken exactly as given: one record, no LF.
            StringLine source(options.position);
            const RecordRead read = readRecord(source);
            if (read.message.empty()) {
                target.write(exporter.build(read, 1));
            } else {
                allAccepted = false;
                reportLine(err, 1, read.message);
            }
        } else {
            RecordStream records(target);
            readError = forEachInputLine(nullptr, [&](long lineNumber, auto& source) {
                const RecordRead read = readRecord(source);
                if (read.message.empty()) {
                    records.line(exporter.build(read, lineNumber));
                } else {
                    allAccepted = false;
                    reportLine(err, lineNumber, read.message);
                    records.line(std::nullopt);
                }
            });
            records.finish();
        }
        if (readError != 0)
            reportReadError(err, readError);
        if (file) {
            // An input that could not be read to its end leaves an older file as it was.
            const bool written = file->flush();
            const int writeError = file->error();
            file.reset();
            std::string failure;
            if (!written)
                failure = std::strerror(writeError);
            else if (readError != 0)
                outputFile.abandon();
            else
                failure = outputFile.commit();
            if (!failure.empty()) {
                reportFileError(err, options.output, failure);
                return ExitRejected;
            }
        }
        return allAccepted && readError == 0 ? ExitOk : ExitRejected;
    }

} // namespace

int runExport(const GlobalOptions& global, Arguments& args, Output& out, Output& err)
{
    const ExportOptions options = parseExportOptions(args);
    // png takes the scalable renderer only when one of its options is given (or, line by line,
    // for arrows and marks after a TAB), so that a png export, with captions too, stays the
    // classic picture byte for byte as the window saves it.
    const bool scalable = options.format == "svg" || options.format == "pdf"
        || (options.format == "png" && options.renderOptions());
    const bool picture = options.format == "png" || options.format == "bmp" || scalable;
    const FormatName* format = nullptr;
    for (const FormatName& candidate : textFormats)
        if (options.format == candidate.name)
            format = &candidate;
    if (!picture && !format)
        throw UsageError("unknown export format " + quoteForMessage(options.format));

    // Settings come from --ini only and are never written back, not even corrected values. The
    // default local image base is the chesspieces/ folder the desktop program uses: beside the
    // program in a build, in share/pictog in an installed copy.
    TPictogParams params
        = TPictogParams::readOnly(locateProgramFiles(programFolder()).dataDir, global.iniFile);
    if (!global.iniFile.empty() && params.iniReadStatus() != FileReadStatus::Ok) {
        err.write("pictog-cli: cannot read settings file ");
        err.write(quoteForMessage(global.iniFile, QuoteLength::Whole));
        err.write(": ");
        err.write(params.iniReadStatus() == FileReadStatus::Missing ? std::string("no such file")
                                                                    : params.iniReadError());
        err.write("; using the defaults\n");
    }
    params.LoadSettings();

    if (picture) {
        return runPictureExport(options, pictureSettingsOf(params), scalable, err);
    }

    TextExport exporter {};
    exporter.format = format->format;
    exporter.preview = options.preview;
    exporter.html = htmlSettingsOf(params);
    exporter.ascii
        = AsciiSettings { params.coordinates(), params.showSideToMove(), params.showFenLine() };
    exporter.captions
        = Captions { options.header1, options.header2, options.footer1, options.footer2 };
    if (exporter.format == TextFormat::Pgn)
        exporter.date = ShortDate(std::time(nullptr));
    exporter.embed = options.embed;
    try {
        return runTextExport(options, exporter, format->extension, out, err);
    } catch (const MissingImage& missing) {
        err.write("pictog-cli: cannot read the piece image "
            + quoteForMessage(missing.path, QuoteLength::Whole) + "\n");
        return ExitRejected;
    }
}

} // namespace pictog::cli
