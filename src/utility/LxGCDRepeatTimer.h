#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/dispatch/RepeatingTimer.h"
#include "platform/dispatch/SerialQueue.h"

// Calls a handler on the timer's own serial queue at once and then every n milliseconds, one
// call at a time, until stopped or destroyed.
//
// `start`, `stop` and destruction are called from one thread at a time, the handler included: a
// handler may stop or destroy its own timer (not before `start` has returned: the first call
// may run on the timer's queue while `start` is still running); the call that is running
// finishes, and no further call starts.
//
// Example:
//   LxGCDRepeatTimer poll("poll.status");
//   poll.start(500, [] { refreshStatus(); });
class LxGCDRepeatTimer {
public:
    explicit LxGCDRepeatTimer(std::string label);
    ~LxGCDRepeatTimer();
    LxGCDRepeatTimer(const LxGCDRepeatTimer&) = delete;
    LxGCDRepeatTimer& operator=(const LxGCDRepeatTimer&) = delete;

    // Does nothing while the timer works: it keeps its interval and handler. An interval of 0 or
    // less runs at 1 ms rather than spinning a thread.
    void start(std::int64_t millisecondsForRepeat, std::function<void()> handler);
    bool isWorking() const { return timer_ != nullptr; }
    void stop();

private:
    const std::shared_ptr<platform::dispatch::SerialQueue> queue_;
    std::unique_ptr<platform::dispatch::RepeatingTimer> timer_;
};
