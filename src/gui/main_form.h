#pragma once

#include "platform.h"

#include "diagram/pictogram_2d.h"
#include "diagram/raster.h"
#include "diagram_export.h"
#include "editor/edit_document.h"
#include "editor/game_file.h"
#include "editor/undo_stack.h"
#include "export/html_diagram.h"
#include "position/panel_state.h"
#include "position/piece_list.h"
#include "position/transformation.h"
#include "settings/error_reporter.h"
#include "settings/file_system.h"
#include "settings/pictog_params.h"

#include <QFutureWatcher>
#include <QMainWindow>

#include <memory>
#include <optional>
#include <string>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QDragEnterEvent;
class QDropEvent;

namespace Ui {
class TFormMain;
}

namespace pictog::gui {

class PaletteImage;
class GamePane;
class TDlgExportDiagram;
class TDlgGeneralOptions;
class TDlgHtmlOptions;
class TLicenceBox;

// The name the window's callers know the document by: what an undo step holds.
using EditorState = EditDocument;

// Hands the core's error reports to the window's message boxes.
class CoreMessages final : public ErrorReporter, public ErrorMessages
{
public:
    explicit CoreMessages(MessageBoxes* boxes)
        : m_boxes(boxes)
    {
    }
    void showError(const std::string& message) override;
    void ShowError(const std::string& text) override { showError(text); }

private:
    MessageBoxes* m_boxes;
};

// The main window: the board with its piece palette, the side panel, the caption fields, the
// line field and the menus. It shows an EditDocument: showDocument brings every widget in line
// with it, and the user's actions become the document's operations. The view's own state (the
// palette selection, the orientation, a drag) stays with the window and the board view.
class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    // Creates the window and runs its start-up: loads the settings from programDir (the folder of
    // the program file, without a trailing "/"), applies the colours, clears the position and
    // restores the history. The services are not owned and must outlive the window.
    TFormMain(
        const QString& programDir, const PlatformServices& platform, QWidget* parent = nullptr);
    // The same with the settings, the preview page and the companion files at the given
    // locations (an installed copy keeps its settings in the user's configuration folder).
    TFormMain(const ProgramLocations& locations, const PlatformServices& platform,
        QWidget* parent = nullptr);
    ~TFormMain() override;

    // True when a piece bitmap could not be loaded: the program ends once start-up is over.
    bool terminationRequested() const;

    // Rewrites the line from the board and the side panel.
    void BuildEPDLine();
    // Reads the line field into the document, starting from ClearPosition; false after the
    // parser's message, with what was read before the error left standing.
    bool ParseEPDLine();
    // Empty board, panel defaults, no palette selection, empty captions, line rebuilt.
    void ClearPosition();
    // Checks the set-up and corrects the panel where a failing check says so; false after the
    // message of the first failing check.
    bool ValidatePosition();
    // Builds the HTML code into exportText; in clipboard mode it also goes on the clipboard.
    // With embedded images, false after a message when a piece image cannot be read (nothing
    // built, the clipboard untouched).
    bool BuildHTMLCode(bool forPreview);
    // Takes the square colours and the panel colour from the settings and repaints the board.
    void refreshBoard();
    // Repaints every square from the position.
    void RefreshAllSquares();
    // Opens the file in the configured text editor; a missing file is reported.
    void OpenInTextEditor(const QString& path);

    // The document's panel: list entries (-1 when nothing or typed text is selected), check boxes
    // and the spin boxes' values.
    const PanelState& panelState() const { return m_document.panel; }
    // The board view and its squares.
    TPictogram2D& board();
    // The settings store, loaded at creation.
    TPictogParams& params() { return *m_params; }
    // The palette selection: 0 none, else the white piece code 1..6.
    int selectedPiece() const { return SelectedPiece; }
    // The text of the last export.
    const std::string& exportText() const { return m_exportText; }

    // The shutdown: history into the settings, settings saved when modified, preview deleted.
    // Runs from the window's close; both steps are public for the close path only.
    void MainFormOnCloseQuery(bool& canClose);
    void MainFormOnClose();

public slots:
    void ComboBoxMoveRightChange();
    void ComboBoxEpFieldChange();
    void CBWhiteShortCastlingClick();
    void CBWhiteLongCastlingClick();
    void CBBlackShortCastlingClick();
    void CBBlackLongCastlingClick();
    void SpinEditMoveNumberChange();
    void SpinEditHalfMoveClockChange();
    void BtnInitPositionClick();
    void BtnClearBoardClick();
    void BtnValidateClick();
    void CreateHTMLOnClick();
    void BtnPreviewHTMLClick();

    void ImageKingClick();
    void ImageQueenClick();
    void ImageRookClick();
    void ImageBishopClick();
    void ImageKnightClick();
    void ImagePawnClick();

