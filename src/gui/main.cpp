// The desktop program: one copy at a time, one main window, command-line arguments unused.
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

    // Qt takes its own options such as -platform; the program itself looks at no argument.
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pictog"));

    pictog::gui::QtPlatform platform;
    pictog::gui::TFormMain window(QApplication::applicationDirPath(), platform.services());
    if (window.terminationRequested())
        return 0; // a piece bitmap failed to load and has been reported
    window.show();
    return QApplication::exec();
}
