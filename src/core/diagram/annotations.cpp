#include "annotations.h"

#include "../position/chess_position.h"

#include <algorithm>
#include <cstdio>

namespace pictog {

namespace {

    std::optional<AnnotationColor> colorFromLetter(char c)
    {
        switch (c) {
        case 'G':
        case 'g':
            return AnnotationColor::Green;
        case 'R':
        case 'r':
            return AnnotationColor::Red;
        case 'Y':
        case 'y':
            return AnnotationColor::Yellow;
        case 'B':
        case 'b':
            return AnnotationColor::Blue;
        default:
            return std::nullopt;
        }
    }

    // The square of a two-character name such as "e4" or "E4", or nullopt.
    std::optional<int> squareFromName(std::string_view name)
    {
        if (name.size() != 2)
            return std::nullopt;
        const char file = static_cast<char>(name[0] | 0x20);
        const char rank = name[1];
        if (file < 'a' || file > 'h' || rank < '1' || rank > '8')
            return std::nullopt;
        return squareIndex(file - 'a', rank - '1');
    }

    void appendSquareName(std::string& out, int square)
    {
        out += static_cast<char>('a' + fileOf(square));
        out += static_cast<char>('1' + rankOf(square));
    }

    std::string_view trimBlanks(std::string_view text)
    {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        return text;
    }

    // Calls item(text) for each comma-separated item; stops at the first message it returns.
    template <typename ItemReader>
    std::optional<std::string> forEachItem(std::string_view list, ItemReader item)
    {
        while (true) {
            const std::size_t comma = list.find(',');
            const std::string_view one = trimBlanks(list.substr(0, comma));
            // Empty items (a trailing comma, an empty list) are skipped.
            if (!one.empty()) {
                if (auto message = item(one))
                    return message;
            }
            if (comma == std::string_view::npos)
                return std::nullopt;
            list.remove_prefix(comma + 1);
        }
    }

    void putArrow(Annotations& annotations, const ArrowAnnotation& arrow)
    {
        for (ArrowAnnotation& existing : annotations.arrows) {
            if (existing.from == arrow.from && existing.to == arrow.to) {
                existing.color = arrow.color;
                return;
            }
        }
        annotations.arrows.push_back(arrow);
    }

    void putSquare(Annotations& annotations, const SquareAnnotation& mark)
    {
        for (SquareAnnotation& existing : annotations.squares) {
            if (existing.square == mark.square) {
                existing.color = mark.color;
                return;
            }
        }
        annotations.squares.push_back(mark);
    }

    std::optional<std::string> readArrows(std::string_view text, Annotations& into)
    {
        return forEachItem(text, [&](std::string_view item) -> std::optional<std::string> {
            // Without a colour letter the arrow is green; the length tells the two forms apart
            // ("be2e4" is blue, "b2b4" a green arrow from b2).
            const bool lettered = item.size() == 5;
            const auto color = lettered ? colorFromLetter(item[0]) : AnnotationColor::Green;
            const std::string_view squares = lettered ? item.substr(1) : item;
            const auto from
                = squares.size() == 4 ? squareFromName(squares.substr(0, 2)) : std::nullopt;
            const auto to
                = squares.size() == 4 ? squareFromName(squares.substr(2, 2)) : std::nullopt;
            if (!color || !from || !to || *from == *to)
                return "bad arrow '" + quoteForMessage(item)
                    + "': expected an optional colour letter G, R, Y or B and two different "
                      "squares, e.g. Ge2e4";
            putArrow(into, { *from, *to, *color });
            return std::nullopt;
        });
    }

    std::optional<std::string> readSquares(std::string_view text, Annotations& into)
    {
        return forEachItem(text, [&](std::string_view item) -> std::optional<std::string> {
            const bool lettered = item.size() == 3;
            const auto color = lettered ? colorFromLetter(item[0]) : AnnotationColor::Green;
            const auto square = squareFromName(lettered ? item.substr(1) : item);
            if (!color || !square)
                return "bad square '" + quoteForMessage(item)
                    + "': expected an optional colour letter G, R, Y or B and a square, e.g. Gd5";
            putSquare(into, { *square, *color });
            return std::nullopt;
        });
    }

} // namespace

char annotationColorLetter(AnnotationColor color)
{
    switch (color) {
    case AnnotationColor::Red:
        return 'R';
    case AnnotationColor::Yellow:
        return 'Y';
    case AnnotationColor::Blue:
        return 'B';
    case AnnotationColor::Green:
        break;
    }
    return 'G';
}

void toggleArrow(Annotations& annotations, const ArrowAnnotation& arrow)
{
    auto& arrows = annotations.arrows;
    const auto same = std::find(arrows.begin(), arrows.end(), arrow);
    if (same != arrows.end())
        arrows.erase(same);
    else
        putArrow(annotations, arrow);
}

void toggleSquare(Annotations& annotations, const SquareAnnotation& mark)
{
    auto& squares = annotations.squares;
    const auto same = std::find(squares.begin(), squares.end(), mark);
    if (same != squares.end())
        squares.erase(same);
    else
        putSquare(annotations, mark);
}

std::optional<std::string> parseArrowList(std::string_view text, Annotations& annotations)
{
    Annotations result = annotations;
    if (auto message = readArrows(text, result))
        return message;
    annotations = std::move(result);
    return std::nullopt;
}

std::optional<std::string> parseSquareList(std::string_view text, Annotations& annotations)
{
    Annotations result = annotations;
    if (auto message = readSquares(text, result))
        return message;
    annotations = std::move(result);
    return std::nullopt;
}

std::optional<std::string> parseAnnotationComment(std::string_view text, Annotations& annotations)
{
    Annotations result = annotations;
    std::size_t at = 0;
    while ((at = text.find("[%c", at)) != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        const bool arrows = rest.substr(0, 6) == "[%cal ";
        const bool squares = rest.substr(0, 6) == "[%csl ";
        const std::size_t close = rest.find(']');
        if ((!arrows && !squares) || close == std::string_view::npos) {
            at += 3;
            continue;
        }
        const std::string_view list = rest.substr(6, close - 6);
        if (auto message = arrows ? readArrows(list, result) : readSquares(list, result))
            return message;
        at += close + 1;
    }
    annotations = std::move(result);
    return std::nullopt;
}

std::string formatArrowList(const Annotations& annotations)
{
    std::string out;
    for (const ArrowAnnotation& arrow : annotations.arrows) {
        if (!out.empty())
            out += ',';
        out += annotationColorLetter(arrow.color);
        appendSquareName(out, arrow.from);
        appendSquareName(out, arrow.to);
    }
    return out;
}

std::string formatSquareList(const Annotations& annotations)
{
    std::string out;
    for (const SquareAnnotation& mark : annotations.squares) {
        if (!out.empty())
            out += ',';
        out += annotationColorLetter(mark.color);
        appendSquareName(out, mark.square);
    }
    return out;
}

std::string formatAnnotationComment(const Annotations& annotations)
{
    std::string out;
    if (!annotations.squares.empty())
        out += "[%csl " + formatSquareList(annotations) + "]";
    if (!annotations.arrows.empty())
        out += "[%cal " + formatArrowList(annotations) + "]";
    return out;
}

} // namespace pictog
