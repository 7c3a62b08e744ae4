#pragma once

#include "settings/message_quote.h" // quoteForMessage, for the messages of the readers

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pictog {

// The four annotation colours of the PGN comment convention: G, R, Y and B.
enum class AnnotationColor : std::uint8_t { Green, Red, Yellow, Blue };

// An arrow from one square to another (square indices as squareIndex gives them, from != to).
struct ArrowAnnotation {
    int from = 0;
    int to = 0;
    AnnotationColor color = AnnotationColor::Green;
    friend bool operator==(const ArrowAnnotation& a, const ArrowAnnotation& b)
    {
        return a.from == b.from && a.to == b.to && a.color == b.color;
    }
};

// A highlighted square.
struct SquareAnnotation {
    int square = 0;
    AnnotationColor color = AnnotationColor::Green;
    friend bool operator==(const SquareAnnotation& a, const SquareAnnotation& b)
    {
        return a.square == b.square && a.color == b.color;
    }
};

// The arrows and marked squares drawn on one diagram, in the order they were added. No two arrows
// share both ends and no two marks share a square.
struct Annotations {
    std::vector<ArrowAnnotation> arrows;
    std::vector<SquareAnnotation> squares;

    bool empty() const { return arrows.empty() && squares.empty(); }
    friend bool operator==(const Annotations& a, const Annotations& b)
    {
        return a.arrows == b.arrows && a.squares == b.squares;
    }
    friend bool operator!=(const Annotations& a, const Annotations& b) { return !(a == b); }
};

// The colour's letter (G, R, Y, B).
char annotationColorLetter(AnnotationColor color);

// Adds the arrow, replacing one between the same squares; an arrow already there in the same
// colour is removed instead (drawing it again takes it away).
void toggleArrow(Annotations& annotations, const ArrowAnnotation& arrow);
// Adds the mark, replacing one on the same square; the same mark again removes it.
void toggleSquare(Annotations& annotations, const SquareAnnotation& mark);

// Reads a comma-separated arrow list such as "Ge2e4,Rd1d8" into annotations (blanks around the
// items are allowed; letters in either case; an item without a colour letter, "e2e4", is green).
// An arrow between squares already joined replaces that one. Returns the message "bad arrow
// 'ITEM': expected ..." for the first item that is not an optional colour letter and two
// different squares; annotations is then unchanged.
std::optional<std::string> parseArrowList(std::string_view text, Annotations& annotations);
// Reads a square list such as "Yd5,Rf7,e4" ("e4" green); the message for a bad item is
// "bad square 'ITEM': expected ...".
std::optional<std::string> parseSquareList(std::string_view text, Annotations& annotations);

// Reads every "[%cal LIST]" and "[%csl LIST]" command in a comment (other text is ignored), as
// the two list readers do; the first bad item's message, with annotations unchanged.
std::optional<std::string> parseAnnotationComment(std::string_view text, Annotations& annotations);

// "Ge2e4,Rd1d8" and "Yd5,Rf7": the lists the readers above read back to the same annotations.
std::string formatArrowList(const Annotations& annotations);
std::string formatSquareList(const Annotations& annotations);
// "[%csl Yd5,Rf7][%cal Ge2e4]", leaving out an empty list; empty for no annotations.
std::string formatAnnotationComment(const Annotations& annotations);

} // namespace pictog
