#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace platform {

struct NotificationCenter::Registration {
    Token token;
    Observer observer;
    // Checked at each delivery, so that a removal reaches deliveries already under way.
    std::atomic<bool> removed{false};
};

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const std::string& name,
                                                          Observer observer) {
    const std::lock_guard lock(mutex_);
    const Token token = nextToken_++;
    auto registration = std::make_shared<Registration>();
    registration->token = token;
    registration->observer = std::move(observer);
    observers_[name].push_back(std::move(registration));
    names_.emplace(token, name);
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::shared_ptr<Registration> removed;  // released outside the lock
    {
        const std::lock_guard lock(mutex_);
        const auto name = names_.find(token);
        if (name == names_.end()) {
            return;
        }
        auto& list = observers_[name->second];
        const auto found = std::find_if(
            list.begin(), list.end(), [token](const auto& entry) { return entry->token == token; });
        if (found != list.end()) {
            removed = *found;
            removed->removed.store(true);
            list.erase(found);
        }
        if (list.empty()) {
            observers_.erase(name->second);
        }
        names_.erase(name);
    }
}

void NotificationCenter::post(const std::string& name, const std::any& object) const {
    std::vector<std::shared_ptr<Registration>> snapshot;
    {
        const std::lock_guard lock(mutex_);
        if (const auto found = observers_.find(name); found != observers_.end()) {
            snapshot = found->second;
        }
    }
    for (const auto& registration : snapshot) {
        if (!registration->removed.load()) {
            registration->observer(object);
        }
    }
}

}  // namespace platform
