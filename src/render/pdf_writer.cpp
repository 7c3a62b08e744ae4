// PDF documents of diagrams, one a page, streamed to a sink as cairo writes them.
#include "diagram_painter.h"

#include "position/epd_line.h"

#include <algorithm>
#include <cairo-pdf.h>
#include <memory>

namespace pictog {

namespace {

    constexpr double PointsPerInch = 72.0;
    constexpr double A4Width = 595.2756; // 210 x 297 mm
    constexpr double A4Height = 841.8898;
    constexpr double LetterWidth = 612; // 8.5 x 11 inches
    constexpr double LetterHeight = 792;

    // Output units per layout unit in the vector files: 1, or the physical size at a resolution.
    double vectorScale(const DiagramRenderOptions& options, double unitsPerInch)
    {
        return options.dpi > 0 ? unitsPerInch / options.dpi : 1.0;
    }

    constexpr double PageRoom = 36; // the least margin on a page, half an inch

    double pageWidthOf(PdfPageSize page)
    {
        return page == PdfPageSize::A4 ? A4Width : LetterWidth;
    }
    double pageHeightOf(PdfPageSize page)
    {
        return page == PdfPageSize::A4 ? A4Height : LetterHeight;
    }

    bool fitsPage(double width, double height, PdfPageSize page)
    {
        return width <= pageWidthOf(page) - 2 * PageRoom + 1e-9
            && height <= pageHeightOf(page) - 2 * PageRoom + 1e-9;
    }

} // namespace

const char* pageSizeName(PdfPageSize page)
{
    return page == PdfPageSize::A4 ? "A4" : page == PdfPageSize::Letter ? "Letter" : "diagram";
}

int largestSquareOnPage(const DiagramRenderOptions& options, PdfPageSize page)
{
    if (page == PdfPageSize::Diagram)
        return MaxSquarePx;
    const double scale = vectorScale(options, PointsPerInch);
    DiagramRenderOptions o = options;
    // The size grows with the square; the largest that fits, by halving.
    int low = MinSquarePx - 1;
    int high = MaxSquarePx;
    while (low < high) {
        o.squarePx = (low + high + 1) / 2;
        const DiagramSize size = diagramSize(o);
        if (fitsPage(size.width * scale, size.height * scale, page))
            low = o.squarePx;
        else
            high = o.squarePx - 1;
    }
    return low < MinSquarePx ? 0 : low;
}

std::string renderDiagramPdf(const TChessPosition& board, const PanelState& panel,
    const DiagramRenderOptions& options, PdfPageSize page)
{
    std::string pdf;
    PdfDiagramWriter writer(
        [&pdf](const unsigned char* data, std::size_t size) {
            pdf.append(reinterpret_cast<const char*>(data), size);
            return true;
        },
        page);
    if (!writer.addPage(board, panel, options) || !writer.finish())
        return {};
    return pdf;
}

struct PdfDiagramWriter::Impl {
    Sink sink;
    PdfPageSize page;
    CairoSurface surface;
    std::unique_ptr<PieceArt> pieces; // kept from page to page: the PDF holds each piece once
    bool sinkFailed = false;
    bool discarding = false;
    bool finished = false;
    int pages = 0;
    std::string error;

    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length)
    {
        Impl* self = static_cast<Impl*>(closure);
        if (self->discarding)
            return CAIRO_STATUS_SUCCESS;
        if (self->sinkFailed || !self->sink(data, length)) {
            self->sinkFailed = true;
            return CAIRO_STATUS_WRITE_ERROR;
        }
        return CAIRO_STATUS_SUCCESS;
    }
};

PdfDiagramWriter::PdfDiagramWriter(Sink sink, PdfPageSize page)
    : m_impl(new Impl)
{
    m_impl->sink = std::move(sink);
    m_impl->page = page;
}

PdfDiagramWriter::~PdfDiagramWriter()
{
    // An unfinished document is dropped, not written out half-way.
    m_impl->discarding = true;
    delete m_impl;
}

bool PdfDiagramWriter::addPage(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    Impl& d = *m_impl;
    d.error.clear();
    if (d.finished || d.sinkFailed) {
        d.error = "Error in creating diagram";
        return false;
    }
    if (auto problem = drawingProblem(options)) {
        d.error = std::move(*problem);
        return false;
    }
    const Scene scene = buildScene(board, panel, options);
    const DiagramLayout& layout = scene.layout;
    const double scale = vectorScale(options, PointsPerInch);
    const double width = layout.width * scale;
    const double height = layout.height * scale;
    double pageWidth = width;
    double pageHeight = height;
    if (d.page != PdfPageSize::Diagram) {
        pageWidth = d.page == PdfPageSize::A4 ? A4Width : LetterWidth;
        pageHeight = d.page == PdfPageSize::A4 ? A4Height : LetterHeight;
        // A diagram larger than the page is an error: a silent shrink would print a size
        // nobody asked for.
        if (!fitsPage(width, height, d.page)) {
            d.error = "the diagram does not fit "
                + std::string(d.page == PdfPageSize::A4 ? "an " : "a ") + pageSizeName(d.page)
                + " page";
            return false;
        }
    }
    if (!d.surface) {
        d.surface.reset(
            cairo_pdf_surface_create_for_stream(Impl::write, &d, pageWidth, pageHeight));
        cairo_pdf_surface_set_metadata(
            d.surface.get(), CAIRO_PDF_METADATA_TITLE, BuildEPDLine(board, panel).c_str());
        cairo_pdf_surface_set_metadata(d.surface.get(), CAIRO_PDF_METADATA_CREATOR, "Pictog");
    } else {
        cairo_pdf_surface_set_size(d.surface.get(), pageWidth, pageHeight);
    }
    if (!d.pieces || d.pieces->square() != options.squarePx || d.pieces->halo() != scene.pieceHalo)
        d.pieces = std::make_unique<PieceArt>(options.squarePx, true, scene.pieceHalo);
    bool ok = false;
    {
        const CairoContext cr(cairo_create(d.surface.get()));
        cairo_translate(cr.get(), (pageWidth - width) / 2, (pageHeight - height) / 2);
        cairo_scale(cr.get(), scale, scale);
        // The page stays white around the diagram: its background covers its own box only.
        if (d.page != PdfPageSize::Diagram) {
            cairo_rectangle(cr.get(), 0, 0, layout.width, layout.height);
            cairo_clip(cr.get());
        }
        paintScene(cr.get(), scene, *d.pieces);
        cairo_show_page(cr.get());
        ok = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
    }
    if (!ok || cairo_surface_status(d.surface.get()) != CAIRO_STATUS_SUCCESS) {
        d.error = "Error in creating diagram";
        return false;
    }
    ++d.pages;
    return true;
}

const std::string& PdfDiagramWriter::error() const
{
    return m_impl->error;
}

bool PdfDiagramWriter::finish()
{
    Impl& d = *m_impl;
    if (d.finished)
        return !d.sinkFailed && d.pages > 0;
    d.finished = true;
    if (!d.surface)
        return false;
    cairo_surface_finish(d.surface.get());
    const bool ok = cairo_surface_status(d.surface.get()) == CAIRO_STATUS_SUCCESS;
    d.surface.reset();
    d.pieces.reset();
    return ok && !d.sinkFailed && d.pages > 0;
}

} // namespace pictog
