#include "diagram_layout.h"

#include "cairo_handles.h"
#include "render_fonts.h"

#include <algorithm>
#include <cmath>

namespace pictog {

namespace {

    // A length given at the classic 38-pixel square, at this square size.
    int scaled(double classicLength, int square, int minimum)
    {
        return std::max(minimum, static_cast<int>(std::lround(classicLength * square / 38.0)));
    }

    // The caption as valid UTF-8 without control characters: bytes that do not form UTF-8 are
    // taken as Latin-1, as a caption typed in an older settings file may be.
    std::string captionText(const std::string& text)
    {
        std::string out;
        const auto* s = reinterpret_cast<const unsigned char*>(text.data());
        const std::size_t n = text.size();
        for (std::size_t i = 0; i < n;) {
            const unsigned char c = s[i];
            std::size_t length = c < 0x80         ? 1
                : (c & 0xE0) == 0xC0 && c >= 0xC2 ? 2
                : (c & 0xF0) == 0xE0              ? 3
                : (c & 0xF8) == 0xF0 && c <= 0xF4 ? 4
                                                  : 0;
            for (std::size_t k = 1; k < length; ++k)
                if (i + k >= n || (s[i + k] & 0xC0) != 0x80)
                    length = 0;
            // Overlong three-byte forms and surrogates are not UTF-8 either.
            if (length == 3 && ((c == 0xE0 && s[i + 1] < 0xA0) || (c == 0xED && s[i + 1] >= 0xA0)))
                length = 0;
            if (length == 4 && ((c == 0xF0 && s[i + 1] < 0x90) || (c == 0xF4 && s[i + 1] >= 0x90)))
                length = 0;
            if (length == 1) {
                if (c >= 0x20 && c != 0x7F)
                    out.push_back(static_cast<char>(c));
            } else if (length > 1) {
                out.append(text, i, length);
            } else {
                length = 1;
                if (c >= 0xA0) {
                    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
                    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
                }
            }
            i += length;
        }
        return out;
    }

    // The advance of a text in the diagram font at the size; 0 without the font.
    double textAdvance(bool bold, double size, const std::string& text)
    {
        CairoScaledFont font(diagramScaledFont(bold, size));
        if (!font)
            return 0;
        cairo_text_extents_t extents {};
        cairo_scaled_font_text_extents(font.get(), text.c_str(), &extents);
        return extents.x_advance;
    }

    // A caption wider than the room broken at its spaces into at most CaptionMaxLines lines
    // at the caption's own size; what does not fit in them is cut, the last line ending with
    // an ellipsis. A single word wider than the room stays whole (the scene sets that line
    // smaller).
    std::vector<std::string> wrapCaption(
        const std::string& text, bool bold, double size, double room)
    {
        const auto fits
            = [&](const std::string& line) { return textAdvance(bold, size, line) <= room; };
        if (fits(text))
            return { text };
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find(' ', start);
            if (end == std::string::npos)
                end = text.size();
            if (end > start) {
                const std::string word = text.substr(start, end - start);
                if (!lines.empty() && fits(lines.back() + ' ' + word))
                    lines.back() += ' ' + word;
                else
                    lines.push_back(word);
            }
            start = end + 1;
        }
        if (lines.size() > CaptionMaxLines) {
            lines.resize(CaptionMaxLines);
            std::string& last = lines.back();
            const std::string ellipsis = "\xE2\x80\xA6";
            while (!fits(last + ellipsis) && last.find(' ') != std::string::npos)
                last.erase(last.rfind(' '));
            last += ellipsis;
        }
        return lines;
    }

} // namespace

int classicMargin(bool showBorder, bool coordinates)
{
    if (showBorder)
        return coordinates ? 36 : 16;
    return coordinates ? 32 : 2;
}

LayoutBox DiagramLayout::squareBox(int index) const
{
    const int file = fileOf(index);
    const int rank = rankOf(index);
    const int column = flip ? 7 - file : file;
    const int row = flip ? rank : 7 - rank;
    return { board.left + column * square, board.top + row * square, square, square };
}

LayoutBox DiagramLayout::fileLabelBox(int file, bool top) const
{
    const int column = flip ? 7 - file : file;
    const int headerBottom = top ? board.top - frame : board.bottom() + frame;
    if (top) {
        int upper = border;
        for (const CaptionLine& c : captions)
            if (c.box.bottom() <= board.top)
                upper = std::max(upper, c.box.bottom());
        return { board.left + column * square, upper, square, headerBottom - upper };
    }
    int lower = height - border;
    for (const CaptionLine& c : captions)
        if (c.box.top >= board.bottom())
            lower = std::min(lower, c.box.top);
    return { board.left + column * square, headerBottom, square, lower - headerBottom };
}

