#include "ui-app/hud/LxWindowBasedHud.h"

LxWindowBasedHud LxWindowBasedHud::present(QWidget* parent,
                                           const std::optional<std::string>& caption,
                                           const std::optional<platform::EdgeInsets>& insets,
                                           qreal cornerRadius) {
    LxWindowBasedHud hud(LxHudController::create());
    hud._hudController->present(parent, caption, insets, cornerRadius);
    return hud;
}

void LxWindowBasedHud::dismiss() const {
    _hudController->dismiss();
}
