// The window's editing additions driven by real mouse and key events: annotations drawn with
// Ctrl on the board in both orientations, the flipped view, Undo and Redo over every kind of
// edit, the status line and the history of the annotations.
#include "gui_window_test.h"

#include "annotation_overlay.h"
#include "board_widget.h"
#include "main_form.h"
#include "spin_edit.h"

#include "diagram/annotations.h"
#include "position/chess_position.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace pictog::gui::test {
namespace {

    constexpr const char* InitialLine = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

    int sq(const char* name)
    {
        return squareIndex(name[0] - 'a', name[1] - '1');
    }

    class EditorTest : public WindowTest
    {
    public:
        bool flipped = false;

        void click(const char* button)
        {
            QTest::mouseClick(child<QWidget>(button), Qt::LeftButton);
        }
        void flip(bool on)
        {
            if (child<QAction>("MIViewFlipBoard")->isChecked() != on)
                QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
            flipped = on;
        }
        // The centre pixel of a square as the board shows it now.
        QPoint centre(const char* name) const
        {
            const int s = flipped ? 77 - sq(name) : sq(name);
            return { 38 * fileOf(s) + 19, 38 * (7 - rankOf(s)) + 19 };
        }
        void drag(const char* from, const char* to, Qt::KeyboardModifiers keys = Qt::NoModifier)
        {
            QTest::mousePress(board(), Qt::LeftButton, keys, centre(from));
            QTest::mouseMove(board(), (centre(from) + centre(to)) / 2);
            QTest::mouseMove(board(), centre(to));
            QTest::mouseRelease(board(), Qt::LeftButton, keys, centre(to));
        }
        void paste(const QString& text)
        {
            platform.clipboard.setText(text);
            trigger("MIEditPaste");
        }
        std::string annotationText() const { return formatAnnotationComment(form->annotations()); }
        void setAnnotations(const char* comment)
        {
            Annotations a;
            ASSERT_FALSE(parseAnnotationComment(comment, a));
            form->setAnnotations(a);
        }
    };

    struct GestureRow {
        const char* what;
        Qt::KeyboardModifiers keys;
        const char* from;
        const char* to;
        const char* expected; // annotations after the gesture, in the comment notation
    };

    TEST_F(EditorTest, CtrlGesturesDrawOneAnnotationInBothOrientations)
    {
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        const GestureRow rows[] = {
            { "green arrow", ctrl, "e2", "e4", "[%cal Ge2e4]" },
            { "red arrow with Shift", ctrl | Qt::ShiftModifier, "g1", "f3", "[%cal Rg1f3]" },
            { "yellow arrow with Alt", ctrl | Qt::AltModifier, "a8", "h1", "[%cal Ya8h1]" },
            { "blue with both", ctrl | Qt::ShiftModifier | Qt::AltModifier, "d1", "d8",
                "[%cal Bd1d8]" },
            { "mark by a click", ctrl, "d5", "d5", "[%csl Gd5]" },
            { "red mark", ctrl | Qt::ShiftModifier, "h7", "h7", "[%csl Rh7]" },
        };
        start();
        for (const bool flip : { false, true }) {
            for (const GestureRow& row : rows) {
                SCOPED_TRACE(std::string(row.what) + (flip ? " flipped" : ""));
                form->setAnnotations({});
                paste(InitialLine);
                this->flip(flip);
                drag(row.from, row.to, row.keys);
                EXPECT_EQ(annotationText(), row.expected);
                EXPECT_EQ(line(), InitialLine) << "no piece moved";
                // The same gesture again takes it away.
                drag(row.from, row.to, row.keys);
                EXPECT_EQ(annotationText(), "");
            }
        }
        // A mark replaces one of another colour on its square; arrows gather.
        setAnnotations("[%csl Gd5]");
        drag("d5", "d5", Qt::ControlModifier | Qt::AltModifier);
        drag("b1", "c3", Qt::ControlModifier);
        EXPECT_EQ(annotationText(), "[%csl Yd5][%cal Gb1c3]");
        EXPECT_TRUE(platform.messages.shown.isEmpty());
    }

    struct EditRow {
        const char* what;
        std::function<void(EditorTest&)> act;
        const char* line; // the line after the edit
    };

