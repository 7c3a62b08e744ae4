// The option dialogs, the About and Licence boxes and the help viewer, driven through their
// controls as a user drives them, with a settings store in a temporary program folder and
// recording stand-ins for the help viewer, the shell and the colour picker.
#include "gui_test_support.h"

#include "about_box.h"
#include "general_options_dialog.h"
#include "help_file.h"
#include "help_viewer.h"
#include "html_options_dialog.h"
#include "licence_box.h"
#include "main_form.h"
#include "qt_platform.h"
#include "spin_edit.h"

#include "export/forum_schemes.h"
#include "settings/pictog_params.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace pictog::gui::test {
namespace {

    QString qs(const std::string& text)
    {
        return QString::fromStdString(text);
    }

    template <class T> T* child(const QWidget& parent, const char* name)
    {
        T* found = parent.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Shows a dialog modelessly and makes it the active window, so focus changes inside it send
    // their focus events as they do on a desktop.
    void showActive(QWidget& window)
    {
        window.show();
        window.activateWindow();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    class SettingsFixture : public ::testing::Test
    {
    public:
        QTemporaryDir dir;
        std::unique_ptr<TPictogParams> params;
        RecordingHelp help;

        void SetUp() override
        {
            params = std::make_unique<TPictogParams>(dir.path().toStdString());
            params->LoadSettings();
            ASSERT_FALSE(params->modified());
        }
    };

    // ---- Options: General

    struct FlagRow {
        const char* box;
        const char* caption;
        const char* hint;
        int row;
        int column;
        std::function<bool(const TPictogParams&)> get;
        std::function<void(TPictogParams&, bool)> set;
    };

    const FlagRow Flags[] = {
        { "CBActivateHistory", "history", "use last position history", 0, 0,
            &TPictogParams::activated, &TPictogParams::setActivated },
        { "CBShowCoordinates", "coordinates", "show coordinates", 1, 0, &TPictogParams::coordinates,
            &TPictogParams::setCoordinates },
        { "CBShowBorder", "border", "show border around diagram", 1, 1, &TPictogParams::showBorder,
            &TPictogParams::setShowBorder },
        { "CBShowFENLine", "FEN line", "show FEN line underneath the diagram", 2, 0,
            &TPictogParams::showFenLine, &TPictogParams::setShowFenLine },
        { "CBShowSideToMove", "side to move", "indicate which side to move", 2, 1,
            &TPictogParams::showSideToMove, &TPictogParams::setShowSideToMove },
        { "CBShowHeader", "header", "show header line(s)", 3, 0, &TPictogParams::showHeader,
            &TPictogParams::setShowHeader },
        { "CBShowFooter", "footer", "show footer line(s)", 3, 1, &TPictogParams::showFooter,
            &TPictogParams::setShowFooter },
    };

    using GeneralOptionsTest = SettingsFixture;

    TEST_F(GeneralOptionsTest, EveryBoxHasItsCaptionHintAndPlace)
    {
        TDlgGeneralOptions dialog(*params, &help);
        EXPECT_EQ(dialog.windowTitle(), "Options: General");
        auto* grid = child<QGridLayout>(dialog, "BevelLayout");
        ASSERT_NE(grid, nullptr);
        for (const FlagRow& flag : Flags) {
            SCOPED_TRACE(flag.box);
            auto* box = child<QCheckBox>(dialog, flag.box);
            EXPECT_EQ(box->text(), flag.caption);
            EXPECT_EQ(box->toolTip(), flag.hint);
            int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(grid->indexOf(box), &row, &column, &rowSpan, &columnSpan);
            EXPECT_EQ(row, flag.row);
            EXPECT_EQ(column, flag.column);
        }
        EXPECT_EQ(grid->itemAtPosition(0, 1), nullptr) << "history stands alone in its row";
        EXPECT_EQ(dialog.HelpBtn()->text(), "&Help");
        EXPECT_TRUE(dialog.OKBtn()->isDefault());
    }

    TEST_F(GeneralOptionsTest, TabOrderRunsFromTheButtonsThroughTheBoxes)
    {
        TDlgGeneralOptions dialog(*params, &help);
        const QStringList expected = { "OKBtn", "CancelBtn", "HelpBtn", "CBActivateHistory",
            "CBShowBorder", "CBShowCoordinates", "CBShowFENLine", "CBShowHeader", "CBShowFooter",
            "CBShowSideToMove", "OKBtn" };
        QStringList chain;
        QWidget* w = dialog.OKBtn();
        for (int i = 0; i < 40 && chain.size() < expected.size(); ++i, w = w->nextInFocusChain())
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w->objectName();
        EXPECT_EQ(chain, expected);
    }

    // Each box in turn: the other six stay as stored and the store is marked modified only for
    // the flag that really changed.
    TEST_F(GeneralOptionsTest, OkStoresEachBoxIntoItsOwnSetting)
    {
        for (const FlagRow& flag : Flags) {
            SCOPED_TRACE(flag.box);
            SetUp();
            TDlgGeneralOptions dialog(*params, &help);
            dialog.show();
            auto* box = child<QCheckBox>(dialog, flag.box);
            EXPECT_TRUE(box->isChecked()) << "every flag is on by default";
            QTest::mouseClick(box, Qt::LeftButton);
            QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_FALSE(dialog.isVisible());
            for (const FlagRow& other : Flags)
                EXPECT_EQ(other.get(*params), &other != &flag) << other.box;
            EXPECT_TRUE(params->modified());
        }
    }

    TEST_F(GeneralOptionsTest, OkWithoutChangeOrWithTogglesUndoneLeavesTheStoreUnmodified)
    {
        TDlgGeneralOptions dialog(*params, &help);
        dialog.show();
        QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
        EXPECT_FALSE(params->modified());

        dialog.show();
        auto* box = child<QCheckBox>(dialog, "CBShowFooter");
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
        EXPECT_FALSE(params->modified());
    }

    // Cancel, Escape and the close box all discard the toggles, and the next showing reloads the
    // stored values rather than the discarded ones.
    TEST_F(GeneralOptionsTest, EveryWayOfCancellingLeavesTheSettings)
    {
        const std::function<void(TDlgGeneralOptions&)> cancels[] = {
            [](TDlgGeneralOptions& d) { QTest::mouseClick(d.CancelBtn(), Qt::LeftButton); },
            [](TDlgGeneralOptions& d) { QTest::keyClick(&d, Qt::Key_Escape); },
            [](TDlgGeneralOptions& d) { d.close(); },
        };
        TDlgGeneralOptions dialog(*params, &help);
        params->setShowHeader(false);
        params->setActivated(false);
        ASSERT_TRUE(params->SaveSettings());
        for (const auto& cancel : cancels) {
            showActive(dialog);
            for (const FlagRow& flag : Flags)
                EXPECT_EQ(child<QCheckBox>(dialog, flag.box)->isChecked(), flag.get(*params))
                    << flag.box;
            for (const FlagRow& flag : Flags)
                QTest::mouseClick(child<QCheckBox>(dialog, flag.box), Qt::LeftButton);
            cancel(dialog);
            EXPECT_FALSE(dialog.isVisible());
            EXPECT_EQ(dialog.result(), QDialog::Rejected);
            EXPECT_FALSE(params->modified());
            EXPECT_FALSE(params->activated());
            EXPECT_FALSE(params->showHeader());
            EXPECT_TRUE(params->showBorder());
        }
    }

    TEST_F(GeneralOptionsTest, HelpShowsItsTopicAndKeepsTheUnsavedStates)
    {
        TDlgGeneralOptions dialog(*params, &help);
        dialog.show();
        auto* box = child<QCheckBox>(dialog, "CBShowBorder");
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(dialog.HelpBtn(), Qt::LeftButton);
        EXPECT_EQ(help.requests, QStringList({ "topic:JID_Menu_Options_General" }));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(box->isChecked());
        EXPECT_TRUE(params->showBorder());
    }

    // ---- Options: HTML

    class HtmlOptionsTest : public SettingsFixture
    {
    public:
        std::unique_ptr<TDlgHtmlOptions> dialog;
        QList<QColor> pickerPresets;
        std::optional<QColor> pickerAnswer;

        void open()
        {
            if (!dialog) {
                dialog = std::make_unique<TDlgHtmlOptions>(*params, &help);
                dialog->setColorPicker([this](const QColor& initial, QWidget*) {
                    pickerPresets << initial;
                    return pickerAnswer;
                });
            }
            showActive(*dialog);
        }
        template <class T> T* get(const char* name) { return child<T>(*dialog, name); }
        QLineEdit* edit(const char* name) { return get<QLineEdit>(name); }
        QColor panel(const char* name)
        {
            return get<QFrame>(name)->palette().color(QPalette::Window);
        }
        // Types into a colour field and leaves it for the next field, as Tab does.
        void typeAndLeave(const char* field, const QString& text)
        {
            QLineEdit* e = edit(field);
            e->setFocus(Qt::TabFocusReason);
            e->selectAll();
            QTest::keyClicks(e, text);
            get<QLineEdit>("EditWebImageBase")->setFocus(Qt::TabFocusReason);
        }
        void ok() { QTest::mouseClick(dialog->OKBtn(), Qt::LeftButton); }
        void cancel() { QTest::mouseClick(dialog->CancelBtn(), Qt::LeftButton); }
    };

    TEST_F(HtmlOptionsTest, ControlsCarryTheirCaptionsHintsAndItems)
    {
        open();
        EXPECT_EQ(dialog->windowTitle(), "Options: HTML");
        const std::pair<const char*, const char*> labels[] = {
            { "LabelBorderSize", "border size" },
            { "LabelLightSquareColor", "color light squares" },
            { "LabelDarkSquareColor", "color dark squares" },
            { "LabelDiagramBackground", "diagram background" },
            { "LabelPieceSet", "piece set" },
            { "LabelAlignment", "alignment" },
            { "LabelWebImageBase", "web image base" },
            { "LabelLocalImageBase", "local image base" },
        };
        for (const auto& [name, text] : labels)
            EXPECT_EQ(get<QLabel>(name)->text(), text);
        EXPECT_EQ(get<QCheckBox>("CBCompactHTML")->text(), "compact HTML");
        for (const char* name :
            { "PanelLightSquareColor", "PanelDarkSquareColor", "PanelDiagramBackground" })
            EXPECT_EQ(get<QFrame>(name)->toolTip(), "click to select color");
        EXPECT_EQ(get<QComboBox>("ComboBoxPieceSet")->toolTip(), "select piece set");
        EXPECT_EQ(get<QComboBox>("ComboBoxSelectForumScheme")->toolTip(),
            "adapt colors and piece set for certain web resources");

        QStringList pieceSets, alignments, schemes;
        for (int i = 0; i < get<QComboBox>("ComboBoxPieceSet")->count(); ++i)
            pieceSets << get<QComboBox>("ComboBoxPieceSet")->itemText(i);
        for (int i = 0; i < get<QComboBox>("ComboBoxAlignment")->count(); ++i)
            alignments << get<QComboBox>("ComboBoxAlignment")->itemText(i);
        for (int i = 0; i < get<QComboBox>("ComboBoxSelectForumScheme")->count(); ++i)
            schemes << get<QComboBox>("ComboBoxSelectForumScheme")->itemText(i);
        EXPECT_EQ(pieceSets,
            QStringList({ " 1 (38x38) ", " 2 (32x32) ", " 3 (48x48) ", " 4 (30x30) ", " 5 (35x35) ",
                " 6 (35x35) ", " 7 (35x35) ", " 8 (35x35) " }));
        EXPECT_EQ(alignments, QStringList({ "left", "center", "right" }));
        EXPECT_EQ(schemes,
            QStringList({ "select color/forum scheme", "CCC Forum", "ChessBits Forum", "CSS Forum",
                "FCP Forum", "FCP Forum small", "Rovanel Chess", "Vornet", "WinBoard Forum" }));
        EXPECT_EQ(get<QComboBox>("ComboBoxSelectForumScheme")->currentText(),
            "select color/forum scheme");
        EXPECT_EQ(dialog->HelpBtn()->text(), "&Help");
        EXPECT_TRUE(dialog->OKBtn()->isDefault());
    }

    // What a showing puts into the controls, for stored values of every kind.
    TEST_F(HtmlOptionsTest, EveryShowingLoadsTheControlsFromTheSettings)
    {
        struct Case {
            int borderSize;
            bool compact;
            int pieceSet;
            const char* alignment;
            const char* light;
            int pieceEntry;
            int alignmentEntry;
            QColor lightPanel;
        };
        const Case cases[] = {
            { 3, true, 1, "left", "#9EC2EF", 0, 0, QColor(0x9E, 0xC2, 0xEF) },
            { 0, false, 4, "center", "#e7d0a7", 3, 1, QColor(0xE7, 0xD0, 0xA7) },
            { 10, true, 8, "right", "#123456", 7, 2, QColor(0x12, 0x34, 0x56) },
            // An invalid colour text stands as stored beside a black panel.
            { 5, false, 2, "left", "red", 1, 0, QColor(0, 0, 0) },
            { 5, false, 2, "left", "#9EC2E", 1, 0, QColor(0, 0, 0) },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.light);
            params->setBorderSize(c.borderSize);
            params->setCompact(c.compact);
            params->setPieceSet(c.pieceSet);
            params->setAlignment(c.alignment);
            params->setColorLightSquares(c.light);
            params->setWebImageBase(std::string("https://example.org/") + c.light);
            params->setLocalImageBase(std::string("/tmp/pieces ") + c.light);
            open();
            EXPECT_EQ(get<SpinEdit>("SpinEditBorderSize")->value(), c.borderSize);
            EXPECT_EQ(get<QCheckBox>("CBCompactHTML")->isChecked(), c.compact);
            EXPECT_EQ(get<QComboBox>("ComboBoxPieceSet")->currentIndex(), c.pieceEntry);
            EXPECT_EQ(get<QComboBox>("ComboBoxAlignment")->currentIndex(), c.alignmentEntry);
            EXPECT_EQ(edit("EditLightSquareColor")->text(), c.light);
            EXPECT_EQ(panel("PanelLightSquareColor"), c.lightPanel);
            EXPECT_EQ(edit("EditDarkSquareColor")->text(), "#397AAE");
            EXPECT_EQ(panel("PanelDarkSquareColor"), QColor(0x39, 0x7A, 0xAE));
            EXPECT_EQ(edit("EditDiagramBackground")->text(), "#BCBCC5");
            EXPECT_EQ(edit("EditWebImageBase")->text(), qs(params->webImageBase()));
            EXPECT_EQ(edit("EditLocalImageBase")->text(), qs(params->localImageBase()));
            EXPECT_EQ(get<QComboBox>("ComboBoxSelectForumScheme")->currentIndex(), 0);
            cancel();
        }
    }

    TEST_F(HtmlOptionsTest, StoredAlignmentAndPieceSetOutsideTheListsSelectNothingOrLeft)
    {
        // Loading keeps an out-of-range piece set as stored; the setter would clamp it.
        QFile ini(dir.filePath("Pictog.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[HTML Settings]\npieceSet=12\n");
        ini.close();
        SetUp();
        ASSERT_EQ(params->pieceSet(), 12);
        open();
        EXPECT_EQ(get<QComboBox>("ComboBoxPieceSet")->currentIndex(), -1);
        ok();
        EXPECT_EQ(params->pieceSet(), 1) << "no selection stores set 1";
        EXPECT_TRUE(params->modified());
    }

    // Leaving a colour field: a valid text stays as typed and moves the panel; anything else
    // brings back the text of the panel's colour, in upper case, without a message.
    TEST_F(HtmlOptionsTest, LeavingAColourFieldKeepsOrRestoresItsText)
    {
        struct Case {
            const char* stored;
            const char* typed;
            const char* text;
            QColor color;
        };
        const Case cases[] = {
            { "#9EC2EF", "#e7d0a7", "#e7d0a7", QColor(0xE7, 0xD0, 0xA7) },
            { "#9EC2EF", "#AbCdEf", "#AbCdEf", QColor(0xAB, 0xCD, 0xEF) },
            { "#9ec2ef", "#9EC2E", "#9EC2EF", QColor(0x9E, 0xC2, 0xEF) }, // six characters
            { "#9EC2EF", "9EC2EF0", "#9EC2EF", QColor(0x9E, 0xC2, 0xEF) }, // no "#"
            { "#9EC2EF", "red", "#9EC2EF", QColor(0x9E, 0xC2, 0xEF) },
            { "#9EC2EF", "#GGGGGG", "#9EC2EF", QColor(0x9E, 0xC2, 0xEF) },
            { "#9EC2EF", " #123456", "#9EC2EF", QColor(0x9E, 0xC2, 0xEF) },
            { "#9EC2EF", "", "#9EC2EF", QColor(0x9E, 0xC2, 0xEF) },
            // Opened with an invalid setting and nothing valid entered: the text of black.
            { "navy", "blue", "#000000", QColor(0, 0, 0) },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.typed);
            params->setColorLightSquares(c.stored);
            open();
            typeAndLeave("EditLightSquareColor", c.typed);
            EXPECT_EQ(edit("EditLightSquareColor")->text(), c.text);
            EXPECT_EQ(panel("PanelLightSquareColor"), c.color);
            cancel();
        }
        EXPECT_EQ(params->colorLightSquares(), "navy") << "Cancel stores nothing";
    }

    TEST_F(HtmlOptionsTest, LastValidColourComesBackAfterSeveralEdits)
    {
        open();
        typeAndLeave("EditDarkSquareColor", "#010203");
        typeAndLeave("EditDarkSquareColor", "#01020");
        EXPECT_EQ(edit("EditDarkSquareColor")->text(), "#010203");
        typeAndLeave("EditDiagramBackground", "#a0b0c0");
        typeAndLeave("EditDiagramBackground", "grey");
        EXPECT_EQ(edit("EditDiagramBackground")->text(), "#A0B0C0");
        EXPECT_EQ(panel("PanelDiagramBackground"), QColor(0xA0, 0xB0, 0xC0));
    }

    TEST_F(HtmlOptionsTest, ColourPickerStartsAtThePanelColourAndWritesUpperCase)
    {
        open();
        typeAndLeave("EditLightSquareColor", "#e7d0a7");
        pickerAnswer = QColor(0xE7, 0xD0, 0xA7);
        QTest::mouseClick(get<QFrame>("PanelLightSquareColor"), Qt::LeftButton);
        EXPECT_EQ(pickerPresets, QList<QColor>({ QColor(0xE7, 0xD0, 0xA7) }));
        EXPECT_EQ(edit("EditLightSquareColor")->text(), "#E7D0A7");

        pickerAnswer = QColor(0x01, 0xAB, 0xFE);
        QTest::mouseClick(get<QFrame>("PanelDiagramBackground"), Qt::LeftButton);
        EXPECT_EQ(edit("EditDiagramBackground")->text(), "#01ABFE");
        EXPECT_EQ(panel("PanelDiagramBackground"), QColor(0x01, 0xAB, 0xFE));

        pickerAnswer.reset(); // the user cancels the picker
        QTest::mouseClick(get<QFrame>("PanelDarkSquareColor"), Qt::LeftButton);
        EXPECT_EQ(pickerPresets.last(), QColor(0x39, 0x7A, 0xAE));
        EXPECT_EQ(edit("EditDarkSquareColor")->text(), "#397AAE");
        EXPECT_EQ(panel("PanelDarkSquareColor"), QColor(0x39, 0x7A, 0xAE));
        EXPECT_FALSE(params->modified());
    }

    // Every entry of the scheme list against the table it comes from, written out here again so
    // that a slip in either shows.
    TEST_F(HtmlOptionsTest, SchemesFillTheColoursAndThePieceSet)
    {
        struct Row {
            const char* light;
            const char* dark;
            const char* background;
            int pieceEntry;
        };
        const Row rows[] = {
            { nullptr, nullptr, nullptr, -1 },
            { "#9EC2EF", "#397AAE", "#BCBCC5", 0 },
            { "#e7d0a7", "#a77e5c", "#e6e0c6", 0 },
            { "#9EC2EF", "#397AAE", "#BCBCC5", 0 },
            { "#9EC2EF", "#397AAE", "#BCBCC5", 0 },
            { "#9EC2EF", "#397AAE", "#BCBCC5", 3 },
            { "#FFF8D5", "#906000", "#D0D0D0", 0 },
            { "#FFFFF0", "#009966", "#D0D0D0", 0 },
            { "#e7d0a7", "#a77e5c", "#e6e0c6", 0 },
        };
        ASSERT_EQ(std::size(rows), ForumSchemes.size());
        for (int entry = 0; entry < static_cast<int>(std::size(rows)); ++entry) {
            const Row& row = rows[entry];
            SCOPED_TRACE(entry);
            params->setColorLightSquares("#010101");
            params->setColorDarkSquares("#020202");
            params->setColorDiagramBackground("bad");
            params->setPieceSet(7);
            open();
            auto* schemes = get<QComboBox>("ComboBoxSelectForumScheme");
            // Start from another entry, so that choosing entry 0 is a change too.
            schemes->setCurrentIndex(entry == 0 ? 5 : 0);
            typeAndLeave("EditLightSquareColor", "#010101");
            typeAndLeave("EditDarkSquareColor", "#020202");
            edit("EditDiagramBackground")->setText("bad");
            get<QComboBox>("ComboBoxPieceSet")->setCurrentIndex(6);
            schemes->setCurrentIndex(entry);
            if (!row.light) {
                EXPECT_EQ(edit("EditLightSquareColor")->text(), "#010101");
                EXPECT_EQ(edit("EditDarkSquareColor")->text(), "#020202");
                EXPECT_EQ(edit("EditDiagramBackground")->text(), "bad");
                EXPECT_EQ(get<QComboBox>("ComboBoxPieceSet")->currentIndex(), 6);
            } else {
                EXPECT_EQ(edit("EditLightSquareColor")->text(), row.light);
                EXPECT_EQ(edit("EditDarkSquareColor")->text(), row.dark);
                EXPECT_EQ(edit("EditDiagramBackground")->text(), row.background);
                EXPECT_EQ(panel("PanelLightSquareColor"), QColor(QString::fromLatin1(row.light)));
                EXPECT_EQ(panel("PanelDarkSquareColor"), QColor(QString::fromLatin1(row.dark)));
                EXPECT_EQ(
                    panel("PanelDiagramBackground"), QColor(QString::fromLatin1(row.background)));
                EXPECT_EQ(get<QComboBox>("ComboBoxPieceSet")->currentIndex(), row.pieceEntry);
            }
            EXPECT_EQ(schemes->currentIndex(), entry) << "the list keeps showing the choice";
            cancel();
            EXPECT_EQ(params->colorLightSquares(), "#010101");
            EXPECT_EQ(params->colorDiagramBackground(), "bad");
            EXPECT_EQ(params->pieceSet(), 7);
        }
        open();
        EXPECT_EQ(get<QComboBox>("ComboBoxSelectForumScheme")->currentIndex(), 0)
            << "the next showing starts at the prompt again";
    }

    TEST_F(HtmlOptionsTest, OkStoresEveryControlThroughTheSetters)
    {
        open();
        get<QComboBox>("ComboBoxSelectForumScheme")->setCurrentIndex(5); // FCP Forum small
        auto* border = get<SpinEdit>("SpinEditBorderSize");
        border->setFocus(Qt::TabFocusReason);
        QTest::keyClick(border, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(border, "15");
        QTest::mouseClick(get<QCheckBox>("CBCompactHTML"), Qt::LeftButton);
        get<QComboBox>("ComboBoxAlignment")->setCurrentIndex(2);
        edit("EditWebImageBase")->setText("  http://example.org/my pieces ");
        edit("EditLocalImageBase")->setText("C:\\no such folder");
        EXPECT_FALSE(get<QCheckBox>("CBEmbedImages")->isChecked());
        QTest::mouseClick(get<QCheckBox>("CBEmbedImages"), Qt::LeftButton);
        ok();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(params->borderSize(), 10) << "the setter clamps";
        EXPECT_FALSE(params->compact());
        EXPECT_EQ(params->pieceSet(), 4);
        EXPECT_EQ(params->alignment(), "right");
        EXPECT_EQ(params->colorLightSquares(), "#9EC2EF");
        EXPECT_EQ(params->colorDarkSquares(), "#397AAE");
        EXPECT_EQ(params->colorDiagramBackground(), "#BCBCC5");
        EXPECT_EQ(params->webImageBase(), "  http://example.org/my pieces ") << "stored as typed";
        EXPECT_EQ(params->localImageBase(), "C:\\no such folder");
        EXPECT_TRUE(params->htmlExport().embedImages);
        EXPECT_TRUE(params->modified());

        ASSERT_TRUE(params->SaveSettings());
        open();
        EXPECT_EQ(get<QComboBox>("ComboBoxAlignment")->currentIndex(), 2);
        EXPECT_TRUE(get<QCheckBox>("CBEmbedImages")->isChecked()) << "the showing loads it";
        get<QComboBox>("ComboBoxAlignment")->setCurrentIndex(1);
        ok();
        EXPECT_EQ(params->alignment(), "center");
    }

    TEST_F(HtmlOptionsTest, OkWithoutChangesLeavesTheStoreUnmodified)
    {
        params->setColorLightSquares("#e7d0a7");
        params->setColorDarkSquares("not a colour");
        ASSERT_TRUE(params->SaveSettings());
        open();
        // Choosing the scheme of the stored values changes nothing either.
        get<QComboBox>("ComboBoxSelectForumScheme")->setCurrentIndex(0);
        ok();
        EXPECT_FALSE(params->modified());
        EXPECT_EQ(params->colorDarkSquares(), "not a colour") << "OK itself checks no colour";
    }

    // Enter presses OK without leaving the field: the field is checked as leaving it would, so
    // an invalid text never reaches the settings.
    TEST_F(HtmlOptionsTest, EnterInAColourFieldChecksItBeforeStoring)
    {
        const std::pair<const char*, const char*> rows[]
            = { { "#abc", "#9EC2EF" }, { "red", "#9EC2EF" }, { "#a1B2c3", "#a1B2c3" } };
        for (const auto& [typed, stored] : rows) {
            SCOPED_TRACE(typed);
            open();
            QLineEdit* light = edit("EditLightSquareColor");
            ASSERT_EQ(QApplication::focusWidget(), light);
            QTest::keyClicks(light, typed);
            QTest::keyClick(light, Qt::Key_Return);
            EXPECT_EQ(dialog->result(), QDialog::Accepted);
            EXPECT_EQ(params->colorLightSquares(), stored);
        }
    }

    // Each showing starts in the first colour field, its text selected; Tab runs down the
    // colours and the scheme, the diagram settings, the image bases, then the buttons.
    TEST_F(HtmlOptionsTest, OpensAtTheFirstColourAndTabFollowsThePicture)
    {
        const QStringList expected
            = { "EditLightSquareColor", "EditDarkSquareColor", "EditDiagramBackground",
                  "ComboBoxSelectForumScheme", "SpinEditBorderSize", "CBCompactHTML",
                  "ComboBoxPieceSet", "ComboBoxAlignment", "EditWebImageBase", "EditLocalImageBase",
                  "CBEmbedImages", "OKBtn", "CancelBtn", "HelpBtn", "EditLightSquareColor" };
        for (int showing = 0; showing < 2; ++showing) {
            open();
            QStringList chain = { QApplication::focusWidget()->objectName() };
            EXPECT_EQ(edit("EditLightSquareColor")->selectedText(), "#9EC2EF");
            while (chain.size() < expected.size()) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget* focus = QApplication::focusWidget();
                // A spin box's own edit reports as the box.
                chain << (qobject_cast<SpinEdit*>(focus->parentWidget())
                        ? focus->parentWidget()->objectName()
                        : focus->objectName());
            }
            EXPECT_EQ(chain, expected);
            cancel();
        }
    }

    // Choosing the scheme already shown, from its drop-down, undoes the edits made since.
    TEST_F(HtmlOptionsTest, ChoosingTheShownSchemeAgainAppliesIt)
    {
        open();
        auto* schemes = get<QComboBox>("ComboBoxSelectForumScheme");
        schemes->setCurrentIndex(2);
        const QString light = edit("EditLightSquareColor")->text();
        typeAndLeave("EditLightSquareColor", "#010101");
        get<QComboBox>("ComboBoxPieceSet")->setCurrentIndex(6);
        schemes->showPopup();
        QTest::keyClick(schemes->view(), Qt::Key_Return);
        EXPECT_EQ(schemes->currentIndex(), 2);
        EXPECT_EQ(edit("EditLightSquareColor")->text(), light);
        EXPECT_NE(get<QComboBox>("ComboBoxPieceSet")->currentIndex(), 6);
    }

    // Texts an older program stored in Latin-1 show as such; OK keeps their bytes unless edited.
    TEST_F(HtmlOptionsTest, LatinOneTextsShowAndKeepTheirBytes)
    {
        params->setLocalImageBase("/home/jos\xe9/Schachfiguren");
        params->setWebImageBase("http://example.org/L\xe4ufer");
        ASSERT_TRUE(params->SaveSettings());
        open();
        EXPECT_EQ(
            edit("EditLocalImageBase")->text(), QString::fromUtf8("/home/josé/Schachfiguren"));
        EXPECT_EQ(edit("EditWebImageBase")->text(), QString::fromUtf8("http://example.org/Läufer"));
        ok();
        EXPECT_FALSE(params->modified());
        EXPECT_EQ(params->localImageBase(), "/home/jos\xe9/Schachfiguren");
        open();
        QTest::keyClick(edit("EditWebImageBase"), Qt::Key_End);
        QTest::keyClicks(edit("EditWebImageBase"), "2");
        ok();
        EXPECT_EQ(params->webImageBase(), "http://example.org/L\xc3\xa4ufer2");
        EXPECT_EQ(params->localImageBase(), "/home/jos\xe9/Schachfiguren");
    }

    TEST_F(HtmlOptionsTest, CancelAfterEditsStoresNothingAndTheNextShowingReloads)
    {
        open();
        typeAndLeave("EditLightSquareColor", "#000001");
        get<QComboBox>("ComboBoxSelectForumScheme")->setCurrentIndex(2);
        get<QComboBox>("ComboBoxAlignment")->setCurrentIndex(1);
        edit("EditWebImageBase")->setText("x");
        get<SpinEdit>("SpinEditBorderSize")->setValue(9);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
        EXPECT_FALSE(params->modified());
        open();
        EXPECT_EQ(edit("EditLightSquareColor")->text(), "#9EC2EF");
        EXPECT_EQ(edit("EditDarkSquareColor")->text(), "#397AAE");
        EXPECT_EQ(get<QComboBox>("ComboBoxAlignment")->currentIndex(), 0);
        EXPECT_EQ(get<SpinEdit>("SpinEditBorderSize")->value(), 3);
        EXPECT_EQ(edit("EditWebImageBase")->text(), qs(params->webImageBase()));
    }

    TEST_F(HtmlOptionsTest, HelpShowsItsTopicAndTheDialogStaysOpen)
    {
        open();
        QTest::mouseClick(dialog->HelpBtn(), Qt::LeftButton);
        EXPECT_EQ(help.requests, QStringList({ "topic:JID_Menu_Options_HTML" }));
        EXPECT_TRUE(dialog->isVisible());
    }

    // ---- About and Licence

    TEST(AboutBoxTest, ShowsVersionPictureAndNoticeAndOpensTheHomePage)
    {
        RecordingShell shell;
        TAboutBox box(QStringLiteral("https://home.example/"), &shell);
        box.show();
        EXPECT_EQ(box.windowTitle(), "About");
        EXPECT_EQ(child<QLabel>(box, "ProductName")->text(), "Pictog");
        EXPECT_TRUE(child<QLabel>(box, "ProductName")->font().bold());
        EXPECT_EQ(child<QLabel>(box, "LblVersion")->text(), "V1.01  (12-OCT-2002)");
        EXPECT_TRUE(child<QLabel>(box, "LblVersion")->font().bold());
        EXPECT_EQ(child<QLabel>(box, "Copyright")->text(), "© 2026 The Pictog developers");
        auto* comments = child<QLabel>(box, "Comments");
        EXPECT_EQ(comments->text(), "FEN viewer / editor / diagramm generator");
        EXPECT_TRUE(comments->wordWrap());
        EXPECT_TRUE(comments->alignment() & Qt::AlignHCenter);

        auto* image = child<QLabel>(box, "ImagePictog");
        EXPECT_EQ(image->toolTip(), "Click to open the Pictog home page");
        ASSERT_FALSE(image->pixmap().isNull()) << "the picture comes from the embedded resource";
        EXPECT_EQ(image->pixmap().size(), QSize(124, 124));

        QTest::mouseClick(image, Qt::LeftButton);
        EXPECT_EQ(shell.urls, QStringList({ "https://home.example/" }));
        EXPECT_TRUE(box.isVisible()) << "the box stays open";

        auto* ok = child<QPushButton>(box, "OKButton");
        EXPECT_TRUE(ok->isDefault());
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.result(), QDialog::Accepted);
    }

