#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QWidget>

#include "app/manager/AppEvents.h"
#include "reactive/LxRxEventSubscriptionManager.h"

// The application's one listener for busy-overlay requests: keeps at most one overlay up over
// the main window and keeps each one up at least 150 ms, so that fast work does not make the
// window flicker.
//
// `present` replaces a shown overlay at once; `dismiss` hides it at once when it has been up
// 150 ms or more, else in a main-queue job when the 150 ms are over (measured on the dispatch
// clock), unless another overlay has replaced it by then. Without a main window, requests are
// dropped. Shared, made by `create()`; main thread only.
//
// Example:
//   auto hud = HudController::create(events, [window] { return window.data(); });
//   hud->start();
//   events.hudPresentingRequest()->sendOnMain("Combining ...");
class HudController : public std::enable_shared_from_this<HudController> {
public:
    using MainWindow = std::function<QWidget*()>;

    // `mainWindow` answers the window to cover, null when there is none.
    static std::shared_ptr<HudController> create(AppEvents events, MainWindow mainWindow);

    HudController(const HudController&) = delete;
    HudController& operator=(const HudController&) = delete;

    // Subscribes to `hudPresentingRequest` and `hudDismissingRequest` on their delivering
    // thread; later calls do nothing. The subscriptions are in place once the subscription
    // queue has run them, shortly after the call.
    void start();

    void present(const std::optional<std::string>& caption);
    void dismiss();

private:
    class PresentingState;

    HudController(AppEvents events, MainWindow mainWindow);

    void hide();

    const AppEvents events_;
    const MainWindow mainWindow_;
    std::shared_ptr<PresentingState> presentingState_;
    LxRxEventSubscriptionManager eventSubscriptionManager_;
    bool started_ = false;
};
