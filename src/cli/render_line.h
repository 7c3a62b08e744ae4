#pragma once

// The reading of an input line for the renderer, shared by the picture batch and the PDF writer.
#include "cli_common.h"

#include "diagram_renderer.h"
#include "position/epd_parser.h"

#include <string>

namespace pictog::cli {

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

// The renderer's options from the settings and the command line: the settings' colours, border
// and coordinates, the captions, --flip, --marker, --style, the sizes and the annotation lists. A
// bad value throws UsageError with the message to show.
DiagramRenderOptions renderOptionsOf(const ExportOptions& options, const PictureSettings& settings);

// The page size of --page (pdf); a bad value throws UsageError.
PdfPageSize pdfPageSize(const ExportOptions& options);

// export pdf -o FILE: every line a page of one document, streamed into the file.
int runPdfExport(const ExportOptions& options, const DiagramRenderOptions& defaults, Output& err);

} // namespace pictog::cli
