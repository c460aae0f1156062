#include "platform/dispatch/Quiescence.h"

#include <algorithm>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Queue.h"
#include "platform/dispatch/internal/Execution.h"
#include "platform/dispatch/internal/MainLoop.h"
#include "platform/dispatch/internal/Scheduler.h"

namespace platform::dispatch {

bool waitForQuiescence(std::chrono::milliseconds timeout) {
    using namespace std::chrono_literals;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const bool onMainThread = isMainThread();
    while (true) {
        if (onMainThread) {
            runPending();
        }
        if (internal::outstandingWork() == 0 && !internal::hasDueWork()) {
            return true;
        }
        const auto current = std::chrono::steady_clock::now();
        if (current >= deadline) {
            return false;
        }
        internal::waitForMainWork(std::min<Duration>(deadline - current, 1ms));
    }
}

void discardDelayedWork() {
    internal::discardDelayed();
}

}  // namespace platform::dispatch
