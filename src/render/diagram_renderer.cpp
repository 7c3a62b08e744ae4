#include "diagram_renderer.h"

#include "diagram_layout.h"
#include "diagram_scene.h"
#include "piece_outlines.h"
#include "position/epd_line.h"
#include "render_fonts.h"
#include "settings/html_color.h"
#include "svg_writer.h"

#include <algorithm>
#include <array>
#include <cairo-pdf.h>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <zlib.h>

namespace pictog {

namespace {

    constexpr Rgb Black { 0, 0, 0 };
    constexpr Rgb White { 1, 1, 1 };

    void setColor(cairo_t* cr, Rgb c, double alpha = 1.0)
    {
        if (alpha >= 1.0)
            cairo_set_source_rgb(cr, c.r, c.g, c.b);
        else
            cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
    }

    void addBox(cairo_t* cr, const LayoutBox& box)
    {
        cairo_rectangle(cr, box.left, box.top, box.width, box.height);
    }

    // ---- Pieces ----

    void tracePolyline(cairo_t* cr, const artgen::Polyline& line)
    {
        if (line.points.empty())
            return;
        cairo_move_to(cr, line.points.front().x, line.points.front().y);
        for (std::size_t i = 1; i < line.points.size(); ++i)
            cairo_line_to(cr, line.points[i].x, line.points[i].y);
        if (line.closed)
            cairo_close_path(cr);
    }

    void traceSilhouette(cairo_t* cr, const artgen::PieceSource& piece)
    {
        cairo_new_path(cr);
        for (const artgen::Polyline& p : piece.outline)
            tracePolyline(cr, p);
    }

    // The piece on a size x size square at the origin, as the artwork draws its smooth images:
    // the silhouette filled, the interior lines and spots inside it, and an outline band along
    // the inside of the edge, in the weights pieceLineWidths gives; the SVG writer draws the
    // same shapes.
    void drawPiece(
        cairo_t* cr, const artgen::PieceSource& piece, bool black, double size, bool halo)
    {
        const double k = size / artgen::DesignSize;
        const double pixel = 1.0 / k; // one output unit in design units
        const PieceLineWidths widths = pieceLineWidths(size);
        cairo_save(cr);
        cairo_scale(cr, k, k);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

        if (halo) {
            // A white edge around the piece that keeps hatching off its outline.
            traceSilhouette(cr, piece);
            setColor(cr, White);
            cairo_set_line_width(cr, 2 * widths.halo * pixel);
            cairo_stroke(cr);
        }
        traceSilhouette(cr, piece);
        setColor(cr, black ? Black : White);
        cairo_fill_preserve(cr);
        cairo_clip(cr);

        setColor(cr, black ? White : Black);
        for (const artgen::Detail& d : piece.details) {
            if (!widths.details || d.kind == artgen::DetailKind::Shade || (d.whiteOnly && black))
                continue;
            cairo_new_path(cr);
            tracePolyline(cr, d.line);
            if (d.kind == artgen::DetailKind::Stroke) {
                cairo_set_line_width(cr, widths.stroke(d.width) * pixel);
                cairo_stroke(cr);
            } else {
                cairo_fill(cr);
            }
        }

        // Twice the band's width, half of it cut away by the clip outside the silhouette.
        traceSilhouette(cr, piece);
        setColor(cr, Black);
        cairo_set_line_width(cr, 2 * widths.outline * pixel);
        cairo_stroke(cr);
        cairo_restore(cr);
    }

    // The twelve piece pictures for one square size, drawn once and then painted onto every
    // square: image surfaces for the PNG, recording surfaces (vector art that the SVG and PDF
    // surfaces write once and reuse) otherwise.
    class PieceArt
    {
    public:
        PieceArt(int square, bool vector, bool halo)
            : m_square(square)
            , m_vector(vector)
            , m_halo(halo)
        {
            const auto& pieces = pieceOutlines();
            for (int code = 1; code <= 12; ++code) {
                cairo_surface_t* surface = nullptr;
                if (vector) {
                    const cairo_rectangle_t extents { 0, 0, static_cast<double>(square),
                        static_cast<double>(square) };
                    surface = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, &extents);
                } else {
                    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, square, square);
                }
                cairo_t* cr = cairo_create(surface);
                drawPiece(cr, pieces[static_cast<std::size_t>(pieceKind(code))], isBlackPiece(code),
                    square, halo);
                cairo_destroy(cr);
                m_surfaces[static_cast<std::size_t>(code - 1)] = surface;
            }
        }
        ~PieceArt()
        {
            for (cairo_surface_t* s : m_surfaces)
                cairo_surface_destroy(s);
        }
        PieceArt(const PieceArt&) = delete;
        PieceArt& operator=(const PieceArt&) = delete;