    void MIFileSaveAsBMPClick();
    void MIFileSaveAsPNGClick();
    void MIFileExitClick();
    void MIEditPasteClick();
    void MIEditCopyClick();
    void MIEditCopyAsASCIIClick();
    void MIEditCopyAsBitmapClick();
    void MIEditCopyAsCCCFENstringClick();
    void MIEditCopyAsFENstringClick();
    void MIEditCopyAsHTMLClick();
    void MIEditCopyAsPGNClick();
    void WhitePiecesPositionClick();
    void BlackPiecesPositionClick();
    void MIEditTransformRotateleftClick();
    void MIEditTransformRotaterightClick();
    void MIEditTransformSwitchcolorClick();
    void MIEditTransformMirrorhorizontalClick();
    void MIEditTransformMirrorverticalClick();
    void MIEditTransformMirrorleftdiagonalClick();
    void MIEditTransformMirrorrightdiagonalClick();
    void MIOptionsGeneralClick();
    void MIOptionsHTMLClick();
    void MIHelpContentsClick();
    void MIHelpSearchClick();
    void MIHelpHelponHelpClick();
    void MIHelpManualClick();
    void MIHelpLicenceClick();
    void MIHelpAboutClick();
    void MIHelpWWWHomeClick();
    void MIHelpWWWPGNStandardClick();
    void MIHelpWWWFENEPDStandardClick();
    void MIHelpWWWCCCForumClick();
    void MIHelpWWWChessBitsForumClick();
    void MIHelpWWWCSSForumClick();
    void MIHelpWWWFCPForumClick();
    void MIHelpWWWWinBoardForumClick();

    // Edit > Undo and Redo: one step of the board, the panel, the captions and the annotations.
    void MIEditUndoClick();
    void MIEditRedoClick();
    // Edit > Clear annotations.
    void MIEditClearAnnotationsClick();
    // View > Flip board: Black at the bottom of the screen board; the position stays as it is.
    void MIViewFlipBoardClick(bool flipped);
    // File > Export diagram: the dialog, then the save dialog for the chosen format.
    void MIFileExportDiagramClick();
    // File > Save as > SVG and PDF, with the export dialog's last choices.
    void MIFileSaveAsSVGClick();
    void MIFileSaveAsPDFClick();
    // Edit > Copy as > Diagram: the picture, the FEN line and the HTML code in one copy.
    void MIEditCopyAsDiagramClick();
    // View > Board size: the board's squares and the window's size (remembered in the settings).
    void setBoardSize(BoardSize size);

public:
    // The arrows and marks on the board.
    const Annotations& annotations() const;
    // Replaces them (an undo step of its own, as every change is).
    void setAnnotations(const Annotations& annotations);
    // Adds or removes an arrow (from != to) or a mark (from == to), as a Ctrl gesture does.
    void annotationGesture(int from, int to, AnnotationColor color);
    // The document the window shows, as an undo step holds it.
    const EditorState& editorState() const { return m_document; }
    // Records the changes since the last step as one step now; they are otherwise recorded when
    // the event loop is next idle, so that one command is one step.
    void commitUndoStep();
    // The line under the board for notes that need no answer; empty when there is none.
    QString statusText() const;
    // Shows a note in that line.
    void showStatus(const QString& text);
    // The additions beside the classic menus, found by tests through their object names.
    QAction* action(const char* objectName) const;
    // The export dialog, created at its first use and kept.
    TDlgExportDiagram& exportDialog();

    // File > Export sheet: the sheet dialog, the save dialog, then the sheet written on a
    // worker thread; its message or "Saved" when it is done.
    void MIFileExportSheetClick();
    // True while File > Export sheet writes.
    bool sheetWriting() const;
    // Writes the open file's positions as a worksheet PDF with the choices, here and now; empty,
    // or the one message to show (the layout does not fit, the file cannot be written).
    QString exportSheet(const SheetSettings& settings, const QString& fileName);

