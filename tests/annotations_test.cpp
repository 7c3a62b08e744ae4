#include "diagram/annotations.h"

#include <gtest/gtest.h>

namespace pictog {
namespace {

    // Each row reads a text with one reader and expects the formatted result or the message.
    TEST(Annotations, ReadersAcceptTheNotationAndNameTheFirstBadItem)
    {
        enum Reader { Arrows, Squares, Comment };
        struct Case {
            Reader reader;
            const char* text;
            const char* formatted; // formatAnnotationComment of the result, or nullptr
            const char* message; // nullptr when accepted
        };
        const Case cases[] = {
            { Arrows, "Ge2e4,Rd1d8", "[%cal Ge2e4,Rd1d8]", nullptr },
            { Arrows, " ge2e4 , BA1H8,", "[%cal Ge2e4,Ba1h8]", nullptr },
            { Arrows, "", "", nullptr },
            { Arrows, "Ge2e4,Re2e4", "[%cal Re2e4]", nullptr }, // same squares: the later colour
            { Arrows, "Ge2e9", nullptr, "bad arrow 'Ge2e9'" },
            { Arrows, "Ge2e4,Xd1d8", nullptr, "bad arrow 'Xd1d8'" },
            { Arrows, "Ge4e4", nullptr, "bad arrow 'Ge4e4'" },
            { Arrows, "Ge2e4e5", nullptr, "bad arrow 'Ge2e4e5'" },
            { Arrows, "G\x1b[2Je4", nullptr, "bad arrow 'G\\x1b[2Je4'" },
            { Squares, "Yd5,Rf7", "[%csl Yd5,Rf7]", nullptr },
            { Squares, "Yd5,Gd5", "[%csl Gd5]", nullptr },
            { Squares, "Yi5", nullptr, "bad square 'Yi5'" },
            { Squares, "d5,Bb5", "[%csl Gd5,Bb5]", nullptr }, // no colour letter: green
            { Arrows, "e2e4,b2b4,bb2b4", "[%cal Ge2e4,Bb2b4]", nullptr },
            { Squares, "Gz9", nullptr, "bad square 'Gz9'" },
            { Squares, "Gd", nullptr, "bad square 'Gd'" },
            { Arrows, "e2e2", nullptr, "bad arrow 'e2e2'" },
            { Arrows, "Ge2", nullptr, "bad arrow 'Ge2'" },
            { Comment, "1. e4 {[%csl Yd5][%cal Ge2e4]} text", "[%csl Yd5][%cal Ge2e4]", nullptr },
            { Comment, "[%clk 0:01:00] [%cal Ra1a8]", "[%cal Ra1a8]", nullptr },
            { Comment, "[%cal Ra1a8", "", nullptr }, // unclosed: ignored
            { Comment, "[%csl Yd9]", nullptr, "bad square 'Yd9'" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.text);
            Annotations a;
            a.squares.push_back({ 0, AnnotationColor::Blue }); // kept on rejection
            const Annotations before = a;
            if (c.reader != Squares)
                a.squares.clear();
            const Annotations start = a;
            const auto message = c.reader == Arrows ? parseArrowList(c.text, a)
                : c.reader == Squares               ? parseSquareList(c.text, a)
                                                    : parseAnnotationComment(c.text, a);
            if (c.message) {
                ASSERT_TRUE(message);
                const bool arrow = std::string_view(c.message).substr(0, 9) == "bad arrow";
                EXPECT_EQ(*message,
                    std::string(c.message)
                        + (arrow ? ": expected an optional colour letter G, R, Y or B and two "
                                   "different squares, e.g. Ge2e4"
                                 : ": expected an optional colour letter G, R, Y or B and a "
                                   "square, e.g. Gd5"));
                EXPECT_EQ(a, start);
                continue;
            }
            ASSERT_FALSE(message) << *message;
            if (c.reader == Squares) {
                ASSERT_FALSE(a.squares.empty());
                EXPECT_EQ(a.squares.front(), before.squares.front());
                a.squares.erase(a.squares.begin());
            }
            EXPECT_EQ(formatAnnotationComment(a), c.formatted);
            Annotations again;
            ASSERT_FALSE(parseAnnotationComment(formatAnnotationComment(a), again));
            EXPECT_EQ(again, a);
        }
    }

    TEST(Annotations, DrawingTheSameAnnotationAgainRemovesItAnotherColourReplacesIt)
    {
        Annotations a;
        toggleArrow(a, { 14, 34, AnnotationColor::Green });
        toggleArrow(a, { 14, 34, AnnotationColor::Red });
        EXPECT_EQ(formatArrowList(a), "Re2e4");
        toggleArrow(a, { 14, 34, AnnotationColor::Red });
        toggleSquare(a, { 33, AnnotationColor::Yellow });
        toggleSquare(a, { 33, AnnotationColor::Blue });
        EXPECT_EQ(formatAnnotationComment(a), "[%csl Bd4]");
        toggleSquare(a, { 33, AnnotationColor::Blue });
        EXPECT_TRUE(a.empty());
    }

} // namespace
} // namespace pictog
