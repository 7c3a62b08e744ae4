// The window's View > Board size and View > Coordinates: the board at classic, double or
// window-filling size, with the side panel moved along beside and below it.

#include "main_form.h"

#include "board_widget.h"
#include "ui_MainForm.h"

#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace pictog::gui {

namespace {

    // The classic client area and the part of it that is not board.
    constexpr int ClassicWidth = 722;
    constexpr int ClassicHeight = 417;
    constexpr int ClassicBoard = TPictogram2D::BoardSize;
    // Widgets whose left edge lies right of the board's panel move right with its growth; those
    // below it (the two lists and the line field) move down.
    constexpr int PanelRight = 393;
    constexpr int PanelBottom = 321;
    // The palette's column, left of the board, stays where it is.
    constexpr int PaletteRight = 62;
    constexpr const char* PaletteNames[]
        = { "ImageKing", "ImageQueen", "ImageRook", "ImageBishop", "ImageKnight", "ImagePawn" };
    constexpr int PalettePieces[]
        = { WhiteKing, WhiteQueen, WhiteRook, WhiteBishop, WhiteKnight, WhitePawn };

    // Keeps the classic geometry of every widget on the client area and places them for a
    // board of any square size; in the window-filling size it follows the client area's size.
    class BoardSizeLayout final : public QObject
    {
    public:
        BoardSizeLayout(QMainWindow* window, QWidget* client, BoardWidget* board)
            : QObject(window)
            , m_window(window)
            , m_client(client)
            , m_board(board)
        {
            setObjectName(QStringLiteral("BoardSizeLayout"));
            for (QWidget* child : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                m_classic.emplace_back(child, child->geometry());
            client->installEventFilter(this);
            for (std::size_t i = 0; i < m_icons.size(); ++i) {
                m_icons[i].label = client->findChild<QLabel*>(QLatin1String(PaletteNames[i]));
                m_icons[i].classic = m_icons[i].label->pixmap();
            }
            // Under the palette, where the larger boards leave room: which colour it places.
            m_colour = new QToolButton(client);
            m_colour->setObjectName(QStringLiteral("BtnPaletteColour"));
            m_colour->setCheckable(true);
            m_colour->setText(QStringLiteral("White"));
            m_colour->setToolTip(
                QStringLiteral("The colour the palette places (right click: the other)"));
            m_colour->setGeometry(8, 392, 54, 24);
            m_colour->hide();
            connect(m_colour, &QToolButton::toggled, this, [this](bool black) {
                m_colour->setText(black ? QStringLiteral("Black") : QStringLiteral("White"));
                paintPalette();
            });
        }

        bool paletteShowsBlack() const { return m_colour->isVisible() && m_colour->isChecked(); }

        // The palette's pieces drawn by the renderer at the screen's resolution, in the colour
        // chosen; the classic pictures at the classic size and resolution.
        void paintPalette()
        {
            const double ratio = m_client->devicePixelRatioF();
            const bool classic = m_size == BoardSize::Classic && ratio == 1.0;
            const int devSquare = static_cast<int>(std::lround(TPictogram2D::SquareSize * ratio));
            for (std::size_t i = 0; i < m_icons.size(); ++i) {
                const PaletteIcon& icon = m_icons[i];
                if (classic || icon.classic.isNull()) {
                    icon.label->setPixmap(icon.classic);
                    continue;
                }
                const int piece = PalettePieces[i] + (paletteShowsBlack() ? 6 : 0);
                QImage image(devSquare, devSquare, QImage::Format_ARGB32_Premultiplied);
                // The classic picture's own background behind the piece.
                image.fill(icon.classic.toImage().pixelColor(0, 0));
                QPainter painter(&image);
                painter.drawImage(0, 0, m_board->pieceImage(piece, devSquare));
                painter.end();
                image.setDevicePixelRatio(ratio);
                icon.label->setPixmap(QPixmap::fromImage(image));
            }
        }

        void apply(BoardSize size)
        {
            if (size == BoardSize::Classic)
                m_colour->setChecked(false);
            m_size = size;
            const bool fit = size == BoardSize::Fit;
            if (fit) {
                // The fixed size the classic layout gave the window is lifted.
                m_window->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
                m_window->setMinimumSize(0, 0);
                m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                m_client->setMinimumSize(ClassicWidth, ClassicHeight);
                m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                place(squareFor(m_client->size()));
            } else {
                const int square = size == BoardSize::Large ? 2 * TPictogram2D::SquareSize
                                                            : TPictogram2D::SquareSize;
                const int growth = 8 * square - ClassicBoard;
                m_client->setFixedSize(ClassicWidth + growth, ClassicHeight + growth);
                m_window->layout()->setSizeConstraint(QLayout::SetFixedSize);
                place(square);
            }
            m_colour->setVisible(size != BoardSize::Classic);
            paintPalette();
            // A resizable window gets its maximize box; the fixed one keeps the classic frame.
            if (m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint) != fit) {
                const bool visible = m_window->isVisible();
                m_window->setWindowFlag(Qt::WindowMaximizeButtonHint, fit);
                if (visible)
                    m_window->show();
            }
        }

