#include "help_viewer.h"

#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace pictog::gui {

namespace {

    // The keyword of the help's table of contents.
    const QString ContentsKeyword = QStringLiteral("Contents");

    // The viewer explains itself; this page does not depend on any help file.
    constexpr const char* HelpOnHelpBody = R"(
<h1>Using the help viewer</h1>
<p>The help viewer shows one topic of a program's help at a time. Underlined words are links:
click one to go to the topic it names. Links to web pages open in your web browser.</p>
<h2>The buttons</h2>
<table cellspacing="0" cellpadding="3">
<tr><td><b>Contents</b></td><td>shows the table of contents, the starting point of the
help.</td></tr>
<tr><td><b>Index</b></td><td>lists every keyword of the help in alphabetical order, each with the
topic it leads to.</td></tr>
<tr><td><b>Back</b></td><td>returns to the page shown before (Alt+Left).</td></tr>
<tr><td><b>Forward</b></td><td>goes forward again after Back (Alt+Right).</td></tr>
</table>
<h2>Finding a keyword</h2>
<p>Type the first letters, or any part, of a word into the <b>Keyword</b> field. The index then
lists only the keywords that contain what you typed. Press Enter to open the topic of the first
keyword in the list, or click any keyword.</p>
<h2>Keys</h2>
<p>The arrow keys, Page Up, Page Down, Home and End scroll the topic. Tab moves from link to link
and Enter follows the link. Ctrl+C copies selected text. Escape closes the help viewer.</p>
<p>The window stays open beside the program until you close it; the program closes it when it
ends.</p>
)";

    QString escaped(const QString& text)
    {
        return text.toHtmlEscaped();
    }

} // namespace

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_contentsBtn(new QPushButton(QStringLiteral("&Contents"), this))
    , m_indexBtn(new QPushButton(QStringLiteral("&Index"), this))
    , m_backBtn(new QPushButton(QStringLiteral("&Back"), this))
    , m_forwardBtn(new QPushButton(QStringLiteral("&Forward"), this))
    , m_keyword(new QLineEdit(this))
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Pictog Help"));
    resize(660, 560);

    m_contentsBtn->setObjectName(QStringLiteral("HelpContentsBtn"));
    m_indexBtn->setObjectName(QStringLiteral("HelpIndexBtn"));
    m_backBtn->setObjectName(QStringLiteral("HelpBackBtn"));
    m_forwardBtn->setObjectName(QStringLiteral("HelpForwardBtn"));
    m_keyword->setObjectName(QStringLiteral("HelpKeyword"));
    m_keyword->setPlaceholderText(QStringLiteral("type a keyword"));
    m_keyword->setClearButtonEnabled(true);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenLinks(false);

    auto* keywordLabel = new QLabel(QStringLiteral("&Keyword:"), this);
    keywordLabel->setBuddy(m_keyword);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : { m_contentsBtn, m_indexBtn, m_backBtn, m_forwardBtn }) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addSpacing(16);
    buttons->addWidget(keywordLabel);
    buttons->addWidget(m_keyword, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);

    connect(m_contentsBtn, &QPushButton::clicked, this, [this] { showKeyword(ContentsKeyword); });
    connect(m_indexBtn, &QPushButton::clicked, this, [this] { showIndex(m_keyword->text()); });
    connect(m_backBtn, &QPushButton::clicked, this, &HelpWindow::back);
    connect(m_forwardBtn, &QPushButton::clicked, this, &HelpWindow::forward);
    connect(m_keyword, &QLineEdit::textEdited, this, [this](const QString& text) {
        // Typing narrows the index in place rather than piling pages onto the history.
        if (!m_history.empty() && m_history[m_at].kind == Page::Kind::Index) {
            m_history[m_at].key = text;
            render(m_history[m_at]);
        } else {
            go({ Page::Kind::Index, text });
        }
    });
    connect(m_keyword, &QLineEdit::returnPressed, this, [this] {
        if (!m_document)
            return;
        const std::vector<HelpIndexEntry> entries = m_document->index(m_keyword->text());
        if (!entries.empty())
            go({ Page::Kind::Topic, entries.front().topic->id });
    });
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::linkClicked);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this, this, &HelpWindow::back);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this, this, &HelpWindow::forward);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    updateButtons();
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::setDocument(std::optional<HelpDocument> document, const QString& path)
{
    m_document = std::move(document);
    m_path = path;
    // Pages of the document before are meaningless now.
    m_history.clear();
    m_at = 0;
    updateButtons();
}

void HelpWindow::showTopic(const QString& id)
{
    go({ Page::Kind::Topic, id });
    bringUp();
}

void HelpWindow::showKeyword(const QString& keyword)
{
    // A keyword that leads nowhere shows the index where it would stand.
    if (m_document && !keyword.trimmed().isEmpty()) {
        const std::vector<const HelpTopic*> topics = m_document->topicsForKeyword(keyword);
        if (!topics.empty()) {
            showTopic(topics.front()->id);
            return;
        }
    }
    showIndex(keyword);
}

void HelpWindow::showIndex(const QString& filter)
{
    go({ Page::Kind::Index, filter });
    bringUp();
}

