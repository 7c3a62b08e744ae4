#include "svg_writer.h"

#include "cairo_handles.h"

#include "piece_outlines.h"
#include "render_fonts.h"

#include <charconv>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>

namespace pictog {

namespace {

    // A number with at most `decimals` decimals and no trailing zeros.
    void appendNumber(std::string& out, double value, int decimals = 2)
    {
        char text[32];
        const auto result
            = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
        char* end = result.ptr;
        if (decimals > 0) {
            while (end[-1] == '0')
                --end;
            if (end[-1] == '.')
                --end;
        }
        if (end - text == 2 && text[0] == '-' && text[1] == '0')
            out.push_back('0');
        else
            out.append(text, static_cast<std::size_t>(end - text));
    }

    void appendColor(std::string& out, Rgb c)
    {
        static const char digits[] = "0123456789abcdef";
        out.push_back('#');
        for (double v : { c.r, c.g, c.b }) {
            const int byte = std::clamp(static_cast<int>(std::lround(v * 255)), 0, 255);
            out.push_back(digits[byte >> 4]);
            out.push_back(digits[byte & 15]);
        }
    }

    void appendXmlText(std::string& out, const std::string& text)
    {
        for (char c : text) {
            if (c == '<')
                out += "&lt;";
            else if (c == '>')
                out += "&gt;";
            else if (c == '&')
                out += "&amp;";
            else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
                out.push_back(c); // control characters are not allowed in XML 1.0
        }
    }

    void appendPolyline(std::string& out, const artgen::Polyline& line)
    {
        if (line.points.empty())
            return;
        out.push_back('M');
        for (std::size_t i = 0; i < line.points.size(); ++i) {
            if (i == 1)
                out.push_back('L');
            else if (i > 1)
                out.push_back(' ');
            appendNumber(out, line.points[i].x);
            out.push_back(' ');
            appendNumber(out, line.points[i].y);
        }
        if (line.closed)
            out.push_back('Z');
    }

    // The path data of each piece's parts in design units, made once for the run: they do not
    // depend on the size.
    struct PiecePaths {
        std::string silhouette;
        // Interior lines by width factor and by whether the black piece has them too.
        struct Strokes {
            double width = 1;
            bool whiteOnly = false;
            std::string data;
        };
        std::vector<Strokes> strokes;
        std::string dots; // on both colours
        std::string whiteDots;
    };

    const std::array<PiecePaths, 6>& piecePaths()
    {
        static const std::array<PiecePaths, 6> paths = [] {
            std::array<PiecePaths, 6> all;
            const auto& pieces = pieceOutlines();
            for (std::size_t i = 0; i < 6; ++i) {
                PiecePaths& p = all[i];
                for (const artgen::Polyline& line : pieces[i].outline)
                    appendPolyline(p.silhouette, line);
                for (const artgen::Detail& d : pieces[i].details) {
                    if (d.kind == artgen::DetailKind::Shade)
                        continue;
                    if (d.kind == artgen::DetailKind::Dot) {
                        appendPolyline(d.whiteOnly ? p.whiteDots : p.dots, d.line);
                        continue;
                    }
                    if (p.strokes.empty() || p.strokes.back().width != d.width
                        || p.strokes.back().whiteOnly != d.whiteOnly)
                        p.strokes.push_back({ d.width, d.whiteOnly, {} });
                    appendPolyline(p.strokes.back().data, d.line);
                }
            }
            return all;
        }();
        return paths;
    }

