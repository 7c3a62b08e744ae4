// The desktop program: one copy at a time, one main window, command-line arguments ignored.
#include "main_form.h"
#include "qt_platform.h"
#include "single_instance.h"

#include <QApplication>

namespace {

// The name every copy of this version locks; held for the whole run.
constexpr const char* InstanceGuardName = "Pictog_V1.0";

} // namespace

int main(int argc, char* argv[])
{
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

    pictog::gui::QtPlatform platform;
    pictog::gui::TFormMain window(QApplication::applicationDirPath(), platform.services());
    if (window.terminationRequested())
        return 0; // a piece bitmap failed to load and has been reported
    window.show();
    return QApplication::exec();
}
