#include "about_box.h"

#include "platform.h"
#include "ui_about.h"
#include "window_placement.h"

#include "diagram/embedded_resources.h"

#include <QMouseEvent>
#include <QPixmap>

namespace pictog::gui {

TAboutBox::TAboutBox(QString homePageUrl, Shell* shell, QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::TAboutBox>())
    , m_homePageUrl(std::move(homePageUrl))
    , m_shell(shell)
{
    ui->setupUi(this);
    // A fixed dialog frame: no resizing, no help or maximize button.
    setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);

    if (const auto picture = findResource("ABOUT")) {
        QPixmap pixmap;
        if (pixmap.loadFromData(picture->data, static_cast<uint>(picture->size), "PNG"))
            ui->ImagePictog->setPixmap(pixmap);
    }
    ui->ImagePictog->installEventFilter(this);
    connect(ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::setSettingsFile(const QString& path)
{
    ui->LblSettingsFile->setText(QStringLiteral("Settings: ") + path);
}

void TAboutBox::FormShow()
{
    ui->LblVersion->setText(QString::fromLatin1(VersionLabel));
}

void TAboutBox::showEvent(QShowEvent* event)
{
    FormShow();
    centreOnScreen(*this);
    QDialog::showEvent(event);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->ImagePictog && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton
            && ui->ImagePictog->rect().contains(mouse->position().toPoint())) {
            ImagePictogClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutBox::ImagePictogClick()
{
    if (m_shell)
        m_shell->openUrl(m_homePageUrl);
}

} // namespace pictog::gui