    TEST_F(EditorTest, MouseEditingFollowsTheFlippedView)
    {
        const EditRow rows[] = {
            { "plain drag moves the piece", [](EditorTest& t) { t.drag("e2", "e4"); },
                "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1" },
            { "Shift click empties the square",
                [](EditorTest& t) {
                    QTest::mouseClick(t.board(), Qt::LeftButton, Qt::ShiftModifier, t.centre("a8"));
                },
                "1nbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" },
            { "right click with the queen selected places a black queen",
                [](EditorTest& t) {
                    QTest::mouseClick(t.child<QWidget>("ImageQueen"), Qt::LeftButton);
                    QTest::mouseClick(t.board(), Qt::RightButton, Qt::NoModifier, t.centre("d4"));
                },
                "rnbqkbnr/pppppppp/8/8/3q4/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1" },
        };
        start();
        for (const bool flip : { false, true }) {
            for (const EditRow& row : rows) {
                SCOPED_TRACE(std::string(row.what) + (flip ? " flipped" : ""));
                paste(InitialLine);
                this->flip(flip);
                row.act(*this);
                EXPECT_EQ(line(), row.line);
                EXPECT_TRUE(form->annotations().empty());
            }
        }
        EXPECT_FALSE(form->board().WhiteIsAtBottom());

        // The classic picture keeps White at the bottom and shows no annotations.
        setAnnotations("[%cal Ge2e4]");
        trigger("MIEditCopyAsBitmap");
        const QImage flippedCopy = *platform.clipboard.heldImage;
        flip(false);
        form->setAnnotations({});
        trigger("MIEditCopyAsBitmap");
        EXPECT_EQ(flippedCopy, *platform.clipboard.heldImage);
        EXPECT_TRUE(form->board().WhiteIsAtBottom());
    }

