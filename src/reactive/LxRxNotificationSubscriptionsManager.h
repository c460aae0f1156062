#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "reactive/LxRxNotification.h"
#include "utility/LxAtomic.h"

// Keeps the notification subscriptions of one owner and ends them all at once.
//
// The list lives in an LxAtomic ("atomic_thread_safe"): `subscribe` and `unSubscribeAll` queue
// their change on its queue and return at once, and changes apply in the order they were made.
// A subscription exists only once its change has run, so a notification posted in between is
// missed. Destroying the manager ends every subscription it keeps.
//
// Example:
//   subscriptions_.subscribe(LxRxNotification<int>("ProjectCount"), true,
//                            [weak](const int& count) { ... });
class LxRxNotificationSubscriptionsManager {
public:
    LxRxNotificationSubscriptionsManager() = default;
    LxRxNotificationSubscriptionsManager(const LxRxNotificationSubscriptionsManager&) = delete;
    LxRxNotificationSubscriptionsManager& operator=(const LxRxNotificationSubscriptionsManager&) =
        delete;

    template <class T>
    void subscribe(LxRxNotification<T> to, bool dispatchToMain,
                   std::type_identity_t<std::function<void(const T&)>> closure) {
        sinks_.asyncWrite([notification = std::move(to), dispatchToMain,
                           closure = std::move(closure)](List& list) {
            list.push_back(notification.sink(dispatchToMain, closure));
        });
    }

    template <class T>
    void subscribe(LxRxNotification<T> to,
                   std::type_identity_t<std::function<void(const T&)>> closure) {
        subscribe(std::move(to), false, std::move(closure));
    }

    // Cancels the kept sinks in the order they were made, then empties the list.
    void unSubscribeAll();

    // How many sinks are kept, once the changes this thread asked for have run.
    std::size_t subscriptionCount() const;

private:
    using List = std::vector<std::shared_ptr<LxRxNotificationCancellable>>;

    LxAtomic<List> sinks_{{}};
};
