// The side pane of an opened file: the list with its filter and the moves of the current game.
#include "game_pane.h"

#include "main_form_text.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeView>
#include <QVBoxLayout>

namespace pictog::gui {

namespace {

    QString commentHtml(const std::string& text)
    {
        return QStringLiteral("<span style=\"color:#3b6e3b\">") + qs(text).toHtmlEscaped()
            + QStringLiteral("</span> ");
    }

    // One line of play from its first move: moves with numbers, glyphs and comments, and after
    // each move that has alternatives the variations, one indented paragraph each.
    void writeLine(const game::GameTree& tree, int first, int depth, int current, QString& html)
    {
        const QString open
            = QStringLiteral("<p style=\"margin-left:%1px; margin-top:2px\">").arg(depth * 14);
        html += open;
        bool number = true; // the next move needs its number ("12...") after a break
        for (int n = first;;) {
            const game::GameNode& node = tree.node(n);
            if (!node.commentBefore.empty()) {
                html += commentHtml(node.commentBefore);
                number = true;
            }
            if (tree.node(node.parent).position.whiteToMove() || number)
                html += qs(tree.moveNumber(n)) + QStringLiteral("&nbsp;"); // kept with its move
            QString move = qs(node.san);
            for (const int nag : node.nags) {
                // Move glyphs stick to the move, assessments follow it; the diagram signs
                // ($220, $221) only say where a book would print a diagram.
                if (nag == 220 || nag == 221)
                    continue;
                move += (nag > 6 ? QStringLiteral(" ") : QString()) + qs(game::nagText(nag));
            }
            html += QStringLiteral("<a href=\"#%1\">").arg(n);
            if (n == current)
                html += QStringLiteral("<a name=\"current\"></a><span style=\"background-color:"
                                       "#f2c94c; font-weight:bold\">")
                    + move.toHtmlEscaped() + QStringLiteral("</span>");
            else
                html += move.toHtmlEscaped();
            html += QStringLiteral("</a> ");
            number = false;
            if (!node.comment.empty()) {
                html += commentHtml(node.comment);
                number = true;
            }
            const std::vector<int>& alternatives = tree.node(node.parent).children;
            if (alternatives.front() == n && alternatives.size() > 1) {
                html += QStringLiteral("</p>");
                for (std::size_t i = 1; i < alternatives.size(); ++i)
                    writeLine(tree, alternatives[i], depth + 1, current, html);
                html += open;
                number = true;
            }
            if (node.children.empty())
                break;
            n = node.children.front();
        }
        html += QStringLiteral("</p>");
    }

    // The pane's contents ask for little room: the window keeps its classic height, and the
    // pane takes the height the window has.
    class PaneBody final : public QWidget
    {
    public:
        using QWidget::QWidget;
        QSize sizeHint() const override { return { 280, 120 }; }
    };

} // namespace

int GameListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

int GameListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant GameListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= size())
        return {};
    const GameFileEntry& e = entry(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return QVariant::fromValue(static_cast<qlonglong>(e.number));
        case 1:
            return qs(e.label);
        default:
            return qs(e.result);
        }
    }
    if (role == Qt::ToolTipRole && index.column() == 1)
        return qs(e.label);
    if (role == Qt::TextAlignmentRole && index.column() == 0)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant GameListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const char* const titles[] = { "#", "Game or position", "Result" };
    return QString::fromLatin1(titles[section]);
}

