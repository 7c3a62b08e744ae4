#pragma once

#include "help_file.h"
#include "platform.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QLineEdit;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace pictog::gui {

// The program's help window: one topic of the help file at a time in a text browser, with
// buttons for the contents, the keyword index and going back and forward through the topics seen.
// Typing into the keyword field shows the index narrowed to the matching keywords; Enter opens
// the first of them.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Uses this document from now on; path is named in the message shown when it could not be
    // read (document empty).
    void setDocument(std::optional<HelpDocument> document, const QString& path);

    // Each request below brings the window up and shows one page.
    void showTopic(const QString& id);
    // The first topic with that keyword; the index narrowed to it when there is none, and the
    // whole index for an empty keyword.
    void showKeyword(const QString& keyword);
    // Index narrowed to filter (all keywords when empty); the filter goes into the keyword field.
    void showIndex(const QString& filter);
    void showHelpOnHelp();

    // The jump identifier of the topic on show, or an empty text on any other page.
    QString currentTopic() const;
    // The text of the page on show, for tests.
    QString pageText() const;
    QTextBrowser* browser() const { return m_browser; }

public slots:
    void back();
    void forward();

private:
    // What a page shows: a topic by id, the index with a filter, the help on help, or a message.
    struct Page {
        enum class Kind { Topic, Index, HelpOnHelp, Message } kind;
        QString key;
    };

    void go(Page page);
    void render(const Page& page);
    void linkClicked(const QUrl& url);
    void bringUp();
    void updateButtons();

    QPushButton* m_contentsBtn;
    QPushButton* m_indexBtn;
    QPushButton* m_backBtn;
    QPushButton* m_forwardBtn;
    QLineEdit* m_keyword;
    QTextBrowser* m_browser;
    std::optional<HelpDocument> m_document;
    QString m_path;
    std::vector<Page> m_history;
    std::size_t m_at = 0;
};

// The help engine of the desktop program: reads the help file (again whenever it could not be
// read before) and opens its window on the first request.
class QtHelpViewer final : public HelpViewer
{
public:
    QtHelpViewer();
    ~QtHelpViewer() override;

    void setHelpFile(const QString& path) override;
    void showKeyword(const QString& keyword) override;
    void showHelpOnHelp() override;
    void showTopic(const QString& jumpId) override;
    void quit() override;

    const QString& helpFile() const { return m_helpFile; }
    // The window, or nullptr before the first request.
    HelpWindow* window() const { return m_window.get(); }

private:
    HelpWindow& prepare();

    QString m_helpFile;
    bool m_loaded = false;
    std::unique_ptr<HelpWindow> m_window;
};

} // namespace pictog::gui
