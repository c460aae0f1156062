#include "platform/qt/ViewBindings.h"

#include <utility>

namespace platform::qt::internal {

namespace {

// A child of the owner, so that it goes with it. Destroying it cancels the subscription.
class SubscriptionKeeper final : public QObject {
public:
    SubscriptionKeeper(QObject* owner, platform::reactive::AnyCancellable cancellable)
        : QObject(owner), cancellable_(std::move(cancellable)) {}

    ~SubscriptionKeeper() override { cancellable_.cancel(); }

private:
    platform::reactive::AnyCancellable cancellable_;
};

}  // namespace

void keepUntilDestroyed(QObject* owner, platform::reactive::AnyCancellable cancellable) {
    new SubscriptionKeeper(owner, std::move(cancellable));
}

}  // namespace platform::qt::internal
