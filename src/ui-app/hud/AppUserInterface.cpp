#include "ui-app/hud/AppUserInterface.h"

#include <utility>

#include "app/manager/AppContext.h"

// Not a field of AppContext: the context sits below the widgets and links no Qt. The holder
// shares the context's events, so the engine's requests reach its overlay controller.
AppUserInterface& AppUserInterface::shared() {
    static AppUserInterface* const userInterface =
        new AppUserInterface(AppContext::shared().events());
    return *userInterface;
}

AppUserInterface::AppUserInterface(AppEvents events) : events_(std::move(events)) {}

void AppUserInterface::attach(QWidget* mainWindow) {
    *mainWindow_ = mainWindow;
    hudController()->start();
}

const std::shared_ptr<HudController>& AppUserInterface::hudController() {
    if (!hudController_) {
        hudController_ = HudController::create(
            events_, [window = mainWindow_]() -> QWidget* { return window->data(); });
    }
    return hudController_;
}
