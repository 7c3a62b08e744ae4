#include "ok_bottom_dialog.h"

#include "ui_OKCANCL1.h"

#include <QScreen>
#include <QStyle>

namespace pictog::gui {

TOKBottomDlg::TOKBottomDlg(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TOKBottomDlg>())
{
    ui->setupUi(this);
    // A fixed dialog frame: no resizing, no help or maximize button.
    setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    connect(ui->OKBtn, &QPushButton::clicked, this, [this] {
        OKBtnClick();
        accept();
    });
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TOKBottomDlg::~TOKBottomDlg() = default;

QWidget* TOKBottomDlg::contentArea() const
{
    return ui->ContentArea;
}
QHBoxLayout* TOKBottomDlg::buttonRow() const
{
    return ui->ButtonRow;
}
QPushButton* TOKBottomDlg::OKBtn() const
{
    return ui->OKBtn;
}
QPushButton* TOKBottomDlg::CancelBtn() const
{
    return ui->CancelBtn;
}

void TOKBottomDlg::showEvent(QShowEvent* event)
{
    // Centred on the screen, not on the owner.
    if (const QScreen* s = screen())
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), s->availableGeometry())
                 .topLeft());
    QDialog::showEvent(event);
}

} // namespace pictog::gui
