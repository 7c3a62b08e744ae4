// The main window's files of games and positions: File > Open, dropped files and pasted games,
// the listing in a worker thread, the game pane, moving through a game with the keys and the
// pane, and moves played on the board.

#include "main_form.h"

#include "board_widget.h"
#include "game_pane.h"
#include "main_form_text.h"
#include "ui_MainForm.h"

#include "game/board.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFuture>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <functional>

namespace pictog::gui {

namespace {

    // Files larger than this are refused: the whole text is kept in memory while it is open.
    constexpr qint64 MaxGameFile = qint64(1) << 30;

    bool isNavigationKey(const QKeyEvent* key)
    {
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Up:
        case Qt::Key_Down:
            return true;
        default:
            return false;
        }
    }

    // Keeps the arrow keys, Home and End with the text field, list or spin box that has the
    // focus, so that they move through a game only when the focus is elsewhere.
    class TextFieldKeys final : public QObject
    {
    public:
        using QObject::QObject;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::ShortcutOverride
                && isNavigationKey(static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
            return QObject::eventFilter(watched, event);
        }
    };

} // namespace

// The listing running in the worker: cancelled when another file opens or the window goes.
struct TFormMain::Listing {
    std::atomic<bool> cancelled { false };
    QFuture<void> future;
    bool done = false; // the last batch has been shown (set in the window's thread)
};

void TFormMain::setUpGameActions()
{
    setAcceptDrops(true);
    auto* open = new QAction(QStringLiteral("&Open ..."), this);
    open->setObjectName(QStringLiteral("MIFileOpen"));
    open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    QAction* first = ui->MEFile->actions().value(0);
    ui->MEFile->insertAction(first, open);
    ui->MEFile->insertSeparator(first);
    connect(open, &QAction::triggered, this, &TFormMain::MIFileOpenClick);

    auto* view = findChild<QMenu*>(QStringLiteral("MEView"));
    view->addSeparator();
    const struct {
        const char* name;
        const char* text;
        Qt::Key key;
        std::function<void()> handler;
    } steps[] = {
        { "MIViewNextMove", "&Next move", Qt::Key_Right, [this] { gameForward(); } },
        { "MIViewPreviousMove", "&Previous move", Qt::Key_Left, [this] { gameBack(); } },
        { "MIViewGameStart", "Game &start", Qt::Key_Home, [this] { gameStart(); } },
        { "MIViewGameEnd", "Game &end", Qt::Key_End, [this] { gameEnd(); } },
        { "MIViewNextEntry", "Next &game or position", Qt::Key_Down, [this] { gameNextEntry(1); } },
        { "MIViewPreviousEntry", "Previous game or p&osition", Qt::Key_Up,
            [this] { gameNextEntry(-1); } },
    };
    for (const auto& step : steps) {
        auto* action = new QAction(QString::fromLatin1(step.text), this);
        action->setObjectName(QLatin1String(step.name));
        action->setShortcut(QKeySequence(step.key));
        action->setEnabled(false);
        view->addAction(action);
        connect(action, &QAction::triggered, this, step.handler);
        m_gameActions << action;
    }

    auto* keys = new TextFieldKeys(this);
    for (QWidget* field : std::initializer_list<QWidget*> { ui->EditFENLine, ui->EditHeader1,
             ui->EditHeader2, ui->EditFooter1, ui->EditFooter2, ui->SpinEditMoveNumber,
             ui->SpinEditHalfMoveClock, ui->ComboBoxMoveRight, ui->ComboBoxMoveRight->lineEdit(),
             ui->ComboBoxEpField, ui->ComboBoxEpField->lineEdit() })
        field->installEventFilter(keys);
}

GamePane& TFormMain::ensureGamePane()
{
    if (!m_gamePane) {
        m_gamePane = new GamePane(this);
        m_gamePane->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
        addDockWidget(Qt::RightDockWidgetArea, m_gamePane);
        m_gamePane->findChild<QWidget*>(QStringLiteral("GameFilter"))
            ->installEventFilter(new TextFieldKeys(m_gamePane));
        connect(m_gamePane, &GamePane::entryChosen, this, &TFormMain::chooseGameEntry);
        connect(m_gamePane, &GamePane::nodeChosen, this, &TFormMain::chooseGameNode);
        auto* view = findChild<QMenu*>(QStringLiteral("MEView"));
        QAction* toggle = m_gamePane->toggleViewAction();
        toggle->setObjectName(QStringLiteral("MIViewGamePane"));
        toggle->setText(QStringLiteral("&Game pane"));
        view->insertAction(m_gameActions.value(0), toggle);
        connect(toggle, &QAction::triggered, this, &TFormMain::rememberGamePane);
        connect(m_gamePane, &GamePane::closedByUser, this, [this] { rememberGamePane(false); });
    }
    return *m_gamePane;
}

