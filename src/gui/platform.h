#pragma once

// The desktop services the main window uses, each behind a small interface so that the window's
// behaviour can be driven in tests with recording fakes instead of modal boxes and a real
// clipboard. qt_platform.h holds the adapters the program itself uses.

#include "diagram/piece_bitmaps.h"

#include <QImage>
#include <QString>
#include <QUrl>

namespace pictog::gui {

// Modal error messages: title "Pictog", the error icon and an OK button.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Shows the text and returns when the user has dismissed it.
    virtual void showError(const QString& text) = 0;
};

// The system clipboard. Every setter replaces the whole contents, in every format.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // True when the clipboard offers plain text (an empty text counts; links alone do not).
    virtual bool hasText() const = 0;
    // The plain text on the clipboard, or an empty text when there is none.
    virtual QString text() const = 0;
    // Empties the clipboard and puts the text on it as plain text only.
    virtual void setText(const QString& text) = 0;
    // Empties the clipboard and puts the picture on it as an image only.
    virtual void setImage(const QImage& image) = 0;
    // Empties the clipboard and puts a diagram on it in three forms at once: the picture as PNG
    // bytes (image/png), the FEN line as plain text and the HTML code (text/html), so that each
    // program pasting takes the form it wants. Without an override only the text goes there.
    virtual void setDiagram(const QByteArray& png, const QString& text, const QString& html)
    {
        Q_UNUSED(png);
        Q_UNUSED(html);
        setText(text);
    }
};

// What a file command asks of the save dialog.
struct SaveDialogRequest {
    QString title;
    QString filter; // one Qt filter, such as "PNG image (*.png)"
    QString defaultSuffix; // appended, as written, to a name typed without an extension
    QString initialDir; // empty: the system's default folder
};

// The modal file-save dialog; it asks before overwriting an existing file.
class SaveFileDialog
{
public:
    virtual ~SaveFileDialog() = default;
    // The chosen file's full path, or an empty text when the user cancelled.
    virtual QString chooseFile(const SaveDialogRequest& request) = 0;
};

// What File > Open asks of the open dialog.
struct OpenDialogRequest {
    QString title;
    QString filter; // Qt filters separated by ";;"
    QString initialDir; // empty: the system's default folder
};

// The modal file-open dialog.
class OpenFileDialog
{
public:
    virtual ~OpenFileDialog() = default;
    // The chosen file's full path, or an empty text when the user cancelled.
    virtual QString chooseFile(const OpenDialogRequest& request) = 0;
};

// Asks which piece a pawn promotes to.
class PromotionChooser
{
public:
    virtual ~PromotionChooser() = default;
    // 1 knight, 2 bishop, 3 rook, 4 queen; 0 when the user cancelled.
    virtual int choosePromotion() = 0;
};

// Hands documents and web addresses to the desktop's handler; never waits and reports nothing.
class Shell
{
public:
    virtual ~Shell() = default;
    // Opens a local file with the program associated with its type; false when nothing could
    // be started for it.
    virtual bool openFile(const QString& path) = 0;
    // Opens a web address (or any URL) in the user's browser.
    virtual void openUrl(const QString& url) = 0;
};

// The web address a text names: an http or https URL with a host, where a bare "host/path"
// counts as http. An empty URL for anything else (a file path, another scheme, no host), so that
// such a text is never handed to the desktop's opener.
QUrl webAddress(const QString& text);

// Today's date in the user's short date format.
class DateSource
{
public:
    virtual ~DateSource() = default;
    virtual QString shortDate() const = 0;
};

// The program's help viewer: requests only, nothing comes back.
class HelpViewer
{
public:
    virtual ~HelpViewer() = default;
    // The help file the following requests refer to.
    virtual void setHelpFile(const QString& path) = 0;
    // Looks up a keyword; an empty keyword opens the keyword search.
    virtual void showKeyword(const QString& keyword) = 0;
    // Explains how to use the viewer itself.
    virtual void showHelpOnHelp() = 0;
    // Shows the topic with that jump identifier.
    virtual void showTopic(const QString& jumpId) = 0;
    // Closes the program's help window if one is open.
    virtual void quit() = 0;
};

// Starts the configured text editor on a file, detached.
class TextEditor
{
public:
    virtual ~TextEditor() = default;
    // False when the editor could not be started.
    virtual bool open(const QString& editor, const QString& file) = 0;
};

// A modal one-line input box with an empty edit field and OK and Cancel.
class TextInput
{
public:
    virtual ~TextInput() = default;
    // The entered text, or an empty text when the user cancelled.
    virtual QString askText(const QString& title, const QString& prompt) = 0;
};

// The set of services one main window uses; the window does not own them.
struct PlatformServices {
    // Where the piece bitmaps and palette icons come from; empty means the program's own.
    ResourceLookup resources;
    MessageBoxes* messages = nullptr;
    Clipboard* clipboard = nullptr;
    SaveFileDialog* saveDialog = nullptr;
    Shell* shell = nullptr;
    DateSource* date = nullptr;
    HelpViewer* help = nullptr;
    TextEditor* textEditor = nullptr;
    TextInput* textInput = nullptr;
    OpenFileDialog* openDialog = nullptr;
    PromotionChooser* promotion = nullptr;
};

} // namespace pictog::gui
