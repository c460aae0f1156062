#include "reactive/LxRxNotificationSubscriptionsManager.h"

void LxRxNotificationSubscriptionsManager::unSubscribeAll() {
    sinks_.asyncWrite([](List& list) {
        for (const auto& sink : list) {
            sink->cancel();
        }
        list.clear();
    });
}

std::size_t LxRxNotificationSubscriptionsManager::subscriptionCount() const {
    std::size_t count = 0;
    sinks_.read([&count](const List& list) { count = list.size(); });
    return count;
}
