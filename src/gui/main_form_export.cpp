// The main window's scalable diagrams: the export dialog, Save as SVG and PDF, and the copy that
// puts picture, FEN line and HTML code on the clipboard together.

#include "main_form.h"

#include "board_widget.h"
#include "export_dialog.h"
#include "ui_MainForm.h"

#include "diagram/file_output.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

namespace pictog::gui {

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

TDlgExportDiagram& TFormMain::exportDialog()
{
    if (!m_dlgExportDiagram)
        m_dlgExportDiagram = new TDlgExportDiagram(*m_params, this);
    return *m_dlgExportDiagram;
}

void TFormMain::MIFileExportDiagramClick()
{
    TDlgExportDiagram& dialog = exportDialog();
    dialog.setContent(m_document);
    dialog.setChoices(m_params->diagramExport(), !board().WhiteIsAtBottom());
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_params->setDiagramExport(dialog.settings());
    saveDiagram(dialog.settings(), dialog.flip());
}

void TFormMain::MIFileSaveAsSVGClick()
{
    DiagramExportSettings settings = m_params->diagramExport();
    settings.format = ExportFormat::Svg;
    saveDiagram(settings, !board().WhiteIsAtBottom());
}

void TFormMain::MIFileSaveAsPDFClick()
{
    DiagramExportSettings settings = m_params->diagramExport();
    settings.format = ExportFormat::Pdf;
    saveDiagram(settings, !board().WhiteIsAtBottom());
}

bool TFormMain::saveDiagram(const DiagramExportSettings& settings, bool flip)
{
    static const struct {
        const char* title;
        const char* filter;
    } texts[] = {
        { "Save Diagram as PNG Picture ...", "PNG picture (*.png)" },
        { "Save Diagram as SVG Drawing ...", "SVG drawing (*.svg)" },
        { "Save Diagram as PDF Document ...", "PDF document (*.pdf)" },
    };
    const auto& text = texts[static_cast<int>(settings.format)];
    const DiagramRenderOptions options
        = renderOptionsFor(settings, flip, *m_params, m_document.captions, m_document.annotations);
    if (const auto problem = checkRenderOptions(options)) {
        m_platform.messages->showError(QString::fromStdString(*problem));
        return false;
    }

    QString folder = QString::fromStdString(settings.lastExportDir);
    if (!folder.isEmpty() && !QFileInfo(folder).isDir())
        folder.clear();
    SaveDialogRequest request;
    request.title = QLatin1String(text.title);
    request.filter = QLatin1String(text.filter);
    request.defaultSuffix = QLatin1String(exportExtension(settings.format));
    request.initialDir = folder;
    const QString fileName = m_platform.saveDialog->chooseFile(request);
    if (fileName.isEmpty())
        return false;

    const std::string bytes = renderDiagramFile(settings.format, m_document, options);
    const std::string error = bytes.empty()
        ? std::string("Error in creating diagram")
        : writeFileReplacing(fileName.toStdString(),
            reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    if (!error.empty()) {
        m_platform.messages->showError(QString::fromStdString(error));
        return false;
    }
    DiagramExportSettings remembered = m_params->diagramExport();
    remembered.lastExportDir
        = (QFileInfo(fileName).absolutePath() + QLatin1Char('/')).toStdString();
    m_params->setDiagramExport(remembered);
    showStatus(QStringLiteral("Saved ") + fileName);
    return true;
}

void TFormMain::MIEditCopyAsDiagramClick()
{
    DiagramExportSettings settings = m_params->diagramExport();
    settings.format = ExportFormat::Png;
    const EditDocument& d = m_document;
    const DiagramRenderOptions options = renderOptionsFor(
        settings, !board().WhiteIsAtBottom(), *m_params, d.captions, d.annotations);
    const std::string png = renderDiagramPng(d.board, d.panel, options);
    if (png.empty()) {
        const auto problem = checkRenderOptions(options);
        m_platform.messages->showError(
            QString::fromStdString(problem ? *problem : "Error in creating diagram"));
        return;
    }
    m_exportText = pictog::BuildHTMLCode(htmlSettingsOf(*m_params), d.captions, d.line,
        d.panel.moveRight, boardCodesOf(d.board), HtmlMode::Clipboard);
    m_platform.clipboard->setDiagram(QByteArray(png.data(), static_cast<qsizetype>(png.size())),
        QString::fromStdString(d.line), QString::fromStdString(m_exportText));
    showStatus(QStringLiteral("Diagram copied as picture, FEN line and HTML code"));
}

} // namespace pictog::gui
