// The desktop program: one copy at a time, one main window, command-line arguments ignored.
#include "main_form.h"
#include "qt_platform.h"
#include "single_instance.h"

#include "settings/program_locations.h"

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace {

// The name every copy of this version locks; held for the whole run.
constexpr const char* InstanceGuardName = "Pictog_V1.0";

// SIGTERM (the desktop session ending, `kill`) closes the window like File > Exit, so the settings
// are saved. The handler only writes a byte into a pipe; the event loop reads it, and a signal
// that comes before the loop runs waits in the pipe.
int terminationPipe[2] = { -1, -1 };

void onTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
    errno = saved;
}

void catchTerminationSignal()
{
    if (::pipe2(terminationPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action {
    };
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
}

// With PICTOG_STARTUP_PROBE set, the first paint of the window prints the CLOCK_MONOTONIC time in
// nanoseconds once the event loop is idle again (the frame is then on the screen), and with the
// value "exit" the program ends there without touching its settings: scripts/bench-startup
// measures from exec to that line.
class StartupProbe final : public QObject
{
public:
    StartupProbe(QObject* window, bool exitAfter)
        : QObject(window)
        , m_exit(exitAfter)
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                timespec now {};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("first-paint %lld\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                if (m_exit)
                    QApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_exit;
};

} // namespace

int main(int argc, char* argv[])
{
    catchTerminationSignal();
    pictog::gui::SingleInstanceGuard guard(InstanceGuardName);
    if (!guard.acquire())
        return 0; // another copy runs: end silently, no window, no message

    // Qt sees the program name only: its own options (-reverse, -style, -stylesheet, ...) would
    // change the window, and the program takes no arguments. QT_QPA_PLATFORM still picks the
    // platform plugin.
    int qtArgc = argc > 0 ? 1 : 0;
    char* qtArgv[] = { argc > 0 ? argv[0] : nullptr, nullptr };
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("Pictog"));
    // The installed menu entry and icon (pictog.desktop, the hicolor theme's pictog); a copy
    // without an installed icon keeps Qt's default one.
    QApplication::setDesktopFileName(QStringLiteral("pictog"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("pictog")));

    // An installed copy cannot write its own folder: its settings file and preview page go to the
    // user's folders, which are made here (a failure shows when the settings are saved).
    const pictog::ProgramLocations locations
        = pictog::locateProgramFiles(QApplication::applicationDirPath().toStdString());
    if (!locations.portable) {
        pictog::makePrivateFolders(pictog::folderOfPath(locations.iniFile));
        pictog::makePrivateFolders(pictog::folderOfPath(locations.previewFile));
    }

    pictog::gui::QtPlatform platform;
    pictog::gui::TFormMain window(locations, platform.services());
    if (window.terminationRequested())
        return 0; // a piece bitmap failed to load and has been reported

    if (terminationPipe[0] >= 0) {
        auto* notifier = new QSocketNotifier(terminationPipe[0], QSocketNotifier::Read, &window);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
            char bytes[16];
            while (::read(terminationPipe[0], bytes, sizeof bytes) > 0) { }
            QApplication::closeAllWindows();
        });
    }
    if (const char* probe = std::getenv("PICTOG_STARTUP_PROBE"))
        new StartupProbe(&window, std::string_view(probe) == "exit");
    window.show();
    return QApplication::exec();
}
