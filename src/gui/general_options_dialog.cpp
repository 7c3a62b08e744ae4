#include "general_options_dialog.h"

#include "platform.h"
#include "ui_generalopts.h"

#include "settings/pictog_params.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace pictog::gui {

TDlgGeneralOptions::TDlgGeneralOptions(TPictogParams& params, HelpViewer* help, QWidget* parent)
    : TOKBottomDlg(parent)
    , ui(std::make_unique<Ui::TDlgGeneralOptions>())
    , m_params(params)
    , m_help(help)
    , m_helpBtn(new QPushButton(QStringLiteral("&Help"), this))
{
    ui->setupUi(contentArea());
    setObjectName(QStringLiteral("DlgGeneralOptions"));
    setWindowTitle(QStringLiteral("Options: General"));
    // Only the main window is blocked, so the help viewer stays usable while the dialog is open.
    setWindowModality(Qt::WindowModal);

    m_helpBtn->setObjectName(QStringLiteral("HelpBtn"));
    buttonRow()->addWidget(m_helpBtn);
    connect(m_helpBtn, &QPushButton::clicked, this, &TDlgGeneralOptions::HelpBtnClick);

    QWidget* order[] = { OKBtn(), CancelBtn(), m_helpBtn, ui->CBActivateHistory, ui->CBShowBorder,
        ui->CBShowCoordinates, ui->CBShowFENLine, ui->CBShowHeader, ui->CBShowFooter,
        ui->CBShowSideToMove };
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

TDlgGeneralOptions::~TDlgGeneralOptions() = default;

void TDlgGeneralOptions::showEvent(QShowEvent* event)
{
    DlgOnShow();
    TOKBottomDlg::showEvent(event);
}

void TDlgGeneralOptions::DlgOnShow()
{
    ui->CBActivateHistory->setChecked(m_params.activated());
    ui->CBShowBorder->setChecked(m_params.showBorder());
    ui->CBShowCoordinates->setChecked(m_params.coordinates());
    ui->CBShowFENLine->setChecked(m_params.showFenLine());
    ui->CBShowHeader->setChecked(m_params.showHeader());
    ui->CBShowFooter->setChecked(m_params.showFooter());
    ui->CBShowSideToMove->setChecked(m_params.showSideToMove());
}

void TDlgGeneralOptions::OKBtnClick()
{
    // Each setter marks the store modified only when its flag really changes.
    m_params.setActivated(ui->CBActivateHistory->isChecked());
    m_params.setShowBorder(ui->CBShowBorder->isChecked());
    m_params.setCoordinates(ui->CBShowCoordinates->isChecked());
    m_params.setShowFenLine(ui->CBShowFENLine->isChecked());
    m_params.setShowHeader(ui->CBShowHeader->isChecked());
    m_params.setShowFooter(ui->CBShowFooter->isChecked());
    m_params.setShowSideToMove(ui->CBShowSideToMove->isChecked());
}

void TDlgGeneralOptions::HelpBtnClick()
{
    if (m_help)
        m_help->showTopic(QStringLiteral("JID_Menu_Options_General"));
}

} // namespace pictog::gui
