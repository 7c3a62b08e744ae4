#include "main_form.h"

#include "about_box.h"
#include "board_widget.h"
#include "general_options_dialog.h"
#include "html_options_dialog.h"
#include "licence_box.h"
#include "palette_image.h"
#include "settings_text.h"
#include "spin_edit.h"
#include "ui_MainForm.h"

#include "diagram/bmp_codec.h"
#include "diagram/diagram_picture.h"
#include "diagram/embedded_resources.h"
#include "diagram/file_output.h"
#include "diagram/jpeg_decoder.h"
#include "diagram/png_encoder.h"
#include "export/html_preview.h"
#include "export/text_exports.h"
#include "position/epd_line.h"
#include "position/validation.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>

#include <exception>

namespace pictog::gui {

namespace {

    QString qs(const std::string& text)
    {
        return QString::fromStdString(text);
    }
    QString qs(std::string_view text)
    {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    std::string ss(const QString& text)
    {
        return text.toStdString();
    }

    constexpr const char* SelectPieceHint = "Click to select piece";
    constexpr const char* DeselectPieceHint = "Click to deselect piece";
    constexpr const char* DraggingHint = "Move pieces by mouse dragging";
    constexpr const char* PlacingHint = "Position pieces by mouse clicking";

    // The entry a list stands on, or -1 when none is selected or the user typed over its text.
    int listEntry(const QComboBox* box)
    {
        const int index = box->currentIndex();
        return index >= 0 && box->currentText() == box->itemText(index) ? index : -1;
    }

    // The palette's picture of a piece, or an empty one after reporting "Error loading PALETTEn":
    // the program goes on with a blank button.
    QPixmap paletteIcon(int piece, const ResourceLookup& lookup, ErrorMessages& messages)
    {
        const std::string name = "PALETTE" + std::to_string(piece);
        const auto resource = lookup(name);
        const JpegDecoding decoded
            = resource ? decodeJpeg(resource->data, resource->size) : JpegDecoding {};
        if (!decoded.image) {
            messages.ShowError("Error loading " + name);
            return {};
        }
        const RgbPixels& rgb = *decoded.image;
        QImage image(rgb.width, rgb.height, QImage::Format_RGB32);
        for (int y = 0; y < rgb.height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < rgb.width; ++x)
                line[x] = 0xFF000000u | rgb.pixels[static_cast<std::size_t>(y * rgb.width + x)];
        }
        return QPixmap::fromImage(image);
    }

    QColor qcolor(ColorValue color)
    {
        return QColor(redOf(color), greenOf(color), blueOf(color));
    }

} // namespace

void CoreMessages::showError(const std::string& message)
{
    if (m_boxes)
        m_boxes->showError(qs(message));
}

namespace {

