// Sheets drawn with cairo: the diagrams through the renderer's scene and painter, the texts laid
// out by Pango with DejaVu Sans from its fixed files (a private fontconfig set holding only those
// files, so no system font changes a sheet).
#include "diagram_painter.h"
#include "diagram_sheet.h"
#include "render_fonts.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <cmath>
#include <memory>

namespace pictog {

namespace {

    constexpr double PointsPerMm = 72.0 / 25.4;
    constexpr const char* CreationError = "Error in creating sheet";

    struct GObjectRelease {
        void operator()(void* object) const { g_object_unref(object); }
    };
    using PangoLayoutHandle = std::unique_ptr<PangoLayout, GObjectRelease>;

    // The Pango context over DejaVu Sans alone, made once for the run; null without the files.
    PangoContext* sheetPangoContext()
    {
        static PangoContext* const context = []() -> PangoContext* {
            if (missingDiagramFontFile())
                return nullptr;
            FcConfig* config = FcConfigCreate();
            const bool loaded
                = FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(DiagramFontFile))
                && FcConfigAppFontAddFile(
                    config, reinterpret_cast<const FcChar8*>(DiagramBoldFontFile));
            if (!loaded) {
                FcConfigDestroy(config);
                return nullptr;
            }
            PangoFontMap* map = pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT);
            pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map), config);
            FcConfigDestroy(config);
            pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(map), 72);
            PangoContext* made = pango_font_map_create_context(map);
            // Unhinted outlines and metrics: the same line breaks at every resolution.
            cairo_font_options_t* fontOptions = cairo_font_options_create();
            cairo_font_options_set_hint_style(fontOptions, CAIRO_HINT_STYLE_NONE);
            cairo_font_options_set_hint_metrics(fontOptions, CAIRO_HINT_METRICS_OFF);
            pango_cairo_context_set_font_options(made, fontOptions);
            cairo_font_options_destroy(fontOptions);
            pango_context_set_round_glyph_positions(made, FALSE);
            return made;
        }();
        return context;
    }

    // Ways to lay out one text.
    struct TextStyle {
        double size = 9; // points
        bool bold = false;
        double width = -1; // points; < 0: one line
        int lines = 1; // at most this many, the last cut with "…"
        PangoAlignment align = PANGO_ALIGN_LEFT;
    };

    PangoLayoutHandle makeLayout(cairo_t* cr, const std::string& text, const TextStyle& style)
    {
        PangoContext* context = sheetPangoContext();
        pango_cairo_update_context(cr, context);
        PangoLayoutHandle layout(pango_layout_new(context));
        PangoFontDescription* font = pango_font_description_new();
        pango_font_description_set_family(font, "DejaVu Sans");
        pango_font_description_set_weight(
            font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_font_description_set_absolute_size(font, style.size * PANGO_SCALE);
        pango_layout_set_font_description(layout.get(), font);
        pango_font_description_free(font);
        if (style.width >= 0) {
            pango_layout_set_width(layout.get(), static_cast<int>(style.width * PANGO_SCALE));
            pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
            pango_layout_set_height(layout.get(), -style.lines);
            pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
            pango_layout_set_alignment(layout.get(), style.align);
        }
        pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
        return layout;
    }

    // Draws the text with its top-left corner at (x, y) points; returns its height in points.
    double drawText(
        cairo_t* cr, double x, double y, const std::string& text, const TextStyle& style)
    {
        const PangoLayoutHandle layout = makeLayout(cr, text, style);
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, layout.get());
        int width = 0;
        int height = 0;
        pango_layout_get_size(layout.get(), &width, &height);
        return static_cast<double>(height) / PANGO_SCALE;
    }

    std::string rangeText(long first, long last)
    {
        return first == last ? std::to_string(first)
                             : std::to_string(first) + "\xE2\x80\x93" + std::to_string(last);
    }

    // Draws the pages of a sheet onto a surface that a page sink turns into files.
    class SheetPainter
    {
    public:
        // pdf: the pieces drawn for a PDF document, which uses each of them many times.
        SheetPainter(
            const SheetOptions& options, const std::vector<SheetDiagram>& diagrams, bool pdf)
            : m_options(options)
            , m_diagrams(diagrams)
            , m_layout(options.layout)
            , m_pdf(pdf)
        {
        }

        double pageWidth() const { return m_layout.paper.width * PointsPerMm; }
        double pageHeight() const { return m_layout.paper.height * PointsPerMm; }

        std::vector<SheetPagePlan> plan() const
        {
            return planPages(static_cast<long>(m_diagrams.size()), m_layout.perPage(),
                solutionsPerPage(m_layout), m_options.solutions);
        }

        // The outline entry of a page.
        std::string pageName(const SheetPagePlan& page) const
        {
            const long first = m_options.start + page.first;
            return std::string(page.solutions ? "Solutions " : "Diagrams ")
                + rangeText(first, first + page.count - 1);
        }

        // Paints one page (number from 1) in points onto cr.
        void paint(cairo_t* cr, const SheetPagePlan& page, int number)
        {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            const double margin = SheetMarginMm * PointsPerMm;
            const double width = pageWidth() - 2 * margin;
            std::string heading = number == 1 ? m_options.title : std::string();
            if (page.solutions)
                heading = heading.empty() ? "Solutions" : heading + " \xE2\x80\x93 Solutions";
            if (!heading.empty())
                drawText(cr, margin, margin - 2, heading, { 14, true, width, 1 });
            drawText(cr, margin, pageHeight() - margin + 2 * PointsPerMm, std::to_string(number),
                { 8, false, width, 1, PANGO_ALIGN_CENTER });
            if (page.solutions)
                paintSolutions(cr, page);
            else
                paintDiagrams(cr, page);
        }

    private:
        void paintDiagrams(cairo_t* cr, const SheetPagePlan& page)
        {
            for (long i = 0; i < page.count; ++i) {
                const SheetDiagram& diagram = m_diagrams[static_cast<std::size_t>(page.first + i)];
                DiagramRenderOptions options = m_options.diagram;
                options.annotations = diagram.annotations;
                if (m_options.turnBoard)
                    options.flip = !diagram.whiteToMove;
                const Scene scene = buildScene(diagram.board, diagram.panel, options);
                if (!m_pieces || m_pieces->square() != options.squarePx
                    || m_pieces->halo() != scene.pieceHalo)
                    m_pieces = std::make_unique<PieceArt>(
                        options.squarePx, true, scene.pieceHalo, m_pdf);
                const int cell = static_cast<int>(i);
                const double box = m_layout.diagramMm * PointsPerMm;
                const double scale = box / std::max(scene.layout.width, scene.layout.height);
                const double drawnWidth = scene.layout.width * scale;
                const double left = m_layout.cellLeft(cell) * PointsPerMm
                    + (m_layout.cellWidth * PointsPerMm - drawnWidth) / 2;
                const double top = m_layout.cellTop(cell) * PointsPerMm;
                // The FEN line in the text layer, white and small under the board that covers it:
                // selectable and found by text search, never seen.
                cairo_set_source_rgb(cr, 1, 1, 1);
                drawText(cr, left + 2, top + box / 2, diagram.fen, { 2, false, -1, 1 });
                cairo_save(cr);
                cairo_translate(cr, left, top);
                cairo_scale(cr, scale, scale);
                // The painter fills its whole surface with the background first: keep it to the
                // diagram's own rectangle.
                cairo_rectangle(cr, 0, 0, scene.layout.width, scene.layout.height);
                cairo_clip(cr);
                paintScene(cr, scene, *m_pieces);
                cairo_restore(cr);
                cairo_set_source_rgb(cr, 0, 0, 0);
                double y = top + scene.layout.height * scale + 1.5 * PointsPerMm;
                const std::string number = std::to_string(m_options.start + page.first + i);
                const std::string prompt = !m_options.prompt.empty() ? m_options.prompt
                    : diagram.whiteToMove                            ? "White to play"
                                                                     : "Black to play";
                const double numberWidth = 0;
                y += drawNumberLine(cr, left, y, number, prompt, drawnWidth + numberWidth);
                if (!diagram.caption.empty())
                    drawText(cr, left, y, diagram.caption, { 8, false, drawnWidth, 3 });
            }
        }

        double drawNumberLine(cairo_t* cr, double x, double y, const std::string& number,
            const std::string& prompt, double width)
        {
            const PangoLayoutHandle bold = makeLayout(cr, number, { 9.5, true, -1, 1 });
            int numberWidth = 0;
            int height = 0;
            pango_layout_get_size(bold.get(), &numberWidth, &height);
            cairo_move_to(cr, x, y);
            pango_cairo_show_layout(cr, bold.get());
            const double indent = static_cast<double>(numberWidth) / PANGO_SCALE + 6;
            drawText(cr, x + indent, y + 0.5, prompt, { 9, false, width - indent, 1 });
            return static_cast<double>(height) / PANGO_SCALE + 0.5;
        }

        void paintSolutions(cairo_t* cr, const SheetPagePlan& page)
        {
            const double margin = SheetMarginMm * PointsPerMm;
            const double width = pageWidth() - 2 * margin;
            const double slot = SheetSolutionMm * PointsPerMm;
            double y = (SheetMarginMm + SheetHeaderMm) * PointsPerMm;
            for (long i = 0; i < page.count; ++i) {
                const SheetDiagram& diagram = m_diagrams[static_cast<std::size_t>(page.first + i)];
                const std::string number = std::to_string(m_options.start + page.first + i) + ".";
                const PangoLayoutHandle bold = makeLayout(cr, number, { 10, true, -1, 1 });
                cairo_move_to(cr, margin, y);
                pango_cairo_show_layout(cr, bold.get());
                const double indent = 28;
                drawText(cr, margin + indent, y,
                    diagram.solution.empty() ? std::string("\xE2\x80\x94") : diagram.solution,
                    { 10, false, width - indent, 2 });
                y += slot;
            }
        }

        const SheetOptions& m_options;
        const std::vector<SheetDiagram>& m_diagrams;
        const SheetLayout& m_layout;
        bool m_pdf;
        std::unique_ptr<PieceArt> m_pieces;
    };

    std::optional<std::string> missingFont()
    {
        if (const char* file = missingDiagramFontFile())
            return std::string("cannot read the font file ") + file;
        if (!sheetPangoContext())
            return std::string("cannot read the font file ") + DiagramFontFile;
        return std::nullopt;
    }

    struct StreamClosure {
        const SheetSink* sink;
        bool failed = false;
        static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length)
        {
            StreamClosure* self = static_cast<StreamClosure*>(closure);
            if (self->failed || !(*self->sink)(data, length)) {
                self->failed = true;
                return CAIRO_STATUS_WRITE_ERROR;
            }
            return CAIRO_STATUS_SUCCESS;
        }
    };

    cairo_status_t appendToString(void* closure, const unsigned char* data, unsigned int length)
    {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    }

} // namespace

