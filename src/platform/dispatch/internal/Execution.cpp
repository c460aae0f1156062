#include "platform/dispatch/internal/Execution.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

#include "LxLog/ErrorLogging.h"
#include "LxLog/Log.h"
#include "platform/foundation/AnyError.h"

namespace platform::dispatch::internal {
namespace {

// The queues whose work the calling thread is running, innermost last. Work of one queue may
// enter a `sync` of another, so this is a stack, not a single slot.
thread_local std::vector<const Queue*> heldQueues;

std::atomic<std::int64_t> outstanding{0};

}  // namespace

HoldingQueue::HoldingQueue(const Queue& queue) {
    beginHolding(queue);
}

HoldingQueue::~HoldingQueue() {
    endHolding();
}

void beginHolding(const Queue& queue) {
    heldQueues.push_back(&queue);
}

void endHolding() {
    heldQueues.pop_back();
}

bool holds(const Queue& queue) {
    return std::ranges::find(heldQueues, &queue) != heldQueues.end();
}

void workQueued() {
    outstanding.fetch_add(1, std::memory_order_acq_rel);
}

void workDone() {
    outstanding.fetch_sub(1, std::memory_order_acq_rel);
}

std::int64_t outstandingWork() {
    return outstanding.load(std::memory_order_acquire);
}

void runWork(const Queue& queue, Work& work) {
    {
        const HoldingQueue holding(queue);
        // The work is moved out so that what it captured is destroyed here, as work of this
        // queue and before it counts as done.
        Work running = std::move(work);
        try {
            running();
        } catch (...) {
            lx::log(AnyError::current(), "Work on queue \"" + queue.label() + "\" failed");
        }
    }
    workDone();
}

void failFatally(const std::string& message, const CallSite& site) {
    Log::fatal(message, site);
    std::abort();
}

void failReentrantSync(const Queue& queue, const CallSite& site) {
    failFatally("Synchronous entry into queue \"" + queue.label() +
                    "\" from work that already runs on it would wait for itself for ever",
                site);
}

}  // namespace platform::dispatch::internal
