#pragma once

// The reading of an input line for the renderer, shared by the picture batch and the PDF writer.
#include "cli_common.h"
#include "record_source.h"

#include "diagram_renderer.h"
#include "position/epd_parser.h"

#include <string>

namespace pictog::cli {

// One input line read for the renderer: the position and the annotations of the line added
// to those of the options; message is set when the line gives no diagram.
struct RenderLine {
    EpdParse parse;
    DiagramRenderOptions options;
    std::string message;
};

// The record's id and c0 become the first header and footer where the options leave them empty,
// and its arrows and marks are added to those of the options.
template <class Source>
RenderLine readRenderLine(Source& source, const DiagramRenderOptions& defaults)
{
    RenderLine line;
    RecordRead read = readRecord(source, defaults.annotations);
    line.parse = std::move(read.parse);
    if (!read.message.empty()) {
        line.message = std::move(read.message);
        return line;
    }
    line.options = defaults;
    if (line.options.header1.empty())
        line.options.header1 = read.extras.id;
    if (line.options.footer1.empty())
        line.options.footer1 = read.extras.c0;
    line.options.annotations = std::move(read.extras.annotations);
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
