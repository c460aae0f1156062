#include "utility/LxAutomaticallyResetBoolean.h"

#include <chrono>

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/MainQueue.h"

std::shared_ptr<LxAutomaticallyResetBoolean> LxAutomaticallyResetBoolean::create(
    double intervalSeconds, const platform::dispatch::QueuePtr& dispatchQueue,
    std::function<void()> didReset) {
    return std::shared_ptr<LxAutomaticallyResetBoolean>(
        new LxAutomaticallyResetBoolean(intervalSeconds, dispatchQueue, std::move(didReset)));
}

LxAutomaticallyResetBoolean::LxAutomaticallyResetBoolean(
    double intervalSeconds, const platform::dispatch::QueuePtr& dispatchQueue,
    std::function<void()> didReset)
    : interval_(intervalSeconds),
      dispatchQueue_(dispatchQueue),
      stateDidReset_(std::move(didReset)) {}

void LxAutomaticallyResetBoolean::set() {
    if (value_.exchange(true)) {
        return;
    }
    platform::dispatch::QueuePtr queue = dispatchQueue_.lock();
    if (!queue) {
        queue = platform::dispatch::mainQueue();
    }
    queue->asyncAfter(platform::dispatch::deadlineAfter(std::chrono::duration<double>(interval_)),
                      [self = shared_from_this()] {
                          self->value_.store(false);
                          if (self->stateDidReset_) {
                              self->stateDidReset_();
                          }
                      });
}
