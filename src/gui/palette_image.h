#pragma once

#include <QLabel>

namespace pictog::gui {

// One picture of the piece palette: a label that reports a left click, released over it; a
// double-click counts as one click.
class PaletteImage : public QLabel
{
    Q_OBJECT

public:
    explicit PaletteImage(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace pictog::gui