    TEST(LicenceBoxTest, ReadOnlyCreamMemoWithBothScrollBarsAndNoCloseBox)
    {
        TLicenceBox box;
        EXPECT_EQ(box.windowTitle(), "Pictog: Licence");
        EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(box.windowFlags() & Qt::WindowContextHelpButtonHint);
        auto* memo = child<QPlainTextEdit>(box, "Memo1");
        EXPECT_TRUE(memo->isReadOnly());
        EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(0xFF, 0xFB, 0xF0));
        const QString terms = memo->toPlainText();
        EXPECT_LE(terms.size(), 2000);
        EXPECT_TRUE(terms.contains("Copyright")) << terms.toStdString();
        EXPECT_TRUE(terms.contains("without warranty", Qt::CaseInsensitive));
        auto* ok = child<QPushButton>(box, "BtnOK");
        EXPECT_EQ(ok->text(), "&OK");
        EXPECT_TRUE(ok->font().bold());
        EXPECT_TRUE(ok->isDefault());

        QTest::keyClicks(memo, "typed");
        EXPECT_EQ(memo->toPlainText(), terms);
    }

    // The one box is shown again and again; Enter, Escape and the button close it each time, with
    // the button holding the focus from the start.
    TEST(LicenceBoxTest, EnterEscapeAndTheButtonCloseItOnEveryShowing)
    {
        TLicenceBox box;
        const std::function<void()> closers[] = {
            [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); },
            [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); },
            [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter); },
            [&] { QTest::mouseClick(child<QPushButton>(box, "BtnOK"), Qt::LeftButton); },
            [&] {
                child<QPlainTextEdit>(box, "Memo1")->setFocus();
                QTest::keyClick(child<QPlainTextEdit>(box, "Memo1"), Qt::Key_Escape);
            },
        };
        int shown = 0;
        for (const auto& close : closers) {
            SCOPED_TRACE(shown++);
            showActive(box);
            EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(box, "BtnOK"));
            close();
            EXPECT_FALSE(box.isVisible());
        }
    }

    // ---- The help viewer

    const char* SampleHelp = R"(<html><head><title>Sample Help</title>