void TFormMain::rememberGamePane(bool open)
{
    ViewSettings changed = m_params->view();
    changed.gamePane = open;
    m_params->setView(changed);
}

void TFormMain::MIFileOpenClick()
{
    OpenDialogRequest request;
    request.title = QStringLiteral("Open games or positions");
    request.filter = QStringLiteral("Games and positions (*.pgn *.epd *.fen *.csv *.txt);;"
                                    "PGN games (*.pgn);;FEN/EPD lines (*.epd *.fen *.txt);;"
                                    "Puzzles (*.csv);;All files (*)");
    request.initialDir = qs(m_params->lastOpenFolder());
    const QString path
        = m_platform.openDialog ? m_platform.openDialog->chooseFile(request) : QString();
    if (path.isEmpty())
        return;
    m_params->setLastOpenFolder(ss(QFileInfo(path).absolutePath()));
    openGameFile(path);
}

bool TFormMain::openGameFile(const QString& path)
{
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxGameFile) {
        m_platform.messages->showError(QStringLiteral("File ") + path
            + (file.size() > MaxGameFile
                    ? QStringLiteral(" is too large to open")
                    : QStringLiteral(" cannot be read: ") + file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const GameFileKind kind = gameFileKind(ss(name), text);
    openGameText(name, std::move(text), kind);
    return true;
}

void TFormMain::openGameText(const QString& name, std::string text, GameFileKind kind)
{
    stopListing();
    commitUndoStep();
    m_fileText = std::make_shared<const std::string>(std::move(text));
    m_fileKind = kind;
    m_fileName = name;
    m_cursor.reset();
    m_entry = -1;
    GamePane& pane = ensureGamePane();
    pane.entries().clear();
    pane.setWindowTitle(name);
    if (!pane.isVisible()) {
        pane.show();
        // Beside the classic board the pane opened by a file is not kept open for the next
        // start; beside the larger ones it is.
        if (m_params->view().boardSize != BoardSize::Classic)
            rememberGamePane(true);
        // The pane widens the window: it moves back onto the screen when it now leaves it.
        QTimer::singleShot(0, this, [this] {
            if (const QScreen* s = screen()) {
                const QRect room = s->availableGeometry();
                QRect frame = frameGeometry();
                if (frame.right() > room.right())
                    frame.moveRight(room.right());
                if (frame.left() < room.left())
                    frame.moveLeft(room.left());
                move(frame.topLeft());
            }
        });
    }
    for (QAction* action : m_gameActions)
        action->setEnabled(true);

    // The worker hands the entries over in batches through the event loop; a small first one
    // shows the first game at once.
    auto listing = std::make_shared<Listing>();
    m_listing = listing;
    const std::shared_ptr<const std::string> fileText = m_fileText;
    listing->future = QtConcurrent::run([this, listing, fileText, kind] {
        GameFileLister lister(fileText, kind);
        std::size_t batch = 20;
        for (bool more = true; more && !listing->cancelled;) {
            std::vector<GameFileEntry> entries;
            more = lister.read(batch, entries);
            batch = 1000;
            QMetaObject::invokeMethod(
                this,
                [this, listing, entries = std::move(entries)]() mutable {
                    if (listing == m_listing)
                        listed(std::move(entries));
                },
                Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this,
            [this, listing, problem = lister.firstProblem()] {
                if (listing == m_listing)
                    listingDone(problem);
            },
            Qt::QueuedConnection);
    });
}

void TFormMain::stopListing()
{
    if (!m_listing)
        return;
    m_listing->cancelled = true;
    m_listing->future.waitForFinished();
    m_listing.reset();
}

bool TFormMain::listing() const
{
    return m_listing && !m_listing->done;
}

void TFormMain::listed(std::vector<GameFileEntry> entries)
{
    const bool first = m_entry < 0 && !entries.empty();
    m_gamePane->entries().append(std::move(entries));
    if (first)
        chooseGameEntry(0);
}

void TFormMain::listingDone(std::optional<GameFileProblem> problem)
{
    m_listing->future.waitForFinished();
    m_listing->done = true;
    // The opening's undo step first: recording it clears the status line.
    commitUndoStep();
    const bool games = m_fileKind == GameFileKind::Games;
    if (problem) {
        m_platform.messages->showError(
            QStringLiteral("File %1: %2 %3, line %4: %5")
                .arg(m_fileName, games ? QStringLiteral("game") : QStringLiteral("position"))
                .arg(problem->number)
                .arg(problem->line)
                .arg(qs(problem->message)));
    } else if (m_gamePane->entries().size() == 0) {
        m_platform.messages->showError(
            QStringLiteral("File %1 holds no games or positions").arg(m_fileName));
    }
    const int count = m_gamePane->entries().size();
    showStatus(QStringLiteral("%1: %2 %3%4")
                   .arg(m_fileName)
                   .arg(count)
                   .arg(games ? QStringLiteral("game") : QStringLiteral("position"))
                   .arg(count == 1 ? QString() : QStringLiteral("s")));
}

void TFormMain::chooseGameEntry(int row)
{
    if (!m_gamePane || row < 0 || row >= m_gamePane->entries().size() || row == m_entry)
        return;
    commitUndoStep();
    // Opening the file's first entry replaces what the user had: an undo step. Moving between
    // entries is not, unless the position shown was edited.
    const bool record = m_entry < 0 || (m_cursor && !inGame());
    OpenedEntry opened = openEntry(*m_fileText, m_fileKind, m_gamePane->entries().entry(row));
    m_entry = row;
    m_cursor.emplace(std::move(opened.tree));
    m_entryCaptions = opened.captions;
    m_gamePane->showEntry(row);
    showGamePosition(record);
    if (!opened.error.empty())
        showStatus(QStringLiteral("Line %1: %2").arg(opened.errorLine).arg(qs(opened.error)));
}

bool TFormMain::inGame() const
{
    return m_cursor && showsPosition(m_document, m_cursor->current());
}

void TFormMain::showGamePosition(bool record)
{
    Captions captions = m_document.captions;
    followCaptions(captions, m_autoCaptions, m_entryCaptions);
    const Captions footers = m_document.captions;
    m_document = positionDocument(m_cursor->current(), captions);
    m_document.captions.footer1 = footers.footer1;
    m_document.captions.footer2 = footers.footer2;
    if (record) {
        documentChanged();
    } else {
        showDocument();
        m_undo.replaceCurrent(m_document);
        updateUndoActions();
    }
    m_gamePane->showGame(m_cursor->tree(), m_cursor->node(), false);
}

template <class Step> void TFormMain::moveInGame(Step step)
{
    if (!m_cursor || QApplication::mouseButtons() != Qt::NoButton)
        return;
    commitUndoStep();
    const bool edited = !inGame();
    if (step(*m_cursor) || edited)
        showGamePosition(edited);
}

void TFormMain::gameForward()
{
    moveInGame([](GameCursor& c) { return c.forward(); });
}
void TFormMain::gameBack()
{
    moveInGame([](GameCursor& c) { return c.back(); });
}
void TFormMain::gameStart()
{
    moveInGame([](GameCursor& c) { return c.toStart(); });
}
void TFormMain::gameEnd()
{
    moveInGame([](GameCursor& c) { return c.toEnd(); });
}
void TFormMain::chooseGameNode(int node)
{
    moveInGame([node](GameCursor& c) { return c.select(node); });
}

void TFormMain::gameNextEntry(int step)
{
    if (m_gamePane && m_entry >= 0)
        chooseGameEntry(m_gamePane->neighbour(m_entry, step));
}

bool TFormMain::playBoardMove(const BoardMove& drag)
{
    if (!inGame() || SelectedPiece != 0)
        return false;
    const game::Board& position = m_cursor->current().position;
    game::Move move;
    move.from = static_cast<std::uint8_t>(game::square64(drag.from));
    move.to = static_cast<std::uint8_t>(game::square64(drag.to));
    const int piece = position.piece(move.from);
    const bool pawn = piece == WhitePawn || piece == BlackPawn;
    if (pawn && (move.to >= 56 || move.to < 8)) {
        game::Move probe = move;
        probe.promotion = 4;
        if (!game::isLegal(position, probe))
            return true;
        move.promotion = static_cast<std::uint8_t>(
            m_platform.promotion ? m_platform.promotion->choosePromotion() : 4);
        if (move.promotion == 0)
            return true;
    }
    commitUndoStep();
    if (m_cursor->play(move))
        showGamePosition(false);
    return true;
}

void TFormMain::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* mime = event->mimeData();
    if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().constFirst().isLocalFile())
        event->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    openGameFile(urls.constFirst().toLocalFile());
}

} // namespace pictog::gui
