#pragma once

#include <QDialog>

#include <memory>

class QHBoxLayout;
class QPushButton;

namespace Ui {
class TOKBottomDlg;
}

namespace pictog::gui {

// The dialog base of the option dialogs: a content area above an OK button (the default button,
// closing with Accepted) and a Cancel button (closing with Rejected, as do Escape and the close
// box). A derived dialog builds its controls into contentArea() and may add buttons, such as a
// Help button, to buttonRow(); OKBtnClick runs before the dialog closes with OK.
class TOKBottomDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TOKBottomDlg(QWidget* parent = nullptr);
    ~TOKBottomDlg() override;

    QWidget* contentArea() const;
    QHBoxLayout* buttonRow() const;
    QPushButton* OKBtn() const;
    QPushButton* CancelBtn() const;

protected:
    // Stores what the dialog edits; the base does nothing.
    virtual void OKBtnClick() { }
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TOKBottomDlg> ui;
};

} // namespace pictog::gui
