// The main window's editing: the side panel, the buttons, Paste, the palette and the mouse on
// the board, the transformations and piece lists as document operations; Undo and Redo, the
// annotations, the flipped view and the status line.

#include "main_form.h"

#include "board_widget.h"
#include "main_form_text.h"
#include "palette_image.h"
#include "spin_edit.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <chrono>

namespace pictog::gui {

namespace {

    constexpr const char* SelectPieceHint = "Click to select piece";
    constexpr const char* DeselectPieceHint = "Click to deselect piece";
    constexpr const char* DraggingHint = "Move pieces by mouse dragging";
    constexpr const char* PlacingHint = "Position pieces by mouse clicking";

} // namespace

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
    // A game opens in the pane; everything else is read as a line, as it always was.
    if (isPgnText(ss(clipboard.text()))) {
        openGameText(QStringLiteral("Pasted game"), ss(clipboard.text()), GameFileKind::Games);
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
    if (SelectedPiece && paletteShowsBlack() && button != MouseButton::Middle)
        button = button == MouseButton::Left ? MouseButton::Right : MouseButton::Left;
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
    if (playBoardMove(move)) {
        // In a game the drag plays a legal move or nothing: the squares show the position.
        view.RefreshSquare(move.from);
        view.RefreshSquare(move.to);
        return;
    }
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