std::optional<std::string> renderSheetPdf(
    const SheetOptions& options, const std::vector<SheetDiagram>& diagrams, const SheetSink& sink)
{
    if (auto problem = missingFont())
        return problem;
    SheetPainter painter(options, diagrams, true);
    StreamClosure closure { &sink };
    const CairoSurface surface(cairo_pdf_surface_create_for_stream(
        StreamClosure::write, &closure, painter.pageWidth(), painter.pageHeight()));
    const std::string title = !options.title.empty() ? options.title
        : diagrams.empty()                           ? std::string("Diagrams")
                                                     : "Diagrams "
            + rangeText(options.start, options.start + static_cast<long>(diagrams.size()) - 1);
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, title.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "Pictog");
    int number = 0;
    for (const SheetPagePlan& page : painter.plan()) {
        ++number;
        const CairoContext cr(cairo_create(surface.get()));
        const std::string link = "page=" + std::to_string(number);
        cairo_pdf_surface_add_outline(surface.get(), CAIRO_PDF_OUTLINE_ROOT,
            painter.pageName(page).c_str(), link.c_str(),
            static_cast<cairo_pdf_outline_flags_t>(0));
        painter.paint(cr.get(), page, number);
        cairo_show_page(cr.get());
        if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS || closure.failed)
            return std::string(CreationError);
    }
    cairo_surface_finish(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS || closure.failed)
        return std::string(CreationError);
    return std::nullopt;
}

