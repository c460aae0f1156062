#include "reactive/internal/SubscriptionList.h"

#include <utility>

namespace lx::internal {

void SubscriptionList::keep(std::function<platform::reactive::AnyCancellable()> subscribe) {
    cancellables_.asyncWrite(
        [subscribe = std::move(subscribe)](std::vector<platform::reactive::AnyCancellable>& list) {
            list.push_back(subscribe());
        });
}

void SubscriptionList::unSubscribeAll() {
    cancellables_.asyncWrite([](std::vector<platform::reactive::AnyCancellable>& list) {
        for (auto& cancellable : list) {
            cancellable.cancel();
        }
        list.clear();
    });
}

std::size_t SubscriptionList::subscriptionCount() const {
    std::size_t count = 0;
    cancellables_.read([&count](const std::vector<platform::reactive::AnyCancellable>& list) {
        count = list.size();
    });
    return count;
}

}  // namespace lx::internal
