#pragma once

#include <memory>

#include <QPointer>
#include <QWidget>

#include "app/manager/AppEvents.h"
#include "ui-app/hud/HudController.h"

// The application's holder of its main window and of the busy-overlay controller that covers it.
//
// The window is held weakly: once it is destroyed `mainWindow()` answers null and overlay
// requests show nothing. Main thread only.
//
// Example:
//   AppUserInterface::shared().attach(mainWindow);   // at the end of the window's set-up
class AppUserInterface {
public:
    // The application's one holder, over AppContext::shared()'s events; made on first use and
    // kept until the process ends.
    static AppUserInterface& shared();

    explicit AppUserInterface(AppEvents events);

    AppUserInterface(const AppUserInterface&) = delete;
    AppUserInterface& operator=(const AppUserInterface&) = delete;

    // Keeps `mainWindow` (replacing an earlier one) and starts the overlay controller, which
    // subscribes once however often this is called.
    void attach(QWidget* mainWindow);

    QWidget* mainWindow() const { return *mainWindow_; }

    // Made on first use.
    const std::shared_ptr<HudController>& hudController();

private:
    const AppEvents events_;
    // Shared with the overlay controller, which reads the window at each request.
    const std::shared_ptr<QPointer<QWidget>> mainWindow_ = std::make_shared<QPointer<QWidget>>();
    std::shared_ptr<HudController> hudController_;
};