    // A copy that keeps everything in its own folder.
    ProgramLocations portableLocations(const std::string& programDir)
    {
        ProgramLocations locations;
        locations.dataDir = programDir;
        locations.iniFile = programDir + "/Pictog.ini";
        locations.previewFile = programDir + "/Pictog.html";
        return locations;
    }

} // namespace

TFormMain::TFormMain(const QString& programDir, const PlatformServices& platform, QWidget* parent)
    : TFormMain(portableLocations(ss(programDir)), platform, parent)
{
}

TFormMain::TFormMain(
    const ProgramLocations& locations, const PlatformServices& platform, QWidget* parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::TFormMain>())
    , m_platform(platform)
    , m_coreMessages(platform.messages)
    , m_locations(locations)
{
    ui->setupUi(this);
    setUpControls();
    connectHandlers();
    MainFormOnCreate();
    createDialogs();
    setUpEditorExtras();
}

void TFormMain::createDialogs()
{
    // Created once, in this order, and reused for every showing; none is shown now.
    m_dlgGeneralOptions = new TDlgGeneralOptions(*m_params, m_platform.help, this);
    m_dlgHtmlOptions = new TDlgHtmlOptions(*m_params, m_platform.help, this);
    m_licenceBox = new TLicenceBox(this);
}

TFormMain::~TFormMain() = default;

bool TFormMain::terminationRequested() const
{
    return !ui->Pictogram2D1->hasBoard() || ui->Pictogram2D1->board().terminationRequested();
}

TPictogram2D& TFormMain::board()
{
    return ui->Pictogram2D1->board();
}

void TFormMain::setUpControls()
{
    // A fixed single frame with a minimize box but no maximize box; the client area below the
    // menu bar is 722 × 417.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    ui->centralwidget->setFixedSize(722, 417);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    ui->N7->setSeparator(true);

    m_palette[0] = { ui->BevelKing, ui->ImageKing, WhiteKing };
    m_palette[1] = { ui->BevelQueen, ui->ImageQueen, WhiteQueen };
    m_palette[2] = { ui->BevelRook, ui->ImageRook, WhiteRook };
    m_palette[3] = { ui->BevelBishop, ui->ImageBishop, WhiteBishop };
    m_palette[4] = { ui->BevelKnight, ui->ImageKnight, WhiteKnight };
    m_palette[5] = { ui->BevelPawn, ui->ImagePawn, WhitePawn };
    m_resources = m_platform.resources ? m_platform.resources : ResourceLookup(findResource);
    for (const PaletteEntry& entry : m_palette)
        entry.image->setPixmap(paletteIcon(entry.piece, m_resources, m_coreMessages));

    ui->Pictogram2D1->createBoard(m_resources, &m_coreMessages);
    // A click on the board takes the keyboard focus, so Ctrl+C and Ctrl+V then work on the
    // position instead of the caption field clicked last.
    ui->Pictogram2D1->setFocusPolicy(Qt::ClickFocus);
    // Typed text in the lists stays typed text (it counts as White / no square); only a pick
    // from the drop-down chooses an entry.
    for (QComboBox* list : { ui->ComboBoxMoveRight, ui->ComboBoxEpField }) {
        list->setCompleter(nullptr);
        list->setInsertPolicy(QComboBox::NoInsert);
    }
    // Only the four caption fields keep their own clipboard keys: in the line field, the spin
    // boxes and the lists' edit parts the filter hands Ctrl+C and Ctrl+V to the Edit menu.
    QWidget* windowClipboardKeys[] = { ui->EditFENLine, ui->SpinEditMoveNumber,
        ui->SpinEditHalfMoveClock, ui->ComboBoxMoveRight, ui->ComboBoxMoveRight->lineEdit(),
        ui->ComboBoxEpField, ui->ComboBoxEpField->lineEdit() };
    for (QWidget* widget : windowClipboardKeys)
        widget->installEventFilter(this);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    // In the read-only line field, the spin boxes and the lists (the widgets this filter is
    // installed on) Ctrl+C and Ctrl+V are Edit > Copy and Edit > Paste of the whole line, not
    // the field's own copy of a selection.
    if (watched != this && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::connectHandlers()
{
    // The lists' handlers run for the user's changes only: a pick from the list or typing.
    connect(
        ui->ComboBoxMoveRight, &QComboBox::activated, this, &TFormMain::ComboBoxMoveRightChange);
    connect(ui->ComboBoxMoveRight->lineEdit(), &QLineEdit::textEdited, this,
        &TFormMain::ComboBoxMoveRightChange);
    connect(ui->ComboBoxEpField, &QComboBox::activated, this, &TFormMain::ComboBoxEpFieldChange);
    connect(ui->ComboBoxEpField->lineEdit(), &QLineEdit::textEdited, this,
        &TFormMain::ComboBoxEpFieldChange);
    // Check boxes and spin boxes run theirs on every change, the program's included.
    connect(
        ui->CBWhiteShortCastling, &QCheckBox::toggled, this, &TFormMain::CBWhiteShortCastlingClick);
    connect(
        ui->CBWhiteLongCastling, &QCheckBox::toggled, this, &TFormMain::CBWhiteLongCastlingClick);
    connect(
        ui->CBBlackShortCastling, &QCheckBox::toggled, this, &TFormMain::CBBlackShortCastlingClick);
    connect(
        ui->CBBlackLongCastling, &QCheckBox::toggled, this, &TFormMain::CBBlackLongCastlingClick);
    connect(ui->SpinEditMoveNumber, &SpinEdit::changed, this, &TFormMain::SpinEditMoveNumberChange);
    connect(ui->SpinEditHalfMoveClock, &SpinEdit::changed, this,
        &TFormMain::SpinEditHalfMoveClockChange);
    connectDocumentEdits();

    connect(ui->BtnInitPosition, &QPushButton::clicked, this, &TFormMain::BtnInitPositionClick);
    connect(ui->BtnClearBoard, &QPushButton::clicked, this, &TFormMain::BtnClearBoardClick);
    connect(ui->BtnValidate, &QPushButton::clicked, this, &TFormMain::BtnValidateClick);
    connect(ui->BtnCreateHTML, &QPushButton::clicked, this, &TFormMain::CreateHTMLOnClick);
    connect(ui->BtnPreviewHTML, &QPushButton::clicked, this, &TFormMain::BtnPreviewHTMLClick);

    connect(ui->ImageKing, &PaletteImage::clicked, this, &TFormMain::ImageKingClick);
    connect(ui->ImageQueen, &PaletteImage::clicked, this, &TFormMain::ImageQueenClick);
    connect(ui->ImageRook, &PaletteImage::clicked, this, &TFormMain::ImageRookClick);
    connect(ui->ImageBishop, &PaletteImage::clicked, this, &TFormMain::ImageBishopClick);
    connect(ui->ImageKnight, &PaletteImage::clicked, this, &TFormMain::ImageKnightClick);
    connect(ui->ImagePawn, &PaletteImage::clicked, this, &TFormMain::ImagePawnClick);

    TPictogram2D& view = board();
    view.OnMouseDown
        = [this](MouseButton b, ShiftState s, int x, int y) { chessBoardOnMouseDown(b, s, x, y); };
    view.OnMouseUp
        = [this](MouseButton b, ShiftState s, int x, int y) { chessBoardOnMouseUp(b, s, x, y); };

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

// ---- Start-up and shutdown

void TFormMain::MainFormOnCreate()
{
    m_params = std::make_unique<TPictogParams>(m_locations, &m_coreMessages);
    m_params->LoadSettings();
    // A settings file that is there but cannot be read is kept untouched; the user learns why
    // the defaults apply and that the file will not be overwritten.
    if (m_params->iniReadStatus() == FileReadStatus::Unreadable)
        m_platform.messages->showError(qs(m_params->unreadableIniNotice()));
    if (m_platform.help)
        m_platform.help->setHelpFile(qs(m_params->helpFile()));

    TPictogram2D& view = board();
    view.SetLightSquareColor(HtmlColorToColor(m_params->colorLightSquares()));
    view.SetDarkSquareColor(HtmlColorToColor(m_params->colorDarkSquares()));
    setPanelBoardColor(HtmlColorToColor(m_params->colorDiagramBackground()));

    ClearPosition();

    if (m_params->activated()) {
        // The stored line goes through the line field, which reads it as it reads a paste.
        ui->EditFENLine->setText(textFromSettings(m_params->fenLine()));
        Captions captions;
        captions.header1 = ss(textFromSettings(m_params->header1()));
        captions.header2 = ss(textFromSettings(m_params->header2()));
        captions.footer1 = ss(textFromSettings(m_params->footer1()));
        captions.footer2 = ss(textFromSettings(m_params->footer2()));
        const auto message = m_document.resume(
            ss(lineText()), captions, m_params->moveNumber(), m_params->halfMoveClock());
        documentChanged();
        if (message)
            m_platform.messages->showError(qs(*message));
    }
}

void TFormMain::FormShow()
{
    setWindowTitle(qs(ApplicationTitle));
}

void TFormMain::showEvent(QShowEvent* event)
{
    if (!m_shown) {
        m_shown = true;
        if (const QScreen* s = screen()) {
            setGeometry(QStyle::alignedRect(
                Qt::LeftToRight, Qt::AlignCenter, size(), s->availableGeometry()));
        }
    }
    FormShow();
    QMainWindow::showEvent(event);
}

void TFormMain::MainFormOnCloseQuery(bool& canClose)
{
    TPictogParams& p = *m_params;
    if (p.activated()) {
        // Untouched texts keep their stored bytes (Latin-1 from older programs included).
        const EditDocument& d = m_document;
        p.setFenLine(textForSettings(qs(d.line), p.fenLine()));
        p.setHeader1(textForSettings(qs(d.captions.header1), p.header1()));
        p.setHeader2(textForSettings(qs(d.captions.header2), p.header2()));
        p.setFooter1(textForSettings(qs(d.captions.footer1), p.footer1()));
        p.setFooter2(textForSettings(qs(d.captions.footer2), p.footer2()));
        p.setMoveNumber(d.panel.moveNumber);
        p.setHalfMoveClock(d.panel.halfMoveClock);
        p.setBoardAnnotations(formatAnnotationComment(d.annotations));
    } else {
        p.setFenLine(EmptyBoardLine);
        p.setHeader1("");
        p.setHeader2("");
        p.setFooter1("");
        p.setFooter2("");
        p.setMoveNumber(1);
        p.setHalfMoveClock(0);
        p.setBoardAnnotations("");
    }
    if (m_platform.help)
        m_platform.help->quit();
    canClose = true;
}

void TFormMain::MainFormOnClose()
{
    // A failed write has been reported by the store; the program still ends, and the preview
    // page is left as it is.
    if (!m_params->SaveSettings())
        return;
    QFile::remove(qs(m_params->previewFile()));
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    bool canClose = true;
    MainFormOnCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    MainFormOnClose();
    m_closed = true;
    event->accept();
}

void TFormMain::MIFileExitClick()
{
    close();
}

// ---- The document on the screen

QString TFormMain::lineText() const
{
    return ui->EditFENLine->text();
}

namespace {

    // A list stands in line with the document when it shows the entry, or for -1 the typed
    // text over no entry; only then is it left alone, so typing keeps its cursor.
    void showList(QComboBox* box, int entry, const std::string& typed)
    {
        if (entry >= 0) {
            // Shows the entry's text also over typed text; runs no handler (only activated does).
            if (listEntry(box) != entry)
                box->setCurrentIndex(entry);
            return;
        }
        const QString text = qs(typed);
        if (listEntry(box) != -1 || box->currentText() != text) {
            box->setCurrentIndex(-1);
            box->setEditText(text);
        }
    }

    void showText(QLineEdit* edit, const std::string& text)
    {
        const QString shown = qs(text);
        if (edit->text() != shown)
            edit->setText(shown);
    }

    // Typed values stand unclamped until the box loses the focus: a box that reads as the
    // document's value keeps its text.
    void showCounter(SpinEdit* spin, int value)
    {
        if (spin->value() != value)
            spin->setValue(value);
    }

} // namespace

void TFormMain::showDocument()
{
    const QScopedValueRollback<bool> showing(m_showing, true);
    const EditDocument& d = m_document;
    TPictogram2D& view = board();
    for (int rank = 0; rank < 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            const int square = squareIndex(file, rank);
            if (view.GetSquare(square) != d.board.GetPiece(square))
                view.SetSquare(d.board.GetPiece(square), square);
        }
    }
    ui->CBWhiteShortCastling->setChecked(d.panel.whiteShortCastling);
    ui->CBWhiteLongCastling->setChecked(d.panel.whiteLongCastling);
    ui->CBBlackShortCastling->setChecked(d.panel.blackShortCastling);
    ui->CBBlackLongCastling->setChecked(d.panel.blackLongCastling);
    showList(ui->ComboBoxMoveRight, d.panel.moveRight, d.moveRightText);
    showList(ui->ComboBoxEpField, d.panel.epField, d.epFieldText);
    showCounter(ui->SpinEditMoveNumber, d.panel.moveNumber);
    showCounter(ui->SpinEditHalfMoveClock, d.panel.halfMoveClock);
    showText(ui->EditHeader1, d.captions.header1);
    showText(ui->EditHeader2, d.captions.header2);
    showText(ui->EditFooter1, d.captions.footer1);
    showText(ui->EditFooter2, d.captions.footer2);
    showText(ui->EditFENLine, d.line);
    ui->Pictogram2D1->setAnnotations(d.annotations);
}

void TFormMain::documentChanged()
{
    showDocument();
    scheduleUndoStep();
}

void TFormMain::connectDocumentEdits()
{
    // Text the program sets outside showDocument (a test, the start-up's stored line) is an
    // edit too, so these follow every change of the fields but showDocument's own.
    const std::pair<QLineEdit*, std::string Captions::*> captions[] = {
        { ui->EditHeader1, &Captions::header1 },
        { ui->EditHeader2, &Captions::header2 },
        { ui->EditFooter1, &Captions::footer1 },
        { ui->EditFooter2, &Captions::footer2 },
    };
    for (const auto& [edit, field] : captions) {
        connect(edit, &QLineEdit::textChanged, this, [this, field = field](const QString& text) {
            if (m_showing)
                return;
            m_document.captions.*field = ss(text);
            documentChanged();
        });
    }
    connect(ui->EditFENLine, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_showing)
            return;
        m_document.line = ss(text);
        documentChanged();
    });
}

// ---- The line and the side panel

void TFormMain::BuildEPDLine()
{
    m_document.rebuildLine();
    documentChanged();
}

void TFormMain::ClearPosition()
{
    resetView();
    m_document.clear();
    documentChanged();
}

bool TFormMain::ParseEPDLine()
{
    resetView();
    const auto message = m_document.readLine(ss(lineText()));
    documentChanged();
    if (message)
        m_platform.messages->showError(qs(*message));
    return !message;
}

bool TFormMain::ValidatePosition()
{
    const auto message = m_document.validate();
    documentChanged();
    if (message)
        m_platform.messages->showError(qs(*message));
    return !message;
}

void TFormMain::ComboBoxMoveRightChange()
{
    QComboBox* box = ui->ComboBoxMoveRight;
    m_document.setMoveRight(listEntry(box), ss(box->currentText()));
    documentChanged();
}
void TFormMain::ComboBoxEpFieldChange()
{
    QComboBox* box = ui->ComboBoxEpField;
    m_document.setEpField(listEntry(box), ss(box->currentText()));
    documentChanged();
}
void TFormMain::CBWhiteShortCastlingClick()
{
    castlingClick(Castling::WhiteShort, ui->CBWhiteShortCastling->isChecked());
}
void TFormMain::CBWhiteLongCastlingClick()
{
    castlingClick(Castling::WhiteLong, ui->CBWhiteLongCastling->isChecked());
}
void TFormMain::CBBlackShortCastlingClick()
{
    castlingClick(Castling::BlackShort, ui->CBBlackShortCastling->isChecked());
}
void TFormMain::CBBlackLongCastlingClick()
{
    castlingClick(Castling::BlackLong, ui->CBBlackLongCastling->isChecked());
}
void TFormMain::castlingClick(Castling right, bool allowed)
{
    if (m_showing)
        return;
    m_document.setCastling(right, allowed);
    documentChanged();
}
void TFormMain::SpinEditMoveNumberChange()
{
    if (m_showing)
        return;
    m_document.setMoveNumber(ui->SpinEditMoveNumber->value());
    documentChanged();
}
void TFormMain::SpinEditHalfMoveClockChange()
{
    if (m_showing)
        return;
    m_document.setHalfMoveClock(ui->SpinEditHalfMoveClock->value());
    documentChanged();
}

void TFormMain::BtnInitPositionClick()
{
    resetView();
    m_document.initialPosition();
    documentChanged();
}

void TFormMain::BtnClearBoardClick()
{
    ClearPosition();
}

void TFormMain::BtnValidateClick()
{
    if (ValidatePosition())
        showStatus(QStringLiteral("The position passes every check."));
}

void TFormMain::MIEditPasteClick()
{
    Clipboard& clipboard = *m_platform.clipboard;
    if (!clipboard.hasText()) {
        m_platform.messages->showError(QStringLiteral("No TEXT found in clipboard"));
        return;
    }
    // The text goes through the line field, which keeps what it can hold of it.
    ui->EditFENLine->setText(clipboard.text());
    resetView();
    const auto message = m_document.paste(ss(lineText()));
    documentChanged();
    if (message) {
        m_platform.messages->showError(qs(*message));
        m_platform.messages->showError(QStringLiteral("No valid EPD/FEN found in clipboard"));
    }
}

// ---- Board editing by mouse

void TFormMain::resetPalette()
{
    ui->Pictogram2D1->setToolTip(QString::fromLatin1(DraggingHint));
    for (const PaletteEntry& entry : m_palette) {
        entry.bevel->setFrameShadow(QFrame::Raised);
        entry.image->setToolTip(QString::fromLatin1(SelectPieceHint));
    }
    SelectedPiece = 0;
}

void TFormMain::resetView()
{
    resetPalette();
    RefreshAllSquares();
}

void TFormMain::paletteClick(int piece)
{
    if (SelectedPiece != piece) {
        for (const PaletteEntry& entry : m_palette) {
            const bool chosen = entry.piece == piece;
            entry.bevel->setFrameShadow(chosen ? QFrame::Sunken : QFrame::Raised);
            entry.image->setToolTip(
                QString::fromLatin1(chosen ? DeselectPieceHint : SelectPieceHint));
        }
        SelectedPiece = piece;
        ui->Pictogram2D1->setToolTip(QString::fromLatin1(PlacingHint));
    } else {
        for (const PaletteEntry& entry : m_palette) {
            if (entry.piece == piece) {
                entry.bevel->setFrameShadow(QFrame::Raised);
                entry.image->setToolTip(QString::fromLatin1(SelectPieceHint));
            }
        }
        SelectedPiece = 0;
        ui->Pictogram2D1->setToolTip(QString::fromLatin1(DraggingHint));
    }
}

void TFormMain::ImageKingClick()
{
    paletteClick(WhiteKing);
}
void TFormMain::ImageQueenClick()
{
    paletteClick(WhiteQueen);
}
void TFormMain::ImageRookClick()
{
    paletteClick(WhiteRook);
}
void TFormMain::ImageBishopClick()
{
    paletteClick(WhiteBishop);
}
void TFormMain::ImageKnightClick()
{
    paletteClick(WhiteKnight);
}
void TFormMain::ImagePawnClick()
{
    paletteClick(WhitePawn);
}

void TFormMain::chessBoardOnMouseDown(MouseButton button, ShiftState shift, int x, int y)
{
    // Runs before the board view decides on a drag, so a piece placed now can be dragged on.
    TPictogram2D& view = board();
    const int square = view.SquareAt(x, y);
    if (!m_document.press(square, SelectedPiece, button, shift))
        return;
    documentChanged();
    view.RefreshSquare(square);
}

void TFormMain::chessBoardOnMouseUp(MouseButton, ShiftState, int, int)
{
    TPictogram2D& view = board();
    BoardMove move;
    view.GetLastMove(move);
    const bool moved = m_document.drop(move, SelectedPiece != 0);
    documentChanged();
    // The drag has painted over the squares it left: they show their pieces again.
    view.RefreshSquare(move.from);
    if (moved)
        view.RefreshSquare(move.to);
}

// ---- Transformations and piece lists

void TFormMain::transform(Transformation transformation)
{
    resetView();
    m_document.transform(transformation);
    documentChanged();
}

void TFormMain::MIEditTransformRotateleftClick()
{
    transform(Transformation::RotateLeft);
}
void TFormMain::MIEditTransformRotaterightClick()
{
    transform(Transformation::RotateRight);
}
void TFormMain::MIEditTransformSwitchcolorClick()
{
    transform(Transformation::SwitchColor);
}
void TFormMain::MIEditTransformMirrorhorizontalClick()
{
    transform(Transformation::MirrorHorizontal);
}
void TFormMain::MIEditTransformMirrorverticalClick()
{
    transform(Transformation::MirrorVertical);
}
void TFormMain::MIEditTransformMirrorleftdiagonalClick()
{
    transform(Transformation::MirrorLeftDiagonal);
}
void TFormMain::MIEditTransformMirrorrightdiagonalClick()
{
    transform(Transformation::MirrorRightDiagonal);
}

void TFormMain::enterPieceList(PieceColor color)
{
    const bool white = color == PieceColor::White;
    const QString text
        = m_platform.textInput->askText(white ? QStringLiteral("Pictog: white piece positions")
                                              : QStringLiteral("Pictog: black piece positions"),
            QStringLiteral("Enter piece position string"));
    const auto message = m_document.readPieceList(ss(text), color);
    documentChanged();
    if (message)
        m_platform.messages->showError(qs(*message));
}

void TFormMain::WhitePiecesPositionClick()
{
    enterPieceList(PieceColor::White);
}
void TFormMain::BlackPiecesPositionClick()
{
    enterPieceList(PieceColor::Black);
}

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

void TFormMain::BuildHTMLCode(bool forPreview)
{
    m_exportText = pictog::BuildHTMLCode(htmlSettingsOf(*m_params), m_document.captions,
        m_document.line, m_document.panel.moveRight, boardCodesOf(m_document.board),
        forPreview ? HtmlMode::Preview : HtmlMode::Clipboard);
    if (!forPreview)
        m_platform.clipboard->setText(qs(m_exportText));
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
    BuildHTMLCode(true);
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

void TFormMain::RefreshAllSquares()
{
    pictog::RefreshAllSquares(board());
}

std::optional<Raster> TFormMain::ComposeDiagramPicture()
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
    return pictog::ComposeDiagramPicture(*m_pictureBoard, m_document.board, false, options);
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

    const std::optional<Raster> picture = ComposeDiagramPicture();
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
    const std::optional<Raster> picture = ComposeDiagramPicture();
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

// ---- Colours

void TFormMain::setPanelBoardColor(ColorValue color)
{
    QPalette palette = ui->PanelBoard->palette();
    palette.setColor(QPalette::Window, qcolor(color));
    ui->PanelBoard->setPalette(palette);
}

void TFormMain::refreshBoard()
{
    TPictogram2D& view = board();
    view.SetLightSquareColor(HtmlColorToColor(m_params->colorLightSquares()));
    view.SetDarkSquareColor(HtmlColorToColor(m_params->colorDarkSquares()));
    setPanelBoardColor(HtmlColorToColor(m_params->colorDiagramBackground()));
    for (int rank = 7; rank >= 0; --rank)
        for (int file = 0; file < 8; ++file)
            view.RefreshSquare(squareIndex(file, rank));
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
