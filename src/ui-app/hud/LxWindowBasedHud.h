#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <QWidget>

#include "platform/foundation/Geometry.h"
#include "ui-app/hud/LxHudController.h"

// A handle on one shown busy overlay; copies share it. Main thread only.
//
// Example:
//   const auto hud = LxWindowBasedHud::present(mainWindow, std::nullopt, insets, 3);
//   hud.dismiss();
class LxWindowBasedHud {
public:
    // A new overlay over `parent` (LxHudController::present).
    static LxWindowBasedHud present(
        QWidget* parent, const std::optional<std::string>& caption = std::nullopt,
        const std::optional<platform::EdgeInsets>& insets = std::nullopt, qreal cornerRadius = 0);

    void dismiss() const;

    const std::shared_ptr<LxHudController>& controller() const { return _hudController; }

private:
    explicit LxWindowBasedHud(std::shared_ptr<LxHudController> hudController)
        : _hudController(std::move(hudController)) {}

    std::shared_ptr<LxHudController> _hudController;
};
