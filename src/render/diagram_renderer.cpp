#include "diagram_renderer.h"

#include "diagram/png_encoder.h"
#include "diagram/raster.h"
#include "diagram_layout.h"
#include "piece_outlines.h"
#include "position/epd_line.h"
#include "render_fonts.h"
#include "settings/html_color.h"

#include <algorithm>
#include <array>
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <cmath>
#include <cstring>
#include <memory>
#include <zlib.h>

namespace pictog {

namespace {

    struct Rgb {
        double r = 0;
        double g = 0;
        double b = 0;
    };

    Rgb rgbOf(const std::string& text)
    {
        const ColorValue c = HtmlColorToColor(text);
        return { redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0 };
    }

    Rgb greyOf(Rgb c)
    {
        // Rounded to a whole grey level, so that the three channels stay equal in every output.
        const double y = std::round((0.299 * c.r + 0.587 * c.g + 0.114 * c.b) * 255) / 255;
        return { y, y, y };
    }

    constexpr Rgb Black { 0, 0, 0 };
    constexpr Rgb White { 1, 1, 1 };

    // The colours of one diagram after the style.
    struct Palette {
        Rgb background;
        Rgb light;
        Rgb dark;
        bool hatch = false;
        std::array<Rgb, 4> annotation; // green, red, yellow, blue
    };

    Palette paletteOf(const DiagramRenderOptions& options)
    {
        Palette p;
        p.annotation = { Rgb { 0.08, 0.56, 0.16 }, Rgb { 0.84, 0.10, 0.10 },
            Rgb { 0.96, 0.74, 0.04 }, Rgb { 0.10, 0.36, 0.86 } };
        switch (options.style) {
        case DiagramStyle::Color:
            p.background = rgbOf(options.colorDiagramBackground);
            p.light = rgbOf(options.colorLightSquares);
            p.dark = rgbOf(options.colorDarkSquares);
            break;
        case DiagramStyle::Gray:
            p.background = greyOf(rgbOf(options.colorDiagramBackground));
            p.light = greyOf(rgbOf(options.colorLightSquares));
            p.dark = greyOf(rgbOf(options.colorDarkSquares));
            for (Rgb& c : p.annotation)
                c = greyOf(c);
            break;
        case DiagramStyle::Print:
            p.background = White;
            p.light = White;
            p.dark = White;
            p.hatch = true;
            break;
        }
        return p;
    }

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
    // the silhouette filled, the interior lines and spots inside it, and an outline band of
    // 1.4 pixels at 38 pixels along the inside of the edge (never below one pixel).
    void drawPiece(cairo_t* cr, const artgen::PieceSource& piece, bool black, double size)
    {
        const double k = size / artgen::DesignSize;
        const double pixel = 1.0 / k; // one output unit in design units
        const double atScale = size / 38.0;
        cairo_save(cr);
        cairo_scale(cr, k, k);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

        traceSilhouette(cr, piece);
        setColor(cr, black ? Black : White);
        cairo_fill_preserve(cr);
        cairo_clip(cr);

        setColor(cr, black ? White : Black);
        for (const artgen::Detail& d : piece.details) {
            if (d.kind == artgen::DetailKind::Shade || (d.whiteOnly && black))
                continue;
            cairo_new_path(cr);
            tracePolyline(cr, d.line);
            if (d.kind == artgen::DetailKind::Stroke) {
                cairo_set_line_width(cr, std::max(1.0, 1.3 * d.width * atScale) * pixel);
                cairo_stroke(cr);
            } else {
                cairo_fill(cr);
            }
        }

        // Twice the band's width, half of it cut away by the clip outside the silhouette.
        traceSilhouette(cr, piece);
        setColor(cr, Black);
        cairo_set_line_width(cr, 2 * std::max(1.0, 1.4 * atScale) * pixel);
        cairo_stroke(cr);
        cairo_restore(cr);
    }

    // The twelve piece pictures for one square size, drawn once and then painted onto every
    // square: image surfaces for the PNG, recording surfaces (vector art that the SVG and PDF
    // surfaces write once and reuse) otherwise.
    class PieceArt
    {
    public:
        PieceArt(int square, bool vector)
            : m_square(square)
            , m_vector(vector)
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
                drawPiece(cr, pieces[static_cast<std::size_t>((code - 1) % 6)], code > 6, square);
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
        cairo_surface_t* surface(int code) const
        {
            return m_surfaces[static_cast<std::size_t>(code - 1)];
        }

    private:
        int m_square;
        bool m_vector;
        std::array<cairo_surface_t*, 12> m_surfaces {};
    };

