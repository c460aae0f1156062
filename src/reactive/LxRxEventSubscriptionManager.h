#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/dispatch/Queue.h"
#include "reactive/LxRxEvent.h"
#include "reactive/internal/SubscriptionList.h"

// Keeps the event subscriptions of one owner and ends them all at once.
//
// `subscribe` and `unSubscribeAll` queue their change and return at once; changes apply in the
// order they were made (lx::internal::SubscriptionList). A value sent before a subscription's
// change has run is missed; a value sent between `unSubscribeAll()` and the run of its change
// still arrives. Destroying the manager ends every subscription it keeps. Closures should hold
// their owner weakly.
//
// Example:
//   subscriptions_.subscribe(events->hudPresentingRequest,
//                            [weak](const std::optional<std::string>& text) { ... });
class LxRxEventSubscriptionManager : public lx::internal::SubscriptionList {
public:
    LxRxEventSubscriptionManager() = default;

    // Without a receive queue the closure runs on the thread that delivers the value.
    template <class T>
    void subscribe(std::shared_ptr<LxRxEvent<T>> to, platform::dispatch::QueuePtr receiveOn,
                   std::type_identity_t<std::function<void(const T&)>> closure) {
        keep([event = std::move(to), queue = std::move(receiveOn), closure = std::move(closure)] {
            return event->subscribe(queue, closure);
        });
    }

    template <class T>
    void subscribe(std::shared_ptr<LxRxEvent<T>> to,
                   std::type_identity_t<std::function<void(const T&)>> closure) {
        subscribe(std::move(to), nullptr, std::move(closure));
    }
};
