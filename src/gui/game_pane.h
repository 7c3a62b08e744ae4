#pragma once

#include "editor/game_file.h"

#include <QAbstractTableModel>
#include <QDockWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTextBrowser;
class QTreeView;

namespace pictog::gui {

// The entries of an opened file as rows: number, label, result. Rows are only appended, in
// batches, while the file is read.
class GameListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void clear();
    void append(std::vector<GameFileEntry> entries);
    const GameFileEntry& entry(int row) const { return m_entries[static_cast<std::size_t>(row)]; }
    int size() const { return static_cast<int>(m_entries.size()); }

private:
    std::vector<GameFileEntry> m_entries;
};

// The side pane of an opened file: a filter box and the list of its games or positions (shown
// for more than one), the moves of the current game with numbers, comments, NAG glyphs and
// indented variations whose moves are links, and a note when the board was edited.
class GamePane final : public QDockWidget
{
    Q_OBJECT

public:
    explicit GamePane(QWidget* parent = nullptr);

    GameListModel& entries() { return *m_model; }
    // Selects the entry's row (a row of the list model) without emitting entryChosen.
    void showEntry(int row);
    // The entry row before or after row in the filtered order; -1 when there is none.
    int neighbour(int row, int step) const;
    // Writes the moves of the tree with the node highlighted; edited adds the note.
    void showGame(const game::GameTree& tree, int node, bool edited);
    // Shows or hides the note that the board was edited.
    void setEdited(bool edited);
    // The moves as plain text, as they are shown (blanks for the non-breaking spaces).
    QString movesText() const;

signals:
    // The user picked a row of the list model, or a move (a node of the tree).
    void entryChosen(int row);
    void nodeChosen(int node);
    // The user closed the pane with its close button.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    GameListModel* m_model;
    QSortFilterProxyModel* m_filter;
    QLineEdit* m_filterBox;
    QTreeView* m_list;
    QTextBrowser* m_moves;
    QLabel* m_note;
    bool m_selecting = false;
};

} // namespace pictog::gui