    // The image pieces of the last square size drawn on this thread: a batch of pictures draws
    // them once.
    const PieceArt& imagePieceArt(int square)
    {
        thread_local std::unique_ptr<PieceArt> art;
        if (!art || art->square() != square) {
            art.reset();
            art = std::make_unique<PieceArt>(square, false);
        }
        return *art;
    }

    // ---- Text ----

    void useFont(cairo_t* cr, bool bold, double size)
    {
        cairo_font_face_t* face = diagramFontFace(bold);
        cairo_set_font_face(cr, face);
        cairo_set_font_size(cr, size);
        // Unhinted outlines and metrics: the PNG shows the same letter shapes at the same places
        // as the SVG and PDF.
        cairo_font_options_t* fo = cairo_font_options_create();
        cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
        cairo_set_font_options(cr, fo);
        cairo_font_options_destroy(fo);
    }

    // Draws text centred in the box: horizontally by its own ink, vertically by the ink of the
    // reference text, so that the labels of a row share their baseline.
    void drawCentred(
        cairo_t* cr, const std::string& text, const LayoutBox& box, const char* reference)
    {
        cairo_text_extents_t ink;
        cairo_text_extents(cr, text.c_str(), &ink);
        cairo_text_extents_t ref;
        cairo_text_extents(cr, reference, &ref);
        const double x = box.left + (box.width - ink.width) / 2 - ink.x_bearing;
        const double y = box.top + (box.height - ref.height) / 2 - ref.y_bearing;
        cairo_move_to(cr, x, y);
        cairo_show_text(cr, text.c_str());
    }

    // ---- The diagram ----

    struct Point {
        double x;
        double y;
    };

    Point squareCentre(const DiagramLayout& layout, int index)
    {
        const LayoutBox box = layout.squareBox(index);
        return { box.left + box.width / 2.0, box.top + box.height / 2.0 };
    }

    // An arrow from the middle of one square to the middle of another, as one outline so that a
    // translucent colour covers evenly: the tail starts off the piece on the first square, the
    // point ends in the middle of the second.
    void traceArrow(cairo_t* cr, Point from, Point to, double square)
    {
        const double dx = to.x - from.x;
        const double dy = to.y - from.y;
        const double length = std::hypot(dx, dy);
        const double ux = dx / length;
        const double uy = dy / length;
        const double nx = -uy;
        const double ny = ux;
        const double tailGap = std::min(0.32 * square, length * 0.3);
        const double shaft = 0.075 * square;
        const double head = 0.23 * square;
        const double headLength = std::min(0.42 * square, (length - tailGap) * 0.7);
        const Point tail { from.x + ux * tailGap, from.y + uy * tailGap };
        const Point neck { to.x - ux * headLength, to.y - uy * headLength };
        cairo_move_to(cr, tail.x + nx * shaft, tail.y + ny * shaft);
        cairo_line_to(cr, neck.x + nx * shaft, neck.y + ny * shaft);
        cairo_line_to(cr, neck.x + nx * head, neck.y + ny * head);
        cairo_line_to(cr, to.x, to.y);
        cairo_line_to(cr, neck.x - nx * head, neck.y - ny * head);
        cairo_line_to(cr, neck.x - nx * shaft, neck.y - ny * shaft);
        cairo_line_to(cr, tail.x - nx * shaft, tail.y - ny * shaft);
        cairo_close_path(cr);
    }

    // Diagonal lines over the dark squares at a whole number of units apart, anchored to the
    // picture's origin so the pattern runs on unbroken from square to square.
    void hatchDarkSquares(cairo_t* cr, const DiagramLayout& layout)
    {
        cairo_save(cr);
        cairo_new_path(cr);
        for (int rank = 0; rank < 8; ++rank)
            for (int file = 0; file < 8; ++file)
                if ((rank + file) % 2 == 0)
                    addBox(cr, layout.squareBox(squareIndex(file, rank)));
        cairo_clip(cr);
        const LayoutBox& b = layout.board;
        const int pitch = layout.hatchPitch;
        cairo_new_path(cr);
        // The lines x - y = c for every c that is a multiple of the pitch.
        int c = static_cast<int>(std::floor(static_cast<double>(b.left - b.bottom()) / pitch))
            * pitch;
        for (; c <= b.right() - b.top; c += pitch) {
            cairo_move_to(cr, c + b.top - 1, b.top - 1);
            cairo_line_to(cr, c + b.bottom() + 1, b.bottom() + 1);
        }
        setColor(cr, Black);
        cairo_set_line_width(cr, std::max(0.5, pitch * 0.3));
        cairo_stroke(cr);
        cairo_restore(cr);
    }

