// The main window's menus: the table that ties the classic items to their handlers, the items
// beside them (Undo and Redo, the View menu, the diagram export) with the status line, and the
// handlers of the Options and Help menus.

#include "main_form.h"

#include "about_box.h"
#include "board_widget.h"
#include "export_dialog.h"
#include "general_options_dialog.h"
#include "html_options_dialog.h"
#include "licence_box.h"
#include "main_form_text.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace pictog::gui {

void TFormMain::connectMenus()
{
    const std::pair<QAction*, void (TFormMain::*)()> actions[] = {
        { ui->MIFileSaveAsBMP, &TFormMain::MIFileSaveAsBMPClick },
        { ui->MIFileSaveAsPNG, &TFormMain::MIFileSaveAsPNGClick },
        { ui->MIFileExit, &TFormMain::MIFileExitClick },
        { ui->MIEditPaste, &TFormMain::MIEditPasteClick },
        { ui->MIEditCopy, &TFormMain::MIEditCopyClick },
        { ui->MIEditCopyAsASCII, &TFormMain::MIEditCopyAsASCIIClick },
        { ui->MIEditCopyAsBitmap, &TFormMain::MIEditCopyAsBitmapClick },
        { ui->MIEditCopyAsCCCFENstring, &TFormMain::MIEditCopyAsCCCFENstringClick },
        { ui->MIEditCopyAsFENstring, &TFormMain::MIEditCopyAsFENstringClick },
        { ui->MIEditCopyAsHTML, &TFormMain::MIEditCopyAsHTMLClick },
        { ui->MIEditCopyAsPGN, &TFormMain::MIEditCopyAsPGNClick },
        { ui->w1, &TFormMain::WhitePiecesPositionClick },
        { ui->b1, &TFormMain::BlackPiecesPositionClick },
        { ui->MIEditTransformRotateleft, &TFormMain::MIEditTransformRotateleftClick },
        { ui->MIEditTransformRotateright, &TFormMain::MIEditTransformRotaterightClick },
        { ui->MIEditTransformSwitchcolor, &TFormMain::MIEditTransformSwitchcolorClick },
        { ui->MIEditTransformMirrorhorizontal, &TFormMain::MIEditTransformMirrorhorizontalClick },
        { ui->MIEditTransformMirrorvertical, &TFormMain::MIEditTransformMirrorverticalClick },
        { ui->MIEditTransformMirrorleftdiagonal,
            &TFormMain::MIEditTransformMirrorleftdiagonalClick },
        { ui->MIEditTransformMirrorrightdiagonal,
            &TFormMain::MIEditTransformMirrorrightdiagonalClick },
        { ui->MIOptionsGeneral, &TFormMain::MIOptionsGeneralClick },
        { ui->MIOptionsHTML, &TFormMain::MIOptionsHTMLClick },
        { ui->MIHelpContents, &TFormMain::MIHelpContentsClick },
        { ui->MIHelpSearch, &TFormMain::MIHelpSearchClick },
        { ui->MIHelpHelponHelp, &TFormMain::MIHelpHelponHelpClick },
        { ui->MIHelpManual, &TFormMain::MIHelpManualClick },
        { ui->MIHelpLicence, &TFormMain::MIHelpLicenceClick },
        { ui->MIHelpAbout, &TFormMain::MIHelpAboutClick },
        { ui->MIHelpWWWHome, &TFormMain::MIHelpWWWHomeClick },
        { ui->MIHelpWWWPGNStandard, &TFormMain::MIHelpWWWPGNStandardClick },
        { ui->MIHelpWWWFENEPDStandard, &TFormMain::MIHelpWWWFENEPDStandardClick },
        { ui->MIHelpWWWCCCForum, &TFormMain::MIHelpWWWCCCForumClick },
        { ui->MIHelpWWWChessBitsForum, &TFormMain::MIHelpWWWChessBitsForumClick },
        { ui->MIHelpWWWCSSForum, &TFormMain::MIHelpWWWCSSForumClick },
        { ui->MIHelpWWWFCPForum, &TFormMain::MIHelpWWWFCPForumClick },
        { ui->MIHelpWWWWinBoardForum, &TFormMain::MIHelpWWWWinBoardForumClick },
    };
    for (const auto& [action, handler] : actions)
        connect(action, &QAction::triggered, this, handler);
}

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