void HelpWindow::showHelpOnHelp()
{
    go({ Page::Kind::HelpOnHelp, QString() });
    bringUp();
}

QString HelpWindow::currentTopic() const
{
    if (m_history.empty() || m_history[m_at].kind != Page::Kind::Topic || !m_document)
        return QString();
    const HelpTopic* topic = m_document->topic(m_history[m_at].key);
    return topic ? topic->id : QString();
}

QString HelpWindow::pageText() const
{
    return m_browser->toPlainText();
}

void HelpWindow::back()
{
    if (m_at == 0 || m_history.empty())
        return;
    --m_at;
    render(m_history[m_at]);
}

void HelpWindow::forward()
{
    if (m_at + 1 >= m_history.size())
        return;
    ++m_at;
    render(m_history[m_at]);
}

void HelpWindow::go(Page page)
{
    // A new page drops the pages ahead of the current one, as in a browser.
    if (!m_history.empty())
        m_history.erase(m_history.begin() + static_cast<std::ptrdiff_t>(m_at) + 1, m_history.end());
    m_history.push_back(std::move(page));
    m_at = m_history.size() - 1;
    render(m_history[m_at]);
}

void HelpWindow::render(const Page& page)
{
    const QString helpTitle = m_document && !m_document->title().isEmpty()
        ? m_document->title()
        : QStringLiteral("Pictog Help");
    QString title = helpTitle;
    QString html;
    if (page.kind == Page::Kind::HelpOnHelp) {
        title = QStringLiteral("Using the help viewer");
        html = QString::fromUtf8(HelpOnHelpBody);
    } else if (!m_document) {
        html = QStringLiteral("<h1>Help not available</h1><p>The help file %1 cannot be read.</p>")
                   .arg(escaped(m_path));
    } else if (page.kind == Page::Kind::Topic) {
        if (const HelpTopic* topic = m_document->topic(page.key)) {
            title = helpTitle + QStringLiteral(" - ") + topic->title;
            html = topic->body;
        } else {
            html = QStringLiteral("<h1>Topic not found</h1><p>The help topic \"%1\" does not "
                                  "exist in %2.</p>")
                       .arg(escaped(page.key), escaped(m_path));
        }
    } else {
        title = helpTitle + QStringLiteral(" - Index");
        const std::vector<HelpIndexEntry> entries = m_document->index(page.key);
        html = QStringLiteral("<h1>Index</h1>");
        if (entries.empty())
            html += QStringLiteral("<p>No keyword contains \"%1\".</p>").arg(escaped(page.key));
        html += QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">");
        for (const HelpIndexEntry& entry : entries)
            html += QStringLiteral(
                "<tr><td width=\"40%\"><a href=\"#%1\">%2</a></td><td>&nbsp;&nbsp;%3</td></tr>")
                        .arg(escaped(entry.topic->id), escaped(entry.keyword),
                            escaped(entry.topic->title));
        html += QStringLiteral("</table>");
        if (m_keyword->text() != page.key)
            m_keyword->setText(page.key);
    }
    setWindowTitle(title);
    m_browser->setHtml(m_document ? m_document->page(html) : html);
    updateButtons();
}

void HelpWindow::linkClicked(const QUrl& url)
{
    if (!url.scheme().isEmpty()) {
        QDesktopServices::openUrl(url);
        return;
    }
    const QString fragment = url.fragment();
    if (m_document && m_document->topic(fragment)) {
        go({ Page::Kind::Topic, fragment });
        return;
    }
    if (!fragment.isEmpty())
        m_browser->scrollToAnchor(fragment);
}

void HelpWindow::bringUp()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void HelpWindow::updateButtons()
{
    m_backBtn->setEnabled(m_at > 0);
    m_forwardBtn->setEnabled(m_at + 1 < m_history.size());
    m_contentsBtn->setEnabled(m_document.has_value());
    m_indexBtn->setEnabled(m_document.has_value());
}

QtHelpViewer::QtHelpViewer() = default;
QtHelpViewer::~QtHelpViewer() = default;

void QtHelpViewer::setHelpFile(const QString& path)
{
    m_helpFile = path;
    m_loaded = false;
}

HelpWindow& QtHelpViewer::prepare()
{
    if (!m_window)
        m_window = std::make_unique<HelpWindow>();
    // A file that could not be read is tried again on the next request.
    if (!m_loaded) {
        QFile file(m_helpFile);
        if (!m_helpFile.isEmpty() && file.open(QIODevice::ReadOnly)) {
            m_window->setDocument(
                HelpDocument::parse(QString::fromUtf8(file.readAll())), m_helpFile);
            m_loaded = true;
        } else {
            m_window->setDocument(std::nullopt, m_helpFile);
        }
    }
    return *m_window;
}

void QtHelpViewer::showKeyword(const QString& keyword)
{
    prepare().showKeyword(keyword);
}

void QtHelpViewer::showHelpOnHelp()
{
    prepare().showHelpOnHelp();
}

void QtHelpViewer::showTopic(const QString& jumpId)
{
    prepare().showTopic(jumpId);
}

void QtHelpViewer::quit()
{
    if (m_window)
        m_window->close();
}

} // namespace pictog::gui
