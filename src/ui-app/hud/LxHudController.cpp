#include "ui-app/hud/LxHudController.h"

#include "LxLog/Log.h"
#include "ui-app/hud/LxHudWindow.h"

namespace {

const char* const kDefaultCaption = "Loading ...";

// Qt has no resizable flag of its own: a window whose bounds are one size cannot be resized.
bool isResizable(const QWidget& window) {
    return window.minimumSize() != window.maximumSize();
}

}  // namespace

std::shared_ptr<LxHudController> LxHudController::create() {
    return std::shared_ptr<LxHudController>(new LxHudController());
}

LxHudController::~LxHudController() {
    Log::verbose("deinit - LxHudController");
}

void LxHudController::present(QWidget* parent, const std::optional<std::string>& caption,
                              const std::optional<platform::EdgeInsets>& insets,
                              qreal cornerRadius) {
    if (presented_ || parent == nullptr) {
        return;
    }
    presented_ = true;
    parent_ = parent;
    const QString title = QString::fromStdString(caption.value_or(kDefaultCaption));
    window_ = new LxHudWindow(title, cornerRadius, insets.value_or(platform::EdgeInsets{}), parent);
    window_->show();

    // The bounds are remembered, not just the flag, so that a window with a minimum or maximum
    // size of its own gets exactly those back.
    isParentWindowResizable_ = isResizable(*parent);
    if (isParentWindowResizable_) {
        parentMinimumSize_ = parent->minimumSize();
        parentMaximumSize_ = parent->maximumSize();
        parent->setFixedSize(parent->size());
    }
}

// The overlay never takes the focus, so the parent's focus widget is still the one it was, and
// there is nothing to give back.
void LxHudController::dismiss() {
    if (!presented_) {
        return;
    }
    presented_ = false;
    if (window_ == nullptr || parent_ == nullptr) {
        window_ = nullptr;
        return;
    }
    window_->close();
    window_ = nullptr;
    if (isParentWindowResizable_) {
        isParentWindowResizable_ = false;
        parent_->setMinimumSize(parentMinimumSize_);
        parent_->setMaximumSize(parentMaximumSize_);
    }
}