LayoutBox DiagramLayout::insideFileLabelBox(int file) const
{
    const LayoutBox corner = squareBox(squareIndex(file, flip ? 7 : 0));
    const int size = std::max(1, square * 3 / 10);
    return { corner.right() - size, corner.bottom() - size, size, size };
}

LayoutBox DiagramLayout::insideRankLabelBox(int rank) const
{
    const LayoutBox corner = squareBox(squareIndex(flip ? 7 : 0, rank));
    const int size = std::max(1, square * 3 / 10);
    return { corner.left, corner.top, size, size };
}

LayoutBox DiagramLayout::rankLabelBox(int rank, bool left) const
{
    const int row = flip ? rank : 7 - rank;
    const int top = board.top + row * square;
    if (left)
        return { border, top, board.left - frame - border, square };
    const int start = board.right() + frame;
    return { start, top, board.left - frame - border, square };
}

DiagramLayout layoutDiagram(const DiagramRenderOptions& options, bool blackToMove)
{
    DiagramLayout layout;
    const int sq = options.squarePx;
    layout.square = sq;
    layout.flip = options.flip;
    const bool outside = options.coordinates && !options.coordinatesInside;
    layout.coordinates = outside;
    layout.insideLabels = options.coordinates && options.coordinatesInside;
    const bool border = options.showBorder && options.frame == FrameStyle::Classic;
    layout.border = border ? scaled(4, sq, 1) : 0;
    layout.frame = options.frame == FrameStyle::Classic ? scaled(1.5, sq, 1)
        : options.frame == FrameStyle::Thin             ? scaled(0.75, sq, 1)
                                                        : 0;
    // The margin holds the border, the labels and the frame; never less than border and frame.
    const int margin = std::max(scaled(classicMargin(border, outside), sq, 1),
        layout.border + layout.frame + (outside ? 1 : 0));
    layout.labelFontSize = outside ? 0.37 * sq : layout.insideLabels ? 0.22 * sq : 0;

    const std::string* captionTexts[4]
        = { &options.header1, &options.header2, &options.footer1, &options.footer2 };
    const int markerColumn = options.marker ? scaled(22, sq, 3) : 0;
    layout.width = 2 * margin + 8 * sq + markerColumn;

    // Each caption takes a band of its own; one too wide for the picture wraps onto further,
    // closer lines rather than being set smaller. Tops count from the start of the header or
    // footer bands until the board's place is known.
    const int band = scaled(21, sq, 2);
    const int lineBand = scaled(16, sq, 2);
    const double fontSize = 0.36 * sq;
    const int captionWidth = layout.width - 2 * layout.border;
    const double room = captionWidth - 0.3 * sq;
    int headers = 0;
    int footers = 0;
    std::size_t firstFooter = 0;
    for (int i = 0; i < 4; ++i) {
        if (i == 2)
            firstFooter = layout.captions.size();
        if (captionTexts[i]->empty())
            continue;
        const bool bold = i == 0 || i == 2;
        int& extent = i < 2 ? headers : footers;
        int height = band;
        for (std::string& text : wrapCaption(captionText(*captionTexts[i]), bold, fontSize, room)) {
            CaptionLine line;
            line.text = std::move(text);
            line.bold = bold;
            line.fontSize = fontSize;
            line.box = { layout.border, extent, captionWidth, height };
            extent += height;
            height = lineBand;
            layout.captions.push_back(std::move(line));
        }
    }
    layout.board = { margin, margin + headers, 8 * sq, 8 * sq };
    layout.height = 2 * margin + 8 * sq + headers + footers;
    const int footerTop = layout.board.bottom() + margin - layout.border;
    for (std::size_t i = 0; i < layout.captions.size(); ++i)
        layout.captions[i].box.top += i < firstFooter ? layout.border : footerTop;

    if (options.marker) {
        layout.marker = true;
        layout.markerBlack = blackToMove;
        // Beside the rank nearest the mover: the bottom one for the side playing up the board.
        const bool bottom = blackToMove == options.flip;
        const int columnLeft = layout.board.right() + margin - layout.border;
        layout.markerX = columnLeft + markerColumn / 2.0;
        layout.markerY = layout.board.top + (bottom ? 7.5 : 0.5) * sq;
        layout.markerRadius = std::max(1.5, 0.2 * sq);
        layout.markerLine = std::max(1.0, sq / 30.0);
    }

    // The hatching follows the output's pixels: a whole number of pixels between the lines, so
    // that the 45-degree pattern repeats exactly and no moire can form; about half a millimetre
    // apart when the resolution is known, else a ninth of a square.
    const double pitch = options.dpi > 0 ? options.dpi * 0.5 / 25.4 : sq / 9.0;
    layout.hatchPitch = std::clamp(static_cast<int>(std::lround(pitch)), 3, std::max(3, sq / 4));
    return layout;
}

} // namespace pictog
