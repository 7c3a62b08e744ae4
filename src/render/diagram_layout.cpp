#include "diagram_layout.h"

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
    const int band = scaled(21, sq, 2);
    int headers = 0;
    int footers = 0;
    for (int i = 0; i < 4; ++i)
        if (!captionTexts[i]->empty())
            (i < 2 ? headers : footers) += band;

    const int markerColumn = options.marker ? scaled(22, sq, 3) : 0;
    layout.board = { margin, margin + headers, 8 * sq, 8 * sq };
    layout.width = 2 * margin + 8 * sq + markerColumn;
    layout.height = 2 * margin + 8 * sq + headers + footers;

    int headerTop = layout.border;
    int footerTop = layout.board.bottom() + margin - layout.border;
    for (int i = 0; i < 4; ++i) {
        if (captionTexts[i]->empty())
            continue;
        CaptionLine line;
        line.text = captionText(*captionTexts[i]);
        line.bold = i == 0 || i == 2;
        line.fontSize = 0.36 * sq;
        int& top = i < 2 ? headerTop : footerTop;
        line.box = { layout.border, top, layout.width - 2 * layout.border, band };
        top += band;
        layout.captions.push_back(line);
    }

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
