#include "diagram_scene.h"

#include "cairo_handles.h"

#include "render_fonts.h"
#include "settings/html_color.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace pictog {

namespace {

    Rgb rgbOf(const std::string& text)
    {
        const ColorValue c = HtmlColorToColor(text);
        return { redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0 };
    }

    Rgb greyOf(Rgb c)
    {
        // A whole grey level, so that the three channels stay equal in every output.
        const double y = std::round((0.299 * c.r + 0.587 * c.g + 0.114 * c.b) * 255) / 255;
        return { y, y, y };
    }

    // The four annotation colours: green, red, yellow, blue.
    constexpr std::array<Rgb, 4> AnnotationColors { Rgb { 0.08, 0.56, 0.16 },
        Rgb { 0.84, 0.10, 0.10 }, Rgb { 0.96, 0.74, 0.04 }, Rgb { 0.10, 0.36, 0.86 } };
    constexpr double MarkAlpha = 0.55;
    constexpr double ArrowAlpha = 0.8;
    // The least colour distance (0..1.7) and colour difference a translucent mark must make to
    // its square.
    constexpr double MinMarkContrast = 0.22;
    constexpr double MinMarkDifference = 25;
    // The least colour difference an arrow must make to both square colours it crosses; one
    // closer to either (green on the green board's dark squares) gets an edge.
    constexpr double MinArrowDifference = 45;
    // Arrow levels in the grey style, green, red, yellow, blue: on grey squares a light arrow
    // stays visible where a mid-grey one would not.
    constexpr std::array<double, 4> GrayArrowLevels { 0.0, 0.0, 1.0, 1.0 };

    ScenePoint squareCentre(const DiagramLayout& layout, int index)
    {
        const LayoutBox box = layout.squareBox(index);
        return { box.left + box.width / 2.0, box.top + box.height / 2.0 };
    }

    // An arrow from the middle of one square to the middle of another, as one outline so that a
    // translucent colour covers evenly: the tail starts off the piece on the first square, the
    // point ends in the middle of the second.
    std::array<ScenePoint, 7> arrowOutline(ScenePoint from, ScenePoint to, double square)
    {
        const double dx = to.x - from.x;
        const double dy = to.y - from.y;
        const double length = std::hypot(dx, dy);
        const double ux = dx / length;
        const double uy = dy / length;
        const double nx = -uy;
        const double ny = ux;
        const double tailGap = std::min(0.32 * square, length * 0.3);
        const double shaft = 0.08 * square;
        const double head = 0.24 * square;
        const double headLength = std::min(0.42 * square, (length - tailGap) * 0.7);
        const ScenePoint tail { from.x + ux * tailGap, from.y + uy * tailGap };
        const ScenePoint neck { to.x - ux * headLength, to.y - uy * headLength };
        return { ScenePoint { tail.x + nx * shaft, tail.y + ny * shaft },
            ScenePoint { neck.x + nx * shaft, neck.y + ny * shaft },
            ScenePoint { neck.x + nx * head, neck.y + ny * head }, to,
            ScenePoint { neck.x - nx * head, neck.y - ny * head },
            ScenePoint { neck.x - nx * shaft, neck.y - ny * shaft },
            ScenePoint { tail.x - nx * shaft, tail.y - ny * shaft } };
    }

    // The same arrow with a broken shaft: its head, and dashes of the shaft as outlines of the
    // same seven points (the head's and the dashes' spare points doubled), that do not overlap.
    std::vector<std::array<ScenePoint, 7>> dashedArrowOutline(
        ScenePoint from, ScenePoint to, double square)
    {
        const std::array<ScenePoint, 7> whole = arrowOutline(from, to, square);
        const auto mid = [](ScenePoint a, ScenePoint b) {
            return ScenePoint { (a.x + b.x) / 2, (a.y + b.y) / 2 };
        };
        const ScenePoint tail = mid(whole[0], whole[6]);
        const ScenePoint neck = mid(whole[1], whole[5]);
        const double ox = whole[0].x - tail.x; // half the shaft's width, across it
        const double oy = whole[0].y - tail.y;
        std::vector<std::array<ScenePoint, 7>> parts;
        parts.push_back({ whole[1], whole[1], whole[2], whole[3], whole[4], whole[5], whole[5] });
        const double length = std::hypot(neck.x - tail.x, neck.y - tail.y);
        const double dash = 0.28 * square;
        const double gap = 0.16 * square;
        for (double at = 0; at < length - gap / 2; at += dash + gap) {
            const double end = std::min(length - gap / 2, at + dash);
            const auto along = [&](double d) {
                return ScenePoint { tail.x + (neck.x - tail.x) * d / length,
                    tail.y + (neck.y - tail.y) * d / length };
            };
            const ScenePoint a = along(at);
            const ScenePoint b = along(end);
            const ScenePoint b1 { b.x + ox, b.y + oy };
            const ScenePoint b2 { b.x - ox, b.y - oy };
            parts.push_back({ ScenePoint { a.x + ox, a.y + oy }, b1, b1, b, b2, b2,
                ScenePoint { a.x - ox, a.y - oy } });
        }
        return parts;
    }

