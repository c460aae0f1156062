#include "reactive/LxRxEventSubscriptionManager.h"

void LxRxEventSubscriptionManager::unSubscribeAll() {
    cancellables_.asyncWrite([](std::vector<platform::reactive::AnyCancellable>& list) {
        for (auto& cancellable : list) {
            cancellable.cancel();
        }
        list.clear();
    });
}

std::size_t LxRxEventSubscriptionManager::subscriptionCount() const {
    std::size_t count = 0;
    cancellables_.read([&count](const std::vector<platform::reactive::AnyCancellable>& list) {
        count = list.size();
    });
    return count;
}
