#include "platform/dispatch/Queue.h"

#include <sys/types.h>
#include <unistd.h>

#include "platform/dispatch/internal/Execution.h"
#include "platform/dispatch/internal/Scheduler.h"

namespace platform::dispatch {

void Queue::async(Work work, WorkFlags flags) {
    internal::workQueued();
    enqueue(std::move(work), flags);
}

void Queue::asyncAfter(TimePoint deadline, Work work) {
    if (deadline <= now()) {
        async(std::move(work));
        return;
    }
    internal::scheduleAt(deadline, [queue = shared_from_this(), work = std::move(work)]() mutable {
        queue->async(std::move(work));
    });
}

bool Queue::isCurrent() const {
    return internal::holds(*this);
}

bool isMainThread() {
    // On Linux the initial thread's id is the process id; no start-up hook is needed to find it.
    static thread_local const bool isMain = gettid() == getpid();
    return isMain;
}

}  // namespace platform::dispatch
