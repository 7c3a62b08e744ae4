#include "sheet_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace pictog::gui {

namespace {

    QComboBox* choice(QWidget* parent, const char* name,
        std::initializer_list<std::pair<const char*, const char*>> items)
    {
        auto* box = new QComboBox(parent);
        box->setObjectName(QLatin1String(name));
        for (const auto& [text, value] : items)
            box->addItem(QString::fromUtf8(text), QString::fromLatin1(value));
        return box;
    }

    void select(QComboBox* box, const std::string& value)
    {
        const int index = box->findData(QString::fromStdString(value));
        box->setCurrentIndex(std::max(index, 0));
    }

    std::string selected(const QComboBox* box)
    {
        return box->currentData().toString().toStdString();
    }

} // namespace

TDlgExportSheet::TDlgExportSheet(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgExportSheet"));
    setWindowTitle(QStringLiteral("Export Sheet"));
    auto* form = new QFormLayout(this);
    m_page = choice(this, "ComboSheetPage", { { "A4", "a4" }, { "Letter", "letter" } });
    m_grid = choice(this, "ComboSheetGrid",
        { { "1 \xC3\x97 2", "1x2" }, { "2 \xC3\x97 2", "2x2" }, { "2 \xC3\x97 3", "2x3" },
            { "3 \xC3\x97 3", "3x3" }, { "3 \xC3\x97 4", "3x4" }, { "4 \xC3\x97 5", "4x5" } });
    m_style = choice(this, "ComboSheetStyle",
        { { "Colour", "color" }, { "Gray", "gray" }, { "Print", "print" } });
    m_solutions = choice(this, "ComboSheetSolutions",
        { { "At the end", "end" }, { "After each page", "page" }, { "None", "none" } });
    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("EditSheetTitle"));
    // Room for a title and the default prompt without scrolling.
    m_title->setMinimumWidth(260);
    m_prompt = new QLineEdit(this);
    m_prompt->setObjectName(QStringLiteral("EditSheetPrompt"));
    m_prompt->setPlaceholderText(QStringLiteral("White to play / Black to play"));
    m_turnBoard = new QCheckBox(QStringLiteral("Turn each board to the side to move"), this);
    m_turnBoard->setObjectName(QStringLiteral("CBSheetTurnBoard"));
    form->addRow(QStringLiteral("&Page:"), m_page);
    form->addRow(QStringLiteral("&Grid (columns \u00D7 rows):"), m_grid);
    form->addRow(QStringLiteral("&Style:"), m_style);
    form->addRow(QStringLiteral("S&olutions:"), m_solutions);
    form->addRow(QStringLiteral("&Title:"), m_title);
    form->addRow(QStringLiteral("P&rompt:"), m_prompt);
    form->addRow(m_turnBoard);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TDlgExportSheet::setSettings(const SheetSettings& s)
{
    select(m_page, s.page);
    const QString grid = QStringLiteral("%1x%2").arg(s.columns).arg(s.rows);
    if (m_grid->findData(grid) < 0)
        m_grid->addItem(QStringLiteral("%1 \u00D7 %2").arg(s.columns).arg(s.rows), grid);
    select(m_grid, grid.toStdString());
    select(m_style, std::string(diagramStyleName(s.style)));
    select(m_solutions, s.solutions);
    m_title->setText(QString::fromStdString(s.title));
    m_prompt->setText(QString::fromStdString(s.prompt));
    m_turnBoard->setChecked(s.turnBoard);
}

SheetSettings TDlgExportSheet::settings() const
{
    SheetSettings s;
    s.page = selected(m_page);
    const std::string grid = selected(m_grid);
    const std::size_t x = grid.find('x');
    s.columns = std::stoi(grid.substr(0, x));
    s.rows = std::stoi(grid.substr(x + 1));
    s.style = parseDiagramStyle(selected(m_style)).value_or(DiagramStyle::Color);
    s.solutions = selected(m_solutions);
    s.title = m_title->text().toStdString();
    s.prompt = m_prompt->text().toStdString();
    s.turnBoard = m_turnBoard->isChecked();
    return s;
}

} // namespace pictog::gui
