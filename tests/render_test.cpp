// The scalable diagram: layout against the pixels, the three outputs against each other (the SVG
// through rsvg-convert, the PDF through pdftoppm), metadata read back, option checks.
#include "diagram_layout.h"
#include "diagram_painter.h"
#include "diagram_renderer.h"
#include "position/epd_line.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace pictog {
namespace {

    const char* const Italian
        = "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4";

    EpdParse parsed(const char* line)
    {
        EpdParse p = ParseEPDLine(line);
        EXPECT_TRUE(p.accepted) << line;
        return p;
    }

    std::uint32_t pixelAt(const DiagramImage& image, int x, int y)
    {
        std::uint32_t p;
        std::memcpy(&p,
            image.pixels.data() + static_cast<std::size_t>(y) * image.stride
                + static_cast<std::size_t>(x) * 4,
            4);
        return p & 0xFFFFFF;
    }

    std::uint32_t rgbOfText(const std::string& text)
    {
        return static_cast<std::uint32_t>(std::stoul(text.substr(1), nullptr, 16));
    }

    // A scratch folder for the files handed to the command-line tools.
    class Scratch
    {
    public:
        Scratch()
        {
            char name[] = "/tmp/pictog-render-XXXXXX";
            m_dir = ::mkdtemp(name);
        }
        ~Scratch() { std::system(("rm -rf '" + m_dir + "'").c_str()); }
        std::string path(const std::string& name) const { return m_dir + "/" + name; }
        void write(const std::string& name, const std::string& bytes) const
        {
            std::ofstream(path(name), std::ios::binary) << bytes;
        }
        std::string read(const std::string& name) const
        {
            std::ifstream in(path(name), std::ios::binary);
            std::stringstream s;
            s << in.rdbuf();
            return s.str();
        }

    private:
        std::string m_dir;
    };

    bool haveTool(const char* tool)
    {
        return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
    }

    std::string commandOutput(const std::string& command)
    {
        std::string out;
        if (FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[4096];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                out.append(buffer, n);
            ::pclose(pipe);
        }
        return out;
    }

