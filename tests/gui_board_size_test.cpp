// The board at other sizes: the square under every pixel at each size and orientation, real
// mouse drags and Ctrl gestures at Large and Fit to window, the arrow shown while it is drawn,
// the panel moved beside the board, and the View section of the settings.
#include "gui_test_support.h"

#include "board_widget.h"
#include "main_form.h"

#include "diagram/annotations.h"
#include "position/chess_position.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace pictog::gui::test {
namespace {

    constexpr const char* InitialLine = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

    int sq(const char* name)
    {
        return squareIndex(name[0] - 'a', name[1] - '1');
    }

    // The square a board of square-pixel squares shows at a pixel: the column and row counted
    // from the top-left, White at the bottom unless flipped.
    int squareUnder(QPoint p, int square, bool flipped)
    {
        const int column = p.x() / square;
        const int row = p.y() / square;
        return flipped ? squareIndex(7 - column, row) : squareIndex(column, 7 - row);
    }

    TEST(BoardWidgetGeometry, EveryPixelMapsToTheSquareShownThereAtEachSizeAndOrientation)
    {
        BoardWidget widget;
        widget.createBoard(findResource, nullptr);
        for (const int square : { 38, 45, 61, 76, 97 }) {
            widget.setSquareSize(square);
            EXPECT_EQ(widget.width(), 8 * square);
            for (const bool flipped : { false, true }) {
                widget.board().SetWhiteIsAtBottom(!flipped);
                // Every square's first, middle and last pixel on both axes.
                for (int column = 0; column < 8; ++column)
                    for (int row = 0; row < 8; ++row)
                        for (const int dx : { 0, square / 2, square - 1 })
                            for (const int dy : { 0, square / 2, square - 1 }) {
                                const QPoint p(column * square + dx, row * square + dy);
                                const QPoint v = widget.viewPoint(p);
                                ASSERT_EQ(widget.board().SquareAt(v.x(), v.y()),
                                    squareUnder(p, square, flipped))
                                    << square << " flipped " << flipped << " at " << p.x() << ","
                                    << p.y();
                            }
            }
        }
    }

    class BoardSizeTest : public ::testing::Test
    {
    public:
        QTemporaryDir dir;
        FakePlatform platform;
        std::unique_ptr<TFormMain> form;
        bool flipped = false;

        void start()
        {
            form = std::make_unique<TFormMain>(dir.path(), platform.services());
            form->show();
            QApplication::setActiveWindow(form.get());
        }
        template <class T> T* child(const char* name) const
        {
            T* found = form->findChild<T*>(QString::fromLatin1(name));
            EXPECT_NE(found, nullptr) << name;
            return found;
        }
        BoardWidget* board() const { return child<BoardWidget>("Pictogram2D1"); }
        QString line() const { return child<QLineEdit>("EditFENLine")->text(); }
        void paste(const char* text)
        {
            platform.clipboard.setText(QString::fromLatin1(text));
            child<QAction>("MIEditPaste")->trigger();
        }
        // The centre of a square as the board shows it now, from its width alone.
        QPoint centre(const char* name) const
        {
            const int square = board()->width() / 8;
            const int s = flipped ? 77 - sq(name) : sq(name);
            return { square * fileOf(s) + square / 2, square * (7 - rankOf(s)) + square / 2 };
        }
        void drag(const char* from, const char* to, Qt::KeyboardModifiers keys = Qt::NoModifier)
        {
            QTest::mousePress(board(), Qt::LeftButton, keys, centre(from));
            QTest::mouseMove(board(), (centre(from) + centre(to)) / 2);
            QTest::mouseMove(board(), centre(to));
            QTest::mouseRelease(board(), Qt::LeftButton, keys, centre(to));
        }
        void flip(bool on)
        {
            child<QAction>("MIViewFlipBoard")->setChecked(on);
            flipped = on;
        }
    };