    // The outline of a glyph at font size 100, as path data; made once per glyph for the run.
    const std::string& glyphPath(bool bold, unsigned long index)
    {
        static std::mutex mutex;
        static std::map<std::pair<bool, unsigned long>, std::string> cache;
        const std::lock_guard<std::mutex> lock(mutex);
        const auto key = std::make_pair(bold, index);
        const auto found = cache.find(key);
        if (found != cache.end())
            return found->second;
        std::string data;
        const CairoScaledFont font(diagramScaledFont(bold, 100));
        if (font) {
            const CairoSurface surface(
                cairo_recording_surface_create(CAIRO_CONTENT_ALPHA, nullptr));
            const CairoContext cr(cairo_create(surface.get()));
            cairo_set_scaled_font(cr.get(), font.get());
            const cairo_glyph_t glyph { index, 0, 0 };
            cairo_glyph_path(cr.get(), &glyph, 1);
            cairo_path_t* path = cairo_copy_path(cr.get());
            for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
                const cairo_path_data_t* d = &path->data[i];
                const auto point = [&](int n) {
                    appendNumber(data, d[n].point.x);
                    data.push_back(' ');
                    appendNumber(data, d[n].point.y);
                };
                switch (d->header.type) {
                case CAIRO_PATH_MOVE_TO:
                    data.push_back('M');
                    point(1);
                    break;
                case CAIRO_PATH_LINE_TO:
                    data.push_back('L');
                    point(1);
                    break;
                case CAIRO_PATH_CURVE_TO:
                    data.push_back('C');
                    point(1);
                    data.push_back(' ');
                    point(2);
                    data.push_back(' ');
                    point(3);
                    break;
                case CAIRO_PATH_CLOSE_PATH:
                    data.push_back('Z');
                    break;
                }
            }
            cairo_path_destroy(path);
        }
        return cache.emplace(key, std::move(data)).first->second;
    }

    void appendBox(std::string& out, const LayoutBox& box)
    {
        out += 'M';
        appendNumber(out, box.left);
        out += ' ';
        appendNumber(out, box.top);
        out += 'h';
        appendNumber(out, box.width);
        out += 'v';
        appendNumber(out, box.height);
        out += 'h';
        appendNumber(out, -box.width);
        out += 'Z';
    }

    void appendAttribute(std::string& out, const char* name, double value)
    {
        out += ' ';
        out += name;
        out += "=\"";
        appendNumber(out, value, 4);
        out += '"';
    }

    // A piece's drawing at the scene's size. The silhouettes and glyphs are in their own units
    // and the same in every document; the pieces carry the size (and the print style's edge) in
    // their names, so that documents set inline in one web page cannot take each other's.
    std::string pieceId(const Scene& scene, int code)
    {
        return "pictog-p" + std::to_string(code) + "-" + std::to_string(scene.layout.square)
            + (scene.pieceHalo ? "h" : "");
    }

    // The definitions of the pieces on the board: per kind the silhouette and its clip, per
    // piece a group drawing it on a square of the scene's size, as the cairo painter does.
    void appendPieceDefinitions(std::string& out, const Scene& scene)
    {
        bool kindUsed[6] = {};
        bool codeUsed[13] = {};
        for (const ScenePiece& p : scene.pieces) {
            codeUsed[p.code] = true;
            kindUsed[pieceKind(p.code)] = true;
        }
        const auto& paths = piecePaths();
        const double square = scene.layout.square;
        const double k = square / artgen::DesignSize;
        const double pixel = 1.0 / k;
        const PieceLineWidths widths = pieceLineWidths(square);
        for (int kind = 0; kind < 6; ++kind) {
            if (!kindUsed[kind])
                continue;
            const char n = static_cast<char>('0' + kind);
            out += "<path id=\"pictog-s";
            out += n;
            out += "\" d=\"";
            out += paths[static_cast<std::size_t>(kind)].silhouette;
            out += "\"/>\n<clipPath id=\"pictog-c";
            out += n;
            out += "\"><use xlink:href=\"#pictog-s";
            out += n;
            out += "\"/></clipPath>\n";
        }
        for (int code = 1; code <= 12; ++code) {
            if (!codeUsed[code])
                continue;
            const int kind = pieceKind(code);
            const bool black = isBlackPiece(code);
            const PiecePaths& p = paths[static_cast<std::size_t>(kind)];
            const std::string s = "#pictog-s" + std::to_string(kind);
            const char* ink = black ? "#ffffff" : "#000000";
            out += "<g id=\"" + pieceId(scene, code) + "\" transform=\"scale(";
            appendNumber(out, k, 6);
            out += ")\">";
            if (scene.pieceHalo) {
                out += "<use xlink:href=\"" + s
                    + "\" fill=\"none\" stroke=\"#ffffff\" stroke-linejoin=\"round\"";
                appendAttribute(out, "stroke-width", 2 * widths.halo * pixel);
                out += "/>";
            }
            out += "<use xlink:href=\"" + s + "\" fill=\"" + (black ? "#000000" : "#ffffff")
                + "\"/><g clip-path=\"url(#pictog-c" + std::to_string(kind) + ")\">";
            for (const PiecePaths::Strokes& strokes : p.strokes) {
                if (!widths.details || (strokes.whiteOnly && black))
                    continue;
                out += "<path fill=\"none\" stroke=\"";
                out += ink;
                out += "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
                appendAttribute(out, "stroke-width", widths.stroke(strokes.width) * pixel);
                out += " d=\"";
                out += strokes.data;
                out += "\"/>";
            }
            if (widths.details && !(p.dots.empty() && (black || p.whiteDots.empty()))) {
                out += "<path fill=\"";
                out += ink;
                out += "\" d=\"";
                out += p.dots;
                if (!black)
                    out += p.whiteDots;
                out += "\"/>";
            }
            out += "<use xlink:href=\"" + s
                + "\" fill=\"none\" stroke=\"#000000\" stroke-linejoin=\"round\"";
            appendAttribute(out, "stroke-width", 2 * widths.outline * pixel);
            out += "/></g></g>\n";
        }
    }

