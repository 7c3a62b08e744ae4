// The main window's additions beside its classic controls: Undo and Redo, the annotations drawn
// on the board, the flipped view and the status line.

#include "main_form.h"

#include "board_widget.h"
#include "spin_edit.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTimer>

#include <chrono>

namespace pictog::gui {

namespace {

    // Typing in one caption field is one step: the key of the field when it is all that changed.
    int captionMergeKey(const EditorState& before, const EditorState& after)
    {
        int changed = -1;
        for (std::size_t i = 0; i < after.captions.size(); ++i) {
            if (before.captions[i] != after.captions[i]) {
                if (changed >= 0)
                    return 0;
                changed = static_cast<int>(i);
            }
        }
        EditorState same = after;
        same.captions = before.captions;
        return changed >= 0 && same == before ? changed + 1 : 0;
    }

} // namespace

void TFormMain::setUpEditorExtras()
{
    // The status line sits in the free strip under the line field, inside the fixed client area.
    m_statusLine = new QLabel(ui->centralwidget);
    m_statusLine->setObjectName(QStringLiteral("StatusLine"));
    m_statusLine->setGeometry(72, 390, 641, 22);
    m_statusLine->setTextFormat(Qt::PlainText);

    const auto makeAction
        = [this](const char* name, const QString& text, const QList<QKeySequence>& keys) {
              auto* action = new QAction(text, this);
              action->setObjectName(QLatin1String(name));
              action->setShortcuts(keys);
              return action;
          };

    m_undoAction = makeAction(
        "MIEditUndo", QStringLiteral("&Undo"), { QKeySequence(QStringLiteral("Ctrl+Z")) });
    m_redoAction = makeAction("MIEditRedo", QStringLiteral("&Redo"),
        { QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y")) });
    QAction* first = ui->MEEPD->actions().value(0);
    ui->MEEPD->insertAction(first, m_undoAction);
    ui->MEEPD->insertAction(first, m_redoAction);
    ui->MEEPD->insertSeparator(first);
    connect(m_undoAction, &QAction::triggered, this, &TFormMain::MIEditUndoClick);
    connect(m_redoAction, &QAction::triggered, this, &TFormMain::MIEditRedoClick);

    QAction* clear = makeAction("MIEditClearAnnotations", QStringLiteral("Clear &annotations"), {});
    ui->MEEPD->addSeparator();
    ui->MEEPD->addAction(clear);
    connect(clear, &QAction::triggered, this, &TFormMain::MIEditClearAnnotationsClick);

    auto* view = new QMenu(QStringLiteral("&View"), ui->MainMenu);
    view->setObjectName(QStringLiteral("MEView"));
    ui->MainMenu->insertMenu(ui->MEOptions->menuAction(), view);
    QAction* flip = makeAction("MIViewFlipBoard", QStringLiteral("&Flip board"),
        { QKeySequence(QStringLiteral("Ctrl+F")) });
    flip->setCheckable(true);
    view->addAction(flip);
    connect(flip, &QAction::toggled, this, &TFormMain::MIViewFlipBoardClick);

    connect(ui->Pictogram2D1, &BoardWidget::annotationGesture, this, &TFormMain::annotationGesture);

    // Every change of what an undo step holds schedules a step; the step is taken when the event
    // loop is next idle, so a command that changes many things at once is one step.
    m_undoTimer = new QTimer(this);
    m_undoTimer->setSingleShot(true);
    m_undoTimer->setInterval(0);
    connect(m_undoTimer, &QTimer::timeout, this, &TFormMain::commitUndoStep);
    for (QLineEdit* edit :
        { ui->EditFENLine, ui->EditHeader1, ui->EditHeader2, ui->EditFooter1, ui->EditFooter2 })
        connect(edit, &QLineEdit::textChanged, this, &TFormMain::scheduleUndoStep);
    for (QComboBox* box : { ui->ComboBoxMoveRight, ui->ComboBoxEpField })
        connect(box, &QComboBox::editTextChanged, this, &TFormMain::scheduleUndoStep);

    if (m_params->activated()) {
        Annotations stored;
        // A stored text the reader rejects leaves the board without annotations.
        if (!parseAnnotationComment(m_params->boardAnnotations(), stored))
            ui->Pictogram2D1->setAnnotations(stored);
    }
    m_undo.reset(editorState());
    updateUndoActions();
    setUpExportActions();
}

QAction* TFormMain::action(const char* objectName) const
{
    return findChild<QAction*>(QLatin1String(objectName));
}

// ---- Undo and Redo

EditorState TFormMain::editorState() const
{
    auto& self = const_cast<TFormMain&>(*this);
    EditorState state;
    state.board = self.boardPosition();
    state.panel = panelState();
    state.moveRightText = ui->ComboBoxMoveRight->currentText();
    state.epFieldText = ui->ComboBoxEpField->currentText();
    state.captions = { ui->EditHeader1->text(), ui->EditHeader2->text(), ui->EditFooter1->text(),
        ui->EditFooter2->text() };
    state.annotations = annotations();
    state.line = ui->EditFENLine->text();
    return state;
}

void TFormMain::scheduleUndoStep()
{
    if (m_undoTimer)
        m_undoTimer->start(std::chrono::milliseconds(0));
}

void TFormMain::commitUndoStep()
{
    m_undoTimer->stop();
    // A message box in the middle of a command runs the event loop: wait until it is answered
    // and the command has finished, so that the command stays one step.
    if (QApplication::activeModalWidget()) {
        m_undoTimer->start(std::chrono::milliseconds(50));
        return;
    }
    const EditorState state = editorState();
    if (m_undo.record(state, captionMergeKey(m_undo.current(), state)))
        m_statusLine->clear();
    updateUndoActions();
}

void TFormMain::restoreEditorState(const EditorState& state)
{
    TPictogram2D& view = board();
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file)
            view.SetSquare(state.board.GetPiece(squareIndex(file, rank)), squareIndex(file, rank));
    {
        // The panel takes the step's values without its handlers: the line is the step's own.
        const QSignalBlocker blockers[] = { QSignalBlocker(ui->CBWhiteShortCastling),
            QSignalBlocker(ui->CBWhiteLongCastling), QSignalBlocker(ui->CBBlackShortCastling),
            QSignalBlocker(ui->CBBlackLongCastling), QSignalBlocker(ui->SpinEditMoveNumber),
            QSignalBlocker(ui->SpinEditHalfMoveClock) };
        setCastling(state.panel);
        ui->ComboBoxMoveRight->setCurrentIndex(state.panel.moveRight);
        if (state.panel.moveRight < 0)
            ui->ComboBoxMoveRight->setEditText(state.moveRightText);
        ui->ComboBoxEpField->setCurrentIndex(state.panel.epField);
        if (state.panel.epField < 0)
            ui->ComboBoxEpField->setEditText(state.epFieldText);
        ui->SpinEditMoveNumber->setValue(state.panel.moveNumber);
        ui->SpinEditHalfMoveClock->setValue(state.panel.halfMoveClock);
    }
    ui->EditHeader1->setText(state.captions[0]);
    ui->EditHeader2->setText(state.captions[1]);
    ui->EditFooter1->setText(state.captions[2]);
    ui->EditFooter2->setText(state.captions[3]);
    ui->Pictogram2D1->setAnnotations(state.annotations);
    ui->EditFENLine->setText(state.line);
}

void TFormMain::MIEditUndoClick()
{
    // In the middle of a drag the board view holds the lifted piece: the step waits for the drop.
    if (QApplication::mouseButtons() != Qt::NoButton)
        return;
    commitUndoStep();
    if (!m_undo.canUndo())
        return;
    restoreEditorState(m_undo.undo());
    commitUndoStep();
}

void TFormMain::MIEditRedoClick()
{
    if (QApplication::mouseButtons() != Qt::NoButton)
        return;
    commitUndoStep();
    if (!m_undo.canRedo())
        return;
    restoreEditorState(m_undo.redo());
    commitUndoStep();
}

void TFormMain::updateUndoActions()
{
    m_undoAction->setEnabled(m_undo.canUndo());
    m_redoAction->setEnabled(m_undo.canRedo());
}

// ---- Annotations and the view

const Annotations& TFormMain::annotations() const
{
    return ui->Pictogram2D1->annotations();
}

void TFormMain::setAnnotations(const Annotations& annotations)
{
    ui->Pictogram2D1->setAnnotations(annotations);
    scheduleUndoStep();
}

void TFormMain::annotationGesture(int from, int to, AnnotationColor color)
{
    Annotations changed = annotations();
    if (from == to)
        toggleSquare(changed, { from, color });
    else
        toggleArrow(changed, { from, to, color });
    setAnnotations(changed);
}

void TFormMain::MIEditClearAnnotationsClick()
{
    setAnnotations({});
}

void TFormMain::MIViewFlipBoardClick(bool flipped)
{
    board().SetWhiteIsAtBottom(!flipped);
    ui->Pictogram2D1->update();
}

// ---- Status line

QString TFormMain::statusText() const
{
    return m_statusLine->text();
}

void TFormMain::showStatus(const QString& text)
{
    m_statusLine->setText(text);
}

} // namespace pictog::gui