void GameListModel::clear()
{
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

void GameListModel::append(std::vector<GameFileEntry> entries)
{
    if (entries.empty())
        return;
    beginInsertRows(QModelIndex(), size(), size() + static_cast<int>(entries.size()) - 1);
    for (GameFileEntry& e : entries)
        m_entries.push_back(std::move(e));
    endInsertRows();
}

void GamePane::closeEvent(QCloseEvent* event)
{
    QDockWidget::closeEvent(event);
    if (event->isAccepted())
        emit closedByUser();
}

GamePane::GamePane(QWidget* parent)
    : QDockWidget(QStringLiteral("Game"), parent)
    , m_model(new GameListModel(this))
    , m_filter(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("GamePane"));
    m_filter->setSourceModel(m_model);
    m_filter->setFilterKeyColumn(-1);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);

    auto* body = new PaneBody(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    m_filterBox = new QLineEdit(body);
    m_filterBox->setObjectName(QStringLiteral("GameFilter"));
    m_filterBox->setPlaceholderText(QStringLiteral("Filter"));
    m_filterBox->setClearButtonEnabled(true);
    layout->addWidget(m_filterBox);

    auto* split = new QSplitter(Qt::Vertical, body);
    m_list = new QTreeView(split);
    m_list->setObjectName(QStringLiteral("GameList"));
    m_list->setModel(m_filter);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_moves = new QTextBrowser(split);
    m_moves->setObjectName(QStringLiteral("GameMoves"));
    m_moves->setOpenLinks(false);
    // Without the focus the moves view leaves the arrow keys to the window's navigation.
    m_moves->setFocusPolicy(Qt::NoFocus);
    m_moves->document()->setDefaultStyleSheet(
        QStringLiteral("a { text-decoration: none; color: palette(text); }"));
    // What the pane is for, until a file is open in it (it may be restored empty at start-up).
    m_moves->setHtml(QStringLiteral("<p style=\"color:gray\">No file open. File &gt; Open "
                                    "(Ctrl+O), or drop a PGN, EPD or puzzle CSV file on the "
                                    "window.</p>"));
    // Small minimums, so that the pane never makes the fixed classic window taller.
    m_list->setMinimumHeight(40);
    m_moves->setMinimumHeight(40);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    layout->addWidget(split, 1);
    m_note = new QLabel(QStringLiteral("Position edited: moving on leaves the edit to Undo"), body);
    m_note->setObjectName(QStringLiteral("GameEditedNote"));
    m_note->setWordWrap(true);
    m_note->hide();
    layout->addWidget(m_note);
    setWidget(body);
    body->setMinimumWidth(260);

    m_filterBox->hide();
    m_list->hide();
    connect(m_filterBox, &QLineEdit::textChanged, m_filter,
        &QSortFilterProxyModel::setFilterFixedString);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        const bool many = m_model->size() > 1;
        m_filterBox->setVisible(many);
        m_list->setVisible(many);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_filterBox->hide();
        m_list->hide();
        m_filterBox->clear();
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            if (!m_selecting && current.isValid())
                emit entryChosen(m_filter->mapToSource(current).row());
        });
    connect(m_moves, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        bool ok = false;
        const int node = url.fragment().toInt(&ok);
        if (ok)
            emit nodeChosen(node);
    });
}

void GamePane::showEntry(int row)
{
    const QModelIndex index = m_filter->mapFromSource(m_model->index(row, 0));
    m_selecting = true;
    m_list->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_selecting = false;
    if (index.isValid())
        m_list->scrollTo(index);
}

int GamePane::neighbour(int row, int step) const
{
    const QModelIndex index = m_filter->mapFromSource(m_model->index(row, 0));
    const int next = index.isValid() ? index.row() + step : (step > 0 ? 0 : -1);
    if (next < 0 || next >= m_filter->rowCount())
        return -1;
    return m_filter->mapToSource(m_filter->index(next, 0)).row();
}

void GamePane::showGame(const game::GameTree& tree, int node, bool edited)
{
    QString html;
    if (!tree.node(0).comment.empty())
        html += QStringLiteral("<p>") + commentHtml(tree.node(0).comment) + QStringLiteral("</p>");
    if (!tree.node(0).children.empty())
        writeLine(tree, tree.node(0).children.front(), 0, node, html);
    else if (html.isEmpty())
        html = QStringLiteral("<p style=\"color:gray\">No moves</p>");
    m_moves->setHtml(html);
    m_moves->scrollToAnchor(QStringLiteral("current"));
    m_note->setVisible(edited);
}

void GamePane::setEdited(bool edited)
{
    m_note->setVisible(edited);
}

QString GamePane::movesText() const
{
    return m_moves->toPlainText().replace(QChar::Nbsp, QLatin1Char(' '));
}

} // namespace pictog::gui
