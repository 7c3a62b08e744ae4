#include "export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>
#include <cstring>

namespace pictog::gui {

namespace {

    constexpr int PreviewEdge = 420;
    // Pictures above this many pixels are previewed at a smaller square size: a 1000-pixel
    // square would otherwise cost a third of a gigabyte for a picture shown 420 pixels wide.
    constexpr double PreviewPixelLimit = 4'000'000;

    // The board widths the settings file keeps, 5 mm to 500 mm, in the unit shown.
    void setWidthRange(QDoubleSpinBox* box, bool inches)
    {
        box->setRange(inches ? 0.2 : 5.0, inches ? 19.68 : 500.0);
    }

    QImage toQImage(const DiagramImage& image)
    {
        if (image.width <= 0)
            return {};
        QImage result(image.width, image.height, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < image.height; ++y)
            std::memcpy(result.scanLine(y),
                image.pixels.data() + static_cast<std::size_t>(y) * image.stride,
                static_cast<std::size_t>(image.width) * 4);
        return result;
    }

} // namespace

TDlgExportDiagram::TDlgExportDiagram(const TPictogParams& params, QWidget* parent)
    : QDialog(parent)
    , m_params(params)
{
    setObjectName(QStringLiteral("DlgExportDiagram"));
    setWindowTitle(QStringLiteral("Export Diagram"));

    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    m_format = named(new QComboBox, "ComboFormat");
    m_format->addItems({ QStringLiteral("PNG picture"), QStringLiteral("SVG drawing"),
        QStringLiteral("PDF document") });
    m_pixels = named(new QRadioButton(QStringLiteral("Pixels per square")), "RadioPixels");
    m_print = named(new QRadioButton(QStringLiteral("Print size")), "RadioPrint");
    m_squarePx = named(new QSpinBox, "SpinSquarePx");
    m_squarePx->setRange(MinSquarePx, MaxSquarePx);
    m_dpi = named(new QSpinBox, "SpinDpi");
    m_dpi->setRange(72, 2400);
    m_dpi->setSuffix(QStringLiteral(" dpi"));
    m_boardWidth = named(new QDoubleSpinBox, "SpinBoardWidth");
    m_boardWidth->setDecimals(2);
    m_unit = named(new QComboBox, "ComboUnit");
    m_unit->addItems({ QStringLiteral("mm"), QStringLiteral("in") });
    m_style = named(new QComboBox, "ComboStyle");
    m_style->addItems(
        { QStringLiteral("Colour"), QStringLiteral("Grayscale"), QStringLiteral("Print (book)") });
    m_flip = named(new QCheckBox(QStringLiteral("Flip board (Black at the bottom)")), "CheckFlip");
    m_marker = named(new QCheckBox(QStringLiteral("Side-to-move mark")), "CheckMarker");
    m_captions
        = named(new QCheckBox(QStringLiteral("Captions (headers and footers)")), "CheckCaptions");
    m_annotations
        = named(new QCheckBox(QStringLiteral("Arrows and marked squares")), "CheckAnnotations");
    m_theme = named(new QComboBox, "ComboTheme");
    m_theme->addItems({ QStringLiteral("Blue (settings)"), QStringLiteral("Brown"),
        QStringLiteral("Green"), QStringLiteral("Gray") });
    m_theme->setIconSize(QSize(24, 12));
    m_coordinates = named(new QComboBox, "ComboCoordinates");
    m_coordinates->addItems({ QStringLiteral("As in settings"), QStringLiteral("Outside"),
        QStringLiteral("Inside"), QStringLiteral("None") });
    m_frame = named(new QComboBox, "ComboFrame");
    m_frame->addItems(
        { QStringLiteral("Classic"), QStringLiteral("Thin"), QStringLiteral("None") });
    m_transparent
        = named(new QCheckBox(QStringLiteral("Transparent background")), "CheckTransparent");
    m_sizeText = named(new QLabel, "LabelSize");
    m_sizeText->setWordWrap(true);
    m_previewLabel = named(new QLabel, "LabelPreview");
    m_previewLabel->setFixedSize(PreviewEdge, PreviewEdge);
    m_previewLabel->setAlignment(Qt::AlignCenter);
    m_previewLabel->setFrameShape(QFrame::StyledPanel);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Save ..."));

    auto* print = new QHBoxLayout;
    print->addWidget(m_dpi);
    print->addWidget(new QLabel(QStringLiteral("board width")));
    print->addWidget(m_boardWidth);
    print->addWidget(m_unit);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Format:"), m_format);
    form->addRow(m_pixels, m_squarePx);
    form->addRow(m_print, print);
    form->addRow(QStringLiteral("St&yle:"), m_style);
    form->addRow(QStringLiteral("&Board:"), m_theme);
    form->addRow(QStringLiteral("C&oordinates:"), m_coordinates);
    form->addRow(QStringLiteral("F&rame:"), m_frame);
    form->addRow(m_transparent);
    form->addRow(m_flip);
    form->addRow(m_marker);
    form->addRow(m_captions);
    form->addRow(m_annotations);
    form->addRow(m_sizeText);
    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addStretch();
    left->addWidget(m_buttons);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addWidget(m_previewLabel);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(
        &m_watcher, &QFutureWatcher<Rendered>::finished, this, &TDlgExportDiagram::previewFinished);
    for (QComboBox* box : { m_format, m_unit, m_style, m_theme, m_coordinates, m_frame })
        connect(box, &QComboBox::currentIndexChanged, this, &TDlgExportDiagram::choicesChanged);
    for (QSpinBox* box : { m_squarePx, m_dpi })
        connect(box, &QSpinBox::valueChanged, this, &TDlgExportDiagram::choicesChanged);
    connect(m_boardWidth, &QDoubleSpinBox::valueChanged, this, &TDlgExportDiagram::choicesChanged);
    for (QAbstractButton* box : std::initializer_list<QAbstractButton*> {
             m_pixels, m_print, m_flip, m_marker, m_captions, m_annotations, m_transparent })
        connect(box, &QAbstractButton::toggled, this, &TDlgExportDiagram::choicesChanged);
    // The unit changes the number shown, not the board's width.
    connect(m_unit, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QSignalBlocker blocker(m_boardWidth);
        const double mm = index == 1 ? m_boardWidth->value() : m_boardWidth->value() * 25.4;
        setWidthRange(m_boardWidth, index == 1);
        m_boardWidth->setValue(index == 1 ? mm / 25.4 : mm);
        choicesChanged();
    });
}

