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
    std::array<Rgb, 4> annotation = AnnotationColors;
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
        for (Rgb& c : annotation)
            c = greyOf(c);
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
    const bool framedMarks = options.style == DiagramStyle::Gray;
    const int ring = std::max(2, layout.square / 10);
    for (const SquareAnnotation& mark : options.annotations.squares) {
        if (!isOnBoard(mark.square))
            continue;
        Rgb color = annotation[static_cast<std::size_t>(mark.color)];
        if (framedMarks) {
            const double level = FrameLevels[static_cast<std::size_t>(mark.color)];
            const LayoutBox box = layout.squareBox(mark.square);
            scene.marks.push_back({ box, { level, level, level }, 1, ring });
            if (mark.color == AnnotationColor::Yellow) {
                const int line = std::max(1, ring / 2);
                const LayoutBox inner { box.left + ring, box.top + ring, box.width - 2 * ring,
                    box.height - 2 * ring };
                scene.marks.push_back({ inner, { 0, 0, 0 }, 1, line });
            }
        } else {
            scene.marks.push_back({ layout.squareBox(mark.square), color, MarkAlpha });
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
        scene.arrows.push_back({ arrowOutline(squareCentre(layout, arrow.from),
                                     squareCentre(layout, arrow.to), layout.square),
            annotation[static_cast<std::size_t>(arrow.color)], ArrowAlpha });
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
    for (SceneArrow& arrow : shapes.arrows)
        for (ScenePoint& point : arrow.outline) {
            point.x -= dx;
            point.y -= dy;
        }
    return shapes;
}

} // namespace pictog