void TFormMain::setUpExportActions()
{
    const auto makeAction = [this](const char* name, const QString& text, const char* keys) {
        auto* action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        if (keys)
            action->setShortcut(QKeySequence(QLatin1String(keys)));
        return action;
    };
    QAction* exportDiagram
        = makeAction("MIFileExportDiagram", QStringLiteral("&Export diagram ..."), "Ctrl+E");
    const QList<QAction*> file = ui->MEFile->actions();
    ui->MEFile->insertAction(
        file.value(file.indexOf(ui->MIFileSaveAs->menuAction()) + 1), exportDiagram);
    connect(exportDiagram, &QAction::triggered, this, &TFormMain::MIFileExportDiagramClick);

    QAction* svg = makeAction("MIFileSaveAsSVG", QStringLiteral("&SVG ..."), nullptr);
    QAction* pdf = makeAction("MIFileSaveAsPDF", QStringLiteral("P&DF ..."), nullptr);
    ui->MIFileSaveAs->addAction(svg);
    ui->MIFileSaveAs->addAction(pdf);
    connect(svg, &QAction::triggered, this, &TFormMain::MIFileSaveAsSVGClick);
    connect(pdf, &QAction::triggered, this, &TFormMain::MIFileSaveAsPDFClick);

    QAction* copy = makeAction(
        "MIEditCopyAsDiagram", QStringLiteral("&Diagram (picture, FEN and HTML)"), "Ctrl+Shift+C");
    ui->MIEditCopyAs->addSeparator();
    ui->MIEditCopyAs->addAction(copy);
    connect(copy, &QAction::triggered, this, &TFormMain::MIEditCopyAsDiagramClick);
}

// ---- Options and help

void TFormMain::MIOptionsGeneralClick()
{
    m_dlgGeneralOptions->exec();
}

void TFormMain::MIOptionsHTMLClick()
{
    // The board takes the stored colours whichever button closed the dialog.
    m_dlgHtmlOptions->exec();
    refreshBoard();
}

void TFormMain::MIHelpContentsClick()
{
    m_platform.help->showKeyword(QStringLiteral("Contents"));
}
void TFormMain::MIHelpSearchClick()
{
    m_platform.help->showKeyword(QString());
}
void TFormMain::MIHelpHelponHelpClick()
{
    m_platform.help->showHelpOnHelp();
}
void TFormMain::MIHelpManualClick()
{
    OpenInTextEditor(qs(m_params->manualFile()));
}
void TFormMain::MIHelpLicenceClick()
{
    m_licenceBox->exec();
}
void TFormMain::MIHelpAboutClick()
{
    // A new box for each showing, destroyed when it closes.
    TAboutBox box(qs(m_params->urlHomePage()), m_platform.shell, this);
    box.setSettingsFile(qs(m_params->iniFile()));
    box.exec();
}

void TFormMain::OpenInTextEditor(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        m_platform.messages->showError(
            QStringLiteral("File ") + path + QStringLiteral(" doesn't exists"));
        return;
    }
    if (!m_platform.textEditor->open(qs(m_params->textEditor()), path))
        showStatus(QStringLiteral("The text editor ") + qs(m_params->textEditor())
            + QStringLiteral(" could not be started for ") + path);
}

void TFormMain::openWebAddress(const std::string& text)
{
    // The addresses come from a file users edit by hand: only a web address goes to the shell,
    // so a file path or another scheme never reaches the desktop's opener.
    const QString address = qs(text);
    if (webAddress(address).isEmpty()) {
        m_platform.messages->showError(QStringLiteral("Not a web address: ") + address);
        return;
    }
    m_platform.shell->openUrl(address);
}

void TFormMain::MIHelpWWWHomeClick()
{
    openWebAddress(m_params->urlHomePage());
}
void TFormMain::MIHelpWWWPGNStandardClick()
{
    openWebAddress(m_params->urlPGNStandard());
}
void TFormMain::MIHelpWWWFENEPDStandardClick()
{
    openWebAddress(m_params->urlEPDStandard());
}
void TFormMain::MIHelpWWWCCCForumClick()
{
    openWebAddress(m_params->urlCCCForum());
}
void TFormMain::MIHelpWWWChessBitsForumClick()
{
    openWebAddress(m_params->urlChessBitsForum());
}
void TFormMain::MIHelpWWWCSSForumClick()
{
    openWebAddress(m_params->urlCSSForum());
}
void TFormMain::MIHelpWWWFCPForumClick()
{
    openWebAddress(m_params->urlFCPForum());
}
void TFormMain::MIHelpWWWWinBoardForumClick()
{
    openWebAddress(m_params->urlWinBoardForum());
}

} // namespace pictog::gui
