#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/dispatch/Queue.h"
#include "platform/reactive/AnyCancellable.h"
#include "reactive/LxRxEvent.h"
#include "utility/LxAtomic.h"

// Keeps the event subscriptions of one owner and ends them all at once.
//
// The list lives in an LxAtomic ("atomic_thread_safe"): `subscribe` and `unSubscribeAll` queue
// their change on its queue and return at once, and changes apply in the order they were made.
// A subscription exists only once its change has run, so a value sent in between is missed;
// a value sent between `unSubscribeAll()` and the run of its change still arrives. Destroying
// the manager ends every subscription it keeps. Closures should hold their owner weakly.
//
// Example:
//   subscriptions_.subscribe(events->hudPresentingRequest,
//                            [weak](const std::optional<std::string>& text) { ... });
class LxRxEventSubscriptionManager {
public:
    LxRxEventSubscriptionManager() = default;
    LxRxEventSubscriptionManager(const LxRxEventSubscriptionManager&) = delete;
    LxRxEventSubscriptionManager& operator=(const LxRxEventSubscriptionManager&) = delete;

    // Without a receive queue the closure runs on the thread that delivers the value.
    template <class T>
    void subscribe(std::shared_ptr<LxRxEvent<T>> to, platform::dispatch::QueuePtr receiveOn,
                   std::type_identity_t<std::function<void(const T&)>> closure) {
        cancellables_.asyncWrite(
            [event = std::move(to), queue = std::move(receiveOn),
             closure = std::move(closure)](std::vector<platform::reactive::AnyCancellable>& list) {
                list.push_back(event->subscribe(queue, closure));
            });
    }

    template <class T>
    void subscribe(std::shared_ptr<LxRxEvent<T>> to,
                   std::type_identity_t<std::function<void(const T&)>> closure) {
        subscribe(std::move(to), nullptr, std::move(closure));
    }

    // Cancels the kept subscriptions in the order they were made, then empties the list.
    void unSubscribeAll();

    // How many subscriptions are kept, once the changes this thread asked for have run.
    std::size_t subscriptionCount() const;

private:
    LxAtomic<std::vector<platform::reactive::AnyCancellable>> cancellables_{{}};
};
