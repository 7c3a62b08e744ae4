// The window's View > Board size and View > Coordinates: the board at classic, double or
// window-filling size, with the side panel moved along beside and below it.

#include "main_form.h"

#include "board_widget.h"
#include "ui_MainForm.h"

#include <QActionGroup>
#include <QEvent>
#include <QLayout>
#include <QMenu>

#include <algorithm>
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
        }

        void apply(BoardSize size)
        {
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

        QMainWindow* m_window;
        QWidget* m_client;
        BoardWidget* m_board;
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
    // The classic size is what the form already is: nothing is moved or drawn for it now.
    if (settings.boardSize != BoardSize::Classic)
        setBoardSize(settings.boardSize);
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