std::optional<std::string> renderSheetPages(const SheetOptions& options,
    const std::vector<SheetDiagram>& diagrams, SheetFormat format, const SheetPageSink& sink)
{
    if (auto problem = missingFont())
        return problem;
    SheetPainter painter(options, diagrams, false);
    int number = 0;
    for (const SheetPagePlan& page : painter.plan()) {
        ++number;
        std::string bytes;
        CairoSurface surface;
        double scale = 1;
        if (format == SheetFormat::Png) {
            scale = options.dpi / 72.0;
            surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                static_cast<int>(std::lround(painter.pageWidth() * scale)),
                static_cast<int>(std::lround(painter.pageHeight() * scale))));
        } else {
            surface.reset(cairo_svg_surface_create_for_stream(
                appendToString, &bytes, painter.pageWidth(), painter.pageHeight()));
            cairo_svg_surface_set_document_unit(surface.get(), CAIRO_SVG_UNIT_PT);
        }
        {
            const CairoContext cr(cairo_create(surface.get()));
            cairo_scale(cr.get(), scale, scale);
            painter.paint(cr.get(), page, number);
            cairo_show_page(cr.get());
            if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
                return std::string(CreationError);
        }
        if (format == SheetFormat::Png
            && cairo_surface_write_to_png_stream(surface.get(), appendToString, &bytes)
                != CAIRO_STATUS_SUCCESS)
            return std::string(CreationError);
        cairo_surface_finish(surface.get());
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
            return std::string(CreationError);
        if (!sink(number, std::move(bytes)))
            return std::string(CreationError);
    }
    return std::nullopt;
}

} // namespace pictog