TDlgExportDiagram::~TDlgExportDiagram()
{
    // The drawing holds copies of everything it needs; waiting only keeps a thread from
    // outliving the program's last window.
    m_watcher.waitForFinished();
}

void TDlgExportDiagram::setContent(const EditDocument& document)
{
    m_document = document;
    choicesChanged();
}

void TDlgExportDiagram::setChoices(const DiagramExportSettings& s, bool flip)
{
    showThemeColors();
    {
        const QSignalBlocker blockers[] = { QSignalBlocker(m_format), QSignalBlocker(m_pixels),
            QSignalBlocker(m_print), QSignalBlocker(m_squarePx), QSignalBlocker(m_dpi),
            QSignalBlocker(m_boardWidth), QSignalBlocker(m_unit), QSignalBlocker(m_style),
            QSignalBlocker(m_flip), QSignalBlocker(m_marker), QSignalBlocker(m_captions),
            QSignalBlocker(m_annotations), QSignalBlocker(m_theme), QSignalBlocker(m_coordinates),
            QSignalBlocker(m_frame), QSignalBlocker(m_transparent) };
        m_format->setCurrentIndex(static_cast<int>(s.format));
        m_pixels->setChecked(s.sizeMode == ExportSizeMode::Pixels);
        m_print->setChecked(s.sizeMode == ExportSizeMode::Print);
        m_squarePx->setValue(s.squarePx);
        m_dpi->setValue(s.dpi);
        m_unit->setCurrentIndex(s.boardWidthUnit == LengthUnit::Inches ? 1 : 0);
        setWidthRange(m_boardWidth, s.boardWidthUnit == LengthUnit::Inches);
        m_boardWidth->setValue(s.boardWidth);
        m_style->setCurrentIndex(static_cast<int>(s.style));
        m_flip->setChecked(flip);
        m_marker->setChecked(s.marker);
        m_captions->setChecked(s.captions);
        m_annotations->setChecked(s.drawAnnotations);
        m_theme->setCurrentIndex(static_cast<int>(s.theme));
        m_coordinates->setCurrentIndex(static_cast<int>(s.coordinates));
        m_frame->setCurrentIndex(static_cast<int>(s.frame));
        m_transparent->setChecked(s.transparent);
        m_lastExportDir = QString::fromStdString(s.lastExportDir);
    }
    choicesChanged();
}

void TDlgExportDiagram::showThemeColors()
{
    for (int theme = 0; theme < m_theme->count(); ++theme) {
        DiagramChoices choices;
        choices.theme = static_cast<BoardTheme>(theme);
        const DiagramRenderOptions colors
            = buildRenderOptions(pictureSettingsOf(m_params), choices, {}, {});
        QPixmap swatch(24, 12);
        QPainter painter(&swatch);
        painter.fillRect(0, 0, 12, 12, QColor(QString::fromStdString(colors.colorLightSquares)));
        painter.fillRect(12, 0, 12, 12, QColor(QString::fromStdString(colors.colorDarkSquares)));
        painter.end();
        m_theme->setItemIcon(theme, QIcon(swatch));
    }
}

