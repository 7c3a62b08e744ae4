#include "licence_box.h"

#include "ui_Licence.h"
#include "window_placement.h"

#include <QPushButton>

namespace pictog::gui {

namespace {

    // The memo's cream background.
    constexpr QRgb Cream = qRgb(0xFF, 0xFB, 0xF0);

} // namespace

TLicenceBox::TLicenceBox(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TLicenceBox>())
{
    ui->setupUi(this);
    // A dialog frame with a caption but without caption buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::WindowModal);

    QPalette palette = ui->Memo1->palette();
    palette.setColor(QPalette::Base, QColor(Cream));
    palette.setColor(QPalette::Text, Qt::black);
    ui->Memo1->setPalette(palette);

    // Escape rejects the dialog, Enter clicks the default button: both close the box.
    connect(ui->BtnOK, &QPushButton::clicked, this, &TLicenceBox::BtnOKClick);
}

TLicenceBox::~TLicenceBox() = default;

void TLicenceBox::OnShow()
{
    ui->BtnOK->setFocus();
}

void TLicenceBox::showEvent(QShowEvent* event)
{
    centreOnScreen(*this);
    QDialog::showEvent(event);
    OnShow();
}

void TLicenceBox::BtnOKClick()
{
    accept();
}

} // namespace pictog::gui
