#include "platform/reactive/AnyCancellable.h"

#include <utility>

namespace platform::reactive {

class AnyCancellable::State {
public:
    explicit State(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    ~State() { run(); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Taken out under the lock and called outside it: the cancellation may release the last
    // handle of another subscription, whose cancellation must not wait for this one.
    void run() {
        std::function<void()> cancel;
        {
            const std::lock_guard lock(mutex_);
            cancel = std::exchange(cancel_, nullptr);
        }
        if (cancel) {
            cancel();
        }
    }

private:
    std::mutex mutex_;
    std::function<void()> cancel_;
};

AnyCancellable::AnyCancellable(std::function<void()> cancel)
    : state_(std::make_shared<State>(std::move(cancel))) {}

void AnyCancellable::cancel() {
    if (state_) {
        state_->run();
    }
}

namespace internal {

void CancellableBag::add(AnyCancellable cancellable) {
    fill(reserve(), std::move(cancellable));
}

std::uint64_t CancellableBag::reserve() {
    const std::lock_guard lock(mutex_);
    const std::uint64_t slot = nextSlot_++;
    if (!cancelled_) {
        slots_.emplace(slot, AnyCancellable());
    }
    return slot;
}

void CancellableBag::fill(std::uint64_t slot, AnyCancellable cancellable) {
    bool cancelNow = false;
    {
        const std::lock_guard lock(mutex_);
        if (cancelled_) {
            cancelNow = true;
        } else if (const auto found = slots_.find(slot); found != slots_.end()) {
            found->second = std::move(cancellable);
            return;
        }
    }
    // Otherwise the slot was removed before its subscription existed: that subscription has
    // already ended, and its handle goes with this call.
    if (cancelNow) {
        cancellable.cancel();
    }
}

void CancellableBag::remove(std::uint64_t slot) {
    AnyCancellable released;  // declared before the lock, so let go after it
    const std::lock_guard lock(mutex_);
    if (const auto found = slots_.find(slot); found != slots_.end()) {
        released = std::move(found->second);
        slots_.erase(found);
    }
}

void CancellableBag::cancel() {
    std::map<std::uint64_t, AnyCancellable> cancelled;
    {
        const std::lock_guard lock(mutex_);
        cancelled_ = true;
        cancelled.swap(slots_);
    }
    for (auto& [slot, cancellable] : cancelled) {
        cancellable.cancel();
    }
}

bool CancellableBag::isCancelled() const {
    const std::lock_guard lock(mutex_);
    return cancelled_;
}

}  // namespace internal
}  // namespace platform::reactive
