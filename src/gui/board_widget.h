#pragma once

#include "board_picture.h"
#include "diagram/annotations.h"
#include "diagram/pictogram_2d.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace pictog::gui {

// Shows the board view and forwards the mouse to it. All board logic lives in TPictogram2D, at
// its 38-pixel squares. At that size on a screen of device pixel ratio 1 the widget copies the
// view's 304 × 304 screen raster; at any other square size or ratio it draws the board, the
// pieces and the annotations with the diagram renderer at the screen's resolution and maps the
// mouse to the view's pixels.
class BoardWidget : public QWidget
{
    Q_OBJECT

public:
    explicit BoardWidget(QWidget* parent = nullptr);
    ~BoardWidget() override;

    // Creates the board view, loading its piece bitmaps through lookup and reporting each that
    // fails to messages, and paints it once. Replaces any board created before.
    void createBoard(const ResourceLookup& lookup, ErrorMessages* messages);

    // The board view; createBoard must have run.
    TPictogram2D& board() { return *m_board; }
    const TPictogram2D& board() const { return *m_board; }
    bool hasBoard() const { return m_board != nullptr; }

    QSize sizeHint() const override;

    // The edge of a square on the screen in logical pixels (38, the classic size, at first);
    // the widget takes 8 squares and the coordinates' band.
    int squareSize() const { return m_square; }
    void setSquareSize(int square);
    // File letters and rank digits: in a band below and left of the board when the squares are
    // large enough to give one room, else inside the corners of the edge squares.
    bool coordinates() const { return m_coordinates; }
    void setCoordinates(bool shown);
    // The width of the band left of and below the board that holds the coordinates: 0 when they
    // are hidden or drawn inside the squares.
    static int coordinateBand(int square, bool coordinates);
    int band() const { return coordinateBand(m_square, m_coordinates); }
    // The board's top-left corner in the widget: right of the band.
    QPoint boardOrigin() const { return { band(), 0 }; }
    // True when the renderer draws the board rather than the view's classic raster.
    bool drawsScaled() const;
    // The renderer's picture of one piece on a transparent square of devSquare pixels.
    const QImage& pieceImage(int piece, int devSquare) { return m_picture.piece(piece, devSquare); }
    // The board view's pixel for a point of the widget.
    QPoint viewPoint(QPoint widgetPoint) const;

    // The arrows and marks drawn translucent over the board; a copy is kept.
    const Annotations& annotations() const { return m_annotations; }
    void setAnnotations(const Annotations& annotations);

signals:
    // A press and release of the left button with Ctrl held, between two squares (an arrow) or
    // on one (a mark), in the colour the keys held at the press choose. Such a gesture never
    // reaches the board view, so it moves and places nothing.
    void annotationGesture(int from, int to, pictog::AnnotationColor color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintScaled(QPainter& painter);
    void paintCoordinates(QPainter& painter);
    void paintOutsideCoordinates(QPainter& painter);
    void fitToBoard();
    // The annotations with the arrow of a Ctrl drag still under way.
    Annotations shownAnnotations() const;

    std::unique_ptr<BoardView> m_board;
    BoardPicture m_picture;
    int m_square = TPictogram2D::SquareSize;
    bool m_coordinates = false;
    Annotations m_annotations;
    struct Gesture {
        int from;
        AnnotationColor color;
        int to;
    };
    std::optional<Gesture> m_gesture;
};

} // namespace pictog::gui
