#include "platform/dispatch/Group.h"

#include "platform/dispatch/internal/Execution.h"

namespace platform::dispatch {

std::shared_ptr<Group> Group::create() {
    return std::shared_ptr<Group>(new Group);
}

void Group::enter() {
    std::lock_guard lock(mutex_);
    ++count_;
}

void Group::leave(CallSite site) {
    std::vector<std::pair<QueuePtr, Work>> ready;
    {
        std::lock_guard lock(mutex_);
        if (count_ == 0) {
            internal::failFatally("Dispatch group left more often than entered", site);
        }
        if (--count_ == 0) {
            ready.swap(listeners_);
        }
    }
    for (auto& [queue, listener] : ready) {
        queue->async(std::move(listener));
    }
}

void Group::notify(QueuePtr queue, Work listener) {
    {
        std::lock_guard lock(mutex_);
        if (count_ > 0) {
            listeners_.emplace_back(std::move(queue), std::move(listener));
            return;
        }
    }
    queue->async(std::move(listener));
}

}  // namespace platform::dispatch