    TEST_F(BoardSizeTest, ClassicIsTheDefaultAndTheOthersMoveThePanelBesideTheBoard)
    {
        start();
        EXPECT_TRUE(child<QAction>("MIViewBoardClassic")->isChecked());
        EXPECT_EQ(board()->size(), QSize(304, 304));
        EXPECT_EQ(form->centralWidget()->size(), QSize(722, 417));
        const QRect classicGroup = child<QGroupBox>("GroupBox1")->geometry();
        const QRect classicLine = child<QLineEdit>("EditFENLine")->geometry();

        child<QAction>("MIViewBoardLarge")->trigger();
        EXPECT_EQ(board()->size(), QSize(608, 608));
        EXPECT_TRUE(board()->drawsScaled());
        EXPECT_EQ(form->centralWidget()->size(), QSize(722 + 304, 417 + 304));
        EXPECT_EQ(child<QGroupBox>("GroupBox1")->geometry(), classicGroup.translated(304, 0));
        EXPECT_EQ(child<QLineEdit>("EditFENLine")->geometry(),
            QRect(classicLine.topLeft() + QPoint(0, 304), classicLine.size() + QSize(304, 0)));
        EXPECT_EQ(form->minimumSize(), form->maximumSize()) << "Large stays a fixed window";

        child<QAction>("MIViewBoardFit")->trigger();
        form->resize(1300, 1000);
        QApplication::processEvents();
        const int square = board()->width() / 8;
        EXPECT_GT(square, 76);
        const QRect boardOnClient(board()->mapTo(form->centralWidget(), QPoint()), board()->size());
        // The panel keeps its classic room beside and below the board, inside the window.
        EXPECT_GE(child<QGroupBox>("GroupBox1")->x(), boardOnClient.right());
        EXPECT_LE(
            child<QLineEdit>("EditFENLine")->geometry().bottom(), form->centralWidget()->height());
        EXPECT_GE(child<QLineEdit>("EditFENLine")->y(), boardOnClient.bottom());

        child<QAction>("MIViewBoardClassic")->trigger();
        EXPECT_EQ(board()->size(), QSize(304, 304));
        EXPECT_EQ(form->centralWidget()->size(), QSize(722, 417));
        EXPECT_EQ(child<QGroupBox>("GroupBox1")->geometry(), classicGroup);
        EXPECT_EQ(child<QLineEdit>("EditFENLine")->geometry(), classicLine);
    }

    TEST_F(BoardSizeTest, DragsPlacementAndGesturesWorkAtLargeAndFitInBothOrientations)
    {
        struct Row {
            const char* size;
            bool flip;
        };
        const Row rows[] = { { "MIViewBoardLarge", false }, { "MIViewBoardLarge", true },
            { "MIViewBoardFit", false }, { "MIViewBoardFit", true } };
        start();
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.size) + (row.flip ? " flipped" : ""));
            child<QAction>(row.size)->trigger();
            form->resize(1100, 900);
            QApplication::processEvents();
            flip(row.flip);
            paste(InitialLine);
            drag("e2", "e4");
            drag("g8", "f6");
            EXPECT_EQ(line(), "rnbqkb1r/pppppppp/5n2/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1");
            // The right button without a palette piece empties the square under it.
            QTest::mouseClick(board(), Qt::RightButton, Qt::NoModifier, centre("a1"));
            EXPECT_EQ(line(), "rnbqkb1r/pppppppp/5n2/8/4P3/8/PPPP1PPP/1NBQKBNR w KQkq - 0 1");
            form->setAnnotations({});
            drag("b1", "c3", Qt::ControlModifier);
            drag("h7", "h7", Qt::ControlModifier | Qt::ShiftModifier);
            EXPECT_EQ(formatAnnotationComment(form->annotations()), "[%csl Rh7][%cal Gb1c3]");
        }
        EXPECT_TRUE(platform.messages.shown.isEmpty());
    }

    TEST_F(BoardSizeTest, CtrlDragShowsTheArrowItWillLeaveWhileItIsDrawn)
    {
        start();
        for (const char* size : { "MIViewBoardClassic", "MIViewBoardLarge" }) {
            SCOPED_TRACE(size);
            child<QAction>(size)->trigger();
            form->setAnnotations({});
            paste(InitialLine);
            const QImage before = board()->grab().toImage();
            QTest::mousePress(board(), Qt::LeftButton, Qt::ControlModifier, centre("d2"));
            QTest::mouseMove(board(), centre("d5"));
            const QImage during = board()->grab().toImage();
            EXPECT_NE(during, before) << "the arrow shows before the release";
            QTest::mouseRelease(board(), Qt::LeftButton, Qt::ControlModifier, centre("d5"));
            EXPECT_EQ(formatAnnotationComment(form->annotations()), "[%cal Gd2d5]");
            EXPECT_EQ(board()->grab().toImage(), during) << "the same shape once released";
        }
    }

    TEST_F(BoardSizeTest, TheViewSectionRemembersSizeAndCoordinatesAndAppearsOnlyWhenUsed)
    {
        start();
        EXPECT_FALSE(board()->coordinates());
        form->close();
        QFile untouched(dir.filePath(QStringLiteral("Pictog.ini")));
        if (untouched.open(QIODevice::ReadOnly)) {
            EXPECT_FALSE(untouched.readAll().contains("[View]"));
        }

        start();
        child<QAction>("MIViewBoardLarge")->trigger();
        child<QAction>("MIViewCoordinates")->trigger();
        form->close();
        QFile ini(dir.filePath(QStringLiteral("Pictog.ini")));
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        EXPECT_TRUE(text.contains("[View]\r\nboardSize=large\r\ncoordinates=1")
            || text.contains("[View]\nboardSize=large\ncoordinates=1"))
            << text.toStdString();

        start();
        EXPECT_TRUE(child<QAction>("MIViewBoardLarge")->isChecked());
        EXPECT_TRUE(child<QAction>("MIViewCoordinates")->isChecked());
        EXPECT_EQ(board()->width(), 608);
        EXPECT_TRUE(board()->coordinates());
    }

} // namespace
} // namespace pictog::gui::test
