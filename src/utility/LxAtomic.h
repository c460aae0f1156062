#pragma once

#include <concepts>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/SerialQueue.h"

// Values guarded by a queue of their own.
//
// `LxAtomic` (serial queue "atomic_thread_safe") reads and writes synchronously and writes
// asynchronously; `LxConcurrentAtomic` (concurrent queue "concurrent_atomic_thread_safe") lets
// reads run side by side and makes `write` exclusive; `LxThreadSafe` (serial queue "ThreadSafe")
// changes its value and answers a result in one step. Every instance owns its own queue, also
// when labels are equal. Reads hand out copies. Closures run while the value is guarded and
// must not enter the same object again (that aborts naming the label). Whatever a synchronous
// closure throws reaches the caller, and the value is free again.
//
// A value of a move-only type works as long as nothing asks for a copy (`wrappedValue`, `read`).
//
// Example:
//   LxAtomic<std::vector<int>> ids({});
//   ids.asyncWrite([](std::vector<int>& list) { list.push_back(7); });
//   const auto copy = ids.wrappedValue();   // sees the 7: same thread, same serial queue
template <class T>
class LxAtomic {
public:
    explicit LxAtomic(T value) : state_(std::make_shared<State>(std::move(value))) {}
    LxAtomic(const LxAtomic&) = delete;
    LxAtomic& operator=(const LxAtomic&) = delete;

    T wrappedValue() const {
        return state_->queue->sync([this] { return state_->value; });
    }

    // Calls `reader` with a copy of the value, while the value is guarded.
    template <class F>
    requires std::invocable<F&, T&>
    void read(F&& reader) const {
        state_->queue->sync([this, &reader] {
            T copy = state_->value;
            std::invoke(reader, copy);
        });
    }

    template <class F>
    requires std::invocable<F&, T&>
    void syncWrite(F&& writer) {
        state_->queue->sync([this, &writer] { std::invoke(writer, state_->value); });
    }

    // Queues `writer` and returns at once. Writes from one thread apply in the order they were
    // made, before any later synchronous access from that thread. A write still queued when the
    // atomic is destroyed does nothing.
    template <class F>
    requires std::invocable < std::decay_t<F>
    &, T& > void asyncWrite(F&& writer) {
        state_->queue->async(
            [weak = std::weak_ptr<State>(state_), writer = std::forward<F>(writer)]() mutable {
                if (const auto state = weak.lock()) {
                    std::invoke(writer, state->value);
                }
            },
            platform::dispatch::WorkFlags::barrier);
    }

private:
    // Apart from the handle, so that queued writes can hold it weakly.
    struct State {
        explicit State(T initial) : value(std::move(initial)) {}
        const std::shared_ptr<platform::dispatch::SerialQueue> queue =
            platform::dispatch::SerialQueue::create("atomic_thread_safe");
        T value;
    };

    std::shared_ptr<State> state_;
};

template <class T>
class LxConcurrentAtomic {
public:
    explicit LxConcurrentAtomic(T value) : value_(std::move(value)) {}
    LxConcurrentAtomic(const LxConcurrentAtomic&) = delete;
    LxConcurrentAtomic& operator=(const LxConcurrentAtomic&) = delete;

    T wrappedValue() const {
        return queue_->sync([this] { return value_; });
    }

    // Calls `reader` with a copy of the value; other reads may run at the same time.
    template <class F>
    requires std::invocable<F&, T&>
    void read(F&& reader) const {
        queue_->sync([this, &reader] {
            T copy = value_;
            std::invoke(reader, copy);
        });
    }

    // Waits for the reads in progress, then changes the value alone.
    template <class F>
    requires std::invocable<F&, T&>
    void write(F&& writer) {
        queue_->sync([this, &writer] { std::invoke(writer, value_); },
                     platform::dispatch::WorkFlags::barrier);
    }

private:
    const std::shared_ptr<platform::dispatch::ConcurrentQueue> queue_ =
        platform::dispatch::ConcurrentQueue::create("concurrent_atomic_thread_safe");
    T value_;
};

template <class T>
class LxThreadSafe {
public:
    explicit LxThreadSafe(T value) : value_(std::move(value)) {}
    LxThreadSafe(const LxThreadSafe&) = delete;
    LxThreadSafe& operator=(const LxThreadSafe&) = delete;

    T wrappedValue() const {
        return queue_->sync([this] { return value_; });
    }

    // Lets `change` change the value in place and answers its result (by value).
    template <class F>
    requires std::invocable<F&, T&> std::remove_cvref_t<std::invoke_result_t<F&, T&>> atomically(
        F&& change) {
        return queue_->sync(
            [this, &change]() -> decltype(auto) { return std::invoke(change, value_); });
    }

private:
    T value_;
    const std::shared_ptr<platform::dispatch::SerialQueue> queue_ =
        platform::dispatch::SerialQueue::create("ThreadSafe");
};
