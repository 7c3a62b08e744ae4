// The window's scalable diagrams: the export dialog writes what pictog-cli writes for the same
// choices and previews that picture, Save as SVG/PDF reuse the last choices, the three-form copy
// puts picture, FEN line and HTML on the clipboard, and the choices survive a restart.
#include "gui_window_test.h"

#include "export_dialog.h"
#include "main_form.h"
#include "qt_platform.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/stat.h>

namespace pictog::gui::test {
namespace {

    constexpr const char* Line = "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3";

    QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // A PDF's creation time is the only part that differs between two runs.
    QByteArray sameInEveryProcess(const QByteArray& file)
    {
        const QRegularExpression date(QStringLiteral("/CreationDate \\(D:[0-9Z+'-]*\\)"));
        return QString::fromLatin1(file)
            .replace(date, QStringLiteral("/CreationDate ()"))
            .toLatin1();
    }

    class ExportTest : public WindowTest
    {
    public:
        void SetUp() override
        {
            QFile ini(dir.filePath("Pictog.ini"));
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write(
                "[Diagram Layout]\nshowBorder=0\n\n[HTML Settings]\ncolorDarkSquares=#806040\n");
        }
        void setUpPosition()
        {
            platform.clipboard.setText(QString::fromLatin1(Line));
            trigger("MIEditPaste");
            child<QLineEdit>("EditHeader1")->setText("Four Knights?");
            child<QLineEdit>("EditFooter2")->setText("White to move");
            Annotations a;
            ASSERT_FALSE(parseAnnotationComment("[%csl Rf7][%cal Gf3g5,Yd1h5]", a));
            form->setAnnotations(a);
        }
        // Runs File > Export diagram, waits in the dialog for the preview of the current choices,
        // lets `adjust` change them and presses Save.
        QImage exportThroughDialog(const std::function<void(TDlgExportDiagram&)>& adjust = {})
        {
            QImage preview;
            QTimer::singleShot(0, [&] {
                TDlgExportDiagram& dialog = form->exportDialog();
                if (adjust)
                    adjust(dialog);
                QElapsedTimer clock;
                clock.start();
                while ((dialog.previewPending() || dialog.previewImage().isNull())
                    && clock.elapsed() < 20000)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                preview = dialog.previewImage();
                dialog.accept();
            });
            trigger("MIFileExportDiagram");
            return preview;
        }
        QByteArray cli(QStringList args, const QString& out)
        {
            QProcess process;
            args = QStringList { "--ini", dir.filePath("Pictog.ini"), "export" } + args
                + QStringList { "-o", out, QString::fromLatin1(Line) };
            process.start(QStringLiteral(PICTOG_BIN_DIR "/pictog-cli"), args);
            EXPECT_TRUE(process.waitForFinished(30000));
            EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
            return readAll(out);
        }
    };

    struct ExportRow {
        const char* what;
        std::function<void(DiagramExportSettings&)> choose;
        bool flipView;
        QStringList cliArgs; // the format first
    };

