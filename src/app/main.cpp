#include <cstdio>
#include <cstdlib>
#include <exception>

#include <QApplication>
#include <QTimer>

#include "platform/foundation/ProcessLifetime.h"
#include "platform/foundation/StandardFolders.h"
#include "platform/qt/MainQueueDriver.h"
#include "ui-app/AppDelegate.h"
#include "ui-app/AppServices.h"

namespace {

// Qt aborts when it cannot reach a display; say what is missing instead.
bool hasDisplay() {
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!hasDisplay()) {
        std::fputs(
            "orbin-combine: no display to show the window on (DISPLAY and WAYLAND_DISPLAY "
            "are not set). Start it from a desktop session.\n",
            stderr);
        return EXIT_FAILURE;
    }
    // Before QApplication: the threads it and the queues start must inherit the signal set-up.
    platform::ProcessLifetime lifetime;
    // Made now rather than at the first drop, so that its lock marks it as in use from the start.
    // Without a usable $TMPDIR the window still opens; each drop then reports its own failure.
    try {
        platform::privateTemporaryFolder();
    } catch (const std::exception&) {
    }
    QApplication application(argc, argv);
    // The window title, and the owner of the remembered window frame.
    QApplication::setApplicationName("Orbin Combine");
    // Closing the one window ends the application: on this desktop a process without a window
    // cannot be reached again.
    QApplication::setQuitOnLastWindowClosed(true);
    platform::qt::MainQueueDriver mainQueueDriver;

    AppDelegate delegate(AppServices::shared());
    QTimer::singleShot(0, &delegate, [&delegate] { delegate.applicationDidFinishLaunching(); });
    return application.exec();
}
