#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "platform/reactive/AnyCancellable.h"
#include "utility/LxAtomic.h"

namespace lx::internal {

// The subscriptions one owner keeps, ended all at once; the common part of the subscription
// managers of events and of notifications.
//
// The list lives in an LxAtomic ("atomic_thread_safe"): `keep` and `unSubscribeAll` queue their
// change on its queue and return at once, and changes apply in the order they were made. A
// subscription is made, and exists, only once its change has run. Destroying the list ends
// every subscription it keeps.
class SubscriptionList {
public:
    SubscriptionList(const SubscriptionList&) = delete;
    SubscriptionList& operator=(const SubscriptionList&) = delete;

    // Cancels the kept subscriptions in the order they were made, then empties the list.
    void unSubscribeAll();

    // How many subscriptions are kept, once the changes this thread asked for have run.
    std::size_t subscriptionCount() const;

protected:
    SubscriptionList() = default;
    ~SubscriptionList() = default;

    // Queues the call of `subscribe` on the list's queue and keeps what it answers.
    void keep(std::function<platform::reactive::AnyCancellable()> subscribe);

private:
    LxAtomic<std::vector<platform::reactive::AnyCancellable>> cancellables_{{}};
};

}  // namespace lx::internal