        // The largest square that leaves the panel its classic room, never below the classic.
        static int squareFor(QSize client)
        {
            const int room = std::min(client.width() - (ClassicWidth - ClassicBoard),
                client.height() - (ClassicHeight - ClassicBoard));
            return std::max(TPictogram2D::SquareSize, room / 8);
        }

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched == m_client && event->type() == QEvent::Resize && m_size == BoardSize::Fit)
                place(squareFor(m_client->size()));
            return QObject::eventFilter(watched, event);
        }

    private:
        void place(int square)
        {
            const int growth = 8 * square - ClassicBoard;
            for (const auto& [widget, classic] : m_classic) {
                QRect r = classic;
                if (widget == m_board->parentWidget()) {
                    r.setSize(classic.size() + QSize(growth, growth));
                } else if (classic.left() >= PanelRight) {
                    r.translate(growth, 0);
                } else if (classic.top() >= PanelBottom && classic.left() > PaletteRight) {
                    r.translate(0, growth);
                    // The line field runs under the whole window.
                    if (classic.right() >= PanelRight)
                        r.setWidth(classic.width() + growth);
                }
                widget->setGeometry(r);
            }
            m_board->setSquareSize(square);
        }

        struct PaletteIcon {
            QLabel* label = nullptr;
            QPixmap classic;
        };
        QMainWindow* m_window;
        QWidget* m_client;
        BoardWidget* m_board;
        std::array<PaletteIcon, 6> m_icons;
        QToolButton* m_colour = nullptr;
        BoardSize m_size = BoardSize::Classic;
        std::vector<std::pair<QWidget*, QRect>> m_classic;
    };

} // namespace

void TFormMain::setUpViewMenu()
{
    auto* view = findChild<QMenu*>(QStringLiteral("MEView"));
    auto* sizes = new QMenu(QStringLiteral("Board &size"), view);
    sizes->setObjectName(QStringLiteral("MIViewBoardSize"));
    auto* group = new QActionGroup(sizes);
    const std::pair<const char*, const char*> names[] = { { "MIViewBoardClassic", "&Classic" },
        { "MIViewBoardLarge", "&Large" }, { "MIViewBoardFit", "&Fit to window" } };
    const ViewSettings settings = m_params->view();
    for (int i = 0; i < 3; ++i) {
        auto* item = new QAction(QString::fromLatin1(names[i].second), group);
        item->setObjectName(QLatin1String(names[i].first));
        item->setCheckable(true);
        item->setChecked(static_cast<int>(settings.boardSize) == i);
        sizes->addAction(item);
        connect(item, &QAction::triggered, this,
            [this, i] { setBoardSize(static_cast<BoardSize>(i)); });
    }
    view->addMenu(sizes);
    auto* coordinates = new QAction(QStringLiteral("C&oordinates"), this);
    coordinates->setObjectName(QStringLiteral("MIViewCoordinates"));
    coordinates->setCheckable(true);
    coordinates->setChecked(settings.coordinates);
    view->addAction(coordinates);
    connect(coordinates, &QAction::toggled, this, [this](bool shown) {
        ui->Pictogram2D1->setCoordinates(shown);
        ViewSettings changed = m_params->view();
        changed.coordinates = shown;
        m_params->setView(changed);
    });
    ui->Pictogram2D1->setCoordinates(settings.coordinates);
    // The classic size is what the form already is: nothing is moved or drawn for it now,
    // unless the screen's resolution asks for sharper pieces in the palette.
    if (settings.boardSize != BoardSize::Classic || devicePixelRatioF() != 1.0)
        setBoardSize(settings.boardSize);
}

bool TFormMain::paletteShowsBlack() const
{
    const auto* sizer = findChild<BoardSizeLayout*>(QStringLiteral("BoardSizeLayout"));
    return sizer && sizer->paletteShowsBlack();
}

void TFormMain::setBoardSize(BoardSize size)
{
    auto* sizer = findChild<BoardSizeLayout*>(QStringLiteral("BoardSizeLayout"));
    if (!sizer)
        sizer = new BoardSizeLayout(this, ui->centralwidget, ui->Pictogram2D1);
    sizer->apply(size);
    const char* names[] = { "MIViewBoardClassic", "MIViewBoardLarge", "MIViewBoardFit" };
    if (QAction* item = action(names[static_cast<int>(size)]))
        item->setChecked(true);
    ViewSettings changed = m_params->view();
    changed.boardSize = size;
    m_params->setView(changed);
}

} // namespace pictog::gui
