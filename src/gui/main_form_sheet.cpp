// File > Export sheet: the positions of the open file as a worksheet PDF, with the choices of a
// small dialog remembered in the settings. The file is read and the sheet drawn on a worker
// thread: a file of thousands of games takes seconds, and the window goes on meanwhile.

#include "main_form.h"

#include "diagram_sheet.h"
#include "main_form_text.h"
#include "platform.h"
#include "settings/file_system.h"
#include "settings/file_writer.h"
#include "sheet_dialog.h"
#include "sheet_record.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QMenu>
#include <QtConcurrent/QtConcurrentRun>

#include <variant>

namespace pictog::gui {

namespace {

    // A sheet to write: its options, and the file it is made of.
    struct SheetJob {
        SheetOptions options;
        std::string solutions; // end, page, none
        std::shared_ptr<const std::string> fileText;
        GameFileKind kind = GameFileKind::Games;
        QString sourceName;
    };

    // The sheet's options as the command line's sheet fills them (the settings' look on a white
    // page), or the message of a grid that does not fit the page.
    std::variant<SheetJob, QString> prepareSheet(
        const SheetSettings& settings, const TPictogParams& params)
    {
        SheetJob job;
        SheetOptions& sheet = job.options;
        DiagramChoices choices;
        choices.style = settings.style;
        sheet.diagram = sheetDiagramOptions(pictureSettingsOf(params), choices);
        SheetRequest request;
        request.page = settings.page == "letter" ? SheetPage::Letter : SheetPage::A4;
        request.columns = settings.columns;
        request.rows = settings.rows;
        const SheetLayoutResult layout = sheetLayoutFor(request, sheet.diagram);
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
        job.solutions = settings.solutions;
        return job;
    }

    // Reads the file's records and writes the sheet through the file writer: empty, or the one
    // message to show. Touches nothing of the window, so it runs on any thread.
    QString writeSheet(SheetJob job, const QString& fileName)
    {
        std::vector<SheetDiagram> diagrams;
        bool anySolution = false;
        for (const FileRecord& record : fileRecords(job.fileText, job.kind)) {
            diagrams.push_back(sheetDiagram(record.board, record.operations,
                record.annotations.empty() ? nullptr : &record.annotations, false));
            anySolution = anySolution || !diagrams.back().solution.empty();
        }
        if (diagrams.empty())
            return QStringLiteral("File %1 holds no position to put on a sheet")
                .arg(job.sourceName);
        job.options.solutions = job.solutions == "page" ? SolutionPlacement::Page
            : job.solutions == "none" || !anySolution   ? SolutionPlacement::None
                                                        : SolutionPlacement::End;

        FileSystem files;
        FileWriter file(files);
        const auto cannotWrite = [&fileName](const std::string& reason) {
            return QStringLiteral("Cannot write %1: %2").arg(fileName, qs(reason));
        };
        if (const std::string error = file.open(ss(fileName)); !error.empty())
            return cannotWrite(error);
        bool written = true;
        const auto problem = renderSheetPdf(job.options, diagrams,
            [&file, &written](const unsigned char* bytes, std::size_t length) {
                written
                    = file.write(std::string_view(reinterpret_cast<const char*>(bytes), length));
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

} // namespace

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
    connect(&m_sheetWriting, &QFutureWatcher<QString>::finished, this, [this, item] {
        item->setEnabled(m_fileText != nullptr);
        if (const QString error = m_sheetWriting.result(); !error.isEmpty())
            m_platform.messages->showError(error);
        else
            showStatus(QStringLiteral("Saved ") + m_sheetFile);
    });
}

void TFormMain::MIFileExportSheetClick()
{
    if (!m_fileText || sheetWriting())
        return;
    TDlgExportSheet dialog(this);
    dialog.setSettings(m_params->sheet());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SheetSettings settings = dialog.settings();
    m_params->setSheet(settings);
    auto prepared = prepareSheet(settings, *m_params);
    if (const QString* error = std::get_if<QString>(&prepared)) {
        m_platform.messages->showError(*error);
        return;
    }

    SaveDialogRequest request;
    request.title = QStringLiteral("Save Sheet as PDF Document ...");
    request.filter = QStringLiteral("PDF document (*.pdf)");
    request.defaultSuffix = QStringLiteral("pdf");
    request.initialDir = qs(m_params->diagramExport().lastExportDir);
    const QString fileName = m_platform.saveDialog->chooseFile(request);
    if (fileName.isEmpty())
        return;
    SheetJob job = std::get<SheetJob>(std::move(prepared));
    job.fileText = m_fileText;
    job.kind = m_fileKind;
    job.sourceName = m_fileName;
    m_sheetFile = fileName;
    action("MIFileExportSheet")->setEnabled(false);
    showStatus(QStringLiteral("Writing ") + fileName + QStringLiteral(" ..."));
    m_sheetWriting.setFuture(QtConcurrent::run(writeSheet, std::move(job), fileName));
}

bool TFormMain::sheetWriting() const
{
    return m_sheetWriting.isRunning();
}

QString TFormMain::exportSheet(const SheetSettings& settings, const QString& fileName)
{
    auto prepared = prepareSheet(settings, *m_params);
    if (const QString* error = std::get_if<QString>(&prepared))
        return *error;
    SheetJob job = std::get<SheetJob>(std::move(prepared));
    job.fileText = m_fileText;
    job.kind = m_fileKind;
    job.sourceName = m_fileName;
    return writeSheet(std::move(job), fileName);
}

} // namespace pictog::gui