    // A frame of width ring along the inside of the box, broken into three dashes a side.
    void addDashedRing(std::vector<SceneMark>& marks, const LayoutBox& box, int ring, Rgb color)
    {
        for (int k = 0; k < 5; k += 2) {
            const int from = box.width * k / 5;
            const int to = box.width * (k + 1) / 5;
            marks.push_back({ { box.left + from, box.top, to - from, ring }, color, 1, 0 });
            marks.push_back(
                { { box.left + from, box.bottom() - ring, to - from, ring }, color, 1, 0 });
            marks.push_back({ { box.left, box.top + from, ring, to - from }, color, 1, 0 });
            marks.push_back(
                { { box.right() - ring, box.top + from, ring, to - from }, color, 1, 0 });
        }
    }

    double distance(Rgb a, Rgb b)
    {
        return std::sqrt(
            (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b));
    }

    // The CIE L*a*b* colour of an sRGB colour (D65 white): distances in it follow what the eye
    // tells apart, where RGB distances rate green on green or blue on blue as clear.
    std::array<double, 3> labOf(Rgb c)
    {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        const double r = linear(c.r);
        const double g = linear(c.g);
        const double b = linear(c.b);
        const auto f = [](double t) {
            return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116;
        };
        const double fx = f((0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047);
        const double fy = f(0.2126 * r + 0.7152 * g + 0.0722 * b);
        const double fz = f((0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883);
        return { 116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz) };
    }

    // The CIE 1976 colour difference (about 2.3 is the least the eye sees; 100 is black to white).
    double colorDifference(Rgb a, Rgb b)
    {
        const auto p = labOf(a);
        const auto q = labOf(b);
        return std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1])
            + (p[2] - q[2]) * (p[2] - q[2]));
    }

    Rgb over(Rgb color, double alpha, Rgb under)
    {
        return { under.r + (color.r - under.r) * alpha, under.g + (color.g - under.g) * alpha,
            under.b + (color.b - under.b) * alpha };
    }

    // A text set in the font: its glyphs from the origin, its ink and the reference text's ink.
    struct ShapedText {
        bool ok = false;
        double size = 0;
        cairo_text_extents_t ink {};
        cairo_text_extents_t ref {};
        std::vector<SceneGlyph> glyphs;
    };

    ShapedText shapeText(
        bool bold, double size, const std::string& text, const char* reference, double maxWidth)
    {
        ShapedText shaped;
        CairoScaledFont font(diagramScaledFont(bold, size));
        if (!font)
            return shaped;
        cairo_scaled_font_text_extents(font.get(), text.c_str(), &shaped.ink);
        if (maxWidth > 0 && shaped.ink.x_advance > maxWidth) {
            size *= maxWidth / shaped.ink.x_advance;
            font.reset(diagramScaledFont(bold, size));
            if (!font)
                return shaped;
            cairo_scaled_font_text_extents(font.get(), text.c_str(), &shaped.ink);
        }
        cairo_scaled_font_text_extents(font.get(), reference, &shaped.ref);
        cairo_glyph_t* glyphs = nullptr;
        int count = 0;
        const cairo_status_t status
            = cairo_scaled_font_text_to_glyphs(font.get(), 0, 0, text.c_str(),
                static_cast<int>(text.size()), &glyphs, &count, nullptr, nullptr, nullptr);
        if (status == CAIRO_STATUS_SUCCESS) {
            shaped.ok = true;
            shaped.size = size;
            for (int i = 0; i < count; ++i)
                shaped.glyphs.push_back({ glyphs[i].index, glyphs[i].x, glyphs[i].y });
        }
        cairo_glyph_free(glyphs);
        return shaped;
    }

    // Text centred in the box: horizontally by its own ink, vertically by the ink of the
    // reference text, so that the labels of a row share their baseline. A text wider than
    // maxWidth (when not 0) is set smaller to fit. The shapes of the texts last set on this
    // thread are kept: a batch sets the same labels again and again.
    bool placeText(SceneText& out, bool bold, double size, const std::string& text,
        const LayoutBox& box, const char* reference, double maxWidth = 0)
    {
        using Key = std::tuple<bool, double, std::string, const char*, double>;
        thread_local std::map<Key, ShapedText> cache;
        Key key { bold, size, text, reference, maxWidth };
        auto found = cache.find(key);
        if (found == cache.end()) {
            if (cache.size() >= 256)
                cache.clear();
            found = cache.emplace(std::move(key), shapeText(bold, size, text, reference, maxWidth))
                        .first;
        }
        const ShapedText& shaped = found->second;
        if (!shaped.ok)
            return false;
        const double x = box.left + (box.width - shaped.ink.width) / 2 - shaped.ink.x_bearing;
        const double y = box.top + (box.height - shaped.ref.height) / 2 - shaped.ref.y_bearing;
        out.bold = bold;
        out.size = shaped.size;
        out.glyphs.clear();
        for (const SceneGlyph& g : shaped.glyphs)
            out.glyphs.push_back({ g.index, g.x + x, g.y + y });
        return true;
    }

} // namespace

