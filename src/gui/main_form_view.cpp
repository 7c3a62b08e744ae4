// The window's View > Board size and View > Coordinates: the board at classic, double or
// window-filling size, with the side panel moved along beside and below it.

#include "main_form.h"

#include "board_widget.h"
#include "game_pane.h"
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

    constexpr const char* BevelNames[]
        = { "BevelKing", "BevelQueen", "BevelRook", "BevelBishop", "BevelKnight", "BevelPawn" };
    constexpr int PalettePieces[]
        = { WhiteKing, WhiteQueen, WhiteRook, WhiteBishop, WhiteKnight, WhitePawn };
    // The palette's pictures sit 8 pixels inside their raised frames, the frames 10 apart.
    constexpr int PaletteInset = 8;
    constexpr int PaletteGap = 10;

    // The edge of a palette picture beside a board of that square size: the classic 38 pixels,
    // else the board's own squares up to 76 (Large), so that the column stays narrow beside a
    // window-filling board. At the board's size the renderer's pieces are drawn once for both.
    int paletteIcon(BoardSize size, int square)
    {
        if (size == BoardSize::Classic)
            return TPictogram2D::SquareSize;
        return std::clamp(square, TPictogram2D::SquareSize, 76);
    }

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
                m_icons[i].bevel = client->findChild<QWidget*>(QLatin1String(BevelNames[i]));
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

        // Not from the switch's visibility: that is false while the window is shown again after
        // its frame changed, when the palette may be painted.
        bool paletteShowsBlack() const
        {
            return m_size != BoardSize::Classic && m_colour->isChecked();
        }

        // The palette's pieces drawn by the renderer at their size and the screen's resolution,
        // in the colour chosen; the classic pictures at the classic size and resolution.
        void paintPalette()
        {
            const double ratio = m_client->devicePixelRatioF();
            const int icon = paletteIcon(m_size, m_board->squareSize());
            m_paintedIcon = icon;
            // The classic pictures are white: a black palette is drawn even at their size.
            const bool classic
                = icon == TPictogram2D::SquareSize && ratio == 1.0 && !paletteShowsBlack();
            const int devSquare = static_cast<int>(std::lround(icon * ratio));
            for (std::size_t i = 0; i < m_icons.size(); ++i) {
                const PaletteIcon& entry = m_icons[i];
                if (classic || entry.classic.isNull()) {
                    entry.label->setPixmap(entry.classic);
                    continue;
                }
                const int piece = PalettePieces[i] + (paletteShowsBlack() ? 6 : 0);
                QImage image(devSquare, devSquare, QImage::Format_ARGB32_Premultiplied);
                // The classic picture's own background behind the piece.
                image.fill(entry.classic.toImage().pixelColor(0, 0));
                QPainter painter(&image);
                painter.drawImage(0, 0, m_board->pieceImage(piece, devSquare));
                painter.end();
                image.setDevicePixelRatio(ratio);
                entry.label->setPixmap(QPixmap::fromImage(image));
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
                const QSize growth = growthFor(square);
                m_client->setFixedSize(
                    ClassicWidth + growth.width(), ClassicHeight + growth.height());
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

        BoardSize size() const { return m_size; }

    protected:
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched == m_client && event->type() == QEvent::Resize
                && m_size == BoardSize::Fit) {
                place(squareFor(m_client->size()));
                if (paletteIcon(m_size, m_board->squareSize()) != m_paintedIcon)
                    paintPalette();
            }
            return QObject::eventFilter(watched, event);
        }

    private:
        // How much wider and higher than the classic client area the board and the palette
        // make it at that square size.
        QSize growthFor(int square) const
        {
            const int board = 8 * square
                + BoardWidget::coordinateBand(square, m_board->coordinates()) - ClassicBoard;
            return { board + paletteIcon(m_size, square) - TPictogram2D::SquareSize, board };
        }

        // The largest square that leaves the panel its classic room, never below the classic.
        int squareFor(QSize client) const
        {
            const QSize room(client.width() - ClassicWidth, client.height() - ClassicHeight);
            int square = std::max(TPictogram2D::SquareSize,
                (ClassicBoard + std::min(room.width(), room.height())) / 8);
            // The band and the palette grow with the square: step down until both fit.
            for (; square > TPictogram2D::SquareSize; --square) {
                const QSize growth = growthFor(square);
                if (growth.width() <= room.width() && growth.height() <= room.height())
                    break;
            }
            return square;
        }

        void place(int square)
        {
            const QSize growth = growthFor(square);
            const int board = growth.height();
            const int palette = growth.width() - board;
            for (const auto& [widget, classic] : m_classic) {
                QRect r = classic;
                if (widget == m_board->parentWidget()) {
                    r.translate(palette, 0);
                    r.setSize(classic.size() + QSize(board, board));
                } else if (classic.left() >= PanelRight) {
                    r.translate(growth.width(), 0);
                } else if (classic.top() >= PanelBottom && classic.left() > PaletteRight) {
                    r.translate(palette, board);
                    // The line field runs under the whole window.
                    if (classic.right() >= PanelRight)
                        r.setWidth(classic.width() + board);
                }
                widget->setGeometry(r);
            }
            // The palette's column: its frames and pictures at the pictures' size.
            const int icon = paletteIcon(m_size, square);
            const int pitch = icon + 2 * PaletteInset + PaletteGap;
            for (std::size_t i = 0; i < m_icons.size(); ++i) {
                const int top = PaletteInset + static_cast<int>(i) * pitch;
                if (m_icons[i].bevel)
                    m_icons[i].bevel->setGeometry(
                        PaletteInset, top, icon + 2 * PaletteInset, icon + 2 * PaletteInset);
                m_icons[i].label->setGeometry(2 * PaletteInset, top + PaletteInset, icon, icon);
            }
            m_colour->setGeometry(
                PaletteInset, PaletteInset + 6 * pitch, icon + 2 * PaletteInset, 24);
            m_board->setSquareSize(square);
        }

        struct PaletteIcon {
            QLabel* label = nullptr;
            QWidget* bevel = nullptr;
            QPixmap classic;
        };
        QMainWindow* m_window;
        QWidget* m_client;
        BoardWidget* m_board;
        std::array<PaletteIcon, 6> m_icons;
        QToolButton* m_colour = nullptr;
        BoardSize m_size = BoardSize::Classic;
        int m_paintedIcon = TPictogram2D::SquareSize;
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
        // Coordinates outside the board widen it: the window is laid out again.
        if (auto* sizer = findChild<BoardSizeLayout*>(QStringLiteral("BoardSizeLayout")))
            sizer->apply(sizer->size());
        ViewSettings changed = m_params->view();
        changed.coordinates = shown;
        m_params->setView(changed);
    });
    ui->Pictogram2D1->setCoordinates(settings.coordinates);
    // The classic size is what the form already is: nothing is moved or drawn for it now,
    // unless the screen's resolution asks for sharper pieces in the palette.
    if (settings.boardSize != BoardSize::Classic || devicePixelRatioF() != 1.0)
        setBoardSize(settings.boardSize);
    // The game pane as it was left; it waits empty for a file.
    if (settings.gamePane)
        ensureGamePane().show();
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
