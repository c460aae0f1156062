#pragma once

#include <cstdint>
#include <string>

#include "platform/dispatch/Queue.h"
#include "platform/dispatch/Work.h"
#include "platform/foundation/CallSite.h"

// What every queue shares: which queues the calling thread is running work of, the count of
// outstanding work for quiescence, and the one place where queued work runs.
namespace platform::dispatch::internal {

// Marks the calling thread as running work of `queue` while it lives.
class HoldingQueue {
public:
    explicit HoldingQueue(const Queue& queue);
    ~HoldingQueue();
    HoldingQueue(const HoldingQueue&) = delete;
    HoldingQueue& operator=(const HoldingQueue&) = delete;
};

bool holds(const Queue& queue);

// The same for a `sync` body, whose turn is not a scope of its own.
void beginHolding(const Queue& queue);
void endHolding();

// Outstanding work: queued, running, or being handed from the clock to its queue.
void workQueued();
void workDone();
std::int64_t outstandingWork();

// Runs `work` as work of `queue`: catches and logs what it throws, destroys it, and counts it
// done.
void runWork(const Queue& queue, Work& work);

// Logs `message` at fatal level and aborts: a programming error that would otherwise hang.
[[noreturn]] void failFatally(const std::string& message, const CallSite& site = {});

// Aborts a synchronous entry that would wait for itself.
[[noreturn]] void failReentrantSync(const Queue& queue, const CallSite& site = {});

}  // namespace platform::dispatch::internal
