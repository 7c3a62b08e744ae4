// The main window's exports, each of the document and the view's orientation: the text copies,
// the HTML code and preview, the classic picture, the export dialog, Save as SVG and PDF, and
// the copy that puts picture, FEN line and HTML code on the clipboard together.

#include "main_form.h"

#include "board_widget.h"
#include "export_dialog.h"
#include "main_form_text.h"
#include "ui_MainForm.h"

#include "diagram/bmp_codec.h"
#include "diagram/diagram_picture.h"
#include "diagram/file_output.h"
#include "diagram/png_encoder.h"
#include "export/html_preview.h"
#include "export/text_exports.h"
#include "settings/file_system.h"

#include <QFileInfo>

#include <exception>
#include <map>

namespace pictog::gui {

// ---- Text exports

void TFormMain::copyText(const std::string& text)
{
    m_exportText = text;
    m_platform.clipboard->setText(qs(m_exportText));
}

void TFormMain::MIEditCopyClick()
{
    copyText(m_document.line);
}

void TFormMain::MIEditCopyAsFENstringClick()
{
    MIEditCopyClick();
}

void TFormMain::MIEditCopyAsCCCFENstringClick()
{
    copyText(BuildCCCFENString(m_document.line));
}

void TFormMain::MIEditCopyAsASCIIClick()
{
    AsciiSettings settings;
    settings.coordinates = m_params->coordinates();
    settings.showSideToMove = m_params->showSideToMove();
    settings.showFenLine = m_params->showFenLine();
    copyText(BuildASCIIBoard(
        boardCodesOf(m_document.board), m_document.panel.moveRight, m_document.line, settings));
}

void TFormMain::MIEditCopyAsPGNClick()
{
    const QString date = m_platform.date ? m_platform.date->shortDate() : QString();
    copyText(BuildPGNHeader(m_document.line, m_document.panel.moveRight, ss(date)));
}

namespace {

    // The HTML code of a document, with the piece images as data: URIs of the GIFs in the local
    // image folder when the settings ask for them, as pictog-cli export html --embed writes it.
    // Nothing after putting the path of an image that cannot be read into missing.
    std::optional<std::string> htmlCodeOf(const TPictogParams& params, const EditDocument& document,
        HtmlMode mode, std::string& missing)
    {
        const HtmlSettings html = htmlSettingsOf(params);
        std::string code = pictog::BuildHTMLCode(html, document.captions, document.line,
            document.panel.moveRight, boardCodesOf(document.board), mode);
        if (!params.htmlExport().embedImages)
            return code;
        FileSystem files;
        std::map<std::string, std::string> read;
        const auto readImage = [&](const std::string& name) -> std::optional<std::string> {
            if (const auto found = read.find(name); found != read.end())
                return found->second;
            FileReadResult file
                = files.readBinaryFile(html.localImageBase + "/" + name, MaxHtmlImageBytes);
            if (file.status != FileReadStatus::Ok || file.contents.empty())
                return std::nullopt;
            return read.emplace(name, std::move(file.contents)).first->second;
        };
        std::string name;
        code = embedHtmlImages(code, htmlImageBase(html, mode), readImage, name);
        if (!name.empty()) {
            missing = html.localImageBase + "/" + name;
            return std::nullopt;
        }
        return code;
    }

