#pragma once

#include "platform/dispatch/Clock.h"

namespace platform::dispatch::internal {

// Waits until main work is queued or `upTo` has passed, whichever is first.
void waitForMainWork(Duration upTo);

}  // namespace platform::dispatch::internal
