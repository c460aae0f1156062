#include "platform/dispatch/RepeatingTimer.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/dispatch/internal/Scheduler.h"

namespace platform::dispatch {

// Shared between the handle, the clock and a queued fire: a fire that is queued or running
// keeps what it needs alive, while the clock holds it only weakly and stops re-arming once the
// handle is gone.
struct RepeatingTimer::State : std::enable_shared_from_this<State> {
    State(QueuePtr queue, Duration interval, std::function<void()> handler)
        : queue(std::move(queue)), interval(interval), handler(std::move(handler)) {}

    void tick(TimePoint deadline) {
        if (cancelled.load()) {
            return;
        }
        if (!firePending.exchange(true)) {
            queue->async([self = shared_from_this()] {
                self->firePending.store(false);
                if (!self->cancelled.load()) {
                    self->handler();
                }
            });
        }
        armAfter(deadline);
    }

    // The next tick is the first multiple of the interval after now: ticks missed while the
    // clock jumped or the process stalled are dropped, not caught up.
    void armAfter(TimePoint deadline) {
        const TimePoint current = now();
        TimePoint next = deadline + interval;
        if (next <= current) {
            next += ((current - next) / interval + 1) * interval;
        }
        internal::scheduleAt(next, [weak = weak_from_this(), next] {
            if (const auto state = weak.lock()) {
                state->tick(next);
            }
        });
    }

    const QueuePtr queue;
    const Duration interval;
    const std::function<void()> handler;
    std::atomic<bool> cancelled{false};
    std::atomic<bool> firePending{false};
};

RepeatingTimer::RepeatingTimer(QueuePtr queue, Duration interval, std::function<void()> handler)
    : state_(std::make_shared<State>(std::move(queue),
                                     std::max<Duration>(interval, std::chrono::milliseconds(1)),
                                     std::move(handler))) {
    state_->tick(now());
}

RepeatingTimer::~RepeatingTimer() {
    cancel();
}

void RepeatingTimer::cancel() {
    state_->cancelled.store(true);
}

}  // namespace platform::dispatch
