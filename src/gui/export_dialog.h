#pragma once

#include "diagram_export.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QImage>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace pictog::gui {

// File > Export diagram: the format, size, style, board look and contents of a scalable diagram,
// with a preview of the picture as it will be written. The preview is drawn on a worker thread,
// so the window never waits for it; while one is drawn, further changes wait and the latest is
// drawn next. OK means "choose the file": the caller takes settings() and flip() and saves.
class TDlgExportDiagram : public QDialog
{
    Q_OBJECT

public:
    // params gives the colours, border and coordinates; it must outlive the dialog.
    TDlgExportDiagram(const TPictogParams& params, QWidget* parent = nullptr);
    ~TDlgExportDiagram() override;

    // The diagram to show, and the choices to start from (flip: the view's orientation).
    void setContent(const EditDocument& document);
    void setChoices(const DiagramExportSettings& settings, bool flip);

    DiagramExportSettings settings() const;
    bool flip() const;
    // The renderer's options of the current choices.
    DiagramRenderOptions renderOptions() const;

    // The last preview drawn (empty before the first), at the picture's own size unless that
    // is too large to preview, then smaller (previewReduced()).
    const QImage& previewImage() const { return m_preview; }
    bool previewReduced() const { return m_previewReduced; }
    // True while a preview is being drawn or waits to be.
    bool previewPending() const;

signals:
    // A new preview is shown.
    void previewUpdated();

private:
    void choicesChanged();
    // Each theme's entry shows a light and a dark square of its colours, blue those of the
    // settings as they are now.
    void showThemeColors();
    void startPreview();
    void previewFinished();
    void showPreview();

    const TPictogParams& m_params;
    EditDocument m_document;
    QComboBox* m_format;
    QRadioButton* m_pixels;
    QRadioButton* m_print;
    QSpinBox* m_squarePx;
    QSpinBox* m_dpi;
    QDoubleSpinBox* m_boardWidth;
    QComboBox* m_unit;
    QComboBox* m_style;
    QCheckBox* m_flip;
    QCheckBox* m_marker;
    QCheckBox* m_captions;
    QCheckBox* m_annotations;
    QComboBox* m_theme;
    QComboBox* m_coordinates;
    QComboBox* m_frame;
    QCheckBox* m_transparent;
    QLabel* m_sizeText;
    QLabel* m_previewLabel;
    QDialogButtonBox* m_buttons;
    QString m_lastExportDir;

    struct Rendered {
        QImage image;
        bool reduced = false;
        bool transparent = false;
    };
    QFutureWatcher<Rendered> m_watcher;
    bool m_running = false; // until previewFinished has taken the result
    bool m_again = false;
    QImage m_preview;
    bool m_previewReduced = false;
    bool m_previewTransparent = false;
};

} // namespace pictog::gui
