#pragma once

#include <memory>
#include <mutex>
#include <utility>

#include "platform/reactive/Completion.h"

namespace platform::reactive::internal {

// Stands between a publisher and one subscriber and keeps the stream's promises: nothing after
// the completion, at most one completion, nothing once cancelled. The subscriber's functions
// are let go at the completion or the cancellation, so what they capture is released then.
//
// A delivery in progress keeps its own reference to the functions: a subscriber that cancels
// itself from inside its own call finishes that call safely.
template <class T, class E>
class Relay : public std::enable_shared_from_this<Relay<T, E>> {
public:
    explicit Relay(Subscriber<T, E> downstream)
        : downstream_(std::make_shared<const Subscriber<T, E>>(std::move(downstream))) {}

    // What the publisher delivers to. Both functions are always set.
    Subscriber<T, E> forwarder() {
        return Subscriber<T, E>{
            [self = this->shared_from_this()](const T& value) { self->receive(value); },
            [self = this->shared_from_this()](const Completion<E>& completion) {
                self->complete(completion);
            }};
    }

    void receive(const T& value) {
        const auto target = current();
        if (target && target->receiveValue) {
            target->receiveValue(value);
        }
    }

    void complete(const Completion<E>& completion) {
        const auto target = take();
        if (target && target->receiveCompletion) {
            target->receiveCompletion(completion);
        }
    }

    // Lets go of the subscriber outside the lock: its captures may cancel other subscriptions.
    void cancel() { static_cast<void>(take()); }

private:
    std::shared_ptr<const Subscriber<T, E>> current() const {
        const std::lock_guard lock(mutex_);
        return downstream_;
    }

    std::shared_ptr<const Subscriber<T, E>> take() {
        const std::lock_guard lock(mutex_);
        return std::exchange(downstream_, nullptr);
    }

    mutable std::mutex mutex_;
    std::shared_ptr<const Subscriber<T, E>> downstream_;
};

}  // namespace platform::reactive::internal
