#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "platform/dispatch/Queue.h"

// A flag that falls back to false by itself a fixed interval after it was set.
//
// `set()` makes it true and schedules the reset on its queue (held weakly; the main queue when
// none was given or the given one is gone); the reset makes it false and then calls the
// callback there. `set()` while true does nothing: the pending reset is neither moved nor
// repeated. The pending reset keeps the flag alive, so it happens even when every other holder
// has let go. Use `value()` and `set()` on the reset's queue.
//
// Example:
//   auto recentlySaved = LxAutomaticallyResetBoolean::create(2.0);
//   recentlySaved->set();
class LxAutomaticallyResetBoolean
    : public std::enable_shared_from_this<LxAutomaticallyResetBoolean> {
public:
    static std::shared_ptr<LxAutomaticallyResetBoolean> create(
        double intervalSeconds, const platform::dispatch::QueuePtr& dispatchQueue = nullptr,
        std::function<void()> didReset = {});

    LxAutomaticallyResetBoolean(const LxAutomaticallyResetBoolean&) = delete;
    LxAutomaticallyResetBoolean& operator=(const LxAutomaticallyResetBoolean&) = delete;

    bool value() const { return value_.load(); }
    void set();

private:
    LxAutomaticallyResetBoolean(double intervalSeconds,
                                const platform::dispatch::QueuePtr& dispatchQueue,
                                std::function<void()> didReset);

    // Atomic although the queue rule says one thread: `value()` is cheap to read from anywhere.
    std::atomic<bool> value_ = false;
    const double interval_;
    const std::weak_ptr<platform::dispatch::Queue> dispatchQueue_;
    const std::function<void()> stateDidReset_;
};
