#include "qt_platform.h"

#include "export/text_exports.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPalette>
#include <QProcess>
#include <QUrl>

#include <ctime>

namespace pictog::gui {

void QtMessageBoxes::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Pictog"), text, QMessageBox::Ok,
        QApplication::activeWindow());
    box.exec();
}

bool QtClipboard::hasText() const
{
    // The plain-text format itself: QMimeData::hasText() also counts a list of links, which
    // would wipe the board and the captions for no position at all.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QStringLiteral("text/plain"));
}

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text();
}

void QtClipboard::setText(const QString& text)
{
    // A fresh QMimeData holding only the text replaces every format the clipboard held.
    auto* data = new QMimeData;
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

void QtClipboard::setImage(const QImage& image)
{
    auto* data = new QMimeData;
    data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data);
}

void QtClipboard::setDiagram(const QByteArray& png, const QString& text, const QString& html)
{
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/png"), png);
    data->setText(text);
    data->setHtml(html);
    QGuiApplication::clipboard()->setMimeData(data);
}

QString QtSaveFileDialog::chooseFile(const SaveDialogRequest& request)
{
    QFileDialog dialog(
        QApplication::activeWindow(), request.title, request.initialDir, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtOpenFileDialog::chooseFile(const OpenDialogRequest& request)
{
    QFileDialog dialog(
        QApplication::activeWindow(), request.title, request.initialDir, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

int QtPromotionChooser::choosePromotion()
{
    QMenu menu(QApplication::activeWindow());
    const char* const names[] = { "Queen", "Rook", "Bishop", "Knight" };
    for (int i = 0; i < 4; ++i)
        menu.addAction(QString::fromLatin1(names[i]))->setData(4 - i);
    const QAction* chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}

bool QtShell::openFile(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

QUrl webAddress(const QString& text)
{
    const QUrl url = QUrl::fromUserInput(text.trimmed());
    const bool web
        = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    return url.isValid() && web && !url.host().isEmpty() ? url : QUrl();
}

void QtShell::openUrl(const QString& url)
{
    if (const QUrl address = webAddress(url); !address.isEmpty())
        QDesktopServices::openUrl(address);
}

QString QtDateSource::shortDate() const
{
    // The core's form, not QLocale's, so the Date tag matches pictog-cli's byte for byte.
    return QString::fromLocal8Bit(ShortDate(std::time(nullptr)));
}

bool QtTextEditor::open(const QString& editor, const QString& file)
{
    return QProcess::startDetached(editor, { file });
}

QString QtTextInput::askText(const QString& title, const QString& prompt)
{
    bool ok = false;
    const QString text = QInputDialog::getText(
        QApplication::activeWindow(), title, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

PlatformServices QtPlatform::services()
{
    PlatformServices s;
    s.messages = &m_messages;
    s.clipboard = &m_clipboard;
    s.saveDialog = &m_saveDialog;
    s.shell = &m_shell;
    s.date = &m_date;
    s.help = &m_help;
    s.textEditor = &m_textEditor;
    s.textInput = &m_textInput;
    s.openDialog = &m_openDialog;
    s.promotion = &m_promotion;
    return s;
}

namespace {

    // The Windows system colour indices that settings files may hold, mapped to palette roles.
    QColor systemColor(int index)
    {
        const QPalette palette = QApplication::palette();
        switch (index) {
        case 0: // scroll bar
        case 15: // button face
            return palette.color(QPalette::Button);
        case 1: // desktop
        case 12: // application workspace
            return palette.color(QPalette::Dark);
        case 2: // active caption
        case 13: // highlight
            return palette.color(QPalette::Highlight);
        case 9: // caption text
        case 14: // highlight text
            return palette.color(QPalette::HighlightedText);
        case 3: // inactive caption
        case 16: // button shadow
            return palette.color(QPalette::Mid);
        case 4: // menu
            return palette.color(QPalette::Window);
        case 5: // window background
            return palette.color(QPalette::Base);
        case 6: // window frame
        case 21: // 3D dark shadow
            return palette.color(QPalette::Shadow);
        case 7: // menu text
        case 8: // window text
            return palette.color(QPalette::Text);
        case 17: // grey text
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 18: // button text
            return palette.color(QPalette::ButtonText);
        case 20: // button highlight
            return palette.color(QPalette::Light);
        case 22: // 3D light
            return palette.color(QPalette::Midlight);
        case 23: // tool tip text
            return palette.color(QPalette::ToolTipText);
        case 24: // tool tip background
            return palette.color(QPalette::ToolTipBase);
        default:
            return palette.color(QPalette::Window);
        }
    }

} // namespace

ColorValue resolveSystemColor(ColorValue color)
{
    if (!isSystemColor(color))
        return color;
    const QColor c = systemColor(static_cast<int>(color & 0xFF));
    return colorValue(c.red(), c.green(), c.blue());
}

} // namespace pictog::gui
