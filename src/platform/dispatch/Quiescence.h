#pragma once

#include <chrono>

// Draining the dispatch runtime, for test tear-down and for shutting down.
namespace platform::dispatch {

// Waits until no work is queued or running on any queue and no delayed work is due, pumping the
// main queue meanwhile when called on the main thread. Answers false when that has not happened
// within `timeout` of real time. Delayed work not yet due and repeating timers between fires do
// not count.
bool waitForQuiescence(std::chrono::milliseconds timeout);

// Drops every piece of delayed work whose deadline has not come, repeating timers' next fires
// included (such a timer stops).
void discardDelayedWork();

}  // namespace platform::dispatch