    // File > Open: the open dialog, then openGameFile.
    void MIFileOpenClick();
    // Opens a PGN file, a file of FEN/EPD lines or a puzzle CSV in the game pane: the list fills
    // while a worker thread reads on, and the first entry is shown as soon as it is read. False
    // after the message when the file cannot be read at all.
    bool openGameFile(const QString& path);
    // Opens text as a file of that name (a pasted game).
    void openGameText(const QString& name, std::string text, GameFileKind kind);
    // The pane of the opened file, created at the first opening; null before.
    GamePane* gamePane() const { return m_gamePane; }
    // True while the listing of the opened file goes on.
    bool listing() const;
    // The cursor in the entry shown, or null when no file is open.
    const GameCursor* gameCursor() const { return m_cursor ? &*m_cursor : nullptr; }
    // The list row of the entry shown; -1 when none.
    int gameEntry() const { return m_entry; }
    // Moving through the open file: one move on or back, to the start or end of the line, the
    // previous or next entry of the list, a node of the tree, an entry. None is an undo step,
    // but moving on from a position the user edited records the move as one, so that Undo brings
    // the edit back.
    void gameForward();
    void gameBack();
    void gameStart();
    void gameEnd();
    void gameNextEntry(int step);
    void chooseGameNode(int node);
    void chooseGameEntry(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct PaletteEntry {
        QFrame* bevel;
        PaletteImage* image;
        int piece;
    };

    void setUpControls();
    void connectHandlers();
    // Ties the classic menu items to their handlers.
    void connectMenus();
    void MainFormOnCreate();
    void createDialogs();
    void FormShow();

    void chessBoardOnMouseDown(MouseButton button, ShiftState shift, int x, int y);
    void chessBoardOnMouseUp(MouseButton button, ShiftState shift, int x, int y);
    void paletteClick(int piece);
    void resetPalette();
    // What starting the position over does to the view: no palette selection, every square
    // repainted (in the colours set since, too).
    void resetView();

    // Brings every widget in line with the document; the handlers ignore the changes it makes.
    void showDocument();
    // Shows the document after an operation and schedules the undo step.
    void documentChanged();
    void connectDocumentEdits();
    void castlingClick(Castling right, bool allowed);

    void setPanelBoardColor(ColorValue color);
    void transform(Transformation transformation);
    void enterPieceList(PieceColor color);
    void copyText(const std::string& text);
    // The classic picture of the document's position: always White at the bottom.
    std::optional<Raster> ComposeDiagramPicture(const EditDocument& document);
    void savePicture(bool png);
    // Hands a web address from the settings to the shell; anything else is reported instead.
    void openWebAddress(const std::string& text);
    QString lineText() const;

    // The menus, the status line and the undo history beside the classic window.
    void setUpEditorExtras();
    void scheduleUndoStep();
    void updateUndoActions();
    void setUpExportActions();
    // View > Board size and View > Coordinates, as the settings last left them.
    void setUpViewMenu();
    // True when the palette's colour switch (shown beside the larger boards) is on Black: a
    // palette piece is then placed black by the left button and white by the right.
    bool paletteShowsBlack() const;
    // Renders the document's diagram in the format, turned when flip, and asks for the file;
    // false when nothing was written.
    bool saveDiagram(
        const DiagramExportSettings& settings, const EditDocument& document, bool flip);

    // File > Open, the pane and the navigation keys.
    void setUpGameActions();
    GamePane& ensureGamePane();
    // File > Export sheet, enabled while a file is open.
    void setUpSheetAction();
    // Remembers in the View settings whether the pane is open.
    void rememberGamePane(bool open);
    void stopListing();
    void listed(std::vector<GameFileEntry> entries);
    void listingDone(std::optional<GameFileProblem> problem);
    // Shows the cursor's position; record makes it an undo step.
    void showGamePosition(bool record);
    // Whether the document still shows the cursor's position (false when none is open).
    bool inGame() const;
    // Moves the cursor with step when there is a game; the position follows.
    template <class Step> void moveInGame(Step step);
    // A drag on the board in a game: plays the move when legal; true when it was handled.
    bool playBoardMove(const BoardMove& move);

    std::unique_ptr<Ui::TFormMain> ui;
    EditDocument m_document;
    // True while showDocument changes the widgets.
    bool m_showing = false;
    PlatformServices m_platform;
    CoreMessages m_coreMessages;
    FileSystem m_fileSystem;
    ProgramLocations m_locations;
    ResourceLookup m_resources;
    // Draws the classic picture from the document, apart from the screen board and its view.
    std::unique_ptr<TPictogram2D> m_pictureBoard;
    std::unique_ptr<TPictogParams> m_params;
    std::string m_exportText;
    int SelectedPiece = 0;
    PaletteEntry m_palette[6] {};
    bool m_shown = false;
    bool m_closed = false;
    // The long-lived dialogs, created once after the window and owned by it.
    TDlgGeneralOptions* m_dlgGeneralOptions = nullptr;
    TDlgHtmlOptions* m_dlgHtmlOptions = nullptr;
    TLicenceBox* m_licenceBox = nullptr;

    UndoStack<EditDocument> m_undo { 200 };
    QTimer* m_undoTimer = nullptr;
    QLabel* m_statusLine = nullptr;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    TDlgExportDiagram* m_dlgExportDiagram = nullptr;

    struct Listing;
    GamePane* m_gamePane = nullptr;
    std::shared_ptr<const std::string> m_fileText;
    GameFileKind m_fileKind = GameFileKind::Games;
    QString m_fileName;
    std::shared_ptr<Listing> m_listing;
    // The sheet File > Export sheet is writing, and its file.
    QFutureWatcher<QString> m_sheetWriting;
    QString m_sheetFile;
    std::optional<GameCursor> m_cursor;
    int m_entry = -1;
    Captions m_entryCaptions; // what the entry shown suggests
    Captions m_autoCaptions; // the captions last filled in from an entry
    QList<QAction*> m_gameActions;
};

} // namespace pictog::gui
