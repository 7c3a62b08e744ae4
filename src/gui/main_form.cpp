// The main window: its construction, start-up and shutdown, and showDocument, which brings
// every widget in line with the document.

#include "main_form.h"

#include "board_widget.h"
#include "game_pane.h"
#include "general_options_dialog.h"
#include "html_options_dialog.h"
#include "licence_box.h"
#include "main_form_text.h"
#include "palette_image.h"
#include "settings_text.h"
#include "spin_edit.h"
#include "ui_MainForm.h"

#include "diagram/diagram_picture.h"
#include "diagram/embedded_resources.h"
#include "diagram/jpeg_decoder.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>

namespace pictog::gui {

namespace {

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
    setUpGameActions();
    setUpSheetAction();
    setUpViewMenu();
}

void TFormMain::createDialogs()
{
    // Created once, in this order, and reused for every showing; none is shown now.
    m_dlgGeneralOptions = new TDlgGeneralOptions(*m_params, m_platform.help, this);
    m_dlgHtmlOptions = new TDlgHtmlOptions(*m_params, m_platform.help, this);
    m_licenceBox = new TLicenceBox(this);
}

TFormMain::~TFormMain()
{
    stopListing();
    // A sheet being written is finished: the file is then complete or left as it was.
    m_sheetWriting.waitForFinished();
}

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

    connectMenus();
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
        // Headers that a file filled in last time may be replaced by the next file's.
        if (m_params->view().captionsFromFile) {
            m_autoCaptions.header1 = captions.header1;
            m_autoCaptions.header2 = captions.header2;
        }
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
        ViewSettings view = p.view();
        view.captionsFromFile = (!d.captions.header1.empty() || !d.captions.header2.empty())
            && d.captions.header1 == m_autoCaptions.header1
            && d.captions.header2 == m_autoCaptions.header2;
        p.setView(view);
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
    if (m_gamePane && m_cursor)
        m_gamePane->setEdited(!inGame());
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

// ---- Colours

void TFormMain::setPanelBoardColor(ColorValue color)
{
    QPalette palette = ui->PanelBoard->palette();
    palette.setColor(QPalette::Window, qcolor(color));
    ui->PanelBoard->setPalette(palette);
}

void TFormMain::RefreshAllSquares()
{
    pictog::RefreshAllSquares(board());
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

} // namespace pictog::gui