    TEST_F(ExportTest, DialogWritesTheBytesOfTheCommandLineAndPreviewsThatPicture)
    {
        const QStringList ann { "--arrows", "Gf3g5,Yd1h5", "--squares", "Rf7" };
        const QStringList captions { "--header1", "Four Knights?", "--footer2", "White to move" };
        const ExportRow rows[] = {
            { "PNG with everything", [](DiagramExportSettings&) {}, false,
                QStringList { "png" } + ann + captions },
            { "PNG flipped in gray at 20 px, no captions",
                [](DiagramExportSettings& s) {
                    s.squarePx = 20;
                    s.style = DiagramStyle::Gray;
                    s.captions = false;
                },
                true, QStringList { "png", "--square", "20", "--style", "gray", "--flip" } + ann },
            { "PNG for print, 300 dpi, 2 inches, with the mark",
                [](DiagramExportSettings& s) {
                    s.sizeMode = ExportSizeMode::Print;
                    s.boardWidth = 2;
                    s.boardWidthUnit = LengthUnit::Inches;
                    s.style = DiagramStyle::Print;
                    s.marker = true;
                    s.drawAnnotations = false;
                },
                false,
                QStringList {
                    "png", "--dpi", "300", "--square-mm", "6.35", "--style", "print", "--marker" }
                    + captions },
            { "SVG at 57 px",
                [](DiagramExportSettings& s) {
                    s.format = ExportFormat::Svg;
                    s.squarePx = 57;
                },
                false, QStringList { "svg", "--square", "57" } + ann + captions },
            { "PNG in brown, coordinates inside, thin frame, transparent",
                [](DiagramExportSettings& s) {
                    s.theme = BoardTheme::Brown;
                    s.coordinates = CoordinatePlace::Inside;
                    s.frame = FrameStyle::Thin;
                    s.transparent = true;
                },
                false,
                QStringList { "png", "--theme", "brown", "--coords", "inside", "--frame", "thin",
                    "--background", "none" }
                    + ann + captions },
            { "PDF at 40 mm, 600 dpi, flipped",
                [](DiagramExportSettings& s) {
                    s.format = ExportFormat::Pdf;
                    s.sizeMode = ExportSizeMode::Print;
                    s.dpi = 600;
                    s.boardWidth = 40;
                },
                true,
                QStringList { "pdf", "--dpi", "600", "--square-mm", "5", "--flip" } + ann
                    + captions },
        };
        start();
        setUpPosition();
        for (const ExportRow& row : rows) {
            SCOPED_TRACE(row.what);
            DiagramExportSettings settings;
            row.choose(settings);
            form->params().setDiagramExport(settings);
            if (child<QAction>("MIViewFlipBoard")->isChecked() != row.flipView)
                trigger("MIViewFlipBoard");
            const QString ext = row.cliArgs[0];
            const QString file = dir.filePath("gui." + ext);
            platform.saveDialog.answers << file;
            const QImage preview = exportThroughDialog();

            const SaveDialogRequest& request = platform.saveDialog.requests.back();
            EXPECT_EQ(request.defaultSuffix, ext) << "lower-case extension";
            const QByteArray written = readAll(file);
            const QByteArray expected = cli(row.cliArgs, dir.filePath("cli." + ext));
            ASSERT_FALSE(written.isEmpty());
            if (ext == "pdf")
                EXPECT_EQ(sameInEveryProcess(written), sameInEveryProcess(expected));
            else
                EXPECT_EQ(written, expected);
            if (ext == "png") {
                const QImage decoded = QImage::fromData(written, "PNG");
                EXPECT_EQ(preview.convertToFormat(QImage::Format_RGB32),
                    decoded.convertToFormat(QImage::Format_RGB32))
                    << "the preview is the written picture";
            } else {
                EXPECT_FALSE(preview.isNull());
            }
            EXPECT_EQ(
                form->params().diagramExport().lastExportDir, (dir.path() + "/").toStdString());
        }
        EXPECT_TRUE(platform.messages.shown.isEmpty());
    }

