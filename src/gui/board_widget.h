#pragma once

#include "diagram/annotations.h"
#include "diagram/pictogram_2d.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace pictog::gui {

// Shows the board view's 304 × 304 screen raster and forwards the mouse to it. All board logic
// lives in TPictogram2D; this widget only copies the rectangles the board reports as changed.
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
    std::unique_ptr<TPictogram2D> m_board;
    Annotations m_annotations;
    struct Gesture {
        int from;
        AnnotationColor color;
    };
    std::optional<Gesture> m_gesture;
};

} // namespace pictog::gui
