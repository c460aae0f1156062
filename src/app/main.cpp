#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QTimer>

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