Scene buildScene(
    const TChessPosition& board, const PanelState& panel, const DiagramRenderOptions& options)
{
    Scene scene;
    scene.layout = layoutDiagram(options, panel.blackToMove());
    const DiagramLayout& layout = scene.layout;
    scene.transparent = options.transparent;
    const std::array<Rgb, 4>& annotation = AnnotationColors;
    switch (options.style) {
    case DiagramStyle::Color:
        scene.background = rgbOf(options.colorDiagramBackground);
        scene.light = rgbOf(options.colorLightSquares);
        scene.dark = rgbOf(options.colorDarkSquares);
        break;
    case DiagramStyle::Gray:
        scene.background = greyOf(rgbOf(options.colorDiagramBackground));
        scene.light = greyOf(rgbOf(options.colorLightSquares));
        scene.dark = greyOf(rgbOf(options.colorDarkSquares));
        break;
    case DiagramStyle::Print:
        scene.background = { 1, 1, 1 };
        scene.light = { 1, 1, 1 };
        scene.dark = { 1, 1, 1 };
        scene.hatch = true;
        scene.pieceHalo = true;
        break;
    }

    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file)
            if ((rank + file) % 2 == 0)
                scene.darkSquares.push_back(layout.squareBox(squareIndex(file, rank)));

    if (scene.hatch) {
        // The lines x - y = c for every multiple c of the pitch, anchored to the picture's
        // origin so the pattern runs on unbroken from square to square.
        const LayoutBox& b = layout.board;
        const int pitch = layout.hatchPitch;
        const double half = std::max(0.25, pitch * 0.125); // half the band's horizontal width
        int c = static_cast<int>(std::floor(static_cast<double>(b.left - b.bottom()) / pitch))
            * pitch;
        const double top = b.top - 1;
        const double bottom = b.bottom() + 1;
        for (; c <= b.right() - b.top + pitch; c += pitch)
            scene.hatchBands.push_back({ ScenePoint { c + top - half, top },
                ScenePoint { c + top + half, top }, ScenePoint { c + bottom + half, bottom },
                ScenePoint { c + bottom - half, bottom } });
    }

    // In grey a translucent fill all but vanishes on grey squares (yellow on the light ones, red
    // and blue on the dark ones), so grey marks are opaque frames instead, as books print them.
    // The colours' own grey levels lie within a few steps of each other, so each colour gets a
    // frame of its own: white, black and dark grey frames for green, red and blue, and for
    // yellow a white frame lined with a thin black one.
    constexpr std::array<double, 4> FrameLevels { 1.0, 0.0, 1.0, 0.24 }; // green, red, yellow, blue
    // In print the frames are black or grey and told apart by shape as well: green a solid and
    // red a dashed black frame, yellow a solid and blue a dashed grey one, each laid on a white
    // band that keeps the hatching off it. Arrows follow the same scheme.
    constexpr std::array<double, 4> PrintLevels { 0.0, 0.0, 0.55, 0.55 };
    constexpr std::array<bool, 4> Dashed { false, true, false, true };
    const bool framedMarks = options.style == DiagramStyle::Gray;
    const int ring = std::max(2, layout.square / 10);
    for (const SquareAnnotation& mark : options.annotations.squares) {
        if (!isOnBoard(mark.square))
            continue;
        const auto colorIndex = static_cast<std::size_t>(mark.color);
        Rgb color = annotation[colorIndex];
        const LayoutBox box = layout.squareBox(mark.square);
        if (options.style == DiagramStyle::Print) {
            const double level = PrintLevels[colorIndex];
            scene.marks.push_back({ box, { 1, 1, 1 }, 1, 2 * ring });
            if (Dashed[colorIndex])
                addDashedRing(scene.marks, box, ring, { level, level, level });
            else
                scene.marks.push_back({ box, { level, level, level }, 1, ring });
        } else if (framedMarks) {
            const double level = FrameLevels[colorIndex];
            scene.marks.push_back({ box, { level, level, level }, 1, ring });
            if (mark.color == AnnotationColor::Yellow) {
                const int line = std::max(1, ring / 2);
                const LayoutBox inner { box.left + ring, box.top + ring, box.width - 2 * ring,
                    box.height - 2 * ring };
                scene.marks.push_back({ inner, { 0, 0, 0 }, 1, line });
            }
        } else {
            // A translucent fill that would hardly change the square's colour (a blue mark on
            // a blue board's dark square) is drawn as an opaque frame in the mark's colour.
            const bool dark = (fileOf(mark.square) + rankOf(mark.square)) % 2 == 0;
            const Rgb square = dark ? scene.dark : scene.light;
            const Rgb blended = over(color, MarkAlpha, square);
            if (distance(blended, square) < MinMarkContrast
                || colorDifference(blended, square) < MinMarkDifference) {
                scene.marks.push_back({ box, color, 1, ring });
                if (colorDifference(color, square) < MinMarkDifference + 5) {
                    // Even the opaque colour is close to the square (red on a red board): the
                    // frame is lined with white or black, whichever stands out more.
                    const Rgb line = colorDifference(square, { 1, 1, 1 })
                            > colorDifference(square, { 0, 0, 0 })
                        ? Rgb { 1, 1, 1 }
                        : Rgb { 0, 0, 0 };
                    scene.marks.push_back({ innerBox(box, ring), line, 1, std::max(1, ring / 2) });
                }
            } else
                scene.marks.push_back({ box, color, MarkAlpha });
        }
    }

    for (int rank = 0; rank < 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            const int index = squareIndex(file, rank);
            const int code = board.GetPiece(index);
            if (code >= 1 && code <= 12)
                scene.pieces.push_back({ code, layout.squareBox(index) });
        }
    }

    for (const ArrowAnnotation& arrow : options.annotations.arrows) {
        if (!isOnBoard(arrow.from) || !isOnBoard(arrow.to) || arrow.from == arrow.to)
            continue;
        const ScenePoint from = squareCentre(layout, arrow.from);
        const ScenePoint to = squareCentre(layout, arrow.to);
        const auto colorIndex = static_cast<std::size_t>(arrow.color);
        if (options.style == DiagramStyle::Color) {
            const Rgb color = annotation[colorIndex];
            SceneArrow drawn { arrowOutline(from, to, layout.square), color, ArrowAlpha, {}, 0 };
            if (std::min(colorDifference(over(color, ArrowAlpha, scene.light), scene.light),
                    colorDifference(over(color, ArrowAlpha, scene.dark), scene.dark))
                < MinArrowDifference) {
                // An opaque arrow with a white or black edge, whichever stands out more from it.
                drawn.alpha = 1;
                const double white = colorDifference(color, { 1, 1, 1 });
                const double black = colorDifference(color, { 0, 0, 0 });
                drawn.edge = white > black ? Rgb { 1, 1, 1 } : Rgb { 0, 0, 0 };
                drawn.edgeWidth = std::max(1.0, layout.square / 25.0);
            }
            scene.arrows.push_back(drawn);
            continue;
        }
        // Grey and print: black or a light grey, solid or dashed, as the marks.
        const double level = options.style == DiagramStyle::Print ? PrintLevels[colorIndex]
                                                                  : GrayArrowLevels[colorIndex];
        const Rgb grey { level, level, level };
        if (Dashed[colorIndex]) {
            for (const auto& part : dashedArrowOutline(from, to, layout.square))
                scene.arrows.push_back({ part, grey, ArrowAlpha, {}, 0 });
        } else {
            scene.arrows.push_back(
                { arrowOutline(from, to, layout.square), grey, ArrowAlpha, {}, 0 });
        }
    }

    if (layout.coordinates) {
        SceneText text;
        for (int i = 0; i < 8; ++i) {
            const std::string letter(1, static_cast<char>('a' + i));
            const std::string digit(1, static_cast<char>('1' + i));
            for (bool side : { true, false }) {
                if (placeText(text, true, layout.labelFontSize, letter,
                        layout.fileLabelBox(i, side), "abcdefh"))
                    scene.texts.push_back(text);
                if (placeText(text, true, layout.labelFontSize, digit, layout.rankLabelBox(i, side),
                        "12345678"))
                    scene.texts.push_back(text);
            }
        }
    }
    if (layout.insideLabels && scene.hatch) {
        // Print: a white patch under each label keeps the hatching off the letters; drawn
        // with the marks, under the pieces.
        for (int i = 0; i < 8; ++i) {
            scene.marks.push_back({ layout.insideFileLabelBox(i), { 1, 1, 1 }, 1, 0 });
            scene.marks.push_back({ layout.insideRankLabelBox(i), { 1, 1, 1 }, 1, 0 });
        }
    }
    if (layout.insideLabels) {
        // In the other square colour, as wooden boards print them; black in print.
        SceneText text;
        for (int i = 0; i < 8; ++i) {
            const std::string letter(1, static_cast<char>('a' + i));
            const std::string digit(1, static_cast<char>('1' + i));
            const int fileSquare = squareIndex(i, layout.flip ? 7 : 0);
            const int rankSquare = squareIndex(layout.flip ? 7 : 0, i);
            const auto ink = [&](int square) {
                if (scene.hatch)
                    return Rgb { 0, 0, 0 }; // on the white patch put under it below
                return (fileOf(square) + rankOf(square)) % 2 == 0 ? scene.light : scene.dark;
            };
            if (placeText(text, true, layout.labelFontSize, letter, layout.insideFileLabelBox(i),
                    "abcdefh")) {
                text.color = ink(fileSquare);
                scene.texts.push_back(text);
            }
            if (placeText(text, true, layout.labelFontSize, digit, layout.insideRankLabelBox(i),
                    "12345678")) {
                text.color = ink(rankSquare);
                scene.texts.push_back(text);
            }
        }
    }
    for (const CaptionLine& caption : layout.captions) {
        SceneText text;
        if (placeText(text, caption.bold, caption.fontSize, caption.text, caption.box, "Hg",
                caption.box.width - layout.square * 0.3))
            scene.texts.push_back(text);
    }
    return scene;
}

AnnotationShapes annotationShapes(const Annotations& annotations, int square, bool flip)
{
    DiagramRenderOptions options;
    options.squarePx = square;
    options.flip = flip;
    options.showBorder = false;
    options.coordinates = false;
    options.annotations = annotations;
    const Scene scene = buildScene(TChessPosition(), PanelState(), options);
    // The scene's board sits inside its frame; the shapes are wanted relative to the board.
    const int dx = scene.layout.board.left;
    const int dy = scene.layout.board.top;
    AnnotationShapes shapes { scene.marks, scene.arrows };
    for (SceneMark& mark : shapes.marks) {
        mark.box.left -= dx;
        mark.box.top -= dy;
    }
    for (SceneArrow& arrow : shapes.arrows) {
        for (ScenePoint& point : arrow.outline) {
            point.x -= dx;
            point.y -= dy;
        }
        // The window draws its arrows translucent over whatever colours its board has; the
        // edge of an arrow too close to the default board's colours is the files' alone.
        arrow.alpha = ArrowAlpha;
        arrow.edgeWidth = 0;
    }
    return shapes;
}

} // namespace pictog
