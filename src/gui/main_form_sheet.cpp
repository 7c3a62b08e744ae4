// File > Export sheet: the positions of the open file as a worksheet PDF, with the choices of a
// small dialog remembered in the settings.

#include "main_form.h"

#include "diagram_sheet.h"
#include "game_pane.h"
#include "main_form_text.h"
#include "platform.h"
#include "settings/file_system.h"
#include "settings/file_writer.h"
#include "sheet_dialog.h"
#include "sheet_record.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace pictog::gui {

void TFormMain::setUpSheetAction()
{
    auto* item = new QAction(QStringLiteral("Export s&heet ..."), this);
    item->setObjectName(QStringLiteral("MIFileExportSheet"));
    item->setEnabled(false);
    // Right after Export diagram.
    const QList<QAction*> file = ui->MEFile->actions();
    const int at = file.indexOf(action("MIFileExportDiagram"));
    ui->MEFile->insertAction(file.value(at + 1), item);
    connect(item, &QAction::triggered, this, &TFormMain::MIFileExportSheetClick);
    m_gameActions << item;
}

void TFormMain::MIFileExportSheetClick()
{
    if (!m_fileText)
        return;
    TDlgExportSheet dialog(this);
    dialog.setSettings(m_params->sheet());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SheetSettings settings = dialog.settings();
    m_params->setSheet(settings);

    SaveDialogRequest request;
    request.title = QStringLiteral("Save Sheet as PDF Document ...");
    request.filter = QStringLiteral("PDF document (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    request.initialDir = qs(m_params->diagramExport().lastExportDir);
    const QString fileName = m_platform.saveDialog->chooseFile(request);
    if (fileName.isEmpty())
        return;
    if (const QString error = exportSheet(settings, fileName); !error.isEmpty()) {
        m_platform.messages->showError(error);
        return;
    }
    showStatus(QStringLiteral("Saved ") + fileName);
}

QString TFormMain::exportSheet(const SheetSettings& settings, const QString& fileName)
{
    // The options as the command line's sheet fills them: the settings' look on a white page.
    SheetOptions sheet;
    DiagramChoices choices;
    choices.style = settings.style;
    sheet.diagram = buildRenderOptions(pictureSettingsOf(*m_params), choices, {}, {});
    sheet.diagram.colorDiagramBackground = "#FFFFFF";
    const DiagramSize size = diagramSize(sheet.diagram);
    SheetRequest request;
    request.page = settings.page == "letter" ? SheetPage::Letter : SheetPage::A4;
    request.columns = settings.columns;
    request.rows = settings.rows;
    request.frameRatio
        = static_cast<double>(std::max(size.width, size.height)) / (8.0 * sheet.diagram.squarePx);
    const SheetLayoutResult layout = sheetLayout(request);
    if (!layout.error.empty()) {
        // The layout names the command line's option; the window says what was chosen.
        std::string reason = layout.error;
        if (reason.rfind("--grid ", 0) == 0)
            reason.replace(0, 7, "a grid of ");
        return QStringLiteral("The sheet cannot be made: ") + qs(reason);
    }
    sheet.layout = layout.layout;
    sheet.title = settings.title;
    sheet.prompt = settings.prompt;
    sheet.turnBoard = settings.turnBoard;

    std::vector<SheetDiagram> diagrams;
    bool anySolution = false;
    for (const FileRecord& record : fileRecords(m_fileText, m_fileKind)) {
        diagrams.push_back(sheetDiagram(record.board, record.operations,
            record.annotations.empty() ? nullptr : &record.annotations, false));
        anySolution = anySolution || !diagrams.back().solution.empty();
    }
    if (diagrams.empty())
        return QStringLiteral("File %1 holds no position to put on a sheet").arg(m_fileName);
    sheet.solutions = settings.solutions == "page"     ? SolutionPlacement::Page
        : settings.solutions == "none" || !anySolution ? SolutionPlacement::None
                                                       : SolutionPlacement::End;

    FileSystem files;
    FileWriter file(files);
    const auto cannotWrite = [&fileName](const std::string& reason) {
        return QStringLiteral("Cannot write %1: %2").arg(fileName, qs(reason));
    };
    if (const std::string error = file.open(ss(fileName)); !error.empty())
        return cannotWrite(error);
    bool written = true;
    const auto problem = renderSheetPdf(
        sheet, diagrams, [&file, &written](const unsigned char* bytes, std::size_t length) {
            written = file.write(std::string_view(reinterpret_cast<const char*>(bytes), length));
            return written;
        });
    // A failed write is the file's fault, told by commit; anything else is the sheet's.
    if (problem && written) {
        file.abandon();
        return QStringLiteral("The sheet cannot be made: ") + qs(*problem);
    }
    if (const std::string error = file.commit(); !error.empty())
        return cannotWrite(error);
    return {};
}

} // namespace pictog::gui
