#pragma once

#include "ok_bottom_dialog.h"

#include "settings/html_color.h"

#include <QColor>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QFrame;
class QLineEdit;
class QPushButton;

namespace Ui {
class TDlgHtmlOptions;
}

namespace pictog {
class TPictogParams;
}

namespace pictog::gui {

class HelpViewer;

// Asks the user for a colour, preset to the given one; nothing when the user cancels.
using ColorPicker = std::function<std::optional<QColor>(const QColor& initial, QWidget* parent)>;

// "Options: HTML": border size, compact output, the three colours (each shown as an editable
// colour text and a panel painted in that colour), piece set, alignment, the two image bases and
// whether the code carries the images themselves, plus a list of forum schemes that fills the
// colours and the piece set in one step.
//
// The dialog works on its controls only: every showing reloads them from the settings and puts
// the focus on the first colour, OK stores them through the setters, Cancel stores nothing. A
// colour text is checked when its field loses the focus, and for the field holding the focus when
// OK is pressed with Enter; an invalid one is then replaced, without a message, by the panel's
// colour. Choosing a forum scheme, also the one already shown, fills the colours and piece set.
class TDlgHtmlOptions : public TOKBottomDlg
{
    Q_OBJECT

public:
    // The settings and the help viewer are not owned and must outlive the dialog; help may be
    // null (the Help button then does nothing).
    TDlgHtmlOptions(TPictogParams& params, HelpViewer* help, QWidget* parent = nullptr);
    ~TDlgHtmlOptions() override;

    // Replaces the colour picker (QColorDialog by default); used by tests.
    void setColorPicker(ColorPicker picker);

    QPushButton* HelpBtn() const { return m_helpBtn; }

public slots:
    void PanelLightSquareColorClick();
    void PanelDarkSquareColorClick();
    void PanelDiagramBackgroundClick();
    void EditLightSquareColorExit();
    void EditDarkSquareColorExit();
    void EditDiagramBackgroundExit();
    void ComboBoxSelectForumSchemeChange();
    void HelpBtnClick();

protected:
    void FormShow();
    void OKBtnClick() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // One colour: its panel, its edit and the colour the panel shows.
    struct ColorRow {
        QFrame* panel;
        QLineEdit* edit;
        ColorValue color;
    };
    enum ColorIndex { LightSquares, DarkSquares, Background };

    void setPanelColor(ColorRow& row, ColorValue color);
    void colorExit(ColorRow& row);
    void panelClick(ColorRow& row);

    std::unique_ptr<Ui::TDlgHtmlOptions> ui;
    TPictogParams& m_params;
    HelpViewer* m_help;
    QPushButton* m_helpBtn;
    std::array<ColorRow, 3> m_colors {};
    ColorPicker m_colorPicker;
};

} // namespace pictog::gui