        int square() const { return m_square; }
        bool vector() const { return m_vector; }
        bool halo() const { return m_halo; }
        cairo_surface_t* surface(int code) const
        {
            return m_surfaces[static_cast<std::size_t>(code - 1)];
        }

    private:
        int m_square;
        bool m_vector;
        bool m_halo;
        std::array<cairo_surface_t*, 12> m_surfaces {};
    };

    // The image pieces of the last square size drawn on this thread: a batch of pictures draws
    // them once.
    const PieceArt& imagePieceArt(int square, bool halo)
    {
        thread_local std::unique_ptr<PieceArt> art;
        if (!art || art->square() != square || art->halo() != halo) {
            art.reset();
            art = std::make_unique<PieceArt>(square, false, halo);
        }
        return *art;
    }

    void paintScene(cairo_t* cr, const Scene& scene, const PieceArt& pieces)
    {
        const DiagramLayout& layout = scene.layout;
        const LayoutBox& b = layout.board;
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);

        setColor(cr, scene.background);
        cairo_paint(cr);

        // Border and frame, each as a ring between two rectangles.
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        setColor(cr, Black);
        if (layout.border > 0) {
            cairo_rectangle(cr, 0, 0, layout.width, layout.height);
            cairo_rectangle(cr, layout.border, layout.border, layout.width - 2 * layout.border,
                layout.height - 2 * layout.border);
            cairo_fill(cr);
        }
        cairo_rectangle(cr, b.left - layout.frame, b.top - layout.frame, b.width + 2 * layout.frame,
            b.height + 2 * layout.frame);
        addBox(cr, b);
        cairo_fill(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);

        // The squares: the board in the light colour, the dark squares over it.
        setColor(cr, scene.light);
        addBox(cr, b);
        cairo_fill(cr);
        for (const LayoutBox& box : scene.darkSquares)
            addBox(cr, box);
        if (scene.hatch) {
            cairo_save(cr);
            cairo_clip(cr);
            for (const auto& band : scene.hatchBands) {
                cairo_move_to(cr, band[0].x, band[0].y);
                for (std::size_t i = 1; i < band.size(); ++i)
                    cairo_line_to(cr, band[i].x, band[i].y);
                cairo_close_path(cr);
            }
            setColor(cr, Black);
            cairo_fill(cr);
            cairo_restore(cr);
        } else {
            setColor(cr, scene.dark);
            cairo_fill(cr);
        }

        for (const SceneMark& mark : scene.marks) {
            addBox(cr, mark.box);
            if (mark.ring > 0)
                addBox(cr, innerBox(mark.box, mark.ring));
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            setColor(cr, mark.color, mark.alpha);
            cairo_fill(cr);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        }

        for (const ScenePiece& piece : scene.pieces) {
            cairo_set_source_surface(cr, pieces.surface(piece.code), piece.box.left, piece.box.top);
            addBox(cr, piece.box);
            cairo_fill(cr);
        }

        for (const SceneArrow& arrow : scene.arrows) {
            cairo_move_to(cr, arrow.outline[0].x, arrow.outline[0].y);
            for (std::size_t i = 1; i < arrow.outline.size(); ++i)
                cairo_line_to(cr, arrow.outline[i].x, arrow.outline[i].y);
            cairo_close_path(cr);
            setColor(cr, arrow.color, arrow.alpha);
            cairo_fill(cr);
        }

        setColor(cr, Black);
        std::vector<cairo_glyph_t> glyphs;
        for (const SceneText& text : scene.texts) {
            cairo_scaled_font_t* font = diagramScaledFont(text.bold, text.size);
            if (!font)
                continue;
            cairo_set_scaled_font(cr, font);
            glyphs.clear();
            for (const SceneGlyph& g : text.glyphs)
                glyphs.push_back({ g.index, g.x, g.y });
            cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
            cairo_scaled_font_destroy(font);
        }

        if (layout.marker) {
            cairo_new_path(cr);
            cairo_arc(cr, layout.markerX, layout.markerY, layout.markerRadius, 0, 2 * M_PI);
            setColor(cr, layout.markerBlack ? Black : White);
            cairo_fill_preserve(cr);
            setColor(cr, Black);
            cairo_set_line_width(cr, layout.markerLine);
            cairo_stroke(cr);
        }
    }

    // ---- Files ----

    void appendBigEndian(std::string& out, std::uint32_t v)
    {
        out.push_back(static_cast<char>(v >> 24));
        out.push_back(static_cast<char>(v >> 16));
        out.push_back(static_cast<char>(v >> 8));
        out.push_back(static_cast<char>(v));
    }

    void appendChunk(std::string& out, const char* type, const std::string& data)
    {
        appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
        const std::size_t start = out.size();
        out.append(type, 4);
        out += data;
        const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(out.data() + start),
            static_cast<uInt>(out.size() - start));
        appendBigEndian(out, static_cast<std::uint32_t>(crc));
    }

    // tEXt takes Latin-1 text without NUL; a FEN line is plain ASCII, anything else is dropped.
    std::string latin1Text(const std::string& keyword, const std::string& text)
    {
        std::string data = keyword;
        data.push_back('\0');
        for (char c : text)
            if (c >= 0x20 && c < 0x7F)
                data.push_back(c);
        return data;
    }

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

    // The diagram drawn into an image surface, valid until the next call on this thread;
    // nullptr when the options fail the check or the picture cannot be had.
    cairo_surface_t* renderSurface(
        const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
    {
        if (checkRenderOptions(options))
            return nullptr;
        const Scene scene = buildScene(board, panel, options);
        const int width = scene.layout.width;
        const int height = scene.layout.height;
        const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
        const std::size_t bytes = static_cast<std::size_t>(stride) * height;
        // A batch of pictures of one size draws them all into the same memory (the background
        // covers every pixel), sparing a fresh allocation and its page faults each time; large
        // pictures get memory of their own, returned when they are done.
        constexpr std::size_t KeptBytes = 16 << 20;
        thread_local std::vector<unsigned char> kept;
        cairo_surface_t* surface = nullptr;
        if (bytes <= KeptBytes) {
            if (kept.size() < bytes)
                kept.resize(bytes);
            surface = cairo_image_surface_create_for_data(
                kept.data(), CAIRO_FORMAT_ARGB32, width, height, stride);
        } else {
            surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        }
        if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(surface);
            return nullptr;
        }
        cairo_t* cr = cairo_create(surface);
        paintScene(cr, scene, imagePieceArt(options.squarePx, scene.pieceHalo));
        const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        if (!ok) {
            cairo_surface_destroy(surface);
            return nullptr;
        }
        return surface;
    }

    // PNG files of opaque ARGB32 pixels: 8-bit RGB, each row filtered with Up (Sub for the
    // first), which leaves the runs of a board's flat squares as zeros, compressed at zlib's
    // fastest level (the picture is mostly flat colour, so little is lost); the
    // compressor is kept from one picture to the next.
    class PngWriter
    {
    public:
        PngWriter()
        {
            m_ready = deflateInit2(&m_z, 1, Z_DEFLATED, 15, 6, Z_DEFAULT_STRATEGY) == Z_OK;
        }
        ~PngWriter()
        {
            if (m_ready)
                deflateEnd(&m_z);
        }
        PngWriter(const PngWriter&) = delete;
        PngWriter& operator=(const PngWriter&) = delete;

        // The file, with extra chunks (complete, CRC included) right after IHDR; empty when
        // zlib fails.
        std::string encode(const unsigned char* data, int width, int height, int stride,
            const std::string& extraChunks)
        {
            if (!m_ready || deflateReset(&m_z) != Z_OK)
                return {};
            const std::size_t rowBytes = 1 + 3 * static_cast<std::size_t>(width);
            m_row.resize(rowBytes);
            m_idat.resize(deflateBound(&m_z, static_cast<uLong>(rowBytes * height)));
            m_z.next_out = reinterpret_cast<Bytef*>(m_idat.data());
            m_z.avail_out = static_cast<uInt>(m_idat.size());
            // Each channel less the same channel of the pixel above (Up), or of the pixel to the
            // left in the first row (Sub), straight from the picture's words.
            const auto channel
                = [](std::uint32_t p, int shift) { return static_cast<unsigned char>(p >> shift); };
            for (int y = 0; y < height; ++y) {
                const auto* current = reinterpret_cast<const std::uint32_t*>(
                    data + static_cast<std::size_t>(y) * stride);
                const auto* above = y == 0 ? nullptr
                                           : reinterpret_cast<const std::uint32_t*>(
                                               data + static_cast<std::size_t>(y - 1) * stride);
                unsigned char* out = m_row.data();
                *out++ = y == 0 ? 1 : 2;
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t p = current[x];
                    const std::uint32_t q = above ? above[x] : x > 0 ? current[x - 1] : 0;
                    *out++ = static_cast<unsigned char>(channel(p, 16) - channel(q, 16));
                    *out++ = static_cast<unsigned char>(channel(p, 8) - channel(q, 8));
                    *out++ = static_cast<unsigned char>(channel(p, 0) - channel(q, 0));
                }
                m_z.next_in = m_row.data();
                m_z.avail_in = static_cast<uInt>(rowBytes);
                if (deflate(&m_z, y + 1 == height ? Z_FINISH : Z_NO_FLUSH) == Z_STREAM_ERROR)
                    return {};
            }
            if (m_z.avail_in != 0)
                return {};
            const std::size_t compressed = m_idat.size() - m_z.avail_out;

            std::string png("\x89PNG\r\n\x1a\n", 8);
            std::string header;
            appendBigEndian(header, static_cast<std::uint32_t>(width));
            appendBigEndian(header, static_cast<std::uint32_t>(height));
            header += std::string("\x08\x02\x00\x00\x00", 5); // 8-bit RGB, no interlace
            appendChunk(png, "IHDR", header);
            png += extraChunks;
            appendChunk(png, "IDAT", std::string(m_idat.data(), compressed));
            appendChunk(png, "IEND", std::string());
            return png;
        }

    private:
        z_stream m_z {};
        bool m_ready = false;
        std::vector<unsigned char> m_row;
        std::string m_idat;
    };

} // namespace

