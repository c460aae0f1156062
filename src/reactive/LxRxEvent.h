#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Queue.h"
#include "platform/reactive/AnyCancellable.h"
#include "platform/reactive/PassthroughSubject.h"
#include "reactive/internal/QueuedChange.h"

class LxRxEventSubscriptionManager;

// A typed event: every value sent reaches the subscribers present when it is delivered.
//
// `send` without a queue delivers at once on the calling thread, to every subscriber without
// a receive queue before it returns; with a queue it delivers in one job there, holding the
// event weakly (a value still queued when the last holder lets go of the event reaches no
// one). `sendOnMain` always delivers in a later turn of the main queue, also when called on
// the main thread. The event never completes. Subscriptions do not keep the event alive.
//
// Owners subscribe through LxRxEventSubscriptionManager; views may subscribe to `subject()`.
// Use `Unit` (platform/reactive/Completion.h) as the payload of an event that carries nothing.
//
// Example:
//   const auto hudDismissingRequest = LxRxEvent<platform::reactive::Unit>::create();
//   hudDismissingRequest->sendOnMain({});
template <class T>
class LxRxEvent : public std::enable_shared_from_this<LxRxEvent<T>> {
public:
    static std::shared_ptr<LxRxEvent> create() {
        return std::shared_ptr<LxRxEvent>(new LxRxEvent());
    }

    LxRxEvent(const LxRxEvent&) = delete;
    LxRxEvent& operator=(const LxRxEvent&) = delete;

    const platform::reactive::PassthroughSubject<T>& subject() const { return subject_; }

    void send(T value, const platform::dispatch::QueuePtr& queue = nullptr) {
        lx::internal::applyOn(*this, queue, std::move(value),
                              [](LxRxEvent& event, const T& sent) { event.subject_.send(sent); });
    }

    void sendOnMain(T value) { send(std::move(value), platform::dispatch::mainQueue()); }

private:
    friend class LxRxEventSubscriptionManager;

    LxRxEvent() = default;

    // The closure receives every value from now on: on the delivering thread without a receive
    // queue, otherwise re-delivered on `receiveOn`.
    platform::reactive::AnyCancellable subscribe(const platform::dispatch::QueuePtr& receiveOn,
                                                 std::function<void(const T&)> closure) const {
        const auto values =
            receiveOn ? subject_.receiveOn(receiveOn) : subject_.eraseToAnyPublisher();
        return values.sink(std::move(closure));
    }

    platform::reactive::PassthroughSubject<T> subject_;
};
