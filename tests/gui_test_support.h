#pragma once

// Recording stand-ins for the desktop services, and helpers to reach the main window's controls
// by their object names.

#include "platform.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>
#include <vector>

// Readable failure output for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << "{ ";
    for (const QString& text : list)
        *os << '"' << text.toStdString() << "\" ";
    *os << "}";
}

namespace pictog::gui::test {

struct RecordingMessages final : MessageBoxes {
    QStringList shown;
    void showError(const QString& text) override { shown << text; }
};

// A clipboard that holds either a text or an image, like the real one after each setter.
struct FakeClipboard final : Clipboard {
    std::optional<QString> heldText;
    std::optional<QImage> heldImage;
    int writes = 0;

    bool hasText() const override { return heldText.has_value(); }
    QString text() const override { return heldText.value_or(QString()); }
    void setText(const QString& text) override
    {
        heldText = text;
        heldImage.reset();
        heldPng.reset();
        ++writes;
    }
    void setImage(const QImage& image) override
    {
        heldImage = image;
        heldText.reset();
        heldPng.reset();
        ++writes;
    }
    // The three forms of the last setDiagram; cleared by the other setters' next use.
    std::optional<QByteArray> heldPng;
    QString heldHtml;
    void setDiagram(const QByteArray& png, const QString& text, const QString& html) override
    {
        setText(text);
        heldPng = png;
        heldHtml = html;
    }
};

// Answers every request with the next queued file name; an empty queue cancels.
struct FakeSaveDialog final : SaveFileDialog {
    QStringList answers;
    std::vector<SaveDialogRequest> requests;
    QString chooseFile(const SaveDialogRequest& request) override
    {
        requests.push_back(request);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

struct RecordingShell final : Shell {
    QStringList files;
    QStringList urls;
    bool opens = true; // what openFile answers
    bool openFile(const QString& path) override
    {
        files << path;
        return opens;
    }
    void openUrl(const QString& url) override { urls << url; }
};

struct FixedDate final : DateSource {
    QString date = QStringLiteral("07.12.24");
    QString shortDate() const override { return date; }
};

struct RecordingHelp final : HelpViewer {
    QString helpFile;
    QStringList requests;
    void setHelpFile(const QString& path) override { helpFile = path; }
    void showKeyword(const QString& keyword) override
    {
        requests << QStringLiteral("key:") + keyword;
    }
    void showHelpOnHelp() override { requests << QStringLiteral("helponhelp"); }
    void showTopic(const QString& jumpId) override
    {
        requests << QStringLiteral("topic:") + jumpId;
    }
    void quit() override { requests << QStringLiteral("quit"); }
};

struct RecordingEditor final : TextEditor {
    QStringList started;
    bool starts = true; // what open answers
    bool open(const QString& editor, const QString& file) override
    {
        started << editor + QLatin1Char('|') + file;
        return starts;
    }
};

struct ScriptedInput final : TextInput {
    QStringList answers;
    QStringList titles;
    QString askText(const QString& title, const QString&) override
    {
        titles << title;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

// Answers File > Open with the next queued path; an empty queue cancels.
struct FakeOpenDialog final : OpenFileDialog {
    QStringList answers;
    std::vector<OpenDialogRequest> requests;
    QString chooseFile(const OpenDialogRequest& request) override
    {
        requests.push_back(request);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

// Answers each promotion question with piece (0 cancels) and counts the questions.
struct FakePromotion final : PromotionChooser {
    int piece = 4;
    int asked = 0;
    int choosePromotion() override
    {
        ++asked;
        return piece;
    }
};

struct FakePlatform {
    RecordingMessages messages;
    FakeClipboard clipboard;
    FakeSaveDialog saveDialog;
    RecordingShell shell;
    FixedDate date;
    RecordingHelp help;
    RecordingEditor editor;
    ScriptedInput input;
    FakeOpenDialog openDialog;
    FakePromotion promotion;

    PlatformServices services()
    {
        PlatformServices s;
        s.messages = &messages;
        s.clipboard = &clipboard;
        s.saveDialog = &saveDialog;
        s.shell = &shell;
        s.date = &date;
        s.help = &help;
        s.textEditor = &editor;
        s.textInput = &input;
        s.openDialog = &openDialog;
        s.promotion = &promotion;
        return s;
    }
};

} // namespace pictog::gui::test
