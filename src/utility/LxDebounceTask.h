#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/Queue.h"

namespace lx::internal {
struct PendingWork;
}

// Runs only the last of a burst of requests, once `delay` seconds have passed without another.
//
// Each `do_` cancels the request still waiting and schedules its own block on `queue` at now +
// `delay` (the dispatch clock). `do_` and `cancel` are called from one thread at a time (or
// from `queue`); a block that has started always finishes.
//
// Example:
//   auto search = LxDebounceTask::create(mainQueue(), 0.3);
//   search->do_([text] { runSearch(text); });   // on every key press; runs after typing stops
class LxDebounceTask {
public:
    static std::shared_ptr<LxDebounceTask> create(platform::dispatch::QueuePtr queue, double delay);

    LxDebounceTask(const LxDebounceTask&) = delete;
    LxDebounceTask& operator=(const LxDebounceTask&) = delete;

    void do_(std::function<void()> block);
    // The waiting block, if any, never runs.
    void cancel();

private:
    LxDebounceTask(platform::dispatch::QueuePtr queue, double delay);

    std::shared_ptr<lx::internal::PendingWork> work_;
    const platform::dispatch::QueuePtr queue_;
    const platform::dispatch::Duration delay_;
};

// Runs a request at once when more than `delay` seconds have passed since the last run (or since
// creation); otherwise runs it `delay` seconds after the request, unless a later request replaces
// it first.
//
// Times are read on the dispatch clock, which is monotonic: setting the wall clock back or forth
// changes nothing. `do_` and `cancel` may be called from any thread; the blocks run on `queue`.
//
// Example:
//   auto save = LxThrottleTask::create(globalQueue(QoS::utility), 2.0);
//   save->do_([document] { document->write(); });   // at most about once every two seconds
class LxThrottleTask : public std::enable_shared_from_this<LxThrottleTask> {
public:
    static std::shared_ptr<LxThrottleTask> create(platform::dispatch::QueuePtr queue, double delay);

    LxThrottleTask(const LxThrottleTask&) = delete;
    LxThrottleTask& operator=(const LxThrottleTask&) = delete;

    void do_(std::function<void()> block);
    // The waiting block, if any, never runs.
    void cancel();

    // When the last block finished running; the creation time before the first.
    platform::dispatch::TimePoint lastFire() const;

private:
    LxThrottleTask(platform::dispatch::QueuePtr queue, double delay);

    void finished(const lx::internal::PendingWork& work);

    const platform::dispatch::QueuePtr queue_;
    const platform::dispatch::Duration delay_;
    // The blocks write `lastFire_` and `work_` on the queue while `do_` reads and replaces them on
    // the caller's thread.
    mutable std::mutex mutex_;
    std::shared_ptr<lx::internal::PendingWork> work_;
    platform::dispatch::TimePoint lastFire_;
};
