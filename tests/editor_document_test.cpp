// The editing document's rules without a window: reading lines, the panel, the mouse's press and
// drop, piece lists, validation, transformations, annotations and the undo history's grouping.
#include "editor/edit_document.h"
#include "editor/undo_stack.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

namespace pictog {
namespace {

    const std::string E = "8/8/8/8/8/8/8/8";
    const std::string Initial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

    int sq(const char* name)
    {
        return 10 * (name[1] - '1') + (name[0] - 'a');
    }

    // A document that has read the line, with a caption and an annotation to see what stays.
    EditDocument documentOf(const std::string& text)
    {
        EditDocument doc;
        EXPECT_EQ(doc.readLine(text), std::nullopt) << text;
        doc.captions.header1 = "caption";
        doc.toggleAnnotation(sq("e2"), sq("e4"), AnnotationColor::Green);
        return doc;
    }

    struct ReadRow {
        std::string text;
        std::string line;
        std::optional<std::string> message;
        int moveRight;
    };

    TEST(EditDocumentTest, ReadingALineLeavesWhatTheWindowShowedAfterIt)
    {
        const ReadRow rows[] = {
            { E + " b qkQK - 12 34", E + " b KQkq - 12 34", std::nullopt, 1 },
            { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", Initial, std::nullopt, 0 },
            // A rejection rebuilds the line only where a castling right was read on the way.
            { E + " b - E3", E + " w - - 0 1", "Error in EPD ep field description", 1 },
            { E + " b K E3", E + " b K - 0 1", "Error in EPD ep field description", 1 },
            { "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq -", E + " w - - 0 1",
                "X - Invalid character in EPD position description", 0 },
        };
        for (const ReadRow& row : rows) {
            SCOPED_TRACE(row.text);
            EditDocument doc = documentOf(Initial);
            EXPECT_EQ(doc.readLine(row.text), row.message);
            EXPECT_EQ(doc.line, row.line);
            EXPECT_EQ(doc.panel.moveRight, row.moveRight);
            EXPECT_EQ(doc.captions.header1, "") << "reading clears the captions";
            EXPECT_TRUE(doc.annotations.empty());
        }
        EditDocument partly;
        partly.readLine("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w");
        EXPECT_EQ(partly.board.GetPiece(sq("g1")), WhiteKnight) << "squares before the error stay";
        EXPECT_EQ(partly.board.GetPiece(sq("h1")), Empty);

        // Paste: a rejected line leaves the empty board; Init. Position reads the start.
        EditDocument pasted = documentOf(Initial);
        EXPECT_EQ(pasted.paste("no line"), "o - Invalid character in EPD position description");
        EXPECT_EQ(pasted, EditDocument());
        pasted.initialPosition();
        EXPECT_EQ(pasted.line, Initial);
    }

    struct ResumeRow {
        std::string stored;
        int moveNumber, halfMoveClock;
        std::string line;
        bool rejected;
    };

    TEST(EditDocumentTest, StartUpReadsTheHistoryThenTheCounters)
    {
        const ResumeRow rows[] = {
            { "", 1, 0, "", false }, // an empty stored line is shown as it is
            { "", 12, 3, E + " w - - 3 12", false },
            { "4k3/8/8/8/8/8/8/4K3 b - - 0 2", 2, 0, "4k3/8/8/8/8/8/8/4K3 b - - 0 2", false },
            { "4k3/8/8/8/8/8/8/4K3 b - - 0 2", 5000, -4, "4k3/8/8/8/8/8/8/4K3 b - - 0 999", false },
            { E + " b K E3", 1, 0, E + " b K - 0 1", true },
            { E + " b - E3", 1, 0, E + " b - - 0 1", true },
        };
        for (const ResumeRow& row : rows) {
            SCOPED_TRACE(row.stored);
            EditDocument doc;
            Captions captions;
            captions.footer2 = "kept";
            const auto message
                = doc.resume(row.stored, captions, row.moveNumber, row.halfMoveClock);
            EXPECT_EQ(message.has_value(), row.rejected);
            EXPECT_EQ(doc.line, row.line);
            EXPECT_EQ(doc.captions.footer2, "kept");
        }
    }

    struct PanelRow {
        const char* what;
        std::function<void(EditDocument&)> act;
        std::string line;
    };

    TEST(EditDocumentTest, EveryPanelChangeRebuildsTheLine)
    {
        const PanelRow rows[] = {
            { "black picked", [](EditDocument& d) { d.setMoveRight(1); }, E + " b - - 0 1" },
            { "typed text counts as White",
                [](EditDocument& d) {
                    d.setMoveRight(1);
                    d.setMoveRight(-1, "schwarz");
                },
                E + " w - - 0 1" },
            { "castling in the line's order whatever the clicks' order",
                [](EditDocument& d) {
                    for (const Castling c : { Castling::BlackLong, Castling::WhiteShort,
                             Castling::BlackShort, Castling::WhiteLong })
                        d.setCastling(c, true);
                    d.setCastling(Castling::BlackShort, false);
                },
                E + " w KQq - 0 1" },
            { "f6 picked", [](EditDocument& d) { d.setEpField(12); }, E + " w - f6 0 1" },
            { "typed counters stand unclamped",
                [](EditDocument& d) {
                    d.setHalfMoveClock(250);
                    d.setMoveNumber(1000);
                },
                E + " w - - 250 1000" },
        };
        for (const PanelRow& row : rows) {
            SCOPED_TRACE(row.what);
            EditDocument doc;
            row.act(doc);
            EXPECT_EQ(doc.line, row.line);
        }
        EditDocument typed;
        typed.setEpField(-1, "e3");
        EXPECT_EQ(typed.epFieldText, "e3");
        typed.setEpField(0, "ep field");
        EXPECT_EQ(typed.epFieldText, "") << "an entry shows its own text";
    }

    struct MouseRow {
        const char* what;
        std::string start;
        std::function<bool(EditDocument&)> act;
        bool changed;
        std::string line;
    };

    TEST(EditDocumentTest, PressAndDropFollowTheModeTheButtonAndShift)
    {
        const auto drop
            = [](const char* from, const char* to, int promotion = 0, bool placing = false) {
                  return [=](EditDocument& d) {
                      BoardMove move;
                      move.from = static_cast<std::uint8_t>(sq(from));
                      move.to = static_cast<std::uint8_t>(sq(to));
                      move.promotion = static_cast<std::uint8_t>(promotion);
                      return d.drop(move, placing);
                  };
              };
        const auto press = [](const char* square, int selected, MouseButton button,
                               ShiftState shift = 0) {
            return [=](EditDocument& d) { return d.press(sq(square), selected, button, shift); };
        };
        const MouseRow rows[] = {
            { "knight onto an empty square", Initial, drop("g1", "f3"), true,
                "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R w KQkq - 0 1" },
            { "rook takes a black pawn", "4k3/8/8/8/8/8/p7/R3K3 w - - 0 1", drop("a1", "a2"), true,
                "4k3/8/8/8/8/8/R7/4K3 w - - 0 1" },
            { "rook refused on a white pawn", "4k3/8/8/8/8/8/P7/R3K3 w - - 0 1", drop("a1", "a2"),
                false, "4k3/8/8/8/8/8/P7/R3K3 w - - 0 1" },
            { "black queen takes a white queen", "3qk3/8/8/8/8/8/8/3QK3 b - - 0 1",
                drop("d8", "d1"), true, "4k3/8/8/8/8/8/8/3qK3 b - - 0 1" },
            { "black rook refused on a black pawn", "r3k3/p7/8/8/8/8/8/4K3 w - - 0 1",
                drop("a8", "a7"), false, "r3k3/p7/8/8/8/8/8/4K3 w - - 0 1" },
            { "white pawn on the eighth rank stays a pawn", "k7/P7/8/8/8/8/8/K7 w - - 0 1",
                drop("a7", "b8", WhiteQueen), true, "kP6/8/8/8/8/8/8/K7 w - - 0 1" },
            { "black pawn on the first rank stays a pawn", "k7/8/8/8/8/8/p7/7K w - - 0 1",
                drop("a2", "a1", BlackKnight), true, "k7/8/8/8/8/8/8/p6K w - - 0 1" },
            { "placing lands even on its own colour", "8/8/8/3r4/3r4/8/8/8 w - - 0 1",
                drop("d4", "d5", 0, true), true, "8/8/8/3r4/8/8/8/8 w - - 0 1" },
            { "release where it was pressed", "8/8/8/8/3R4/8/8/8 w - - 0 1", drop("d4", "d4"),
                false, "8/8/8/8/3R4/8/8/8 w - - 0 1" },
            { "left press without a palette piece starts a drag", Initial,
                press("d1", 0, MouseButton::Left), false, "stale" },
            { "right press removes", Initial, press("d1", 0, MouseButton::Right), true,
                "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNB1KBNR w KQkq - 0 1" },
            { "Shift press removes", Initial, press("b1", 0, MouseButton::Left, ShiftKey), true,
                "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/R1BQKBNR w KQkq - 0 1" },
            { "placing: left puts the white piece", E + " w - - 0 1",
                press("e4", WhiteQueen, MouseButton::Left), true, "8/8/8/8/4Q3/8/8/8 w - - 0 1" },
            { "placing: right puts the black piece", E + " w - - 0 1",
                press("e4", WhiteQueen, MouseButton::Right), true, "8/8/8/8/4q3/8/8/8 w - - 0 1" },
            { "placing: middle puts the white piece", E + " w - - 0 1",
                press("e4", WhiteKnight, MouseButton::Middle), true,
                "8/8/8/8/4N3/8/8/8 w - - 0 1" },
            { "placing: Shift removes", "8/8/8/8/4r3/8/8/8 w - - 0 1",
                press("e4", WhiteQueen, MouseButton::Left, ShiftKey), true, E + " w - - 0 1" },
        };
        for (const MouseRow& row : rows) {
            SCOPED_TRACE(row.what);
            EditDocument doc = documentOf(row.start);
            doc.line = "stale";
            EXPECT_EQ(row.act(doc), row.changed);
            EXPECT_EQ(doc.line, row.line);
            EXPECT_EQ(doc.captions.header1, "caption") << "piece moves keep the captions";
            EXPECT_FALSE(doc.annotations.empty());
        }
        EditDocument doc;
        doc.placePiece(sq("e4"), 13);
        doc.placePiece(8, WhiteKing);
        EXPECT_EQ(doc, EditDocument()) << "no code outside 0..12, no square off the board";
    }

    TEST(EditDocumentTest, PieceListsValidationAndTransformations)
    {
        EditDocument doc;
        EXPECT_EQ(doc.readPieceList("wKe1Qd1Pa2b2c2", PieceColor::White), std::nullopt);
        EXPECT_EQ(doc.line, "8/8/8/8/8/8/PPP5/3QK3 w - - 0 1");
        EXPECT_EQ(
            doc.readPieceList("wKh1Qd", PieceColor::White), "error in white piece position string");
        EXPECT_EQ(doc.board.GetPiece(sq("h1")), WhiteKing) << "pieces before the error stay";
        EXPECT_EQ(doc.line, "8/8/8/8/8/8/PPP5/3QK3 w - - 0 1") << "and the line is not rebuilt";
        doc.line = "stale";
        EXPECT_EQ(doc.readPieceList("wK", PieceColor::White), std::nullopt);
        EXPECT_EQ(doc.line, "stale") << "a short text does nothing";

        doc = documentOf("4k3/8/8/8/4P3/8/8/4K3 b - e6 0 1");
        EXPECT_EQ(doc.validate(), "ep field invalid");
        EXPECT_EQ(doc.line, "4k3/8/8/8/4P3/8/8/4K3 b - - 0 1");
        doc = documentOf("r3k3/8/8/8/8/8/8/4K2R w KQq - 0 1");
        EXPECT_EQ(doc.validate(), "No white long castling allowed");
        EXPECT_EQ(doc.line, "r3k3/8/8/8/8/8/8/4K2R w Kq - 0 1");
        doc.line = "stale";
        EXPECT_EQ(doc.validate(), std::nullopt);
        EXPECT_EQ(doc.line, "stale") << "a valid position changes nothing";
        EXPECT_EQ(doc.captions.header1, "caption");

        doc = documentOf(Initial);
        doc.transform(Transformation::RotateLeft);
        EXPECT_EQ(doc.line, "rp4PR/np4PN/bp4PB/kp4PK/qp4PQ/bp4PB/np4PN/rp4PR w - - 0 1");
        EXPECT_EQ(doc.captions.header1, "") << "a transformation clears all but the pieces";
        EXPECT_TRUE(doc.annotations.empty());
        doc = documentOf(Initial);
        doc.clear();
        EXPECT_EQ(doc, EditDocument());
        EXPECT_EQ(doc.line, E + " w - - 0 1");
    }

    TEST(EditDocumentTest, AnnotationTogglesAndTheUndoGrouping)
    {
        EditDocument doc;
        doc.line = "kept";
        doc.toggleAnnotation(sq("d5"), sq("d5"), AnnotationColor::Green);
        doc.toggleAnnotation(sq("d5"), sq("d5"), AnnotationColor::Yellow);
        doc.toggleAnnotation(sq("b1"), sq("c3"), AnnotationColor::Green);
        doc.toggleAnnotation(sq("e2"), sq("e4"), AnnotationColor::Red);
        doc.toggleAnnotation(sq("e2"), sq("e4"), AnnotationColor::Red);
        EXPECT_EQ(formatAnnotationComment(doc.annotations), "[%csl Yd5][%cal Gb1c3]");
        EXPECT_EQ(doc.line, "kept");

        const EditDocument base = documentOf(Initial);
        struct Row {
            const char* what;
            std::function<void(EditDocument&)> act;
            int key;
        };
        const Row rows[] = {
            { "header 1 typed", [](EditDocument& d) { d.captions.header1 += "x"; }, 1 },
            { "footer 2 typed", [](EditDocument& d) { d.captions.footer2 = "y"; }, 4 },
            { "two captions",
                [](EditDocument& d) {
                    d.captions.header2 = "a";
                    d.captions.footer1 = "b";
                },
                0 },
            { "caption and a piece",
                [](EditDocument& d) {
                    d.captions.header1 = "x";
                    d.placePiece(sq("e4"), WhitePawn);
                },
                0 },
            { "nothing", [](EditDocument&) {}, 0 },
        };
        for (const Row& row : rows) {
            EditDocument after = base;
            row.act(after);
            EXPECT_EQ(captionMergeKey(base, after), row.key) << row.what;
        }

        // Typing merges into one step until an undo; the oldest steps go beyond the limit.
        UndoStack<EditDocument> undo(3);
        EditDocument typing = base;
        undo.reset(typing);
        for (const char* text : { "a", "ab", "abc" }) {
            EditDocument next = typing;
            next.captions.header2 = text;
            EXPECT_TRUE(undo.record(next, captionMergeKey(typing, next)));
            typing = next;
        }
        EXPECT_EQ(undo.undoCount(), 1u);
        EXPECT_FALSE(undo.record(typing)) << "an equal document is no step";
        EXPECT_EQ(undo.undo(), base);
        for (int i = 1; i <= 5; ++i) {
            EditDocument next = base;
            next.setMoveNumber(i + 1);
            undo.record(next);
        }
        EXPECT_EQ(undo.undoCount(), 3u);
        EXPECT_FALSE(undo.canRedo());
    }

} // namespace
} // namespace pictog
