#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <utility>
#include <variant>

#include "platform/dispatch/Queue.h"
#include "platform/reactive/Completion.h"

namespace platform::reactive::internal {

// Re-delivers a stream on a queue: each value and the completion in a job of its own, in the
// order they came. Only one job is queued at a time, so the order holds on a concurrent queue
// too and the subscriber is never called twice at once.
template <class T, class E>
class Mailbox : public std::enable_shared_from_this<Mailbox<T, E>> {
public:
    // Requires: both functions of `downstream` are set (it is a relay's forwarder).
    Mailbox(dispatch::QueuePtr queue, Subscriber<T, E> downstream)
        : queue_(std::move(queue)), downstream_(std::move(downstream)) {}

    void postValue(const T& value) { post(Item(std::in_place_index<0>, value)); }
    void postCompletion(const Completion<E>& completion) {
        post(Item(std::in_place_index<1>, completion));
    }

private:
    using Item = std::variant<T, Completion<E>>;

    void post(Item item) {
        {
            const std::lock_guard lock(mutex_);
            items_.push_back(std::move(item));
            if (scheduled_) {
                return;
            }
            scheduled_ = true;
        }
        schedule();
    }

    void schedule() {
        queue_->async([self = this->shared_from_this()] { self->deliverOne(); });
    }

    void deliverOne() {
        Item item = take();
        if (item.index() == 0) {
            downstream_.receiveValue(std::get<0>(item));
        } else {
            downstream_.receiveCompletion(std::get<1>(item));
        }
        {
            const std::lock_guard lock(mutex_);
            if (items_.empty()) {
                scheduled_ = false;
                return;
            }
        }
        schedule();
    }

    Item take() {
        const std::lock_guard lock(mutex_);
        Item item = std::move(items_.front());
        items_.pop_front();
        return item;
    }

    const dispatch::QueuePtr queue_;
    const Subscriber<T, E> downstream_;
    std::mutex mutex_;
    std::deque<Item> items_;
    bool scheduled_ = false;
};

}  // namespace platform::reactive::internal
