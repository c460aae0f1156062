#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/reactive/AnyCancellable.h"
#include "reactive/LxRxNotification.h"
#include "reactive/internal/SubscriptionList.h"

// Keeps the notification subscriptions (sinks) of one owner and ends them all at once.
//
// `subscribe` and `unSubscribeAll` queue their change and return at once; changes apply in the
// order they were made (lx::internal::SubscriptionList). A notification posted before a
// subscription's change has run is missed. Destroying the manager ends every sink it keeps.
//
// Example:
//   subscriptions_.subscribe(LxRxNotification<int>("ProjectCount"), true,
//                            [weak](const int& count) { ... });
class LxRxNotificationSubscriptionsManager : public lx::internal::SubscriptionList {
public:
    LxRxNotificationSubscriptionsManager() = default;

    template <class T>
    void subscribe(LxRxNotification<T> to, bool dispatchToMain,
                   std::type_identity_t<std::function<void(const T&)>> closure) {
        keep([notification = std::move(to), dispatchToMain, closure = std::move(closure)] {
            std::shared_ptr<LxRxNotificationCancellable> sink =
                notification.sink(dispatchToMain, closure);
            return platform::reactive::AnyCancellable([sink] { sink->cancel(); });
        });
    }

    template <class T>
    void subscribe(LxRxNotification<T> to,
                   std::type_identity_t<std::function<void(const T&)>> closure) {
        subscribe(std::move(to), false, std::move(closure));
    }
};