<style>h1 { color: navy; }</style></head><body>
<!-- topic id="JID_Contents" title="Contents" keywords="Contents; overview" -->
<h1>Contents</h1><p><a href="#JID_Second">Second topic</a></p>
<!-- topic id="JID_Second" title="The second" keywords="second; Overview of more" -->
<h1>Second</h1><p>Second body <a name="deep">deep</a></p>
<!-- topic id="JID_Menu_Options_HTML" title="HTML options" keywords="colors;HTML options" -->
<h1>HTML options</h1><p>Colour rules.</p>
</body></html>
)";

    TEST(HelpFileTest, TopicsKeywordsAndIndexComeFromTheMarkers)
    {
        const HelpDocument doc = HelpDocument::parse(QString::fromUtf8(SampleHelp));
        EXPECT_EQ(doc.title(), "Sample Help");
        ASSERT_EQ(doc.topics().size(), 3u);
        EXPECT_EQ(doc.topics()[1].id, "JID_Second");
        EXPECT_EQ(doc.topics()[1].title, "The second");
        EXPECT_EQ(doc.topics()[1].keywords, QStringList({ "second", "Overview of more" }));
        EXPECT_FALSE(doc.topics()[2].body.contains("</body>"));
        EXPECT_FALSE(doc.topics()[0].body.contains("Second body"));
        EXPECT_EQ(doc.topic("jid_second"), &doc.topics()[1]) << "ids ignore case";
        EXPECT_EQ(doc.topic("JID_None"), nullptr);
        ASSERT_EQ(doc.topicsForKeyword("contents").size(), 1u);

        QStringList keywords;
        for (const HelpIndexEntry& entry : doc.index())
            keywords << entry.keyword;
        EXPECT_EQ(keywords,
            QStringList({ "colors", "Contents", "HTML options", "overview", "Overview of more",
                "second" }));
        keywords.clear();
        for (const HelpIndexEntry& entry : doc.index("VERV"))
            keywords << entry.keyword + "->" + entry.topic->id;
        EXPECT_EQ(
            keywords, QStringList({ "overview->JID_Contents", "Overview of more->JID_Second" }));
        EXPECT_TRUE(doc.page("<p>x</p>").contains("h1 { color: navy; }"));
    }

    class HelpViewerTest : public ::testing::Test
    {
    public:
        QTemporaryDir dir;
        QtHelpViewer viewer;
        QString file = dir.filePath("Pictog.hlp");

        void write(const QByteArray& contents)
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(contents);
        }
        HelpWindow& window() { return *viewer.window(); }
    };

    // Each request of the program and what the viewer then shows.
    TEST_F(HelpViewerTest, EveryRequestShowsItsPage)
    {
        write(SampleHelp);
        viewer.setHelpFile(file);
        EXPECT_EQ(viewer.window(), nullptr) << "no window before the first request";

        struct Step {
            std::function<void()> request;
            const char* topic;
            const char* text;
        };
        const Step steps[] = {
            { [&] { viewer.showKeyword("Contents"); }, "JID_Contents", "Second topic" },
            { [&] { viewer.showKeyword(""); }, "", "Overview of more" },
            { [&] { viewer.showKeyword("HTML OPTIONS"); }, "JID_Menu_Options_HTML",
                "Colour rules." },
            { [&] { viewer.showKeyword("over"); }, "", "Overview of more" },
            { [&] { viewer.showTopic("JID_Menu_Options_HTML"); }, "JID_Menu_Options_HTML",
                "Colour rules." },
            { [&] { viewer.showTopic("JID_Menu_Options_General"); }, "", "does not exist" },
            { [&] { viewer.showHelpOnHelp(); }, "", "Using the help viewer" },
        };
        for (const Step& step : steps) {
            SCOPED_TRACE(step.text);
            step.request();
            ASSERT_NE(viewer.window(), nullptr);
            EXPECT_TRUE(window().isVisible());
            EXPECT_EQ(window().currentTopic(), step.topic);
            EXPECT_TRUE(window().pageText().contains(step.text))
                << window().pageText().toStdString();
        }
        viewer.quit();
        EXPECT_FALSE(window().isVisible());
    }

    TEST_F(HelpViewerTest, IndexNarrowsWhileTypingAndEnterOpensTheFirstKeyword)
    {
        write(SampleHelp);
        viewer.setHelpFile(file);
        viewer.showKeyword("");
        auto* keyword = child<QLineEdit>(window(), "HelpKeyword");
        QTest::keyClicks(keyword, "sec");
        EXPECT_TRUE(window().pageText().contains("second"));
        EXPECT_FALSE(window().pageText().contains("Contents"));
        QTest::keyClick(keyword, Qt::Key_Return);
        EXPECT_EQ(window().currentTopic(), "JID_Second");
    }

    TEST_F(HelpViewerTest, LinksLeadToTopicsAndBackAndForwardRetraceThem)
    {
        write(SampleHelp);
        viewer.setHelpFile(file);
        viewer.showKeyword("Contents");
        emit window().browser()->anchorClicked(QUrl("#JID_Second"));
        EXPECT_EQ(window().currentTopic(), "JID_Second");
        emit window().browser()->anchorClicked(QUrl("#deep"));
        EXPECT_EQ(window().currentTopic(), "JID_Second") << "an anchor inside the topic";
        QTest::mouseClick(child<QPushButton>(window(), "HelpBackBtn"), Qt::LeftButton);
        EXPECT_EQ(window().currentTopic(), "JID_Contents");
        QTest::mouseClick(child<QPushButton>(window(), "HelpForwardBtn"), Qt::LeftButton);
        EXPECT_EQ(window().currentTopic(), "JID_Second");
        QTest::mouseClick(child<QPushButton>(window(), "HelpContentsBtn"), Qt::LeftButton);
        EXPECT_EQ(window().currentTopic(), "JID_Contents");
        EXPECT_FALSE(child<QPushButton>(window(), "HelpForwardBtn")->isEnabled());
    }

    TEST_F(HelpViewerTest, MissingFileIsReportedInTheViewerAndReadOnceItIsThere)
    {
        viewer.setHelpFile(file);
        viewer.showKeyword("Contents");
        EXPECT_TRUE(window().pageText().contains("cannot be read"));
        EXPECT_TRUE(window().pageText().contains(file));
        viewer.showHelpOnHelp();
        EXPECT_TRUE(window().pageText().contains("Using the help viewer"))
            << "help on help needs no help file";
        write(SampleHelp);
        viewer.showTopic("JID_Second");
        EXPECT_EQ(window().currentTopic(), "JID_Second");
    }

    // ---- The help file and the manual the program ships

    QString companion(const char* name)
    {
        QFile f(QStringLiteral(PICTOG_COMPANION_DIR "/") + QString::fromLatin1(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        return QString::fromUtf8(f.readAll());
    }

    TEST(ShippedHelpTest, EveryRequestedTopicExistsAndEveryLinkLeadsSomewhere)
    {
        const QString html = companion("Pictog.hlp");
        const HelpDocument doc = HelpDocument::parse(html);
        ASSERT_GE(doc.topics().size(), 10u);
        EXPECT_EQ(doc.topicsForKeyword("Contents").size(), 1u);
        EXPECT_NE(doc.topic("JID_Menu_Options_General"), nullptr);
        EXPECT_NE(doc.topic("JID_Menu_Options_HTML"), nullptr);

        QStringList ids;
        static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        static const QRegularExpression anchor(QStringLiteral("<a name=\"([^\"]+)\""));
        for (const HelpTopic& topic : doc.topics()) {
            SCOPED_TRACE(topic.id.toStdString());
            EXPECT_FALSE(topic.id.isEmpty());
            EXPECT_FALSE(topic.title.isEmpty());
            EXPECT_FALSE(topic.keywords.isEmpty());
            EXPECT_FALSE(ids.contains(topic.id, Qt::CaseInsensitive)) << "ids are unique";
            ids << topic.id;
            QStringList anchors;
            for (auto it = anchor.globalMatch(topic.body); it.hasNext();)
                anchors << it.next().captured(1);
            for (auto it = link.globalMatch(topic.body); it.hasNext();) {
                const QString target = it.next().captured(1);
                EXPECT_TRUE(doc.topic(target) || anchors.contains(target)) << target.toStdString();
            }
        }
    }

    TEST(ShippedManualTest, IsPlainAsciiInShortLines)
    {
        const QString manual = companion("Pictog.txt");
        ASSERT_GT(manual.size(), 5000);
        int number = 0;
        for (const QString& line : manual.split(QLatin1Char('\n'))) {
            ++number;
            EXPECT_LE(line.size(), 78) << "line " << number;
            for (const QChar c : line)
                EXPECT_TRUE(c.unicode() < 127 && (c.unicode() >= 32 || c == QLatin1Char('\r')))
                    << "line " << number;
        }
    }

    // ---- The Options and Help menus of the main window

    class MainWindowMenusTest : public ::testing::Test
    {
    public:
        QTemporaryDir dir;
        QString programDir = dir.path();
        FakePlatform platform;
        PlatformServices services = platform.services();
        std::unique_ptr<TFormMain> form;

        void writeFile(const QString& name, const QByteArray& contents)
        {
            QFile file(programDir + QLatin1Char('/') + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        void start()
        {
            form = std::make_unique<TFormMain>(programDir, services);
            form->show();
        }
        void trigger(const char* action) { child<QAction>(*form, action)->trigger(); }

        // Triggers a menu item whose handler opens a modal dialog, and runs `inside` on that
        // dialog while it is up. A dialog that never comes up fails the test instead of hanging.
        void triggerModal(const char* action, const std::function<void(QDialog&)>& inside)
        {
            bool ran = false;
            int tries = 0;
            auto* poll = new QTimer(form.get());
            QObject::connect(poll, &QTimer::timeout, form.get(), [&, poll] {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    poll->stop();
                    ran = true;
                    inside(*dialog);
                    if (dialog->isVisible()) // a safety net: the test meant to close it
                        dialog->reject();
                } else if (++tries > 300) {
                    poll->stop();
                }
            });
            poll->start(10);
            trigger(action);
            poll->deleteLater();
            EXPECT_TRUE(ran) << action << " showed no modal dialog";
        }
    };

    TEST_F(MainWindowMenusTest, DialogsAreCreatedOnceAtStartUpAndNotShown)
    {
        start();
        EXPECT_EQ(form->findChildren<TDlgGeneralOptions*>().size(), 1);
        EXPECT_EQ(form->findChildren<TDlgHtmlOptions*>().size(), 1);
        EXPECT_EQ(form->findChildren<TLicenceBox*>().size(), 1);
        EXPECT_EQ(form->findChildren<TAboutBox*>().size(), 0);
        for (QDialog* dialog : form->findChildren<QDialog*>())
            EXPECT_FALSE(dialog->isVisible());
    }

    // The board takes the stored colours after the dialog, whichever button closed it: after
    // Cancel it shows colours stored behind its back, after OK the ones entered.
    TEST_F(MainWindowMenusTest, HtmlOptionsRefreshTheBoardAfterEitherButton)
    {
        struct Case {
            bool ok;
            const char* stored;
            const char* entered;
            ColorValue light;
        };
        const Case cases[] = {
            { false, "#112233", "#445566", colorValue(0x11, 0x22, 0x33) },
            { true, "#010203", "#445566", colorValue(0x44, 0x55, 0x66) },
        };
        start();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.ok ? "OK" : "Cancel");
            form->params().setColorLightSquares(c.stored);
            form->params().setColorDiagramBackground("#778899");
            ASSERT_NE(form->board().LightSquareColor(), HtmlColorToColor(c.stored));
            triggerModal("MIOptionsHTML", [&](QDialog& dialog) {
                EXPECT_EQ(dialog.windowTitle(), "Options: HTML");
                child<QLineEdit>(dialog, "EditLightSquareColor")->setText(c.entered);
                auto* base = static_cast<TOKBottomDlg*>(&dialog);
                QTest::mouseClick(c.ok ? base->OKBtn() : base->CancelBtn(), Qt::LeftButton);
            });
            EXPECT_EQ(form->board().LightSquareColor(), c.light);
            EXPECT_EQ(child<QWidget>(*form, "PanelBoard")->palette().color(QPalette::Window),
                QColor(0x77, 0x88, 0x99));
        }
    }

    TEST_F(MainWindowMenusTest, GeneralOptionsFromTheMenuStoreOnOkAndOfferHelp)
    {
        start();
        triggerModal("MIOptionsGeneral", [&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Options: General");
            QTest::mouseClick(child<QCheckBox>(dialog, "CBActivateHistory"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(dialog, "HelpBtn"), Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            QTest::mouseClick(static_cast<TOKBottomDlg&>(dialog).OKBtn(), Qt::LeftButton);
        });
        EXPECT_FALSE(form->params().activated());
        EXPECT_EQ(platform.help.requests, QStringList({ "topic:JID_Menu_Options_General" }));
    }

    TEST_F(MainWindowMenusTest, LicenceIsTheSameBoxEveryTimeAndAboutANewOne)
    {
        start();
        QList<QDialog*> licences;
        for (int key : { Qt::Key_Return, Qt::Key_Escape })
            triggerModal("MIHelpLicence", [&](QDialog& dialog) {
                licences << &dialog;
                EXPECT_EQ(dialog.windowTitle(), "Pictog: Licence");
                // The dialog's own focus widget: the application's may still be the main
                // window's while a busy machine delivers the activation.
                QWidget* focus = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
                QTest::keyClick(focus, Qt::Key(key));
                EXPECT_FALSE(dialog.isVisible());
            });
        ASSERT_EQ(licences.size(), 2);
        EXPECT_EQ(licences[0], licences[1]);

        for (int i = 0; i < 2; ++i)
            triggerModal("MIHelpAbout", [&](QDialog& dialog) {
                EXPECT_EQ(dialog.windowTitle(), "About");
                EXPECT_EQ(child<QLabel>(dialog, "LblVersion")->text(), "V1.01  (12-OCT-2002)");
                EXPECT_EQ(child<QLabel>(dialog, "LblSettingsFile")->text(),
                    "Settings: " + programDir + "/Pictog.ini");
                QTest::mouseClick(child<QLabel>(dialog, "ImagePictog"), Qt::LeftButton);
                EXPECT_TRUE(dialog.isVisible());
                QTest::keyClick(&dialog, Qt::Key_Return);
            });
        EXPECT_EQ(form->findChildren<TAboutBox*>().size(), 0) << "each box is destroyed";
        const QString home = qs(form->params().urlHomePage());
        EXPECT_EQ(platform.shell.urls, QStringList({ home, home }));
    }

    // Every item of the Help menu and its WWW submenu, with addresses edited in the settings
    // file so that each item must pick its own.
    TEST_F(MainWindowMenusTest, EveryHelpItemHandsOverItsRequest)
    {
        writeFile("Pictog.ini",
            "[Standard URLs]\nurlPGNStandard=https://pgn.example/\n"
            "urlEPDStandard=https://pgn.example/#fen\nurlCCCForum=https://ccc.example/\n"
            "urlChessBitsForum=https://bits.example/\nurlCSSForum=https://css.example/\n"
            "urlFCPForum=https://fcp.example/\nurlWinBoardForum=https://wb.example/\n");
        start();
        EXPECT_EQ(platform.help.helpFile, programDir + "/Pictog.hlp");
        const std::pair<const char*, QString> items[] = {
            { "MIHelpContents", "help key:Contents" },
            { "MIHelpSearch", "help key:" },
            { "MIHelpHelponHelp", "help helponhelp" },
            { "MIHelpWWWHome", qs(form->params().urlHomePage()) },
            { "MIHelpWWWPGNStandard", "https://pgn.example/" },
            { "MIHelpWWWFENEPDStandard", "https://pgn.example/#fen" },
            { "MIHelpWWWCCCForum", "https://ccc.example/" },
            { "MIHelpWWWChessBitsForum", "https://bits.example/" },
            { "MIHelpWWWCSSForum", "https://css.example/" },
            { "MIHelpWWWFCPForum", "https://fcp.example/" },
            { "MIHelpWWWWinBoardForum", "https://wb.example/" },
        };
        for (const auto& [item, expected] : items) {
            SCOPED_TRACE(item);
            platform.help.requests.clear();
            platform.shell.urls.clear();
            trigger(item);
            const QStringList got = platform.help.requests.isEmpty()
                ? platform.shell.urls
                : QStringList({ "help " + platform.help.requests.join(',') });
            EXPECT_EQ(got, QStringList({ expected }));
            EXPECT_TRUE(platform.help.requests.isEmpty() || platform.shell.urls.isEmpty());
        }
    }

    // The real editor adapter with a stub editor that writes its arguments to a file, in a
    // program folder whose path has blanks: the manual's path must arrive as one argument.
    TEST_F(MainWindowMenusTest, ManualOpensInTheConfiguredEditorAsOneArgument)
    {
        programDir = dir.filePath("Pictog program folder");
        ASSERT_TRUE(QDir().mkpath(programDir));
        const QString stub = programDir + "/editor stub.sh";
        const QString record = programDir + "/arguments.txt";
        writeFile("editor stub.sh",
            "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" '"
                + record.toUtf8() + "'\n");
        ASSERT_TRUE(
            QFile::setPermissions(stub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        writeFile("Pictog.ini", "[General]\ntextEditor=" + stub.toUtf8() + "\n");
        QtTextEditor editor;
        services.textEditor = &editor;
        start();
        ASSERT_EQ(qs(form->params().textEditor()), stub);

        const QString manual = programDir + "/Pictog.txt";
        trigger("MIHelpManual");
        EXPECT_EQ(platform.messages.shown, QStringList({ "File " + manual + " doesn't exists" }));
        QTest::qWait(300);
        EXPECT_FALSE(QFile::exists(record)) << "nothing is started for a missing manual";

        writeFile("Pictog.txt", "manual");
        trigger("MIHelpManual");
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(record); }, 10000));
        QFile arguments(record);
        ASSERT_TRUE(arguments.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(arguments.readAll()), "1\n" + manual + "\n");
        EXPECT_EQ(platform.messages.shown.size(), 1);
    }

    // An editor that cannot be started gives no message.
    TEST_F(MainWindowMenusTest, EditorThatCannotStartIsSilent)
    {
        writeFile("Pictog.txt", "manual");
        writeFile("not an editor", "plain text, not executable");
        writeFile(
            "Pictog.ini", "[General]\ntextEditor=" + dir.filePath("not an editor").toUtf8() + "\n");
        QtTextEditor editor;
        services.textEditor = &editor;
        start();
        trigger("MIHelpManual");
        EXPECT_TRUE(platform.messages.shown.isEmpty());
    }

} // namespace
} // namespace pictog::gui::test