    TEST_F(EditorTest, UndoAndRedoReturnEveryEarlierStateExactly)
    {
        const EditRow rows[] = {
            { "paste", [](EditorTest& t) { t.paste(InitialLine); }, nullptr },
            { "drag", [](EditorTest& t) { t.drag("g1", "f3"); }, nullptr },
            { "arrow", [](EditorTest& t) { t.drag("f3", "e5", Qt::ControlModifier); }, nullptr },
            { "mark", [](EditorTest& t) { t.drag("e5", "e5", Qt::ControlModifier); }, nullptr },
            { "castling box",
                [](EditorTest& t) { t.child<QCheckBox>("CBWhiteLongCastling")->click(); },
                nullptr },
            { "side to move",
                [](EditorTest& t) {
                    QTest::keyClick(t.child<QComboBox>("ComboBoxMoveRight"), Qt::Key_Down);
                },
                nullptr },
            { "typed caption (one step)",
                [](EditorTest& t) {
                    QTest::keyClicks(t.child<QLineEdit>("EditHeader1"), "Game 1");
                },
                nullptr },
            { "second caption",
                [](EditorTest& t) { QTest::keyClicks(t.child<QLineEdit>("EditFooter2"), "x"); },
                nullptr },
            { "move counter",
                [](EditorTest& t) { t.child<SpinEdit>("SpinEditMoveNumber")->setValue(12); },
                nullptr },
            { "palette placing",
                [](EditorTest& t) {
                    QTest::mouseClick(t.child<QWidget>("ImageRook"), Qt::LeftButton);
                    QTest::mouseClick(t.board(), Qt::LeftButton, Qt::NoModifier, t.centre("d4"));
                    QTest::mouseClick(t.child<QWidget>("ImageRook"), Qt::LeftButton);
                },
                nullptr },
            { "transformation", [](EditorTest& t) { t.trigger("MIEditTransformRotateleft"); },
                nullptr },
            { "annotations again",
                [](EditorTest& t) { t.drag("a1", "h8", Qt::ControlModifier | Qt::ShiftModifier); },
                nullptr },
            { "clear annotations", [](EditorTest& t) { t.trigger("MIEditClearAnnotations"); },
                nullptr },
            { "failed paste empties the board", [](EditorTest& t) { t.paste("not a line"); },
                nullptr },
            { "init position", [](EditorTest& t) { t.click("BtnInitPosition"); }, nullptr },
            { "clear board", [](EditorTest& t) { t.click("BtnClearBoard"); }, nullptr },
        };
        start();
        std::vector<EditorState> states { form->editorState() };
        for (const EditRow& row : rows) {
            row.act(*this);
            QCoreApplication::processEvents();
            states.push_back(form->editorState());
            EXPECT_NE(states.back(), states[states.size() - 2]) << row.what << " changed nothing";
        }
        ASSERT_EQ(platform.messages.shown.size(), 2) << "the failed paste's two messages";

        // Back with Ctrl+Z to the start, forward again with both redo keys, back half way.
        for (std::size_t i = states.size() - 1; i-- > 0;) {
            QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(form->editorState(), states[i]) << "undo of " << rows[i].what;
            EXPECT_EQ(form->board().GetSquare(sq("e1")), states[i].board.GetPiece(sq("e1")));
        }
        EXPECT_FALSE(child<QAction>("MIEditUndo")->isEnabled());
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier); // nothing left: no change
        EXPECT_EQ(form->editorState(), states[0]);
        for (std::size_t i = 1; i < states.size(); ++i) {
            if (i % 2)
                QTest::keyClick(form.get(), Qt::Key_Y, Qt::ControlModifier);
            else
                QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(form->editorState(), states[i]) << "redo of " << rows[i - 1].what;
        }
        EXPECT_FALSE(child<QAction>("MIEditRedo")->isEnabled());
        // While a piece is lifted nothing is undone; the drop is a step of its own.
        QTest::mousePress(board(), Qt::LeftButton, Qt::NoModifier, centre("e2"));
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(form->editorState(), states.back());
        QTest::mouseRelease(board(), Qt::LeftButton, Qt::NoModifier, centre("e2"));
        // A new edit after undoing ends the redo branch.
        trigger("MIEditUndo");
        trigger("MIEditUndo");
        drag("e2", "e4", Qt::ControlModifier);
        QCoreApplication::processEvents();
        EXPECT_FALSE(child<QAction>("MIEditRedo")->isEnabled());
        trigger("MIEditUndo");
        EXPECT_EQ(form->editorState(), states[states.size() - 3]);
    }

    TEST_F(EditorTest, UndoKeepsAtLeastOneHundredSteps)
    {
        start();
        const EditorState first = form->editorState();
        for (int i = 1; i <= 150; ++i) {
            child<SpinEdit>("SpinEditHalfMoveClock")->setValue(i % 100 + 1);
            form->commitUndoStep();
        }
        for (int i = 0; i < 150; ++i)
            trigger("MIEditUndo");
        EXPECT_EQ(form->editorState(), first);
    }

    TEST_F(EditorTest, CommandsThatClearTheCaptionsClearTheAnnotations)
    {
        const EditRow rows[] = {
            { "Clear Board", [](EditorTest& t) { t.click("BtnClearBoard"); }, nullptr },
            { "Init. Position", [](EditorTest& t) { t.click("BtnInitPosition"); }, nullptr },
            { "Paste", [](EditorTest& t) { t.paste(InitialLine); }, nullptr },
            { "transformation", [](EditorTest& t) { t.trigger("MIEditTransformSwitchcolor"); },
                nullptr },
        };
        start();
        for (const EditRow& row : rows) {
            setAnnotations("[%csl Rd4][%cal Ge2e4]");
            row.act(*this);
            EXPECT_TRUE(form->annotations().empty()) << row.what;
        }
        // Validation and the piece moves keep them.
        setAnnotations("[%cal Ge2e4]");
        click("BtnValidate");
        drag("e2", "e3");
        EXPECT_EQ(annotationText(), "[%cal Ge2e4]");
    }

    TEST_F(EditorTest, StatusLineTellsWhatNeedsNoAnswer)
    {
        start();
        const QSize size = form->size();
        paste(InitialLine);
        click("BtnValidate");
        EXPECT_EQ(form->statusText(), "The position passes every check.");
        platform.shell.opens = false;
        click("BtnPreviewHTML");
        EXPECT_TRUE(form->statusText().startsWith("Nothing could open the preview "));
        QFile manual(dir.filePath("Pictog.txt"));
        ASSERT_TRUE(manual.open(QIODevice::WriteOnly));
        manual.close();
        platform.editor.starts = false;
        trigger("MIHelpManual");
        EXPECT_TRUE(form->statusText().startsWith("The text editor "));
        EXPECT_TRUE(platform.messages.shown.isEmpty()) << "no box for any of them";
        EXPECT_EQ(form->size(), size);
        EXPECT_EQ(form->centralWidget()->size(), QSize(722, 417));
        // The next edit clears it.
        drag("e2", "e4");
        QCoreApplication::processEvents();
        EXPECT_EQ(form->statusText(), "");
    }

    TEST_F(EditorTest, AnnotationsLiveWithTheHistoryInTheirOwnSection)
    {
        // A file of today without the new section: start and close change nothing in it.
        const QByteArray old = "[History]\nactivated=1\nfenLine=" + QByteArray(InitialLine)
            + "\nheader1=Old\n\n[Diagram Layout]\nshowBorder=0\n\n";
        QFile file(dir.filePath("Pictog.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
        file.close();
        start();
        EXPECT_TRUE(form->annotations().empty());
        form->close();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), old);
        file.close();

        start();
        setAnnotations("[%csl Yd5][%cal Ge2e4,Rd1h5]");
        flip(true);
        form->close();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        file.close();
        EXPECT_TRUE(written.startsWith("[History]\n"));
        EXPECT_LT(written.indexOf("showBorder=0\n"), written.indexOf("[Diagram Export]\n"))
            << "the new section comes after the others";
        EXPECT_TRUE(written.contains("\nannotations=[%csl Yd5][%cal Ge2e4,Rd1h5]\n"));
        start();
        EXPECT_EQ(annotationText(), "[%csl Yd5][%cal Ge2e4,Rd1h5]");
        EXPECT_EQ(line(), InitialLine);
        EXPECT_TRUE(form->board().WhiteIsAtBottom()) << "the view starts unflipped";
        EXPECT_FALSE(child<QAction>("MIEditUndo")->isEnabled()) << "start-up is no step";
    }

} // namespace
} // namespace pictog::gui::test
