#pragma once

// The adapters through which the desktop program reaches Qt and the desktop: message boxes,
// the clipboard, the save dialog, the shell, the locale's date, the help viewer and the editor.

#include "help_viewer.h"
#include "platform.h"
#include "settings/html_color.h"

#include <memory>

namespace pictog::gui {

// Modal QMessageBox with the title "Pictog", the critical icon and OK, over the active window.
class QtMessageBoxes final : public MessageBoxes
{
public:
    void showError(const QString& text) override;
};

// The application clipboard (QGuiApplication::clipboard()).
class QtClipboard final : public Clipboard
{
public:
    bool hasText() const override;
    QString text() const override;
    void setText(const QString& text) override;
    void setImage(const QImage& image) override;
    void setDiagram(const QByteArray& png, const QString& text, const QString& html) override;
};

// Qt's own file dialog, so the default suffix and the overwrite question behave alike on every
// desktop.
class QtSaveFileDialog final : public SaveFileDialog
{
public:
    QString chooseFile(const SaveDialogRequest& request) override;
};

// Qt's own file dialog in open mode.
class QtOpenFileDialog final : public OpenFileDialog
{
public:
    QString chooseFile(const OpenDialogRequest& request) override;
};

// A small menu of the four pieces at the mouse pointer.
class QtPromotionChooser final : public PromotionChooser
{
public:
    int choosePromotion() override;
};

// QDesktopServices::openUrl, which hands the request to the desktop's handler and returns; openUrl
// passes on web addresses only (see webAddress).
class QtShell final : public Shell
{
public:
    bool openFile(const QString& path) override;
    void openUrl(const QString& url) override;
};

// The core's ShortDate of today: the short date form of the user's LC_TIME.
class QtDateSource final : public DateSource
{
public:
    QString shortDate() const override;
};

// QProcess::startDetached with the file as one separate argument: no shell, no word splitting.
class QtTextEditor final : public TextEditor
{
public:
    bool open(const QString& editor, const QString& file) override;
};

// QInputDialog::getText over the active window.
class QtTextInput final : public TextInput
{
public:
    QString askText(const QString& title, const QString& prompt) override;
};

// All adapters of one program run.
class QtPlatform
{
public:
    QtPlatform();
    ~QtPlatform();
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    PlatformServices services();

private:
    QtMessageBoxes m_messages;
    QtClipboard m_clipboard;
    QtSaveFileDialog m_saveDialog;
    QtShell m_shell;
    QtDateSource m_date;
    QtHelpViewer m_help;
    QtTextEditor m_textEditor;
    QtTextInput m_textInput;
    QtOpenFileDialog m_openDialog;
    QtPromotionChooser m_promotion;
};

// Resolves a system colour value (top bit set, the index in the low byte) through the
// application palette; a plain value is returned unchanged.
ColorValue resolveSystemColor(ColorValue color);

} // namespace pictog::gui
