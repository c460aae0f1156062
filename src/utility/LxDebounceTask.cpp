#include "utility/LxDebounceTask.h"

#include <atomic>
#include <chrono>
#include <utility>

#include "platform/dispatch/Work.h"

namespace lx::internal {

// A block handed to a queue that may still be called off: once cancelled it does not run, while
// one that has started finishes.
struct PendingWork {
    explicit PendingWork(std::function<void()> body) : body(std::move(body)) {}

    void runUnlessCancelled() {
        if (!cancelled.load()) {
            body();
        }
    }

    const std::function<void()> body;
    std::atomic<bool> cancelled{false};
};

}  // namespace lx::internal

namespace {

using lx::internal::PendingWork;
using platform::dispatch::Duration;
using platform::dispatch::QueuePtr;
using platform::dispatch::TimePoint;
using platform::dispatch::Work;

Duration delayDuration(double seconds) {
    return platform::dispatch::internal::clampedDuration(std::chrono::duration<double>(seconds));
}

}  // namespace

std::shared_ptr<LxDebounceTask> LxDebounceTask::create(QueuePtr queue, double delay) {
    return std::shared_ptr<LxDebounceTask>(new LxDebounceTask(std::move(queue), delay));
}

LxDebounceTask::LxDebounceTask(QueuePtr queue, double delay)
    : queue_(std::move(queue)), delay_(delayDuration(delay)) {}

void LxDebounceTask::do_(std::function<void()> block) {
    cancel();
    work_ = std::make_shared<PendingWork>(std::move(block));
    queue_->asyncAfter(platform::dispatch::now() + delay_,
                       [work = work_] { work->runUnlessCancelled(); });
}

void LxDebounceTask::cancel() {
    if (work_) {
        work_->cancelled.store(true);
    }
}

std::shared_ptr<LxThrottleTask> LxThrottleTask::create(QueuePtr queue, double delay) {
    return std::shared_ptr<LxThrottleTask>(new LxThrottleTask(std::move(queue), delay));
}

LxThrottleTask::LxThrottleTask(QueuePtr queue, double delay)
    : queue_(std::move(queue)),
      delay_(delayDuration(delay)),
      lastFire_(platform::dispatch::now()) {}

void LxThrottleTask::do_(std::function<void()> block) {
    std::lock_guard lock(mutex_);
    if (work_) {
        work_->cancelled.store(true);
    }
    work_ = std::make_shared<PendingWork>(std::move(block));
    Work run = [work = work_, weak = weak_from_this()] {
        if (work->cancelled.load()) {
            return;
        }
        work->body();
        if (const auto self = weak.lock()) {
            self->finished(*work);
        }
    };
    const TimePoint current = platform::dispatch::now();
    if (current - delay_ > lastFire_) {
        queue_->async(std::move(run));
    } else {
        queue_->asyncAfter(current + delay_, std::move(run));
    }
}

void LxThrottleTask::finished(const PendingWork& work) {
    std::lock_guard lock(mutex_);
    lastFire_ = platform::dispatch::now();
    // A request made while this block ran has replaced it already; that one must stay
    // cancellable and be cancelled by the next request.
    if (work_.get() == &work) {
        work_.reset();
    }
}

void LxThrottleTask::cancel() {
    std::lock_guard lock(mutex_);
    if (work_) {
        work_->cancelled.store(true);
    }
}

TimePoint LxThrottleTask::lastFire() const {
    std::lock_guard lock(mutex_);
    return lastFire_;
}