int squarePxForMillimetres(double squareMm, double dpi)
{
    const double px = squareMm / 25.4 * dpi;
    if (!(px < 1e9))
        return 1'000'000'000;
    return std::max(1, static_cast<int>(std::lround(px)));
}

std::optional<std::string> checkRenderOptions(const DiagramRenderOptions& options)
{
    if (options.squarePx < MinSquarePx || options.squarePx > MaxSquarePx)
        return "square size " + std::to_string(options.squarePx) + " out of range "
            + std::to_string(MinSquarePx) + "-" + std::to_string(MaxSquarePx);
    // Checked as a float: a conversion of inf or 1e300 to an integer would be undefined.
    if (options.dpi != 0 && !(options.dpi >= MinDpi && options.dpi <= MaxDpi)) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", options.dpi);
        return "resolution " + std::string(text) + " out of range " + std::to_string(MinDpi) + "-"
            + std::to_string(MaxDpi);
    }
    if (options.style != DiagramStyle::Color && options.style != DiagramStyle::Gray
        && options.style != DiagramStyle::Print)
        return std::string("unknown style");
    const DiagramSize size = diagramSize(options);
    if (static_cast<long long>(size.width) * size.height > MaxDiagramPixels)
        return "picture of " + std::to_string(size.width) + " x " + std::to_string(size.height)
            + " pixels is too large";
    return std::nullopt;
}

