// The small widgets of the windows: the counters' spin box (lenient typing, clamping on focus loss
// and on program changes) and the OK/Cancel dialog base.
#include "ok_bottom_dialog.h"
#include "spin_edit.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace pictog::gui::test {
namespace {

    struct ValueRow {
        const char* typed;
        int value;
    };

    TEST(SpinEditTest, TypedTextReadsAsANumberOrTheMinimum)
    {
        SpinEdit spin;
        spin.setMinValue(1);
        spin.setMaxValue(999);
        const ValueRow rows[] = {
            { "12", 12 },
            { " 7 ", 7 },
            { "2500", 2500 }, // stands as typed until the focus leaves
            { "-4", -4 },
            { "abc", 1 },
            { "", 1 },
            { "12x", 1 },
            { "99999999999", 1 },
            { "0x10", 1 },
        };
        for (const ValueRow& row : rows) {
            spin.selectAll();
            QTest::keyClick(&spin, Qt::Key_Delete);
            QTest::keyClicks(&spin, row.typed);
            EXPECT_EQ(spin.text(), row.typed);
            EXPECT_EQ(spin.value(), row.value) << row.typed;
        }
    }

    TEST(SpinEditTest, ProgramValuesAndArrowsAreClamped)
    {
        SpinEdit spin;
        spin.setMinValue(0);
        spin.setMaxValue(100);
        QSignalSpy changed(&spin, &SpinEdit::changed);
        spin.setValue(250);
        EXPECT_EQ(spin.text(), "100");
        EXPECT_EQ(changed.count(), 1);
        spin.setValue(100);
        EXPECT_EQ(changed.count(), 1) << "the same value again changes nothing";
        QTest::keyClick(&spin, Qt::Key_Up);
        EXPECT_EQ(spin.text(), "100");
        spin.setValue(-3);
        EXPECT_EQ(spin.text(), "0");
        QTest::keyClick(&spin, Qt::Key_Up);
        EXPECT_EQ(spin.text(), "1");
        EXPECT_EQ(changed.count(), 3);
    }

    TEST(SpinEditTest, FocusLossClampsANumberButLeavesOtherText)
    {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* spin = new SpinEdit;
        spin->setMinValue(1);
        spin->setMaxValue(999);
        auto* other = new QLineEdit;
        layout->addWidget(spin);
        layout->addWidget(other);
        window.show();
        QApplication::setActiveWindow(&window);

        const std::pair<const char*, const char*> rows[]
            = { { "5000", "999" }, { "0", "1" }, { "42", "42" }, { "abc", "abc" } };
        for (const auto& [typed, after] : rows) {
            spin->setFocus();
            spin->selectAll();
            QTest::keyClick(spin, Qt::Key_Delete);
            QTest::keyClicks(spin, typed);
            other->setFocus();
            EXPECT_EQ(spin->text(), after) << typed;
        }
    }

    class CountingDialog final : public TOKBottomDlg
    {
    public:
        int stored = 0;

    protected:
        void OKBtnClick() override { ++stored; }
    };

    TEST(OKBottomDialogTest, OkStoresAndAcceptsCancelAndEscapeOnlyClose)
    {
        const std::pair<const char*, std::function<void(CountingDialog&)>> rows[] = {
            { "OK", [](CountingDialog& d) { QTest::mouseClick(d.OKBtn(), Qt::LeftButton); } },
            { "Enter", [](CountingDialog& d) { QTest::keyClick(&d, Qt::Key_Return); } },
            { "Cancel",
                [](CountingDialog& d) { QTest::mouseClick(d.CancelBtn(), Qt::LeftButton); } },
            { "Escape", [](CountingDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); } },
        };
        for (const auto& [what, close] : rows) {
            CountingDialog dialog;
            EXPECT_TRUE(dialog.OKBtn()->isDefault());
            QTimer::singleShot(0, &dialog, [&dialog, close = close] { close(dialog); });
            const int result = dialog.exec();
            const bool ok = std::string(what) == "OK" || std::string(what) == "Enter";
            EXPECT_EQ(result, ok ? QDialog::Accepted : QDialog::Rejected) << what;
            EXPECT_EQ(dialog.stored, ok ? 1 : 0) << what;
        }
    }

} // namespace
} // namespace pictog::gui::test