    void drawDiagram(cairo_t* cr, const DiagramLayout& layout, const TChessPosition& board,
        const DiagramRenderOptions& options, const PieceArt& pieces)
    {
        const Palette palette = paletteOf(options);
        const LayoutBox& b = layout.board;
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);

        setColor(cr, palette.background);
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
        setColor(cr, palette.light);
        addBox(cr, b);
        cairo_fill(cr);
        if (palette.hatch) {
            hatchDarkSquares(cr, layout);
        } else {
            for (int rank = 0; rank < 8; ++rank)
                for (int file = 0; file < 8; ++file)
                    if ((rank + file) % 2 == 0)
                        addBox(cr, layout.squareBox(squareIndex(file, rank)));
            setColor(cr, palette.dark);
            cairo_fill(cr);
        }

        // Marked squares over the squares, under the pieces and arrows.
        for (const SquareAnnotation& mark : options.annotations.squares) {
            if (!isOnBoard(mark.square))
                continue;
            addBox(cr, layout.squareBox(mark.square));
            setColor(cr, palette.annotation[static_cast<std::size_t>(mark.color)], 0.55);
            cairo_fill(cr);
        }

        for (int rank = 0; rank < 8; ++rank) {
            for (int file = 0; file < 8; ++file) {
                const int index = squareIndex(file, rank);
                const int code = board.GetPiece(index);
                if (code < 1 || code > 12)
                    continue;
                const LayoutBox box = layout.squareBox(index);
                cairo_set_source_surface(cr, pieces.surface(code), box.left, box.top);
                addBox(cr, box);
                cairo_fill(cr);
            }
        }

        for (const ArrowAnnotation& arrow : options.annotations.arrows) {
            if (!isOnBoard(arrow.from) || !isOnBoard(arrow.to) || arrow.from == arrow.to)
                continue;
            cairo_new_path(cr);
            traceArrow(cr, squareCentre(layout, arrow.from), squareCentre(layout, arrow.to),
                layout.square);
            setColor(cr, palette.annotation[static_cast<std::size_t>(arrow.color)], 0.8);
            cairo_fill(cr);
        }

        if (layout.coordinates && diagramFontFace(true)) {
            useFont(cr, true, layout.labelFontSize);
            setColor(cr, Black);
            for (int i = 0; i < 8; ++i) {
                const std::string letter(1, static_cast<char>('a' + i));
                const std::string digit(1, static_cast<char>('1' + i));
                drawCentred(cr, letter, layout.fileLabelBox(i, true), "abcdefh");
                drawCentred(cr, letter, layout.fileLabelBox(i, false), "abcdefh");
                drawCentred(cr, digit, layout.rankLabelBox(i, true), "12345678");
                drawCentred(cr, digit, layout.rankLabelBox(i, false), "12345678");
            }
        }

        for (const CaptionLine& caption : layout.captions) {
            if (!diagramFontFace(caption.bold))
                continue;
            useFont(cr, caption.bold, caption.fontSize);
            // A caption wider than the picture shrinks to fit.
            cairo_text_extents_t ink;
            cairo_text_extents(cr, caption.text.c_str(), &ink);
            const double room = caption.box.width - layout.square * 0.3;
            if (ink.x_advance > room && ink.x_advance > 0)
                useFont(cr, caption.bold, caption.fontSize * room / ink.x_advance);
            setColor(cr, Black);
            drawCentred(cr, caption.text, caption.box, "Hg");
        }

        if (layout.marker) {
            cairo_new_path(cr);
            cairo_arc(cr, layout.markerX, layout.markerY, layout.markerRadius, 0, 2 * M_PI);
            setColor(cr, layout.markerBlack ? Black : White);
            cairo_fill_preserve(cr);
            setColor(cr, Black);
            cairo_set_line_width(cr, std::max(1.0, layout.square / 30.0));
            cairo_stroke(cr);
        }
    }

    // ---- Files ----

    cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length)
    {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    }

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

    std::string xmlEscaped(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            default:
                // Control characters are not allowed in XML 1.0.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                    out.push_back(c);
            }
        }
        return out;
    }

    std::string fenLine(const TChessPosition& board, const PanelState& panel)
    {
        return BuildEPDLine(board, panel);
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

} // namespace

