#include "platform/dispatch/Clock.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/dispatch/internal/Execution.h"
#include "platform/dispatch/internal/Scheduler.h"

namespace platform::dispatch {
namespace {

// Delayed work waits here until its deadline, then its release hands it to its queue. One
// thread serves the real clock; with a manual clock, `advance` releases on the caller's thread.
class Scheduler {
public:
    TimePoint now() {
        std::lock_guard lock(mutex_);
        return currentTime();
    }

    void schedule(TimePoint deadline, Work release) {
        std::lock_guard lock(mutex_);
        pending_.push_back({deadline, nextOrder_++, std::move(release)});
        std::ranges::push_heap(pending_, Later{});
        if (!threadStarted_) {
            threadStarted_ = true;
            std::thread([this] { serve(); }).detach();
        }
        changed_.notify_one();
    }

    bool hasDue() {
        std::lock_guard lock(mutex_);
        return !pending_.empty() && pending_.front().deadline <= currentTime();
    }

    void discardAll() {
        std::vector<Delayed> dropped;
        {
            std::lock_guard lock(mutex_);
            dropped.swap(pending_);
        }
        // What the work captured is destroyed here, outside the lock.
    }

    void installManualTime() {
        std::lock_guard lock(mutex_);
        if (manualTime_) {
            internal::failFatally("A manual dispatch clock is already installed");
        }
        manualTime_ = std::chrono::steady_clock::now();
        changed_.notify_one();
    }

    void removeManualTime() {
        std::lock_guard lock(mutex_);
        manualTime_.reset();
        changed_.notify_one();
    }

    void advanceManualTime(Duration interval) {
        std::unique_lock lock(mutex_);
        *manualTime_ += interval;
        releaseDue(lock);
    }

private:
    struct Delayed {
        TimePoint deadline;
        std::uint64_t order;
        Work release;
    };

    // Orders the heap so that its front is the earliest deadline, first submitted.
    struct Later {
        bool operator()(const Delayed& a, const Delayed& b) const {
            return std::tie(a.deadline, a.order) > std::tie(b.deadline, b.order);
        }
    };

    // With `mutex_` held.
    TimePoint currentTime() const {
        return manualTime_ ? *manualTime_ : std::chrono::steady_clock::now();
    }

    // Takes every due item off the heap in order, then releases them without the lock, so that
    // a release may schedule again (a repeating timer does).
    void releaseDue(std::unique_lock<std::mutex>& lock) {
        std::vector<Work> due;
        const TimePoint current = currentTime();
        while (!pending_.empty() && pending_.front().deadline <= current) {
            std::ranges::pop_heap(pending_, Later{});
            due.push_back(std::move(pending_.back().release));
            pending_.pop_back();
            // Counted until released, so quiescence never sees a gap between clock and queue.
            internal::workQueued();
        }
        lock.unlock();
        for (Work& release : due) {
            release();
            release = Work();
            internal::workDone();
        }
        lock.lock();
    }

    void serve() {
        std::unique_lock lock(mutex_);
        while (true) {
            if (pending_.empty() || manualTime_) {
                changed_.wait(lock);
                continue;
            }
            const TimePoint deadline = pending_.front().deadline;
            if (std::chrono::steady_clock::now() < deadline) {
                // Woken early, spuriously or by an earlier deadline: the loop looks again.
                changed_.wait_until(lock, deadline);
                continue;
            }
            releaseDue(lock);
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Delayed> pending_;
    std::uint64_t nextOrder_ = 0;
    std::optional<TimePoint> manualTime_;
    bool threadStarted_ = false;
};

// Never destroyed: its detached thread may still wait on it while the process exits.
Scheduler& scheduler() {
    static Scheduler& instance = *new Scheduler;
    return instance;
}

}  // namespace

TimePoint now() {
    return scheduler().now();
}

ManualClock::ManualClock() {
    scheduler().installManualTime();
}

ManualClock::~ManualClock() {
    scheduler().removeManualTime();
}

void ManualClock::advance(Duration interval) {
    scheduler().advanceManualTime(interval);
}

TimePoint ManualClock::now() const {
    return scheduler().now();
}

namespace internal {

void scheduleAt(TimePoint deadline, Work release) {
    scheduler().schedule(deadline, std::move(release));
}

bool hasDueWork() {
    return scheduler().hasDue();
}

void discardDelayed() {
    scheduler().discardAll();
}

}  // namespace internal

}  // namespace platform::dispatch
