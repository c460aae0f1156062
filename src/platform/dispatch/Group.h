#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/dispatch/Queue.h"
#include "platform/foundation/CallSite.h"

namespace platform::dispatch {

// Counts pieces of work in flight and tells waiting listeners when the count falls to zero.
//
// Each `enter()` is matched by one `leave()` from any thread. A listener given to `notify` is
// queued on its queue when the count is zero: at once when it already is, otherwise when it next
// falls to zero; each listener is queued once. A `leave()` without an `enter()` is a programming
// error: it logs a fatal line and aborts.
//
// Example:
//   auto group = Group::create();
//   for (auto& task : tasks) { group->enter(); task.run([group] { group->leave(); }); }
//   group->notify(mainQueue(), [] { Log::info("all done"); });
class Group {
public:
    static std::shared_ptr<Group> create();

    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

    void enter();
    void leave(CallSite site = {});
    void notify(QueuePtr queue, Work listener);

private:
    Group() = default;

    std::mutex mutex_;
    std::int64_t count_ = 0;
    std::vector<std::pair<QueuePtr, Work>> listeners_;
};

}  // namespace platform::dispatch
