#pragma once

#include "platform/dispatch/Clock.h"
#include "platform/dispatch/Work.h"

namespace platform::dispatch::internal {

// Calls `release` at `deadline` on the dispatch clock, on the clock's own thread (or inside
// `ManualClock::advance`). `release` hands the real work to a queue and must be quick.
void scheduleAt(TimePoint deadline, Work release);

// True when some delayed work is due and not yet handed to its queue.
bool hasDueWork();

// Drops every piece of delayed work not yet due.
void discardDelayed();

}  // namespace platform::dispatch::internal