DiagramSize diagramSize(const DiagramRenderOptions& options)
{
    const DiagramLayout layout = layoutDiagram(options, false);
    return { layout.width, layout.height };
}

DiagramImage renderDiagramImage(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    DiagramImage image;
    cairo_surface_t* surface = renderSurface(board, panel, options);
    if (!surface)
        return image;
    image.width = cairo_image_surface_get_width(surface);
    image.height = cairo_image_surface_get_height(surface);
    image.stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    image.pixels.assign(data, data + static_cast<std::size_t>(image.stride) * image.height);
    cairo_surface_destroy(surface);
    return image;
}

std::string renderDiagramPng(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    cairo_surface_t* surface = renderSurface(board, panel, options);
    if (!surface)
        return {};
    std::string chunks;
    if (options.dpi > 0) {
        std::string phys;
        const auto perMetre = static_cast<std::uint32_t>(std::lround(options.dpi / 0.0254));
        appendBigEndian(phys, perMetre);
        appendBigEndian(phys, perMetre);
        phys.push_back('\1'); // unit: metre
        appendChunk(chunks, "pHYs", phys);
    }
    appendChunk(chunks, "tEXt", latin1Text("FEN", BuildEPDLine(board, panel)));
    appendChunk(chunks, "tEXt", latin1Text("Software", "Pictog"));
    thread_local PngWriter writer;
    std::string png = writer.encode(cairo_image_surface_get_data(surface),
        cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
        cairo_image_surface_get_stride(surface), chunks);
    cairo_surface_destroy(surface);
    return png;
}

