#pragma once

#include <concepts>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/CallSite.h"

// A lock made of a private serial queue: `sync` runs a body while no other body of this locker
// runs, and answers its result.
//
// Bodies run on the calling thread, one at a time, in the order the callers arrived; whatever a
// body throws reaches its caller and the lock is free again. Not re-entrant: a body must never
// enter the same locker again, directly or through what it calls; doing so logs a fatal line
// naming the label and aborts. Keep bodies free of calls into other locked objects too (two
// lockers taken in opposite orders deadlock, and that cannot be detected).
//
// Example:
//   LxGCDLocker lock("project.team");
//   const auto count = lock.sync([&] { return members.size(); });
class LxGCDLocker {
public:
    explicit LxGCDLocker(std::string label,
                         platform::dispatch::QoS qos = platform::dispatch::QoS::unspecified)
        : queue_(platform::dispatch::SerialQueue::create(std::move(label), qos)) {}

    LxGCDLocker(const LxGCDLocker&) = delete;
    LxGCDLocker& operator=(const LxGCDLocker&) = delete;

    // `site` names the caller in the fatal line of a re-entrant call.
    template <std::invocable F>
    std::remove_cvref_t<std::invoke_result_t<F>> sync(F&& body,
                                                      platform::CallSite site = {}) const {
        return queue_->sync(std::forward<F>(body), site);
    }

private:
    const std::shared_ptr<platform::dispatch::SerialQueue> queue_;
};
