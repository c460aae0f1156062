#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// The process's notification centre: anyone may post a named notification with an optional
// object, and every observer of that name receives it.
//
// Thread-safe. A post is delivered synchronously on the posting thread, before `post`
// returns, to the observers present when it began, in the order they were added; an observer
// removed meanwhile (by another observer, another thread or itself) receives nothing more, and
// one added meanwhile receives the next post. Observers may post, add and remove from inside a
// delivery.
//
// Example:
//   const auto token = platform::NotificationCenter::defaultCenter().addObserver(
//       "ProjectSaved", [](const std::any& object) { ... });
//   platform::NotificationCenter::defaultCenter().post("ProjectSaved", std::string("plan.orb"));
//   platform::NotificationCenter::defaultCenter().removeObserver(token);
class NotificationCenter {
public:
    using Observer = std::function<void(const std::any& object)>;
    using Token = std::uint64_t;

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    Token addObserver(const std::string& name, Observer observer);
    // Does nothing for a token removed before.
    void removeObserver(Token token);

    // An empty `object` stands for a notification without one.
    void post(const std::string& name, const std::any& object = {}) const;

private:
    struct Registration;

    mutable std::mutex mutex_;
    std::map<std::string, std::vector<std::shared_ptr<Registration>>> observers_;
    std::map<Token, std::string> names_;
    Token nextToken_ = 0;
};

}  // namespace platform