std::string renderDiagramSvg(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    if (checkRenderOptions(options))
        return {};
    const Scene scene = buildScene(board, panel, options);
    SvgUnits units;
    if (options.dpi > 0) {
        // The physical size in millimetres; the drawing keeps its own units inside.
        units.millimetres = true;
        units.scale = 25.4 / options.dpi;
    }
    return writeSceneSvg(scene, BuildEPDLine(board, panel), units);
}

std::optional<std::string> missingFontFor(const DiagramRenderOptions& options)
{
    const bool text = options.coordinates || !options.header1.empty() || !options.header2.empty()
        || !options.footer1.empty() || !options.footer2.empty();
    if (!text)
        return std::nullopt;
    if (const char* file = missingDiagramFontFile())
        return std::string("cannot read the font file ") + file;
    return std::nullopt;
}

RenderResult renderDiagram(DiagramFormat format, const TChessPosition& board,
    const PanelState& panel, const DiagramRenderOptions& options, PdfPageSize page)
{
    RenderResult result;
    if (auto problem = checkRenderOptions(options)) {
        result.error = std::move(*problem);
        return result;
    }
    if (auto problem = missingFontFor(options)) {
        result.error = std::move(*problem);
        return result;
    }
    try {
        result.bytes = format == DiagramFormat::Svg ? renderDiagramSvg(board, panel, options)
            : format == DiagramFormat::Pdf          ? renderDiagramPdf(board, panel, options, page)
                                                    : renderDiagramPng(board, panel, options);
    } catch (const std::exception&) {
        result.bytes.clear();
    }
    if (result.bytes.empty())
        result.error = "Error in creating diagram";
    return result;
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
    cairo_surface_t* surface = nullptr;
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
    if (m_impl->surface) {
        // An unfinished document is dropped, not written out half-way.
        m_impl->discarding = true;
        cairo_surface_destroy(m_impl->surface);
    }
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
    if (auto problem = checkRenderOptions(options)) {
        d.error = std::move(*problem);
        return false;
    }
    if (auto problem = missingFontFor(options)) {
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
    double fit = 1.0;
    if (d.page != PdfPageSize::Diagram) {
        pageWidth = d.page == PdfPageSize::A4 ? A4Width : LetterWidth;
        pageHeight = d.page == PdfPageSize::A4 ? A4Height : LetterHeight;
        // A diagram larger than the page is shrunk to fit inside half-inch margins.
        const double room = 36;
        fit = std::min({ 1.0, (pageWidth - 2 * room) / width, (pageHeight - 2 * room) / height });
    }
    if (!d.surface) {
        d.surface = cairo_pdf_surface_create_for_stream(Impl::write, &d, pageWidth, pageHeight);
        cairo_pdf_surface_set_metadata(
            d.surface, CAIRO_PDF_METADATA_TITLE, BuildEPDLine(board, panel).c_str());
        cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_CREATOR, "Pictog");
    } else {
        cairo_pdf_surface_set_size(d.surface, pageWidth, pageHeight);
    }
    if (!d.pieces || d.pieces->square() != options.squarePx || d.pieces->halo() != scene.pieceHalo)
        d.pieces = std::make_unique<PieceArt>(options.squarePx, true, scene.pieceHalo);
    cairo_t* cr = cairo_create(d.surface);
    cairo_translate(cr, (pageWidth - width * fit) / 2, (pageHeight - height * fit) / 2);
    cairo_scale(cr, scale * fit, scale * fit);
    paintScene(cr, scene, *d.pieces);
    cairo_show_page(cr);
    const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    if (!ok || cairo_surface_status(d.surface) != CAIRO_STATUS_SUCCESS) {
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
    cairo_surface_finish(d.surface);
    const bool ok = cairo_surface_status(d.surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(d.surface);
    d.surface = nullptr;
    d.pieces.reset();
    return ok && !d.sinkFailed && d.pages > 0;
}

} // namespace pictog
