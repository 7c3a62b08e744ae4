#pragma once

#include "line_reader.h"

#include "diagram_renderer.h"

#include "settings/message_quote.h"

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pictog::cli {

// Exit codes shared by every command.
constexpr int ExitOk = 0;
constexpr int ExitRejected = 1;
constexpr int ExitUsage = 2;

// A wrong command line: reported as one line on stderr followed by a pointer to --help, exit 2.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// "-h" or "--help" among a command's arguments: the usage goes to stdout, exit 0.
struct HelpRequested {
};

// Options that come before the command.
struct GlobalOptions {
    std::string iniFile; // empty: built-in defaults
};

// A large write buffer over a file descriptor; write errors are remembered, not thrown.
class Output
{
public:
    explicit Output(int fd, std::size_t capacity = 1 << 16);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void write(const char* data, std::size_t size);
    void write(std::string_view text) { write(text.data(), text.size()); }
    void put(char c)
    {
        if (m_size == m_capacity)
            flush();
        m_data[m_size++] = c;
    }
    // Room for size bytes (at most the capacity) at the end of the buffer; commit(size) after
    // writing into it.
    char* reserve(std::size_t size)
    {
        if (m_size + size > m_capacity)
            flush();
        return m_data.get() + m_size;
    }
    void commit(std::size_t size) { m_size += size; }
    bool flush();
    bool failed() const { return m_failed; }
    // The errno of the write that failed; 0 while none has.
    int error() const { return m_error; }

private:
    bool writeAll(const char* data, std::size_t size);

    int m_fd;
    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity;
    bool m_failed = false;
    int m_error = 0;
};

// The arguments of one command after its name, with helpers for options that take a value.
class Arguments
{
public:
    Arguments(int argc, char** argv, int first);

    bool empty() const { return m_pos >= m_args.size(); }
    // The next argument without consuming it; empty when there is none.
    std::string_view peek() const { return empty() ? std::string_view() : m_args[m_pos]; }
    // The next argument; "-h" or "--help" throws HelpRequested instead.
    const char* take();
    // The value of an option whose name was just taken, whatever it reads (so "--header1 -h"
    // is a caption); a missing value is a usage error.
    const char* value(std::string_view option);
    std::size_t remaining() const { return m_args.size() - m_pos; }

private:
    std::vector<const char*> m_args;
    std::size_t m_pos = 0;
};

// Reports a rejected line on stderr as "pictog-cli: line N: MESSAGE".
void reportLine(Output& err, long lineNumber, std::string_view message);

// Calls fn(lineNumber, source) for the position given as the argument (line 1), or for each line
// of stdin when position is null. source offers next() → byte or -1 at the end of the line; its
// type varies (a line in memory or one streamed from stdin), so fn takes it as `auto&`. Returns 0,
// or the errno of a failed read of stdin, after which no further line is read.
template <class Fn> int forEachInputLine(const char* position, Fn&& fn)
{
    if (position) {
        StringLine source(position);
        fn(1L, source);
        return 0;
    }
    LineReader reader(0);
    long lineNumber = 0;
    reader.forEachLine([&](auto& source) { fn(++lineNumber, source); });
    return reader.error();
}

// The folder of the running program, which holds the default local image folder.
std::string programFolder();

// Reports a failed read of the input on stderr as "pictog-cli: cannot read the input: REASON".
void reportReadError(Output& err, int error);

// The options of `export FORMAT [-o OUT] [--header1 T] ... [--preview] [POSITION]`.
// The look of a diagram as given on the command line of export and sheet, each option's value
// as written (null where not given); applyLookOptions checks them.
struct LookOptions {
    const char* style = nullptr; // --style color|gray|print
    const char* theme = nullptr; // --theme blue|brown|green|gray
    const char* light = nullptr; // --light #RRGGBB
    const char* dark = nullptr; // --dark #RRGGBB
    const char* coords = nullptr; // --coords outside|inside|none
    const char* frame = nullptr; // --frame classic|thin|none
    const char* background = nullptr; // --background #RRGGBB|none
    bool given() const { return style || theme || light || dark || coords || frame || background; }
};

// Takes the value of arg, just taken from args, into look when arg is one of the look options;
// false (nothing taken) for any other argument.
bool parseLookOption(std::string_view arg, Arguments& args, LookOptions& look);

// The look options laid over choices; a bad value throws UsageError naming what is accepted.
void applyLookOptions(const LookOptions& look, DiagramChoices& choices);

struct ExportOptions {
    std::string format; // fen, ccc, ascii, pgn, html, png, bmp
    std::string output; // -o value: a file, or a folder ending in "/"; empty: stdout
    std::string header1, header2, footer1, footer2;
    bool preview = false;
    bool embed = false; // --embed (html): images as data: URIs
    const char* position = nullptr; // null: lines from stdin
    // The scalable diagram's options (png, svg, pdf), as given; see runRenderExport.
    const char* square = nullptr; // --square PX
    const char* dpi = nullptr; // --dpi N
    const char* squareMm = nullptr; // --square-mm MM
    const char* arrows = nullptr; // --arrows LIST
    const char* squares = nullptr; // --squares LIST
    const char* page = nullptr; // --page a4|letter (pdf)
    LookOptions look;
    bool flip = false;
    bool marker = false;
    bool inlineSvg = false; // --inline (svg)
    // True when an option only the scalable diagram knows was given: png then takes the renderer.
    bool renderOptions() const
    {
        return square || dpi || squareMm || arrows || squares || page || look.given() || flip
            || marker;
    }
    bool captions() const
    {
        return !header1.empty() || !header2.empty() || !footer1.empty() || !footer2.empty();
    }
};

// For `-o DIR/`: the file of input line lineNumber, DIR/0001.EXT, DIR/0002.EXT, ...
std::string numberedOutputPath(
    const std::string& folder, long lineNumber, std::string_view extension);

// True when an -o value names a folder (ends with "/").
inline bool isFolderOutput(const std::string& output)
{
    return !output.empty() && output.back() == '/';
}

// The commands over FEN/EPD lines.
int runNormalize(const GlobalOptions& options, Arguments& args, Output& out, Output& err);
int runValidate(const GlobalOptions& options, Arguments& args, Output& out, Output& err);
int runTransform(const GlobalOptions& options, Arguments& args, Output& out, Output& err);

// positions: records of the selected positions of games, EPD lines and puzzle files.
int runPositions(const GlobalOptions& options, Arguments& args, Output& out, Output& err);

// sheet: the selected positions as pages of numbered diagrams with captions and solutions.
int runSheet(const GlobalOptions& options, Arguments& args, Output& out, Output& err);

// moves [--uci] POSITION: the legal moves, one a line, sorted; perft DEPTH [POSITION]
// [--divide]: the node count of the legal move tree (per move with --divide, then the total).
int runMoves(const GlobalOptions& options, Arguments& args, Output& out, Output& err);
int runPerft(const GlobalOptions& options, Arguments& args, Output& out, Output& err);

// export: parses the export options and writes text formats itself; png and bmp go to
// runImageExport.
int runExport(const GlobalOptions& options, Arguments& args, Output& out, Output& err);

// Writes the picture files of the input positions to options.output: one file, or one a line in
// a folder (and pdf -o FILE: one page a line). With render every line goes to the renderer (svg,
// pdf, png with a diagram option); otherwise png and bmp give the classic picture, and a png line
// with arrows or marks after a TAB goes to the renderer. Bad option values throw UsageError.
int runPictureExport(
    const ExportOptions& options, const PictureSettings& settings, bool render, Output& err);

} // namespace pictog::cli