DiagramExportSettings TDlgExportDiagram::settings() const
{
    DiagramExportSettings s;
    s.format = static_cast<ExportFormat>(m_format->currentIndex());
    s.sizeMode = m_print->isChecked() ? ExportSizeMode::Print : ExportSizeMode::Pixels;
    s.squarePx = m_squarePx->value();
    s.dpi = m_dpi->value();
    s.boardWidth = m_boardWidth->value();
    s.boardWidthUnit = m_unit->currentIndex() == 1 ? LengthUnit::Inches : LengthUnit::Millimetres;
    s.style = static_cast<DiagramStyle>(std::max(0, m_style->currentIndex()));
    s.marker = m_marker->isChecked();
    s.captions = m_captions->isChecked();
    s.drawAnnotations = m_annotations->isChecked();
    s.theme = static_cast<BoardTheme>(std::max(0, m_theme->currentIndex()));
    s.coordinates = static_cast<CoordinatePlace>(std::max(0, m_coordinates->currentIndex()));
    s.frame = static_cast<FrameStyle>(std::max(0, m_frame->currentIndex()));
    s.transparent = m_transparent->isChecked();
    s.lastExportDir = m_lastExportDir.toStdString();
    return s;
}

bool TDlgExportDiagram::flip() const
{
    return m_flip->isChecked();
}

DiagramRenderOptions TDlgExportDiagram::renderOptions() const
{
    return renderOptionsFor(
        settings(), flip(), m_params, m_document.captions, m_document.annotations);
}

bool TDlgExportDiagram::previewPending() const
{
    return m_running || m_again;
}

void TDlgExportDiagram::choicesChanged()
{
    const bool print = m_print->isChecked();
    m_squarePx->setEnabled(!print);
    m_dpi->setEnabled(print);
    m_boardWidth->setEnabled(print);
    m_unit->setEnabled(print);
    // The print style draws white and hatched squares whatever the colours.
    m_theme->setEnabled(m_style->currentIndex() != static_cast<int>(DiagramStyle::Print));

    const DiagramRenderOptions options = renderOptions();
    const auto problem = checkRenderOptions(options);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!problem);
    if (problem) {
        m_sizeText->setText(QString::fromStdString(*problem));
    } else {
        const DiagramSize size = diagramSize(options);
        QString text = QStringLiteral("%1 × %2 pixels, %3 per square")
                           .arg(size.width)
                           .arg(size.height)
                           .arg(options.squarePx);
        if (options.dpi > 0)
            text += QStringLiteral("; %1 × %2 mm at %3 dpi")
                        .arg(size.width * 25.4 / options.dpi, 0, 'f', 1)
                        .arg(size.height * 25.4 / options.dpi, 0, 'f', 1)
                        .arg(options.dpi);
        m_sizeText->setText(text);
    }
    if (problem)
        return;
    if (m_running)
        m_again = true;
    else
        startPreview();
}

void TDlgExportDiagram::startPreview()
{
    m_again = false;
    DiagramRenderOptions options = renderOptions();
    bool reduced = false;
    const DiagramSize size = diagramSize(options);
    const double pixels = double(size.width) * size.height;
    if (pixels > PreviewPixelLimit) {
        options.squarePx = std::max(MinSquarePx,
            static_cast<int>(options.squarePx * std::sqrt(PreviewPixelLimit / pixels)));
        reduced = true;
    }
    const TChessPosition board = m_document.board;
    const PanelState panel = m_document.panel;
    m_running = true;
    m_watcher.setFuture(QtConcurrent::run([board, panel, options, reduced] {
        return Rendered { toQImage(renderDiagramImage(board, panel, options)), reduced,
            options.transparent };
    }));
}

void TDlgExportDiagram::previewFinished()
{
    m_running = false;
    const Rendered rendered = m_watcher.result();
    m_preview = rendered.image;
    m_previewReduced = rendered.reduced;
    m_previewTransparent = rendered.transparent;
    showPreview();
    // Choices changed while this one was drawn: shown meanwhile, the latest comes next.
    if (m_again)
        startPreview();
    else
        emit previewUpdated();
}

void TDlgExportDiagram::showPreview()
{
    QPixmap pixmap = QPixmap::fromImage(m_preview);
    if (pixmap.width() > PreviewEdge - 4 || pixmap.height() > PreviewEdge - 4)
        pixmap = pixmap.scaled(
            PreviewEdge - 4, PreviewEdge - 4, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (m_previewTransparent && !pixmap.isNull()) {
        // A transparent picture over grey and white checks, the way picture editors show one.
        QPixmap checked(pixmap.size());
        QPainter painter(&checked);
        constexpr int Check = 8;
        for (int y = 0; y < checked.height(); y += Check)
            for (int x = 0; x < checked.width(); x += Check)
                painter.fillRect(x, y, Check, Check,
                    (x / Check + y / Check) % 2 ? QColor(0xCC, 0xCC, 0xCC) : QColor(Qt::white));
        painter.drawPixmap(0, 0, pixmap);
        painter.end();
        pixmap = checked;
    }
    m_previewLabel->setPixmap(pixmap);
}

} // namespace pictog::gui
