#pragma once

#include "platform/dispatch/Work.h"

namespace platform::dispatch::internal {

// Runs `task` on the process-wide worker pool.
//
// The pool grows by one thread whenever work arrives and no worker is free (up to 64), because
// work on pool threads blocks on locks and groups: a fixed small pool could starve itself into
// a deadlock. Workers idle for a while retire. `task` must not throw.
void runOnPool(Work task);

}  // namespace platform::dispatch::internal
