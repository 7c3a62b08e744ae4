#include "html_options_dialog.h"

#include "platform.h"
#include "qt_platform.h"
#include "settings_text.h"
#include "spin_edit.h"
#include "ui_htmlopts.h"

#include "export/forum_schemes.h"
#include "settings/color_field.h"
#include "settings/pictog_params.h"

#include <QColorDialog>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>

namespace pictog::gui {

namespace {

    QString qs(std::string_view text)
    {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }

    QColor qcolor(ColorValue color)
    {
        return QColor(redOf(color), greenOf(color), blueOf(color));
    }

    std::optional<QColor> pickWithColorDialog(const QColor& initial, QWidget* parent)
    {
        const QColor chosen = QColorDialog::getColor(initial, parent);
        if (!chosen.isValid())
            return std::nullopt;
        return chosen;
    }

    // The alignment list: "left", "center", "right". The text test is exact and case-sensitive.
    int alignmentEntry(const std::string& alignment)
    {
        if (alignment == "right")
            return 2;
        if (alignment == "center")
            return 1;
        return 0;
    }

    const char* alignmentText(int entry)
    {
        switch (entry) {
        case 1:
            return "center";
        case 2:
            return "right";
        default:
            return "left";
        }
    }

} // namespace

TDlgHtmlOptions::TDlgHtmlOptions(TPictogParams& params, HelpViewer* help, QWidget* parent)
    : TOKBottomDlg(parent)
    , ui(std::make_unique<Ui::TDlgHtmlOptions>())
    , m_params(params)
    , m_help(help)
    , m_helpBtn(new QPushButton(QStringLiteral("&Help"), this))
    , m_colorPicker(pickWithColorDialog)
{
    ui->setupUi(contentArea());
    setObjectName(QStringLiteral("DlgHtmlOptions"));
    setWindowTitle(QStringLiteral("Options: HTML"));
    // Only the main window is blocked, so the help viewer stays usable while the dialog is open.
    setWindowModality(Qt::WindowModal);

    m_helpBtn->setObjectName(QStringLiteral("HelpBtn"));
    buttonRow()->addWidget(m_helpBtn);
    connect(m_helpBtn, &QPushButton::clicked, this, &TDlgHtmlOptions::HelpBtnClick);

    m_colors = { { { ui->PanelLightSquareColor, ui->EditLightSquareColor, 0 },
        { ui->PanelDarkSquareColor, ui->EditDarkSquareColor, 0 },
        { ui->PanelDiagramBackground, ui->EditDiagramBackground, 0 } } };
    for (ColorRow& row : m_colors) {
        row.panel->installEventFilter(this);
        row.edit->installEventFilter(this);
    }
    ui->ComboBoxSelectForumScheme->setMaxVisibleItems(static_cast<int>(ForumSchemes.size()));
    connect(ui->ComboBoxSelectForumScheme, &QComboBox::currentIndexChanged, this,
        &TDlgHtmlOptions::ComboBoxSelectForumSchemeChange);
    // Choosing the scheme already shown applies it again, undoing edits made since; applying
    // twice on a change of entry does no harm.
    connect(ui->ComboBoxSelectForumScheme, &QComboBox::activated, this,
        &TDlgHtmlOptions::ComboBoxSelectForumSchemeChange);

    // Tab follows the picture: the colours and the scheme on the left, the diagram settings on
    // the right, the image bases and the embedding below, the buttons last.
    QWidget* order[] = { ui->EditLightSquareColor, ui->EditDarkSquareColor,
        ui->EditDiagramBackground, ui->ComboBoxSelectForumScheme, ui->SpinEditBorderSize,
        ui->CBCompactHTML, ui->ComboBoxPieceSet, ui->ComboBoxAlignment, ui->EditWebImageBase,
        ui->EditLocalImageBase, ui->CBEmbedImages, OKBtn(), CancelBtn(), m_helpBtn };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

TDlgHtmlOptions::~TDlgHtmlOptions() = default;

void TDlgHtmlOptions::setColorPicker(ColorPicker picker)
{
    m_colorPicker = std::move(picker);
}

void TDlgHtmlOptions::showEvent(QShowEvent* event)
{
    FormShow();
    TOKBottomDlg::showEvent(event);
    // Every showing starts at the first colour, its text selected for typing over.
    ui->EditLightSquareColor->setFocus(Qt::OtherFocusReason);
    ui->EditLightSquareColor->selectAll();
}

bool TDlgHtmlOptions::eventFilter(QObject* watched, QEvent* event)
{
    for (ColorRow& row : m_colors) {
        if (watched == row.panel && event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton
            && row.panel->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            panelClick(row);
            return true;
        }
        // Leaving the field for another control of the dialog; switching to another window or
        // opening a menu is not leaving it.
        if (watched == row.edit && event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                colorExit(row);
        }
    }
    return TOKBottomDlg::eventFilter(watched, event);
}

void TDlgHtmlOptions::FormShow()
{
    ui->SpinEditBorderSize->setValue(m_params.borderSize());
    ui->CBCompactHTML->setChecked(m_params.compact());
    // A stored set outside 1..8 selects nothing.
    const int pieceEntry = m_params.pieceSet() - 1;
    ui->ComboBoxPieceSet->setCurrentIndex(
        pieceEntry >= 0 && pieceEntry < ui->ComboBoxPieceSet->count() ? pieceEntry : -1);
    ui->ComboBoxAlignment->setCurrentIndex(alignmentEntry(m_params.alignment()));

    const std::string* texts[] = { &m_params.colorLightSquares(), &m_params.colorDarkSquares(),
        &m_params.colorDiagramBackground() };
    for (std::size_t i = 0; i < m_colors.size(); ++i) {
        const ColorField field = loadColorField(*texts[i]);
        m_colors[i].edit->setText(textFromSettings(field.text));
        setPanelColor(m_colors[i], field.color);
    }

    ui->ComboBoxSelectForumScheme->setCurrentIndex(0);
    ui->EditWebImageBase->setText(textFromSettings(m_params.webImageBase()));
    ui->EditLocalImageBase->setText(textFromSettings(m_params.localImageBase()));
    ui->CBEmbedImages->setChecked(m_params.htmlExport().embedImages);
}

void TDlgHtmlOptions::OKBtnClick()
{
    // OK pressed with Enter leaves the focus in its field: check that colour as leaving the
    // field would, so an invalid text is never stored. The other colour texts were checked when
    // they were left.
    for (ColorRow& row : m_colors)
        if (focusWidget() == row.edit)
            colorExit(row);
    // The setters clamp, correct and mark the store modified; untouched texts keep their stored
    // bytes.
    m_params.setBorderSize(ui->SpinEditBorderSize->value());
    m_params.setCompact(ui->CBCompactHTML->isChecked());
    m_params.setPieceSet(ui->ComboBoxPieceSet->currentIndex() + 1);
    m_params.setAlignment(alignmentText(ui->ComboBoxAlignment->currentIndex()));
    m_params.setColorLightSquares(
        textForSettings(m_colors[LightSquares].edit->text(), m_params.colorLightSquares()));
    m_params.setColorDarkSquares(
        textForSettings(m_colors[DarkSquares].edit->text(), m_params.colorDarkSquares()));
    m_params.setColorDiagramBackground(
        textForSettings(m_colors[Background].edit->text(), m_params.colorDiagramBackground()));
    m_params.setWebImageBase(
        textForSettings(ui->EditWebImageBase->text(), m_params.webImageBase()));
    m_params.setLocalImageBase(
        textForSettings(ui->EditLocalImageBase->text(), m_params.localImageBase()));
    HtmlExportSettings htmlExport = m_params.htmlExport();
    htmlExport.embedImages = ui->CBEmbedImages->isChecked();
    m_params.setHtmlExport(htmlExport);
}

void TDlgHtmlOptions::setPanelColor(ColorRow& row, ColorValue color)
{
    row.color = color;
    QPalette palette = row.panel->palette();
    palette.setColor(QPalette::Window, qcolor(resolveSystemColor(color)));
    row.panel->setPalette(palette);
}

void TDlgHtmlOptions::colorExit(ColorRow& row)
{
    const ColorField field
        = leaveColorField(row.edit->text().toStdString(), row.color, resolveSystemColor);
    if (row.edit->text() != qs(field.text))
        row.edit->setText(qs(field.text));
    setPanelColor(row, field.color);
}

void TDlgHtmlOptions::panelClick(ColorRow& row)
{
    const std::optional<QColor> chosen = m_colorPicker(qcolor(resolveSystemColor(row.color)), this);
    if (!chosen)
        return;
    const ColorValue color = colorValue(chosen->red(), chosen->green(), chosen->blue());
    setPanelColor(row, color);
    row.edit->setText(qs(ColorToHtmlColor(color, resolveSystemColor)));
}

void TDlgHtmlOptions::PanelLightSquareColorClick()
{
    panelClick(m_colors[LightSquares]);
}
void TDlgHtmlOptions::PanelDarkSquareColorClick()
{
    panelClick(m_colors[DarkSquares]);
}
void TDlgHtmlOptions::PanelDiagramBackgroundClick()
{
    panelClick(m_colors[Background]);
}
void TDlgHtmlOptions::EditLightSquareColorExit()
{
    colorExit(m_colors[LightSquares]);
}
void TDlgHtmlOptions::EditDarkSquareColorExit()
{
    colorExit(m_colors[DarkSquares]);
}
void TDlgHtmlOptions::EditDiagramBackgroundExit()
{
    colorExit(m_colors[Background]);
}

void TDlgHtmlOptions::ComboBoxSelectForumSchemeChange()
{
    const ForumScheme* scheme = forumScheme(ui->ComboBoxSelectForumScheme->currentIndex());
    if (!scheme)
        return;
    const std::string_view texts[]
        = { scheme->lightSquares, scheme->darkSquares, scheme->background };
    for (std::size_t i = 0; i < m_colors.size(); ++i) {
        m_colors[i].edit->setText(qs(texts[i]));
        colorExit(m_colors[i]);
    }
    ui->ComboBoxPieceSet->setCurrentIndex(scheme->pieceSet - 1);
}

void TDlgHtmlOptions::HelpBtnClick()
{
    if (m_help)
        m_help->showTopic(QStringLiteral("JID_Menu_Options_HTML"));
}

} // namespace pictog::gui
