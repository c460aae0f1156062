#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace platform::reactive {

// The handle of one subscription: cancelling it ends the subscription, and nothing is delivered
// to it afterwards.
//
// Copies share one subscription (the handle is a reference). `cancel()` may be called any
// number of times from any thread; only the first call does something. The subscription is
// cancelled when the last copy is destroyed, so a handle that is not kept ends its
// subscription at once: discarding one is a compile-time warning.
//
// Example:
//   cancellable_ = subject.receiveOn(mainQueue()).sink([weak](const int& count) { ... });
class [[nodiscard]] AnyCancellable {
public:
    // Cancels nothing.
    AnyCancellable() = default;
    // Calls `cancel` once, on the first cancellation or when the last copy goes.
    explicit AnyCancellable(std::function<void()> cancel);

    void cancel();

private:
    class State;
    std::shared_ptr<State> state_;
};

namespace internal {

// The cancellables of one subscription's upstreams. Cancelling the bag cancels what it holds
// and whatever is added afterwards. Thread-safe; what it lets go of is released outside its
// lock, so a cancellation that reaches back into the bag cannot deadlock.
class CancellableBag {
public:
    // Keeps `cancellable` until the bag is cancelled.
    void add(AnyCancellable cancellable);

    // A slot for a cancellable that may only exist later: `fill` keeps it while the slot is
    // reserved, `remove` lets the slot (and its cancellable) go.
    std::uint64_t reserve();
    void fill(std::uint64_t slot, AnyCancellable cancellable);
    void remove(std::uint64_t slot);

    void cancel();
    bool isCancelled() const;

private:
    mutable std::mutex mutex_;
    std::map<std::uint64_t, AnyCancellable> slots_;
    std::uint64_t nextSlot_ = 0;
    bool cancelled_ = false;
};

}  // namespace internal
}  // namespace platform::reactive
