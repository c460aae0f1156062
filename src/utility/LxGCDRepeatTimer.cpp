#include "utility/LxGCDRepeatTimer.h"

#include <algorithm>
#include <chrono>
#include <utility>

LxGCDRepeatTimer::LxGCDRepeatTimer(std::string label)
    : queue_(platform::dispatch::SerialQueue::create(std::move(label))) {}

LxGCDRepeatTimer::~LxGCDRepeatTimer() {
    stop();
}

void LxGCDRepeatTimer::start(std::int64_t millisecondsForRepeat, std::function<void()> handler) {
    if (timer_) {
        return;
    }
    // The runtime's timer owns the handler and keeps it alive while a call runs, so the handler
    // may destroy this object; nothing here waits for a running call.
    const std::chrono::milliseconds interval(std::max<std::int64_t>(millisecondsForRepeat, 1));
    timer_ = std::make_unique<platform::dispatch::RepeatingTimer>(
        queue_, platform::dispatch::internal::clampedDuration(interval), std::move(handler));
}

void LxGCDRepeatTimer::stop() {
    timer_.reset();
}
