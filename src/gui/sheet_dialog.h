#pragma once

#include "settings/sheet_settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace pictog::gui {

// File > Export sheet's choices: page, grid, style, where the solutions go, title, prompt and
// whether each board is turned to the side to move. Save accepts, Cancel rejects.
class TDlgExportSheet final : public QDialog
{
    Q_OBJECT

public:
    explicit TDlgExportSheet(QWidget* parent = nullptr);

    // Shows the choices; a grid not among the offered ones is added to them.
    void setSettings(const SheetSettings& settings);
    // The choices shown.
    SheetSettings settings() const;

private:
    QComboBox* m_page;
    QComboBox* m_grid;
    QComboBox* m_style;
    QComboBox* m_solutions;
    QLineEdit* m_title;
    QLineEdit* m_prompt;
    QCheckBox* m_turnBoard;
};

} // namespace pictog::gui