std::optional<DiagramStyle> parseDiagramStyle(const std::string& name)
{
    if (name == "color")
        return DiagramStyle::Color;
    if (name == "gray")
        return DiagramStyle::Gray;
    if (name == "print")
        return DiagramStyle::Print;
    return std::nullopt;
}

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
    if (!(options.dpi >= 0 && options.dpi <= 10000))
        return "resolution " + std::to_string(static_cast<long long>(options.dpi))
            + " out of range 1-10000";
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
    if (checkRenderOptions(options))
        return image;
    const DiagramLayout layout = layoutDiagram(options, panel.blackToMove());
    cairo_surface_t* surface
        = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, layout.width, layout.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return image;
    }
    cairo_t* cr = cairo_create(surface);
    drawDiagram(cr, layout, board, options, imagePieceArt(options.squarePx));
    const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    if (ok) {
        image.width = layout.width;
        image.height = layout.height;
        image.stride = cairo_image_surface_get_stride(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        image.pixels.assign(data, data + static_cast<std::size_t>(image.stride) * image.height);
    }
    cairo_surface_destroy(surface);
    return image;
}

std::string renderDiagramPng(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    const DiagramImage image = renderDiagramImage(board, panel, options);
    if (image.width == 0)
        return {};
    // The picture is opaque, so its premultiplied pixels are plain 0xFFRRGGBB words.
    Raster raster(image.width, image.height);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(raster.row(y), image.pixels.data() + static_cast<std::size_t>(y) * image.stride,
            static_cast<std::size_t>(image.width) * 4);
    thread_local PngEncoder encoder;
    std::vector<unsigned char> bytes;
    encoder.encode(raster, bytes);

    // The metadata goes right after IHDR (8 bytes of signature, 25 of IHDR).
    constexpr std::size_t afterHeader = 33;
    std::string chunks;
    if (options.dpi > 0) {
        std::string phys;
        const auto perMetre = static_cast<std::uint32_t>(std::lround(options.dpi / 0.0254));
        appendBigEndian(phys, perMetre);
        appendBigEndian(phys, perMetre);
        phys.push_back('\1'); // unit: metre
        appendChunk(chunks, "pHYs", phys);
    }
    appendChunk(chunks, "tEXt", latin1Text("FEN", fenLine(board, panel)));
    appendChunk(chunks, "tEXt", latin1Text("Software", "Pictog"));
    std::string png(reinterpret_cast<const char*>(bytes.data()), afterHeader);
    png += chunks;
    png.append(
        reinterpret_cast<const char*>(bytes.data()) + afterHeader, bytes.size() - afterHeader);
    return png;
}

std::string renderDiagramSvg(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    if (checkRenderOptions(options))
        return {};
    const DiagramLayout layout = layoutDiagram(options, panel.blackToMove());
    std::string svg;
    svg.reserve(64 * 1024);
    // Pixels for the screen; millimetres when a resolution gives the physical size.
    const bool physical = options.dpi > 0;
    const double scale = vectorScale(options, 25.4);
    cairo_surface_t* surface = cairo_svg_surface_create_for_stream(
        appendToString, &svg, layout.width * scale, layout.height * scale);
    cairo_svg_surface_set_document_unit(surface, physical ? CAIRO_SVG_UNIT_MM : CAIRO_SVG_UNIT_PX);
    {
        // Fresh piece art for each document: the SVG surface writes each one into the file once.
        const PieceArt pieces(options.squarePx, true);
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, scale, scale);
        drawDiagram(cr, layout, board, options, pieces);
        cairo_destroy(cr);
        cairo_surface_finish(surface);
    }
    const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok)
        return {};

    // The position as the title and description, first thing inside the root element.
    const std::size_t root = svg.find("<svg");
    const std::size_t rootEnd = root == std::string::npos ? root : svg.find('>', root);
    if (rootEnd == std::string::npos)
        return {};
    const std::string line = xmlEscaped(fenLine(board, panel));
    svg.insert(rootEnd + 1,
        "\n<title>" + line + "</title>\n<desc>Chess diagram of the position " + line + "</desc>");
    return svg;
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
    if (d.finished || d.sinkFailed || checkRenderOptions(options))
        return false;
    const DiagramLayout layout = layoutDiagram(options, panel.blackToMove());
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
            d.surface, CAIRO_PDF_METADATA_TITLE, fenLine(board, panel).c_str());
        cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_CREATOR, "Pictog");
    } else {
        cairo_pdf_surface_set_size(d.surface, pageWidth, pageHeight);
    }
    if (!d.pieces || d.pieces->square() != options.squarePx)
        d.pieces = std::make_unique<PieceArt>(options.squarePx, true);
    cairo_t* cr = cairo_create(d.surface);
    cairo_translate(cr, (pageWidth - width * fit) / 2, (pageHeight - height * fit) / 2);
    cairo_scale(cr, scale * fit, scale * fit);
    drawDiagram(cr, layout, board, options, *d.pieces);
    cairo_show_page(cr);
    const bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    if (!ok || cairo_surface_status(d.surface) != CAIRO_STATUS_SUCCESS)
        return false;
    ++d.pages;
    return true;
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
