#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TLicenceBox;
}

namespace pictog::gui {

// The program's distribution terms in a read-only text field, closed by its one button, which is
// both the default and the cancel button (Enter and Escape close the box as a click does). The
// caption has no close box. The main window creates the box once and shows it again and again.
class TLicenceBox : public QDialog
{
    Q_OBJECT

public:
    explicit TLicenceBox(QWidget* parent = nullptr);
    ~TLicenceBox() override;

public slots:
    void BtnOKClick();

protected:
    void OnShow();
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TLicenceBox> ui;
};

} // namespace pictog::gui