    QString missingImageMessage(const std::string& path)
    {
        return QStringLiteral("Cannot read the piece image ") + QString::fromStdString(path);
    }

} // namespace

bool TFormMain::BuildHTMLCode(bool forPreview)
{
    std::string missing;
    const std::optional<std::string> code = htmlCodeOf(
        *m_params, m_document, forPreview ? HtmlMode::Preview : HtmlMode::Clipboard, missing);
    if (!code) {
        m_platform.messages->showError(missingImageMessage(missing));
        return false;
    }
    m_exportText = *code;
    if (!forPreview)
        m_platform.clipboard->setText(qs(m_exportText));
    return true;
}

void TFormMain::MIEditCopyAsHTMLClick()
{
    BuildHTMLCode(false);
}

void TFormMain::CreateHTMLOnClick()
{
    MIEditCopyAsHTMLClick();
}

void TFormMain::BtnPreviewHTMLClick()
{
    if (!BuildHTMLCode(true))
        return;
    const std::string error
        = WritePreviewFile(m_fileSystem, m_params->previewFile(), BuildPreviewPage(m_exportText));
    if (!error.empty()) {
        m_platform.messages->showError(qs(error));
        return;
    }
    if (!m_platform.shell->openFile(qs(m_params->previewFile())))
        showStatus(QStringLiteral("Nothing could open the preview ") + qs(m_params->previewFile()));
}

// ---- Pictures

std::optional<Raster> TFormMain::ComposeDiagramPicture(const EditDocument& document)
{
    DiagramPictureOptions options;
    options.showBorder = m_params->showBorder();
    options.coordinates = m_params->coordinates();
    options.colorDiagramBackground = m_params->colorDiagramBackground();
    // Drawn apart from the screen board, in its square colours and with the same pieces.
    if (!m_pictureBoard)
        m_pictureBoard = std::make_unique<TPictogram2D>(m_resources);
    m_pictureBoard->SetLightSquareColor(board().LightSquareColor());
    m_pictureBoard->SetDarkSquareColor(board().DarkSquareColor());
    // The classic picture always has White at the bottom, whichever way the screen board shows.
    return pictog::ComposeDiagramPicture(*m_pictureBoard, document.board, false, options);
}

void TFormMain::savePicture(bool png)
{
    QString folder = qs(m_params->lastSaveDir());
    if (!folder.isEmpty() && !QFileInfo(folder).isDir())
        folder.clear();
    SaveDialogRequest request;
    request.title = png ? QStringLiteral("Save Board as PNG Image File ...")
                        : QStringLiteral("Save Board as BMP Image File ...");
    request.filter
        = png ? QStringLiteral("PNG image (*.png)") : QStringLiteral("BMP image (*.bmp)");
    request.defaultSuffix = png ? QStringLiteral("PNG") : QStringLiteral("BMP");
    request.initialDir = folder;
    const QString fileName = m_platform.saveDialog->chooseFile(request);
    if (fileName.isEmpty())
        return;

    const std::optional<Raster> picture = ComposeDiagramPicture(m_document);
    if (!picture) {
        m_platform.messages->showError(QStringLiteral("Error in creating diagram bitmap"));
        return;
    }
    std::string error;
    try {
        const std::vector<unsigned char> bytes = png ? encodePng(*picture) : encodeBmp(*picture);
        error = writeFileReplacing(ss(fileName), bytes.data(), bytes.size());
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!error.empty()) {
        m_platform.messages->showError(qs(error));
        return;
    }
    m_params->setLastSaveDir(ss(QFileInfo(fileName).absolutePath() + QLatin1Char('/')));
}

void TFormMain::MIFileSaveAsBMPClick()
{
    savePicture(false);
}
void TFormMain::MIFileSaveAsPNGClick()
{
    savePicture(true);
}

void TFormMain::MIEditCopyAsBitmapClick()
{
    const std::optional<Raster> picture = ComposeDiagramPicture(m_document);
    if (!picture) {
        m_platform.messages->showError(QStringLiteral("Error in creating diagram bitmap"));
        return;
    }
    QImage image(picture->width(), picture->height(), QImage::Format_RGB32);
    for (int y = 0; y < picture->height(); ++y)
        std::copy(picture->row(y), picture->row(y) + picture->width(),
            reinterpret_cast<QRgb*>(image.scanLine(y)));
    m_platform.clipboard->setImage(image);
}

// ---- Scalable diagrams

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
    saveDiagram(dialog.settings(), m_document, dialog.flip());
}

void TFormMain::MIFileSaveAsSVGClick()
{
    DiagramExportSettings settings = m_params->diagramExport();
    settings.format = ExportFormat::Svg;
    saveDiagram(settings, m_document, !board().WhiteIsAtBottom());
}

void TFormMain::MIFileSaveAsPDFClick()
{
    DiagramExportSettings settings = m_params->diagramExport();
    settings.format = ExportFormat::Pdf;
    saveDiagram(settings, m_document, !board().WhiteIsAtBottom());
}

bool TFormMain::saveDiagram(
    const DiagramExportSettings& settings, const EditDocument& document, bool flip)
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
        = renderOptionsFor(settings, flip, *m_params, document.captions, document.annotations);
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

    const RenderResult file = renderDiagramFile(settings.format, document, options);
    const std::string error = !file.ok()
        ? file.error
        : writeFileReplacing(fileName.toStdString(),
            reinterpret_cast<const unsigned char*>(file.bytes.data()), file.bytes.size());
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
    const RenderResult png = renderDiagram(DiagramFormat::Png, d.board, d.panel, options);
    if (!png.ok()) {
        m_platform.messages->showError(QString::fromStdString(png.error));
        return;
    }
    std::string missing;
    const std::optional<std::string> html = htmlCodeOf(*m_params, d, HtmlMode::Clipboard, missing);
    if (!html) {
        m_platform.messages->showError(missingImageMessage(missing));
        return;
    }
    m_exportText = *html;
    m_platform.clipboard->setDiagram(
        QByteArray(png.bytes.data(), static_cast<qsizetype>(png.bytes.size())),
        QString::fromStdString(d.line), QString::fromStdString(m_exportText));
    showStatus(QStringLiteral("Diagram copied as picture, FEN line and HTML code"));
}

} // namespace pictog::gui
