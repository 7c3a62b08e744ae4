// The board at other sizes: the square under every pixel at each size and orientation, real
// mouse drags and Ctrl gestures at Large and Fit to window, the arrow shown while it is drawn,
// the panel moved beside the board, and the View section of the settings.
#include "gui_window_test.h"

#include "board_picture.h"
#include "board_widget.h"
#include "main_form.h"

#include "diagram/annotations.h"
#include "position/chess_position.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
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

    TEST(BoardPictureTest, APiecePictureOverItsSquareIsTheRenderedBoardThere)
    {
        struct Row {
            int piece;
            const char* square;
            bool flip;
            int devSquare;
        };
        const Row rows[] = { { WhiteKnight, "e4", false, 76 }, { BlackQueen, "d8", false, 57 },
            { WhitePawn, "a1", true, 76 }, { BlackKing, "h5", true, 152 } };
        const ColorValue light = colorValue(240, 217, 181);
        const ColorValue dark = colorValue(181, 136, 99);
        for (const Row& row : rows) {
            SCOPED_TRACE(row.square);
            BoardPicture picture;
            BoardPicture::Pieces pieces {};
            const int s = sq(row.square);
            pieces[static_cast<std::size_t>(s)] = row.piece;
            const QImage board = picture.board(pieces, row.flip, light, dark, row.devSquare);
            ASSERT_EQ(board.width(), 8 * row.devSquare);
            // Where the square is on the screen, and its colour (a1 is dark).
            const int column = row.flip ? 7 - fileOf(s) : fileOf(s);
            const int line = row.flip ? rankOf(s) : 7 - rankOf(s);
            const ColorValue c = (fileOf(s) + rankOf(s)) % 2 ? light : dark;
            QImage composed(row.devSquare, row.devSquare, QImage::Format_ARGB32_Premultiplied);
            composed.fill(QColor(redOf(c), greenOf(c), blueOf(c)));
            QPainter(&composed).drawImage(0, 0, picture.piece(row.piece, row.devSquare));
            const QImage rendered = board.copy(
                column * row.devSquare, line * row.devSquare, row.devSquare, row.devSquare);
            int worst = 0;
            int inked = 0;
            for (int y = 0; y < row.devSquare; ++y)
                for (int x = 0; x < row.devSquare; ++x) {
                    const QRgb a = composed.pixel(x, y);
                    const QRgb b = rendered.pixel(x, y);
                    worst = std::max({ worst, std::abs(qRed(a) - qRed(b)),
                        std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b)) });
                    inked += a != composed.pixel(0, 0);
                }
            EXPECT_LE(worst, 2);
            EXPECT_GT(inked, row.devSquare * row.devSquare / 8) << "the piece is there";
        }
    }

    class BoardSizeTest : public WindowTest
    {
    public:
        bool flipped = false;

        void paste(const char* text)
        {
            platform.clipboard.setText(QString::fromLatin1(text));
            child<QAction>("MIEditPaste")->trigger();
        }
        // The centre of a square as the board shows it now: right of the coordinates' band,
        // which takes what the widget has beyond eight squares.
        QPoint centre(const char* name) const
        {
            const int square = board()->squareSize();
            const int band = board()->width() - 8 * square;
            const int s = flipped ? 77 - sq(name) : sq(name);
            return { band + square * fileOf(s) + square / 2,
                square * (7 - rankOf(s)) + square / 2 };
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
        const QImage classicKing = child<QLabel>("ImageKing")->pixmap().toImage();

        child<QAction>("MIViewBoardLarge")->trigger();
        EXPECT_EQ(board()->size(), QSize(608, 608));
        EXPECT_TRUE(board()->drawsScaled());
        // The palette's pictures grow to the board's 76-pixel squares: 38 more.
        const int palette = 38;
        EXPECT_EQ(child<QWidget>("ImagePawn")->size(), QSize(76, 76));
        EXPECT_EQ(child<QLabel>("ImageKing")->pixmap().size(), QSize(76, 76)) << "drawn at size";
        EXPECT_EQ(form->centralWidget()->size(), QSize(722 + 304 + palette, 417 + 304));
        EXPECT_EQ(
            child<QGroupBox>("GroupBox1")->geometry(), classicGroup.translated(304 + palette, 0));
        EXPECT_EQ(child<QLineEdit>("EditFENLine")->geometry(),
            QRect(
                classicLine.topLeft() + QPoint(palette, 304), classicLine.size() + QSize(304, 0)));
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
        EXPECT_EQ(child<QWidget>("ImagePawn")->geometry(), QRect(16, 336, 38, 38));
        EXPECT_EQ(child<QLabel>("ImageKing")->pixmap().toImage(), classicKing)
            << "the classic picture again";
        EXPECT_EQ(child<QLineEdit>("EditFENLine")->geometry(), classicLine);
    }

    TEST_F(BoardSizeTest, DragsPlacementAndGesturesWorkAtLargeAndFitInBothOrientations)
    {
        struct Row {
            const char* size;
            bool flip;
            bool coordinates; // outside the board: the squares move right of their band
        };
        const Row rows[]
            = { { "MIViewBoardLarge", false, false }, { "MIViewBoardLarge", true, false },
                  { "MIViewBoardFit", false, false }, { "MIViewBoardFit", true, false },
                  { "MIViewBoardLarge", false, true }, { "MIViewBoardLarge", true, true },
                  { "MIViewBoardFit", false, true }, { "MIViewBoardFit", true, true } };
        start();
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.size) + (row.flip ? " flipped" : "")
                + (row.coordinates ? " coordinates" : ""));
            child<QAction>("MIViewCoordinates")->setChecked(row.coordinates);
            child<QAction>(row.size)->trigger();
            form->resize(1100, 900);
            QApplication::processEvents();
            EXPECT_EQ(board()->width() > 8 * board()->squareSize(), row.coordinates);
            flip(row.flip);
            paste(InitialLine);
            // A click on the band beside a square is on no square: a1 keeps its rook.
            if (row.coordinates) {
                QTest::mouseClick(
                    board(), Qt::RightButton, Qt::NoModifier, QPoint(2, centre("a1").y()));
                EXPECT_EQ(line(), InitialLine);
            }
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

    TEST_F(BoardSizeTest, CoordinatesGoBesideTheLargerBoardAndFollowTheFlip)
    {
        start();
        paste(InitialLine);
        child<QAction>("MIViewCoordinates")->trigger();
        EXPECT_EQ(board()->size(), QSize(304, 304)) << "beside the classic board no room";
        child<QAction>("MIViewBoardLarge")->trigger();
        const int square = 76;
        const int band = board()->width() - 8 * square;
        ASSERT_GE(band, 12);
        ASSERT_EQ(board()->height(), board()->width());
        QImage shown[2];
        for (const bool turned : { false, true }) {
            flip(turned);
            shown[turned] = board()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        }
        // The band's empty corner gives its background; every label cell holds some ink.
        const QRgb background = shown[0].pixel(0, shown[0].height() - 1);
        const auto cell = [&](bool turned, bool rank, int i) {
            return shown[turned].copy(rank ? QRect(0, i * square, band, square)
                                           : QRect(band + i * square, 8 * square, square, band));
        };
        const auto inked = [background](const QImage& image) {
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) != background)
                        return true;
            return false;
        };
        for (const bool turned : { false, true }) {
            EXPECT_FALSE(inked(shown[turned].copy(0, 8 * square, band, band)));
            for (int i = 0; i < 8; ++i) {
                EXPECT_TRUE(inked(cell(turned, true, i))) << "rank cell " << i;
                EXPECT_TRUE(inked(cell(turned, false, i))) << "file cell " << i;
            }
        }
        // A label is where the board shows its rank or file: 1 and a at the bottom left with
        // White below, at the top and right when flipped.
        struct Row {
            const char* label;
            bool rank;
            int index; // row from the top or column from the left, White below
            int flippedIndex;
        };
        const Row rows[] = { { "1", true, 7, 0 }, { "8", true, 0, 7 }, { "4", true, 4, 3 },
            { "a", false, 0, 7 }, { "h", false, 7, 0 }, { "c", false, 2, 5 } };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.label);
            EXPECT_EQ(cell(false, row.rank, row.index), cell(true, row.rank, row.flippedIndex));
            EXPECT_NE(cell(false, row.rank, row.index), cell(false, row.rank, row.flippedIndex));
        }
        // The board itself starts right of the band: h4's right edge is a dark square there.
        const ColorValue dark = board()->board().DarkSquareColor();
        EXPECT_EQ(QColor(shown[0].pixel(band + 8 * square - 2, 4 * square + square / 2)),
            QColor(redOf(dark), greenOf(dark), blueOf(dark)));
    }

    TEST_F(BoardSizeTest, ThePaletteColourSwitchPlacesBlackWithTheLeftButtonAndWhiteWithTheRight)
    {
        struct Row {
            bool black;
            Qt::MouseButton button;
            const char* expected; // the piece placed on d4
        };
        const Row rows[] = { { false, Qt::LeftButton, "3Q4" }, { false, Qt::RightButton, "3q4" },
            { true, Qt::LeftButton, "3q4" }, { true, Qt::RightButton, "3Q4" } };
        start();
        const QImage whiteKing = child<QLabel>("ImageKing")->pixmap().toImage();
        auto* before = form->findChild<QWidget*>(QStringLiteral("BtnPaletteColour"));
        EXPECT_TRUE(before == nullptr || !before->isVisible()) << "the classic window has none";
        child<QAction>("MIViewBoardLarge")->trigger();
        auto* colour = child<QAbstractButton>("BtnPaletteColour");
        ASSERT_TRUE(colour->isVisible());
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.black ? "black " : "white ") + row.expected);
            paste("8/8/8/8/8/8/8/8 w - - 0 1");
            if (colour->isChecked() != row.black)
                QTest::mouseClick(colour, Qt::LeftButton);
            QTest::mouseClick(child<QWidget>("ImageQueen"), Qt::LeftButton);
            QTest::mouseClick(board(), row.button, Qt::NoModifier, centre("d4"));
            EXPECT_EQ(line(), QString::fromLatin1("8/8/8/8/") + row.expected + "/8/8/8 w - - 0 1");
        }
        // Fit to window at its smallest has 38-pixel squares: the classic white pictures, and
        // black ones drawn at that size when the switch says Black.
        child<QAction>("MIViewBoardFit")->trigger();
        form->resize(100, 100);
        QApplication::processEvents();
        ASSERT_EQ(board()->squareSize(), 38);
        for (const bool black : { true, false }) {
            colour->setChecked(black);
            const QImage king = child<QLabel>("ImageKing")->pixmap().toImage();
            EXPECT_EQ(king.size(), QSize(38, 38));
            EXPECT_EQ(king == whiteKing, !black) << "black " << black;
        }
        // Back at the classic size the switch is gone and the palette places white again.
        child<QAction>("MIViewBoardClassic")->trigger();
        EXPECT_FALSE(colour->isVisible());
        EXPECT_FALSE(colour->isChecked());
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
        EXPECT_EQ(board()->squareSize(), 76);
        EXPECT_TRUE(board()->coordinates());
    }

} // namespace
} // namespace pictog::gui::test
