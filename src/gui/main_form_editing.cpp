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

    // Every change of the document schedules a step; the step is taken when the event loop is
    // next idle, so a command that changes many things at once is one step.
    m_undoTimer = new QTimer(this);
    m_undoTimer->setSingleShot(true);
    m_undoTimer->setInterval(0);
    connect(m_undoTimer, &QTimer::timeout, this, &TFormMain::commitUndoStep);

    if (m_params->activated()) {
        Annotations stored;
        // A stored text the reader rejects leaves the board without annotations.
        if (!parseAnnotationComment(m_params->boardAnnotations(), stored))
            m_document.annotations = stored;
        showDocument();
    }
    m_undo.reset(m_document);
    updateUndoActions();
    setUpExportActions();
}

QAction* TFormMain::action(const char* objectName) const
{
    return findChild<QAction*>(QLatin1String(objectName));
}

// ---- Undo and Redo

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
    if (m_undo.record(m_document, captionMergeKey(m_undo.current(), m_document)))
        m_statusLine->clear();
    updateUndoActions();
}

void TFormMain::MIEditUndoClick()
{
    // In the middle of a drag the board view holds the lifted piece: the step waits for the drop.
    if (QApplication::mouseButtons() != Qt::NoButton)
        return;
    commitUndoStep();
    if (!m_undo.canUndo())
        return;
    m_document = m_undo.undo();
    showDocument();
    commitUndoStep();
}

void TFormMain::MIEditRedoClick()
{
    if (QApplication::mouseButtons() != Qt::NoButton)
        return;
    commitUndoStep();
    if (!m_undo.canRedo())
        return;
    m_document = m_undo.redo();
    showDocument();
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
    return m_document.annotations;
}

void TFormMain::setAnnotations(const Annotations& annotations)
{
    m_document.annotations = annotations;
    documentChanged();
}

void TFormMain::annotationGesture(int from, int to, AnnotationColor color)
{
    m_document.toggleAnnotation(from, to, color);
    documentChanged();
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
