#pragma once

#include "ok_bottom_dialog.h"

#include <memory>

class QPushButton;

namespace Ui {
class TDlgGeneralOptions;
}

namespace pictog {
class TPictogParams;
}

namespace pictog::gui {

class HelpViewer;

// "Options: General": the history switch and the six layout switches of the exports. Every
// showing loads the check boxes from the settings; OK writes them back through the setters,
// Cancel (or Escape, or the close box) leaves the settings alone. Nothing is written to disk here.
class TDlgGeneralOptions : public TOKBottomDlg
{
    Q_OBJECT

public:
    // The settings and the help viewer are not owned and must outlive the dialog; help may be null
    // (the Help button then does nothing).
    TDlgGeneralOptions(TPictogParams& params, HelpViewer* help, QWidget* parent = nullptr);
    ~TDlgGeneralOptions() override;

    QPushButton* HelpBtn() const { return m_helpBtn; }

public slots:
    void HelpBtnClick();

protected:
    void DlgOnShow();
    void OKBtnClick() override;
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TDlgGeneralOptions> ui;
    TPictogParams& m_params;
    HelpViewer* m_help;
    QPushButton* m_helpBtn;
};

} // namespace pictog::gui
