#pragma once

#include <functional>
#include <memory>

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/Queue.h"

namespace platform::dispatch {

// Calls a handler on a queue at once and then every interval, until cancelled or destroyed.
//
// Fires that fall due while the previous fire is still waiting in the queue are dropped, so a
// slow handler or a busy queue never piles up work. After `cancel()` (or destruction) the
// handler is not called again, not even by a fire already queued; a call that is running
// finishes. The timer keeps the queue alive while it runs.
//
// Example:
//   RepeatingTimer timer(serialQueue, 500ms, [] { refresh(); });
class RepeatingTimer {
public:
    // An interval below one millisecond counts as one millisecond.
    RepeatingTimer(QueuePtr queue, Duration interval, std::function<void()> handler);
    ~RepeatingTimer();
    RepeatingTimer(const RepeatingTimer&) = delete;
    RepeatingTimer& operator=(const RepeatingTimer&) = delete;

    void cancel();

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace platform::dispatch