    // The pixels of a PNG file as the renderer's own image type, read by cairo.
    DiagramImage readPng(const std::string& path)
    {
        DiagramImage image;
        cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
        if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
            cairo_surface_t* flat = cairo_image_surface_create(CAIRO_FORMAT_RGB24,
                cairo_image_surface_get_width(s), cairo_image_surface_get_height(s));
            cairo_t* cr = cairo_create(flat);
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_set_source_surface(cr, s, 0, 0);
            cairo_paint(cr);
            cairo_destroy(cr);
            cairo_surface_flush(flat);
            image.width = cairo_image_surface_get_width(flat);
            image.height = cairo_image_surface_get_height(flat);
            image.stride = cairo_image_surface_get_stride(flat);
            const unsigned char* data = cairo_image_surface_get_data(flat);
            image.pixels.assign(data, data + static_cast<std::size_t>(image.stride) * image.height);
            cairo_surface_destroy(flat);
        }
        cairo_surface_destroy(s);
        return image;
    }

    // How far two pictures of the same size differ: the mean absolute channel difference and the
    // share of pixels whose largest channel difference exceeds `tolerance`.
    struct Difference {
        double mean = 1e9;
        double shareOver = 1;
    };
    Difference compare(const DiagramImage& a, const DiagramImage& b, int tolerance)
    {
        Difference d;
        if (a.width != b.width || a.height != b.height || a.width == 0)
            return d;
        double sum = 0;
        long over = 0;
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                const std::uint32_t p = pixelAt(a, x, y), q = pixelAt(b, x, y);
                int worst = 0;
                for (int shift = 0; shift <= 16; shift += 8) {
                    const int diff = std::abs(static_cast<int>((p >> shift) & 0xFF)
                        - static_cast<int>((q >> shift) & 0xFF));
                    sum += diff;
                    worst = std::max(worst, diff);
                }
                over += worst > tolerance;
            }
        }
        const double pixels = static_cast<double>(a.width) * a.height;
        d.mean = sum / (3 * pixels);
        d.shareOver = over / pixels;
        return d;
    }

    // ---- Layout against the pixels ----

    struct GeometryCase {
        int square;
        bool flip;
        bool border;
        bool coordinates;
    };

    class RenderGeometry : public testing::TestWithParam<GeometryCase>
    {
    };

    TEST_P(RenderGeometry, SquaresFrameAndLabelsSitWhereTheLayoutPutsThem)
    {
        const GeometryCase c = GetParam();
        DiagramRenderOptions o;
        o.squarePx = c.square;
        o.flip = c.flip;
        o.showBorder = c.border;
        o.coordinates = c.coordinates;
        const EpdParse empty = parsed("8/8/8/8/8/8/8/8 w - -");
        const DiagramImage image = renderDiagramImage(empty.board, empty.panel, o);
        const DiagramLayout layout = layoutDiagram(o, false);
        ASSERT_EQ(image.width, layout.width);
        ASSERT_EQ(image.height, layout.height);
        const std::uint32_t light = rgbOfText(o.colorLightSquares);
        const std::uint32_t dark = rgbOfText(o.colorDarkSquares);
        const std::uint32_t background = rgbOfText(o.colorDiagramBackground);

        // Every square is its exact colour all over its box: edges fall on whole pixels.
        for (int index : { 0, 7, 33, 70, 77 }) {
            const LayoutBox box = layout.squareBox(index);
            const std::uint32_t want = (fileOf(index) + rankOf(index)) % 2 == 0 ? dark : light;
            for (int y = box.top; y < box.bottom(); ++y)
                for (int x = box.left; x < box.right(); ++x)
                    ASSERT_EQ(pixelAt(image, x, y), want) << index << " at " << x << "," << y;
        }
        // a1 is at the bottom left, or at the top right when flipped.
        const LayoutBox a1 = layout.squareBox(0);
        EXPECT_EQ(a1.left == layout.board.left, !c.flip);
        EXPECT_EQ(a1.bottom() == layout.board.bottom(), !c.flip);

        // The frame: black all round the board, the background just outside it.
        const LayoutBox& b = layout.board;
        for (int i = 1; i <= layout.frame; ++i) {
            EXPECT_EQ(pixelAt(image, b.left - i, b.top + b.height / 2), 0u);
            EXPECT_EQ(pixelAt(image, b.right() - 1 + i, b.top + b.height / 2), 0u);
            EXPECT_EQ(pixelAt(image, b.left + b.width / 2, b.top - i), 0u);
            EXPECT_EQ(pixelAt(image, b.left + b.width / 2, b.bottom() - 1 + i), 0u);
        }
        EXPECT_EQ(pixelAt(image, b.left - layout.frame - 1, b.top + b.height / 2 + 1), background);
        EXPECT_EQ(pixelAt(image, 0, 0) == 0u, c.border);

        // Label ink only inside the label boxes: every other margin pixel is background.
        if (c.square >= 20) {
            std::vector<LayoutBox> labels;
            for (int i = 0; i < 8; ++i)
                for (bool side : { true, false })
                    labels.push_back(layout.fileLabelBox(i, side)),
                        labels.push_back(layout.rankLabelBox(i, side));
            long inkInside = 0;
            for (int y = layout.border; y < layout.height - layout.border; ++y) {
                for (int x = layout.border; x < layout.width - layout.border; ++x) {
                    if (x >= b.left - layout.frame && x < b.right() + layout.frame
                        && y >= b.top - layout.frame && y < b.bottom() + layout.frame)
                        continue;
                    bool inLabel = false;
                    for (const LayoutBox& box : labels)
                        inLabel = inLabel
                            || (x >= box.left && x < box.right() && y >= box.top
                                && y < box.bottom());
                    const bool ink = pixelAt(image, x, y) != background;
                    if (!inLabel) {
                        ASSERT_FALSE(ink) << "stray ink at " << x << "," << y;
                    }
                    inkInside += ink;
                }
            }
            EXPECT_EQ(inkInside > 0, c.coordinates);
        }
    }

    INSTANTIATE_TEST_SUITE_P(Sizes, RenderGeometry,
        testing::Values(GeometryCase { 8, false, true, true },
            GeometryCase { 20, true, true, true }, GeometryCase { 38, false, true, true },
            GeometryCase { 38, true, false, true }, GeometryCase { 57, false, true, false },
            GeometryCase { 57, true, false, false }, GeometryCase { 300, true, true, true }));

    TEST(RenderGeometry, FlippedBoardShowsEverySquareExactlyAsTheUnflippedOne)
    {
        const EpdParse p = parsed(Italian);
        for (int square : { 20, 41 }) {
            DiagramRenderOptions o;
            o.squarePx = square;
            DiagramRenderOptions f = o;
            f.flip = true;
            const DiagramImage a = renderDiagramImage(p.board, p.panel, o);
            const DiagramImage b = renderDiagramImage(p.board, p.panel, f);
            const DiagramLayout la = layoutDiagram(o, false), lb = layoutDiagram(f, false);
            for (int index = 0; index < 78; ++index) {
                if (!isOnBoard(index))
                    continue;
                const LayoutBox sa = la.squareBox(index), sb = lb.squareBox(index);
                EXPECT_EQ(sa.left + sb.left, 2 * la.board.left + 7 * square);
                for (int y = 0; y < square; ++y)
                    for (int x = 0; x < square; ++x)
                        ASSERT_EQ(pixelAt(a, sa.left + x, sa.top + y),
                            pixelAt(b, sb.left + x, sb.top + y))
                            << index;
            }
        }
    }

    // Every mark changes a good part of its square, on both square colours, in every style:
    // grey and print marks are frames, and a colour whose translucent fill would melt into the
    // square (blue on the blue board's dark squares) is a frame too.
    TEST(RenderGeometry, EveryMarkStandsOutFromItsSquare)
    {
        const EpdParse p = parsed("8/8/8/8/8/8/8/8 w - -");
        for (DiagramStyle style :
            { DiagramStyle::Color, DiagramStyle::Gray, DiagramStyle::Print }) {
            for (AnnotationColor color : { AnnotationColor::Green, AnnotationColor::Red,
                     AnnotationColor::Yellow, AnnotationColor::Blue }) {
                for (int square : { 0, 1 }) { // a1 dark, b1 light
                    DiagramRenderOptions o;
                    o.style = style;
                    const DiagramImage plain = renderDiagramImage(p.board, p.panel, o);
                    o.annotations.squares.push_back({ square, color });
                    const DiagramImage marked = renderDiagramImage(p.board, p.panel, o);
                    // a1 or b1 of the classic 38-pixel board inside its 36-pixel margin.
                    const int left = 36 + 38 * square;
                    const int top = 36 + 7 * 38;
                    int changed = 0;
                    for (int y = top; y < top + 38; ++y)
                        for (int x = left; x < left + 38; ++x) {
                            const std::uint32_t u = pixelAt(plain, x, y);
                            const std::uint32_t v = pixelAt(marked, x, y);
                            int change = 0;
                            for (int shift : { 0, 8, 16 })
                                change = std::max(change,
                                    std::abs(int((u >> shift) & 0xFF) - int((v >> shift) & 0xFF)));
                            changed += change >= 40;
                        }
                    EXPECT_GE(changed, 38 * 38 / 8)
                        << int(style) << annotationColorLetter(color) << square;
                }
            }
        }
    }

    // The CIE 1976 colour difference of two 0xRRGGBB colours, from the sRGB and L*a*b* formulas.
    double deltaE(std::uint32_t u, std::uint32_t v)
    {
        const auto lab = [](std::uint32_t c) {
            double l[3];
            for (int i = 0; i < 3; ++i) {
                const double x = ((c >> (16 - 8 * i)) & 0xFF) / 255.0;
                l[i] = x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
            }
            const auto f
                = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 4 / 29.; };
            const double y = f(0.2126 * l[0] + 0.7152 * l[1] + 0.0722 * l[2]);
            return std::array<double, 3> { 116 * y,
                500 * (f((0.4124 * l[0] + 0.3576 * l[1] + 0.1805 * l[2]) / 0.95047) - y),
                200 * (y - f((0.0193 * l[0] + 0.1192 * l[1] + 0.9505 * l[2]) / 1.08883)) };
        };
        const auto a = lab(u);
        const auto b = lab(v);
        return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
    }

    // On every board an arrow of each colour shows a clear edge on both square colours and a mark
    // clearly changes its square: the blue, brown, green and gray themes and a board of reds.
    TEST(RenderGeometry, EveryArrowAndMarkStandsOutOnEveryBoard)
    {
        const char* const boards[][2]
            = { { DefaultLightSquares, DefaultDarkSquares }, { "#F0D9B5", "#B58863" },
                  { "#EEEED2", "#769656" }, { "#DCDCDC", "#A0A0A0" }, { "#F2C4C4", "#B82424" } };
        // An arrow up the a-file over a3 (dark) and a4 (light); marks on a1 (dark) and b1.
        const int squares[][3] = { { 0, 2, 40 }, { 0, 3, 40 }, { 0, 0, 30 }, { 1, 0, 30 } };
        const EpdParse p = parsed("8/8/8/8/8/8/8/8 w - -");
        for (const auto& board : boards) {
            for (const char c : { 'G', 'R', 'Y', 'B' }) {
                DiagramRenderOptions o;
                o.colorLightSquares = board[0];
                o.colorDarkSquares = board[1];
                const std::string arrow = c + std::string("a2a8");
                const std::string marks = c + std::string("a1,") + c + "b1";
                ASSERT_FALSE(parseArrowList(arrow.c_str(), o.annotations));
                ASSERT_FALSE(parseSquareList(marks.c_str(), o.annotations));
                const DiagramImage image = renderDiagramImage(p.board, p.panel, o);
                for (const auto& [file, rank, least] : squares) {
                    const std::uint32_t square = rgbOfText(board[(file + rank) % 2 ? 0 : 1]);
                    double most = 0;
                    for (int y = 36 + (7 - rank) * 38; y < 36 + (8 - rank) * 38; ++y)
                        for (int x = 36 + 38 * file; x < 36 + 38 * (file + 1); ++x)
                            most = std::max(most, deltaE(pixelAt(image, x, y), square));
                    EXPECT_GE(most, least) << board[1] << c << " " << file << rank;
                }
            }
        }
    }

    // The print style has no colour at all: every pixel is a grey, arrows and marks of every
    // colour included; grey and print arrows of different colours differ in their pixels.
    TEST(RenderGeometry, PrintStyleIsFreeOfColourAndArrowsDifferInShape)
    {
        const EpdParse p = parsed(Italian);
        DiagramRenderOptions o;
        o.style = DiagramStyle::Print;
        o.marker = true;
        o.header1 = "Print";
        ASSERT_FALSE(parseArrowList("Ge2e4,Rd1d8,Yb1c3,Ba1h8", o.annotations));
        ASSERT_FALSE(parseSquareList("Gd5,Rf7,Ye5,Bc4", o.annotations));
        const DiagramImage image = renderDiagramImage(p.board, p.panel, o);
        ASSERT_GT(image.width, 0);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const std::uint32_t v = pixelAt(image, x, y);
                ASSERT_TRUE((v & 0xFF) == ((v >> 8) & 0xFF) && (v & 0xFF) == (v >> 16))
                    << x << "," << y;
            }
        // One arrow up the empty d-file, d3-d6, in each colour: the four pictures all differ
        // (solid or dashed, black or grey).
        for (DiagramStyle style : { DiagramStyle::Gray, DiagramStyle::Print }) {
            std::vector<std::vector<std::uint32_t>> files;
            for (const char* arrow : { "Gd3d6", "Rd3d6", "Yd3d6", "Bd3d6" }) {
                DiagramRenderOptions a;
                a.style = style;
                ASSERT_FALSE(parseArrowList(arrow, a.annotations));
                const EpdParse empty = parsed("8/8/8/8/8/8/8/8 w - -");
                const DiagramImage i = renderDiagramImage(empty.board, empty.panel, a);
                std::vector<std::uint32_t> column; // down the middle of the d-file
                for (int y = 36 + 2 * 38; y < 36 + 6 * 38; ++y)
                    column.push_back(pixelAt(i, 36 + 3 * 38 + 19, y));
                for (const auto& other : files)
                    EXPECT_NE(column, other) << int(style) << arrow;
                files.push_back(column);
            }
        }
    }

    // The pieces whose lines are filled areas (for PDF books) cover what cairo's own strokes
    // cover: drawn four times enlarged, the two differ only in edge pixels.
    TEST(RenderGeometry, PieceLinesAsAreasCoverWhatTheStrokesCover)
    {
        for (const bool halo : { false, true }) {
            const PieceArt strokes(60, true, halo, false);
            const PieceArt areas(60, true, halo, true);
            for (int code = 1; code <= 12; ++code) {
                std::vector<unsigned char> drawn[2];
                for (int k = 0; k < 2; ++k) {
                    CairoSurface image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 240, 240));
                    const CairoContext cr(cairo_create(image.get()));
                    cairo_set_source_rgb(cr.get(), 0.5, 0.5, 0.5); // neither black nor white
                    cairo_paint(cr.get());
                    cairo_scale(cr.get(), 4, 4);
                    cairo_set_source_surface(cr.get(), (k ? areas : strokes).surface(code), 0, 0);
                    cairo_paint(cr.get());
                    cairo_surface_flush(image.get());
                    const unsigned char* data = cairo_image_surface_get_data(image.get());
                    drawn[k].assign(data, data + 4 * 240 * 240);
                }
                std::size_t apart = 0;
                for (std::size_t i = 0; i < drawn[0].size(); ++i)
                    apart += std::abs(drawn[0][i] - drawn[1][i]) > 64;
                // An edge pixel here and there: far below a missing disc or a hole.
                EXPECT_LT(apart, drawn[0].size() / 1000) << "piece " << code << " halo " << halo;
            }
        }
    }

    // ---- The three outputs agree ----

    struct AgreementCase {
        const char* name;
        int square;
        DiagramStyle style;
        bool extras; // flip, marker, captions, arrows and marks
    };

    class RenderAgreement : public testing::TestWithParam<AgreementCase>
    {
    };

    TEST_P(RenderAgreement, SvgThroughRsvgAndPdfThroughPopplerMatchThePng)
    {
        if (!haveTool("rsvg-convert") || !haveTool("pdftoppm"))
            GTEST_SKIP() << "rsvg-convert or pdftoppm missing";
        const AgreementCase c = GetParam();
        DiagramRenderOptions o;
        o.squarePx = c.square;
        o.style = c.style;
        if (c.extras) {
            o.flip = true;
            o.marker = true;
            o.header1 = "Caption";
            o.footer2 = "Footer line";
            ASSERT_FALSE(parseArrowList("Gh5f7,Rc4f7,Bb1c3", o.annotations));
            ASSERT_FALSE(parseSquareList("Yf7,Re8", o.annotations));
        }
        const EpdParse p = parsed(Italian);
        const DiagramImage own = renderDiagramImage(p.board, p.panel, o);
        Scratch dir;
        dir.write("d.svg", renderDiagramSvg(p.board, p.panel, o));
        dir.write("d.pdf", renderDiagramPdf(p.board, p.panel, o));
        ASSERT_EQ(std::system(
                      ("rsvg-convert -o '" + dir.path("svg.png") + "' '" + dir.path("d.svg") + "'")
                          .c_str()),
            0);
        ASSERT_EQ(std::system(("pdftoppm -r 72 -png -singlefile '" + dir.path("d.pdf") + "' '"
                      + dir.path("pdf") + "'")
                                  .c_str()),
            0);
        // The SVG renders almost exactly; poppler's coarser coverage sampling leaves more.
        const struct {
            const char* file;
            double mean;
            double share;
        } outputs[] = { { "svg.png", 2.0, 0.004 }, { "pdf.png", 6.0, 0.015 } };
        for (const auto& [file, meanLimit, shareLimit] : outputs) {
            SCOPED_TRACE(file);
            // Rasterizers differ in anti-aliasing (poppler samples coverage coarser and puts
            // glyphs on whole pixel rows), so a pixel may be off by a few tens of levels; a
            // shape missing, moved by a pixel or in the wrong colour is off by far more.
            const Difference d = compare(own, readPng(dir.path(file)), 96);
            std::printf("%s %s: mean difference %.2f, %.3f%% of pixels over 96\n", c.name, file,
                d.mean, 100 * d.shareOver);
            EXPECT_LT(d.mean, meanLimit);
            EXPECT_LT(d.shareOver, shareLimit);
        }
    }

    INSTANTIATE_TEST_SUITE_P(Styles, RenderAgreement,
        testing::Values(AgreementCase { "color38", 38, DiagramStyle::Color, false },
            AgreementCase { "gray20", 20, DiagramStyle::Gray, false },
            AgreementCase { "gray40", 40, DiagramStyle::Gray, true },
            AgreementCase { "print57", 57, DiagramStyle::Print, true },
            AgreementCase { "color76", 76, DiagramStyle::Color, true }),
        [](const testing::TestParamInfo<AgreementCase>& row) { return row.param.name; });

    // ---- Files and their metadata ----

    // The (type, payload) chunks of a PNG file.
    std::vector<std::pair<std::string, std::string>> pngChunks(const std::string& png)
    {
        std::vector<std::pair<std::string, std::string>> chunks;
        for (std::size_t at = 8; at + 12 <= png.size();) {
            const auto* b = reinterpret_cast<const unsigned char*>(png.data() + at);
            const std::size_t length
                = (std::size_t(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
            chunks.emplace_back(png.substr(at + 4, 4), png.substr(at + 8, length));
            at += 12 + length;
        }
        return chunks;
    }

    TEST(RenderFiles, EachFormatCarriesThePositionAndPassesItsChecker)
    {
        const EpdParse p = parsed("4k3/8/8/8/8/8/8/4K3 b - - 3 40");
        const std::string line = BuildEPDLine(p.board, p.panel);
        DiagramRenderOptions o;
        o.squarePx = squarePxForMillimetres(8, 300);
        o.dpi = 300;
        Scratch dir;

        const std::string png = renderDiagramPng(p.board, p.panel, o);
        dir.write("d.png", png);
        const auto chunks = pngChunks(png);
        ASSERT_GE(chunks.size(), 5u);
        EXPECT_EQ(chunks[0].first, "IHDR");
        EXPECT_EQ(chunks[1],
            std::make_pair(std::string("pHYs"), std::string("\0\0\x2e\x23\0\0\x2e\x23\1", 9)));
        EXPECT_EQ(chunks[2].second, "FEN" + std::string(1, '\0') + line);
        EXPECT_EQ(chunks[3].second.substr(0, 9), std::string("Software\0", 9));
        // The file holds exactly the pixels of the image.
        const Difference d
            = compare(readPng(dir.path("d.png")), renderDiagramImage(p.board, p.panel, o), 0);
        EXPECT_EQ(d.mean, 0.0);
        if (haveTool("pngcheck")) {
            EXPECT_EQ(std::system(("pngcheck -q '" + dir.path("d.png") + "'").c_str()), 0);
        }

        const std::string svg = renderDiagramSvg(p.board, p.panel, o);
        dir.write("d.svg", svg);
        EXPECT_NE(svg.find("<title>" + line + "</title>"), std::string::npos);
        EXPECT_NE(
            svg.find("<desc>Chess diagram of the position " + line + "</desc>"), std::string::npos);
        // Physical size: 8 mm squares at 300 dpi give 94-pixel squares, 23.47 mm a side.
        const DiagramSize size = diagramSize(o);
        EXPECT_NE(svg.find("width=\"" + std::to_string(size.width * 254 / 3000) + "."),
            std::string::npos);
        // Every reference stays inside the document.
        for (std::size_t at = svg.find("href=\""); at != std::string::npos;
             at = svg.find("href=\"", at + 1))
            EXPECT_EQ(svg[at + 6], '#');
        if (haveTool("xmllint")) {
            EXPECT_EQ(
                std::system(("xmllint --noout --nonet '" + dir.path("d.svg") + "'").c_str()), 0);
        }

        dir.write("a4.pdf", renderDiagramPdf(p.board, p.panel, o, PdfPageSize::A4));
        dir.write("own.pdf", renderDiagramPdf(p.board, p.panel, o));
        if (haveTool("pdfinfo")) {
            const std::string info = commandOutput("pdfinfo '" + dir.path("a4.pdf") + "'");
            EXPECT_NE(info.find("Title:           " + line), std::string::npos) << info;
            EXPECT_NE(info.find("Page size:       595.276 x 841.89 pts"), std::string::npos)
                << info;
            // The page of the diagram's own size has its physical size: 300 pixels an inch.
            const std::string own = commandOutput("pdfinfo '" + dir.path("own.pdf") + "'");
            double width = 0, height = 0;
            const std::size_t at = own.find("Page size:");
            ASSERT_NE(at, std::string::npos);
            ASSERT_EQ(std::sscanf(own.c_str() + at, "Page size: %lf x %lf", &width, &height), 2);
            EXPECT_NEAR(width, size.width * 72.0 / 300, 0.01);
            EXPECT_NEAR(height, size.height * 72.0 / 300, 0.01);
        }
    }

    TEST(RenderFiles, PdfWriterStreamsOnePagePerDiagramAndReportsAFailingSink)
    {
        const EpdParse p = parsed(Italian);
        std::string pdf;
        std::size_t calls = 0;
        {
            PdfDiagramWriter writer(
                [&](const unsigned char* data, std::size_t size) {
                    pdf.append(reinterpret_cast<const char*>(data), size);
                    ++calls;
                    return true;
                },
                PdfPageSize::Letter);
            DiagramRenderOptions o;
            for (int square : { 20, 38, 38, 54 }) {
                o.squarePx = square;
                EXPECT_TRUE(writer.addPage(p.board, p.panel, o));
            }
            // 540 points across inside the margins: 8 squares and two 36/38-square margins
            // of 55-point squares take 544; such a diagram is refused, not shrunk.
            o.squarePx = 55;
            EXPECT_FALSE(writer.addPage(p.board, p.panel, o));
            EXPECT_EQ(writer.error(), "the diagram does not fit a Letter page");
            EXPECT_EQ(largestSquareOnPage(o, PdfPageSize::Letter), 54);
            o.squarePx = 7;
            EXPECT_FALSE(writer.addPage(p.board, p.panel, o));
            EXPECT_TRUE(writer.finish());
            EXPECT_TRUE(writer.finish()); // a second finish changes nothing
        }
        EXPECT_GT(calls, 1u);
        Scratch dir;
        dir.write("d.pdf", pdf);
        if (haveTool("pdfinfo")) {
            const std::string info = commandOutput("pdfinfo '" + dir.path("d.pdf") + "'");
            EXPECT_NE(info.find("Pages:           4"), std::string::npos) << info;
            EXPECT_NE(info.find("612 x 792 pts"), std::string::npos) << info;
        }

        PdfDiagramWriter failing(
            [](const unsigned char*, std::size_t) { return false; }, PdfPageSize::Diagram);
        failing.addPage(p.board, p.panel, DiagramRenderOptions {});
        EXPECT_FALSE(failing.finish());
        PdfDiagramWriter unused(
            [](const unsigned char*, std::size_t) { return true; }, PdfPageSize::Diagram);
        EXPECT_FALSE(unused.finish()); // no page, no document
    }

    // Captions come from the command line or old settings files in any encoding; what reaches
    // the font is valid UTF-8 without control characters.
    TEST(RenderLayout, CaptionsBecomeValidUtf8)
    {
        const struct {
            const char* given;
            const char* drawn;
        } cases[] = {
            { "\xC3\x9C"
              "ber",
                "\xC3\x9C"
                "ber" }, // UTF-8 stays
            { "\xE9t\xE9", "\xC3\xA9t\xC3\xA9" }, // Latin-1 becomes UTF-8
            { "a\tb\x1b[2J\x7F", "ab[2J" }, // control characters go
            { "\xC0\xAF", "\xC3\x80\xC2\xAF" }, // an overlong form is Latin-1
            { "\xED\xA0\x80", "\xC3\xAD\xC2\xA0" }, // so is a surrogate; C1 bytes go
            { "\xE2\x82", "\xC3\xA2" }, // a cut sequence too
            { "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80" }, // four bytes stay
        };
        for (const auto& c : cases) {
            DiagramRenderOptions o;
            o.footer2 = c.given;
            const DiagramLayout layout = layoutDiagram(o, false);
            ASSERT_EQ(layout.captions.size(), 1u);
            EXPECT_EQ(layout.captions[0].text, c.drawn) << c.given;
            EXPECT_FALSE(layout.captions[0].bold);
            EXPECT_EQ(layout.captions[0].box.bottom(), layout.height - layout.border);
        }
    }

    // A caption too wide for the picture wraps at its spaces onto at most three lines at its own
    // size, never smaller; beyond three lines it is cut at a word with an ellipsis.
    TEST(RenderLayout, LongCaptionsWrapInsteadOfShrinking)
    {
        const std::string words = "Morphy sacrifices the queen on b8 and mates with the rook on d8 "
                                  "after the knight has taken it";
        const struct {
            int square;
            std::string caption;
            std::size_t lines; // the lines expected
            bool cut;
        } cases[] = {
            // clang-format off
            { 38, "The queen sacrifice.", 1, false },
            { 38, words.substr(0, 57), 2, false }, // "... with the rook"
            { 38, words, 3, false },
            { 38, words + ' ' + words + ' ' + words, 3, true },
            { 38, std::string(120, 'x'), 1, false }, // one word: a line of its own, set smaller
            // clang-format on
        };
        for (const auto& c : cases) {
            DiagramRenderOptions o;
            o.squarePx = c.square;
            o.header1 = "Header";
            o.footer1 = c.caption;
            DiagramRenderOptions plain = o;
            plain.footer1 = "x";
            const DiagramLayout layout = layoutDiagram(o, false);
            const DiagramLayout oneLine = layoutDiagram(plain, false);
            ASSERT_EQ(layout.captions.size(), 1 + c.lines) << c.caption;
            std::string joined;
            for (std::size_t i = 1; i < layout.captions.size(); ++i) {
                const CaptionLine& line = layout.captions[i];
                EXPECT_DOUBLE_EQ(line.fontSize, 0.36 * c.square);
                EXPECT_TRUE(line.bold);
                // Stacked under the board, each line below the one before.
                EXPECT_GE(line.box.top, layout.captions[i - 1].box.bottom());
                EXPECT_GT(line.box.top, layout.board.bottom());
                joined += (i > 1 ? " " : "") + line.text;
            }
            EXPECT_EQ(layout.captions.back().box.bottom(), layout.height - layout.border);
            EXPECT_EQ(layout.board, oneLine.board); // headers keep the board's place
            EXPECT_GE(layout.height - oneLine.height, static_cast<int>(c.lines - 1) * c.square / 3);
            const std::string ellipsis = "\xE2\x80\xA6";
            if (c.cut) {
                ASSERT_GT(joined.size(), ellipsis.size());
                const std::string kept = joined.substr(0, joined.size() - ellipsis.size());
                EXPECT_EQ(joined.substr(kept.size()), ellipsis);
                EXPECT_EQ(c.caption.compare(0, kept.size() + 1, kept + ' '), 0) << joined;
            } else {
                EXPECT_EQ(joined, c.caption);
            }
        }
    }

    TEST(RenderOptions, CheckNamesTheFirstProblem)
    {
        struct Case {
            int square;
            double dpi;
            const char* message; // nullptr: accepted
        };
        const Case cases[] = {
            { 8, 0, nullptr },
            { 1000, 600, nullptr },
            { 7, 0, "square size 7 out of range 8-1000" },
            { 1001, 0, "square size 1001 out of range 8-1000" },
            { -38, 0, "square size -38 out of range 8-1000" },
            { 38, -1, "resolution -1 out of range 1-10000" },
            { 38, 20000, "resolution 20000 out of range 1-10000" },
        };
        for (const Case& c : cases) {
            DiagramRenderOptions o;
            o.squarePx = c.square;
            o.dpi = c.dpi;
            const auto message = checkRenderOptions(o);
            EXPECT_EQ(message.value_or(""), c.message ? c.message : "") << c.square;
            if (c.square <= 100) {
                const EpdParse p = parsed(Italian);
                EXPECT_EQ(renderDiagramPng(p.board, p.panel, o).empty(), c.message != nullptr);
            }
        }
        // Captions and the marker make the picture larger than the square alone.
        DiagramRenderOptions big;
        big.squarePx = 1000;
        big.header1 = big.header2 = big.footer1 = big.footer2 = "x";
        big.marker = true;
        const DiagramSize size = diagramSize(big);
        EXPECT_GT(size.height, size.width - 1000);
        EXPECT_LE(static_cast<long long>(size.width) * size.height, MaxDiagramPixels);
        EXPECT_EQ(squarePxForMillimetres(10, 254), 100);
        EXPECT_EQ(squarePxForMillimetres(0.01, 72), 1);
    }

} // namespace
} // namespace pictog
