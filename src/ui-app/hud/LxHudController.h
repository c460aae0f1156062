#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QPointer>
#include <QSize>
#include <QWidget>

#include "platform/foundation/Geometry.h"
#include "ui-app/hud/LxHudWindow.h"

// Shows one busy overlay (LxHudWindow) over one parent window, once, and takes it away again.
//
// While the overlay is up the parent cannot be resized; `dismiss` makes it resizable again only
// if it was before. Releasing the controller does not close the overlay; the last release logs
// "deinit - LxHudController" (verbose). Main thread only.
//
// Example:
//   auto hud = LxHudController::create();
//   hud->present(mainWindow, "Combining ...", platform::EdgeInsets{3, 3, 3, 3}, 3);
//   ...
//   hud->dismiss();
class LxHudController {
public:
    static std::shared_ptr<LxHudController> create();
    ~LxHudController();

    LxHudController(const LxHudController&) = delete;
    LxHudController& operator=(const LxHudController&) = delete;

    // Covers `parent` less `insets` with the overlay, titled `caption` or "Loading ...". Does
    // nothing on a controller that has presented before, or without a parent.
    void present(QWidget* parent, const std::optional<std::string>& caption = std::nullopt,
                 const std::optional<platform::EdgeInsets>& insets = std::nullopt,
                 qreal cornerRadius = 0);
    // Closes the overlay; nothing when none is presented.
    void dismiss();

    // The overlay while presented; null before and after, and once its parent is gone.
    LxHudWindow* window() const { return window_; }

private:
    LxHudController() = default;

    QPointer<LxHudWindow> window_;
    QPointer<QWidget> parent_;
    bool presented_ = false;
    bool isParentWindowResizable_ = false;
    QSize parentMinimumSize_;
    QSize parentMaximumSize_;
};
