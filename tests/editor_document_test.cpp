// The editing document's rules without a window: reading lines, the panel, the mouse's press and
// drop, validation, transformations, annotations and the undo history's grouping.
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

    TEST(EditDocumentTest, ReadingALineLeavesWhatTheWindowShowedAfterIt)
    {
        const struct {
            std::string text, line;
            std::optional<std::string> message;
        } rows[] = {
            { E + " b qkQK - 12 34", E + " b KQkq - 12 34", std::nullopt },
            // A rejection rebuilds the line only where a castling right was read on the way.
            { E + " b - E3", E + " w - - 0 1", "Error in EPD ep field description" },
            { E + " b K E3", E + " b K - 0 1", "Error in EPD ep field description" },
        };
        for (const auto& row : rows) {
            EditDocument doc = documentOf(Initial);
            EXPECT_EQ(doc.readLine(row.text), row.message) << row.text;
            EXPECT_EQ(doc.line, row.line) << row.text;
            EXPECT_EQ(doc.panel.moveRight, 1) << "the side to move was read";
            EXPECT_EQ(doc.captions.header1, "") << "reading clears captions and annotations";
            EXPECT_TRUE(doc.annotations.empty());
        }
        EditDocument pasted = documentOf(Initial);
        EXPECT_EQ(pasted.paste("RNX"), "X - Invalid character in EPD position description");
        EXPECT_EQ(pasted, EditDocument()) << "a rejected paste leaves the empty board";
        pasted.initialPosition();
        EXPECT_EQ(pasted.line, Initial);

        // Start-up: the stored line, then the counters, each rebuilding the line when it changes.
        const struct {
            std::string stored;
            int moveNumber, halfMoveClock;
            std::string line;
        } stored[] = {
            { "", 1, 0, "" }, // an empty stored line is shown as it is
            { "", 12, 3, E + " w - - 3 12" },
            { "4k3/8/8/8/8/8/8/4K3 b - - 0 2", 5000, -4, "4k3/8/8/8/8/8/8/4K3 b - - 0 999" },
            { E + " b - E3", 1, 0, E + " b - - 0 1" }, // rejected: the line shows what was read
        };
        for (const auto& row : stored) {
            EditDocument doc;
            Captions captions;
            captions.footer2 = "kept";
            doc.resume(row.stored, captions, row.moveNumber, row.halfMoveClock);
            EXPECT_EQ(doc.line, row.line) << row.stored;
            EXPECT_EQ(doc.captions.footer2, "kept");
        }
    }

    TEST(EditDocumentTest, PanelChangesRebuildTheLine)
    {
        EditDocument doc;
        doc.setMoveRight(1);
        doc.setMoveRight(-1, "schwarz");
        EXPECT_EQ(doc.line, E + " w - - 0 1") << "typed text counts as White";
        EXPECT_EQ(doc.moveRightText, "schwarz");
        for (const Castling c : { Castling::BlackLong, Castling::WhiteShort, Castling::BlackShort,
                 Castling::WhiteLong })
            doc.setCastling(c, true);
        doc.setCastling(Castling::BlackShort, false);
        doc.setEpField(12);
        doc.setHalfMoveClock(250);
        EXPECT_EQ(doc.line, E + " w KQq f6 250 1");
        doc.setMoveRight(0);
        EXPECT_EQ(doc.moveRightText, "") << "an entry shows its own text";
    }

    TEST(EditDocumentTest, PressAndDropFollowTheModeTheButtonAndShift)
    {
        const auto drop = [](const char* from, const char* to, int promotion, bool placing) {
            return [=](EditDocument& d) {
                BoardMove move;
                move.from = static_cast<std::uint8_t>(sq(from));
                move.to = static_cast<std::uint8_t>(sq(to));
                move.promotion = static_cast<std::uint8_t>(promotion);
                return d.drop(move, placing);
            };
        };
        const auto press = [](int selected, MouseButton button, ShiftState shift) {
            return [=](EditDocument& d) { return d.press(sq("d4"), selected, button, shift); };
        };
        const struct {
            const char* what;
            std::string start;
            std::function<bool(EditDocument&)> act;
            bool changed;
            std::string line;
        } rows[] = {
            { "rook takes a black pawn", "8/8/8/8/8/8/p7/R7 w - - 0 1", drop("a1", "a2", 0, false),
                true, "8/8/8/8/8/8/R7/8 w - - 0 1" },
            { "rook refused on a white pawn", "8/8/8/8/8/8/P7/R7 w - - 0 1",
                drop("a1", "a2", 0, false), false, "8/8/8/8/8/8/P7/R7 w - - 0 1" },
            { "black rook refused on a black pawn", "r7/p7/8/8/8/8/8/8 w - - 0 1",
                drop("a8", "a7", 0, false), false, "r7/p7/8/8/8/8/8/8 w - - 0 1" },
            { "white pawn on the eighth rank stays a pawn", "k7/P7/8/8/8/8/8/K7 w - - 0 1",
                drop("a7", "b8", WhiteQueen, false), true, "kP6/8/8/8/8/8/8/K7 w - - 0 1" },
            { "placing lands even on its own colour", "8/8/8/3r4/3r4/8/8/8 w - - 0 1",
                drop("d4", "d5", 0, true), true, "8/8/8/3r4/8/8/8/8 w - - 0 1" },
            { "release where it was pressed", "8/8/8/8/3R4/8/8/8 w - - 0 1",
                drop("d4", "d4", 0, false), false, "8/8/8/8/3R4/8/8/8 w - - 0 1" },
            { "left press without a palette piece only drags", "8/8/8/8/3R4/8/8/8 w - - 0 1",
                press(0, MouseButton::Left, 0), false, "stale" },
            { "right press removes", "8/8/8/8/3R4/8/8/8 w - - 0 1", press(0, MouseButton::Right, 0),
                true, E + " w - - 0 1" },
            { "placing: right puts the black piece", E, press(WhiteQueen, MouseButton::Right, 0),
                true, "8/8/8/8/3q4/8/8/8 w - - 0 1" },
            { "placing: middle puts the white piece", E, press(WhiteKnight, MouseButton::Middle, 0),
                true, "8/8/8/8/3N4/8/8/8 w - - 0 1" },
            { "placing: Shift removes", "8/8/8/8/3r4/8/8/8 w - - 0 1",
                press(WhiteQueen, MouseButton::Left, ShiftKey), true, E + " w - - 0 1" },
        };
        for (const auto& row : rows) {
            EditDocument doc = documentOf(row.start);
            doc.line = "stale";
            EXPECT_EQ(row.act(doc), row.changed) << row.what;
            EXPECT_EQ(doc.line, row.line) << row.what;
            EXPECT_EQ(doc.captions.header1, "caption") << "piece moves keep the captions";
            EXPECT_FALSE(doc.annotations.empty());
        }
        EditDocument doc;
        doc.placePiece(sq("e4"), 13);
        doc.placePiece(8, WhiteKing);
        EXPECT_EQ(doc, EditDocument()) << "no code outside 0..12, no square off the board";
    }

    TEST(EditDocumentTest, ValidationPieceListsAndTransformations)
    {
        EditDocument doc = documentOf("r3k3/8/8/8/8/8/8/4K2R w KQq - 0 1");
        EXPECT_EQ(doc.validate(), "No white long castling allowed");
        EXPECT_EQ(doc.line, "r3k3/8/8/8/8/8/8/4K2R w Kq - 0 1");
        doc.line = "stale";
        EXPECT_EQ(doc.validate(), std::nullopt);
        EXPECT_EQ(doc.line, "stale") << "a valid position changes nothing";

        EXPECT_EQ(
            doc.readPieceList("wKh1Qd", PieceColor::White), "error in white piece position string");
        EXPECT_EQ(doc.board.GetPiece(sq("h1")), WhiteKing) << "pieces before the error stay";
        EXPECT_EQ(doc.line, "stale") << "and the line is not rebuilt";

        doc = documentOf(Initial);
        doc.transform(Transformation::RotateLeft);
        EXPECT_EQ(doc.line, "rp4PR/np4PN/bp4PB/kp4PK/qp4PQ/bp4PB/np4PN/rp4PR w - - 0 1");
        EXPECT_EQ(doc.captions.header1, "") << "a transformation clears all but the pieces";
        EXPECT_TRUE(doc.annotations.empty());
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
        const struct {
            const char* what;
            std::function<void(EditDocument&)> act;
            int key;
        } rows[] = {
            { "footer 2 typed", [](EditDocument& d) { d.captions.footer2 = "y"; }, 4 },
            { "two captions",
                [](EditDocument& d) { d.captions.header2 = d.captions.footer1 = "b"; }, 0 },
            { "caption and a piece",
                [](EditDocument& d) {
                    d.captions.header1 = "x";
                    d.placePiece(sq("e4"), WhitePawn);
                },
                0 },
            { "nothing", [](EditDocument&) {}, 0 },
        };
        for (const auto& row : rows) {
            EditDocument after = base;
            row.act(after);
            EXPECT_EQ(captionMergeKey(base, after), row.key) << row.what;
        }

        // Typing merges into one step; the oldest steps go beyond the limit.
        UndoStack<EditDocument> undo(3);
        undo.reset(base);
        EditDocument typing = base;
        for (const char* text : { "a", "ab", "abc" }) {
            EditDocument next = typing;
            next.captions.header2 = text;
            EXPECT_TRUE(undo.record(next, captionMergeKey(typing, next)));
            typing = next;
        }
        EXPECT_EQ(undo.undoCount(), 1u);
        EXPECT_FALSE(undo.record(typing)) << "an equal document is no step";
        EXPECT_EQ(undo.undo(), base);
        for (int i = 2; i <= 6; ++i) {
            EditDocument next = base;
            next.setMoveNumber(i);
            undo.record(next);
        }
        EXPECT_EQ(undo.undoCount(), 3u);
    }

} // namespace
} // namespace pictog