    // The board's look in the preview, chosen in the dialog: the theme's colours on the squares
    // (a1 dark), coordinates beside the board, in its edge squares or nowhere, a line around it
    // or none. The board is found as the pixels of its two square colours.
    TEST_F(ExportTest, PreviewShowsTheChosenThemeCoordinatesAndFrame)
    {
        constexpr int Sq = 40;
        struct Row {
            int theme, coordinates, frame; // entries of the dialog's lists
            QRgb light, dark;
            bool outside, inside, line, transparent;
        };
        const Row rows[] = {
            { 1, 3, 2, 0xF0D9B5, 0xB58863, false, false, false, false },
            { 2, 2, 1, 0xEEEED2, 0x769656, false, true, true, false },
            { 3, 1, 2, 0xDCDCDC, 0xA0A0A0, true, false, false, false },
            { 0, 0, 0, 0x9EC2EF, 0x806040, true, false, true, false }, // as the settings say
            { 0, 3, 1, 0x9EC2EF, 0x806040, false, false, true, true },
        };
        start();
        platform.clipboard.setText(QString::fromLatin1(Line));
        trigger("MIEditPaste");
        for (const Row& row : rows) {
            SCOPED_TRACE(row.theme * 100 + row.coordinates * 10 + row.frame);
            platform.saveDialog.answers << dir.filePath("look.png");
            const QImage image = exportThroughDialog([&](TDlgExportDiagram& d) {
                d.findChild<QSpinBox*>("SpinSquarePx")->setValue(Sq);
                d.findChild<QComboBox*>("ComboTheme")->setCurrentIndex(row.theme);
                d.findChild<QComboBox*>("ComboCoordinates")->setCurrentIndex(row.coordinates);
                d.findChild<QComboBox*>("ComboFrame")->setCurrentIndex(row.frame);
                d.findChild<QCheckBox*>("CheckTransparent")->setChecked(row.transparent);
            }).convertToFormat(QImage::Format_ARGB32);
            const auto rgb = [&](int x, int y) { return image.pixel(x, y) & 0xFFFFFF; };
            const auto background = [&](int x, int y) {
                return row.transparent ? qAlpha(image.pixel(x, y)) == 0
                                       : image.pixel(x, y) == 0xFFBCBCC5; // the settings' default
            };
            QRect board;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) == 255
                        && (rgb(x, y) == row.light || rgb(x, y) == row.dark))
                        board |= QRect(x, y, 1, 1);
            ASSERT_EQ(board.size(), QSize(8 * Sq, 8 * Sq));
            // a4 (empty, light) and h4 (empty, dark); letters inside go into a4's corner.
            const QRect a4(board.left(), board.top() + 4 * Sq, Sq, Sq);
            EXPECT_EQ(rgb(a4.center().x(), a4.center().y()), row.light);
            EXPECT_EQ(rgb(board.right() - Sq / 2, a4.center().y()), row.dark);
            bool a4Plain = true, bandPlain = true;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    if (a4.contains(x, y))
                        a4Plain = a4Plain && rgb(x, y) == row.light;
                    // Beyond the line (two pixels at most): background only, unless letters.
                    else if (!board.adjusted(-2, -2, 2, 2).contains(x, y))
                        bandPlain = bandPlain && background(x, y);
                }
            EXPECT_EQ(!a4Plain, row.inside);
            EXPECT_EQ(!bandPlain, row.outside);
            EXPECT_EQ(!background(board.left() - 1, a4.top()), row.line);
        }
    }

    // With Options > HTML "embed", each HTML code of the window carries every piece image as a
    // data: URI of that very file, in the order the plain code links them, as pictog-cli export
    // html --embed writes it; an image that cannot be read is reported and nothing is copied.
    TEST_F(ExportTest, EmbeddedHtmlCarriesTheBytesOfEachImageFile)
    {
        const QString folder = dir.filePath("pieces");
        QDir().mkpath(folder);
        for (const QString& name : QDir(PICTOG_BIN_DIR "/chesspieces").entryList(QDir::Files))
            QFile::copy(PICTOG_BIN_DIR "/chesspieces/" + name, folder + "/" + name);
        QFile ini(dir.filePath("Pictog.ini"));
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write(("localImageBase=" + folder + "\n").toUtf8());
        ini.close();
        start();
        setUpPosition();
        trigger("MIEditCopyAsHTML");
        const auto captured = [](const char* pattern, const QString& text) {
            QStringList found;
            for (const auto& match : QRegularExpression(pattern).globalMatch(text))
                found << match.captured(1);
            return found;
        };
        const QStringList names
            = captured("src=\"[^\"]*/(\\w+\\.gif)\"", platform.clipboard.text());
        ASSERT_EQ(names.size(), 33) << "32 pieces and the side-to-move image";

        form->params().setHtmlExport(HtmlExportSettings { true });
        const std::function<QString()> outputs[] = {
            [&] { return trigger("MIEditCopyAsHTML"), platform.clipboard.text(); },
            [&] {
                QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
                return platform.clipboard.heldHtml;
            },
            [&] {
                child<QPushButton>("BtnPreviewHTML")->click();
                return QString::fromUtf8(readAll(dir.filePath("Pictog.html")));
            },
        };
        for (const auto& output : outputs) {
            const QString html = output();
            const QStringList uris = captured("src=\"data:image/gif;base64,([^\"]*)\"", html);
            ASSERT_EQ(uris.size(), names.size());
            EXPECT_EQ(html.count("src=\""), uris.size()) << "no image left linked";
            for (qsizetype i = 0; i < names.size(); ++i)
                EXPECT_EQ(
                    QByteArray::fromBase64(uris[i].toLatin1()), readAll(folder + "/" + names[i]));
        }
        EXPECT_EQ(platform.clipboard.heldHtml,
            QString::fromLatin1(cli(
                { "html", "--embed", "--header1", "Four Knights?", "--footer2", "White to move" },
                dir.filePath("cli.html"))));
        EXPECT_TRUE(platform.messages.shown.isEmpty());

        // An image that is a FIFO is reported at once rather than waited for.
        QFile::remove(folder + "/" + names[0]);
        ASSERT_EQ(mkfifo(QFile::encodeName(folder + "/" + names[0]).constData(), 0600), 0);
        platform.clipboard.setText("untouched");
        trigger("MIEditCopyAsHTML");
        EXPECT_EQ(platform.clipboard.text(), "untouched");
        EXPECT_EQ(platform.messages.shown,
            QStringList { "Cannot read the piece image " + folder + "/" + names[0] });
    }

    TEST_F(ExportTest, ChoicesSurviveARestartAndDriveSaveAsSvgAndPdf)
    {
        start();
        setUpPosition();
        QDir(dir.path()).mkdir("out");
        platform.saveDialog.answers << dir.filePath("out/first.png");
        exportThroughDialog([](TDlgExportDiagram& dialog) {
            dialog.findChild<QSpinBox*>("SpinSquarePx")->setValue(24);
            dialog.findChild<QComboBox*>("ComboStyle")->setCurrentIndex(1);
            dialog.findChild<QCheckBox*>("CheckMarker")->setChecked(true);
        });
        const QStringList everything { "--arrows", "Gf3g5,Yd1h5", "--squares", "Rf7", "--header1",
            "Four Knights?", "--footer2", "White to move" };
        EXPECT_EQ(readAll(dir.filePath("out/first.png")),
            cli(QStringList { "png", "--square", "24", "--style", "gray", "--marker" } + everything,
                dir.filePath("cli.png")));
        form->close();

        start();
        const DiagramExportSettings& s = form->params().diagramExport();
        EXPECT_EQ(s.squarePx, 24);
        EXPECT_EQ(s.style, DiagramStyle::Gray);
        EXPECT_TRUE(s.marker);
        EXPECT_EQ(s.lastExportDir, (dir.path() + "/out/").toStdString());
        const char* const items[][2]
            = { { "MIFileSaveAsSVG", "svg" }, { "MIFileSaveAsPDF", "pdf" } };
        for (const auto& [item, ext] : items) {
            const QString file = dir.filePath(QStringLiteral("out/next.") + ext);
            platform.saveDialog.answers << file;
            trigger(item);
            const SaveDialogRequest& request = platform.saveDialog.requests.back();
            EXPECT_EQ(request.initialDir, dir.path() + "/out/");
            EXPECT_EQ(request.defaultSuffix, ext);
            const QByteArray written = readAll(file);
            const QByteArray expected = cli(
                QStringList { ext, "--square", "24", "--style", "gray", "--marker" } + everything,
                dir.filePath(QStringLiteral("cli.") + ext));
            EXPECT_EQ(sameInEveryProcess(written), sameInEveryProcess(expected)) << item;
        }
        // A cancelled dialog keeps the stored choices.
        QTimer::singleShot(0, [&] {
            TDlgExportDiagram& dialog = form->exportDialog();
            dialog.findChild<QSpinBox*>("SpinSquarePx")->setValue(99);
            // The unit changes the number shown, not the width.
            dialog.findChild<QDoubleSpinBox*>("SpinBoardWidth")->setValue(50.8);
            dialog.findChild<QComboBox*>("ComboUnit")->setCurrentIndex(1);
            EXPECT_DOUBLE_EQ(dialog.findChild<QDoubleSpinBox*>("SpinBoardWidth")->value(), 2.0);
            EXPECT_DOUBLE_EQ(dialog.settings().squareMm(), 50.8 / 8);
            dialog.reject();
        });
        trigger("MIFileExportDiagram");
        EXPECT_EQ(form->params().diagramExport().squarePx, 24);
    }

    TEST_F(ExportTest, OneCopyPutsPictureFenAndHtmlOnTheClipboard)
    {
        start();
        setUpPosition();
        trigger("MIEditCopyAsHTML");
        const QString html = *platform.clipboard.heldText;
        QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_TRUE(platform.clipboard.heldPng.has_value());
        EXPECT_EQ(*platform.clipboard.heldPng,
            cli(QStringList { "png", "--arrows", "Gf3g5,Yd1h5", "--squares", "Rf7", "--header1",
                    "Four Knights?", "--footer2", "White to move" },
                dir.filePath("cli.png")));
        EXPECT_EQ(platform.clipboard.text(), Line);
        EXPECT_EQ(platform.clipboard.heldHtml, html);

        // The program's own clipboard adapter offers the three forms, and each reads back.
        QtClipboard clipboard;
        clipboard.setDiagram(*platform.clipboard.heldPng, platform.clipboard.text(), html);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        EXPECT_TRUE(data->hasFormat("image/png"));
        EXPECT_EQ(QImage::fromData(data->data("image/png"), "PNG").size(),
            QImage::fromData(*platform.clipboard.heldPng, "PNG").size());
        EXPECT_EQ(data->text(), Line);
        EXPECT_EQ(data->html(), html);
    }

} // namespace
} // namespace pictog::gui::test