    std::string glyphId(bool bold, unsigned long index)
    {
        return (bold ? "pictog-gb" : "pictog-gr") + std::to_string(index);
    }

} // namespace

std::string writeSceneSvg(const Scene& scene, const std::string& line, const SvgUnits& units)
{
    const DiagramLayout& layout = scene.layout;
    const LayoutBox& b = layout.board;
    std::string out;
    out.reserve(16 * 1024);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\"";
    const char* unit = units.millimetres ? "mm" : "";
    out += " width=\"";
    appendNumber(out, layout.width * units.scale, 3);
    out += unit;
    out += "\" height=\"";
    appendNumber(out, layout.height * units.scale, 3);
    out += unit;
    out += "\" viewBox=\"0 0 " + std::to_string(layout.width) + ' ' + std::to_string(layout.height)
        + "\">\n<title>";
    appendXmlText(out, line);
    out += "</title>\n<desc>Chess diagram of the position ";
    appendXmlText(out, line);
    out += "</desc>\n<defs>\n";
    appendPieceDefinitions(out, scene);
    std::map<std::pair<bool, unsigned long>, bool> glyphsDefined;
    for (const SceneText& text : scene.texts) {
        for (const SceneGlyph& g : text.glyphs) {
            if (!glyphsDefined.emplace(std::make_pair(text.bold, g.index), true).second)
                continue;
            out += "<path id=\"";
            out += glyphId(text.bold, g.index);
            out += "\" d=\"";
            out += glyphPath(text.bold, g.index);
            out += "\"/>\n";
        }
    }
    // Named after the board's place and size: SVG documents set inline in one web page share
    // one name space, and two definitions of one name are then the same drawing.
    const std::string darkId = "pictog-dark-" + std::to_string(b.left) + "-" + std::to_string(b.top)
        + "-" + std::to_string(layout.square);
    std::string darkSquares;
    for (const LayoutBox& box : scene.darkSquares)
        appendBox(darkSquares, box);
    if (scene.hatch)
        out += "<clipPath id=\"" + darkId + "\"><path d=\"" + darkSquares + "\"/></clipPath>\n";
    out += "</defs>\n";

    if (!scene.transparent) {
        out += "<rect width=\"" + std::to_string(layout.width) + "\" height=\""
            + std::to_string(layout.height) + "\" fill=\"";
        appendColor(out, scene.background);
        out += "\"/>\n";
    }
    out += "<path fill=\"#000000\" fill-rule=\"evenodd\" d=\"";
    if (layout.border > 0) {
        appendBox(out, { 0, 0, layout.width, layout.height });
        appendBox(out,
            { layout.border, layout.border, layout.width - 2 * layout.border,
                layout.height - 2 * layout.border });
    }
    appendBox(out,
        { b.left - layout.frame, b.top - layout.frame, b.width + 2 * layout.frame,
            b.height + 2 * layout.frame });
    appendBox(out, b);
    out += "\"/>\n<path fill=\"";
    appendColor(out, scene.light);
    out += "\" d=\"";
    appendBox(out, b);
    out += "\"/>\n";
    if (scene.hatch) {
        out += "<path clip-path=\"url(#" + darkId + ")\" fill=\"#000000\" d=\"";
        for (const auto& band : scene.hatchBands) {
            for (std::size_t i = 0; i < band.size(); ++i) {
                out += i == 0 ? 'M' : 'L';
                appendNumber(out, band[i].x);
                out += ' ';
                appendNumber(out, band[i].y);
            }
            out += 'Z';
        }
        out += "\"/>\n";
    } else {
        out += "<path fill=\"";
        appendColor(out, scene.dark);
        out += "\" d=\"" + darkSquares + "\"/>\n";
    }

    for (const SceneMark& mark : scene.marks) {
        out += "<path fill=\"";
        appendColor(out, mark.color);
        out += '"';
        appendAttribute(out, "fill-opacity", mark.alpha);
        if (mark.ring > 0)
            out += " fill-rule=\"evenodd\"";
        out += " d=\"";
        appendBox(out, mark.box);
        if (mark.ring > 0)
            appendBox(out, innerBox(mark.box, mark.ring));
        out += "\"/>\n";
    }
    for (const ScenePiece& piece : scene.pieces) {
        out += "<use xlink:href=\"#" + pieceId(scene, piece.code) + "\" x=\""
            + std::to_string(piece.box.left) + "\" y=\"" + std::to_string(piece.box.top) + "\"/>\n";
    }
    for (const SceneArrow& arrow : scene.arrows) {
        std::string path = " d=\"";
        for (std::size_t i = 0; i < arrow.outline.size(); ++i) {
            path += i == 0 ? 'M' : 'L';
            appendNumber(path, arrow.outline[i].x);
            path += ' ';
            appendNumber(path, arrow.outline[i].y);
        }
        path += "Z\"/>\n";
        if (arrow.edgeWidth > 0) {
            // The edge as a stroke under the fill, so that only its outer half shows.
            out += "<path fill=\"none\" stroke=\"";
            appendColor(out, arrow.edge);
            out += '"';
            appendAttribute(out, "stroke-width", 2 * arrow.edgeWidth);
            out += path;
        }
        out += "<path fill=\"";
        appendColor(out, arrow.color);
        out += '"';
        appendAttribute(out, "fill-opacity", arrow.alpha);
        out += path;
    }
    for (const SceneText& text : scene.texts) {
        for (const SceneGlyph& g : text.glyphs) {
            out += "<use xlink:href=\"#" + glyphId(text.bold, g.index)
                + "\" transform=\"translate(";
            appendNumber(out, g.x, 3);
            out += ' ';
            appendNumber(out, g.y, 3);
            out += ") scale(";
            appendNumber(out, text.size / 100, 5);
            out += ")\"";
            if (text.color.r != 0 || text.color.g != 0 || text.color.b != 0) {
                out += " fill=\"";
                appendColor(out, text.color);
                out += '"';
            }
            out += "/>\n";
        }
    }
    if (layout.marker) {
        out += "<circle";
        appendAttribute(out, "cx", layout.markerX);
        appendAttribute(out, "cy", layout.markerY);
        appendAttribute(out, "r", layout.markerRadius);
        out += layout.markerBlack ? " fill=\"#000000\"" : " fill=\"#ffffff\"";
        out += " stroke=\"#000000\"";
        appendAttribute(out, "stroke-width", layout.markerLine);
        out += "/>\n";
    }
    out += "</svg>\n";
    return out;
}

} // namespace pictog
