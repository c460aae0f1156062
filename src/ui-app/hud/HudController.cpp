#include "ui-app/hud/HudController.h"

#include <chrono>
#include <cstdint>
#include <utility>

#include "platform/dispatch/Clock.h"
#include "platform/reactive/Completion.h"
#include "ui-app/hud/LxWindowBasedHud.h"
#include "utility/LxAsync.h"

namespace {

constexpr std::int64_t kMinimumMilliseconds = 150;
constexpr qreal kInset = 3;
constexpr qreal kCornerRadius = 3;

}  // namespace

// One shown overlay and when it came up. The delayed hiding step compares states by identity,
// so a newer overlay is never hidden by the step of an older one.
class HudController::PresentingState {
public:
    PresentingState(LxWindowBasedHud hud, platform::dispatch::TimePoint presentingTime)
        : currentHudController(std::move(hud)), presentingTime(presentingTime) {}

    const LxWindowBasedHud currentHudController;
    const platform::dispatch::TimePoint presentingTime;
};

std::shared_ptr<HudController> HudController::create(AppEvents events, MainWindow mainWindow) {
    return std::shared_ptr<HudController>(
        new HudController(std::move(events), std::move(mainWindow)));
}

HudController::HudController(AppEvents events, MainWindow mainWindow)
    : events_(std::move(events)), mainWindow_(std::move(mainWindow)) {}

void HudController::start() {
    if (started_) {
        return;
    }
    started_ = true;
    const std::weak_ptr<HudController> weak = weak_from_this();
    eventSubscriptionManager_.subscribe(events_.hudPresentingRequest(),
                                        [weak](const std::optional<std::string>& caption) {
                                            if (auto self = weak.lock()) {
                                                self->present(caption);
                                            }
                                        });
    eventSubscriptionManager_.subscribe(events_.hudDismissingRequest(),
                                        [weak](const platform::reactive::Unit&) {
                                            if (auto self = weak.lock()) {
                                                self->dismiss();
                                            }
                                        });
}

void HudController::present(const std::optional<std::string>& caption) {
    QWidget* const window = mainWindow_();
    if (window == nullptr) {
        return;
    }
    if (presentingState_) {
        hide();
    }
    const platform::EdgeInsets insets{kInset, kInset, kInset, kInset};
    auto hud = LxWindowBasedHud::present(window, caption, insets, kCornerRadius);
    presentingState_ = std::make_shared<PresentingState>(std::move(hud), platform::dispatch::now());
}

// The dispatch clock is monotonic, so a change of the wall clock while the overlay is up can
// neither keep it up nor cut its minimum time short.
void HudController::dismiss() {
    if (!presentingState_) {
        return;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             platform::dispatch::now() - presentingState_->presentingTime)
                             .count();
    if (elapsed >= kMinimumMilliseconds) {
        hide();
        return;
    }
    const std::weak_ptr<HudController> weakSelf = weak_from_this();
    const std::weak_ptr<PresentingState> weakState = presentingState_;
    LxAsync::main(std::chrono::milliseconds(kMinimumMilliseconds - elapsed), [weakSelf, weakState] {
        auto self = weakSelf.lock();
        auto state = weakState.lock();
        if (self && state && self->presentingState_ == state) {
            self->hide();
        }
    });
}

void HudController::hide() {
    presentingState_->currentHudController.dismiss();
    presentingState_.reset();
}
