#include "platform/dispatch/SerialQueue.h"

#include "platform/dispatch/internal/Execution.h"
#include "platform/dispatch/internal/WorkerPool.h"

namespace platform::dispatch {

std::shared_ptr<SerialQueue> SerialQueue::create(std::string label, QoS qos) {
    return std::shared_ptr<SerialQueue>(new SerialQueue(std::move(label), qos));
}

SerialQueue::Turn::Turn(SerialQueue& queue, const CallSite& site) : queue_(queue) {
    queue_.acquire(site);
    internal::beginHolding(queue_);
}

SerialQueue::Turn::~Turn() {
    internal::endHolding();
    queue_.release();
}

void SerialQueue::enqueue(Work work, WorkFlags) {
    std::lock_guard lock(mutex_);
    entries_.push_back({std::move(work), nullptr});
    if (!owned_) {
        owned_ = true;
        startDrain();
    }
}

void SerialQueue::acquire(const CallSite& site) {
    if (isCurrent()) {
        internal::failReentrantSync(*this, site);
    }
    std::unique_lock lock(mutex_);
    if (owned_) {
        // The body runs here, on the caller's thread, once the entry reaches the head: no pool
        // thread is held while the caller waits, and exceptions reach the caller directly.
        internal::SyncWaiter waiter;
        entries_.push_back({Work(), &waiter});
        waiter.waitForTurn(lock);
    }
    owned_ = true;
}

void SerialQueue::release() {
    std::lock_guard lock(mutex_);
    if (!entries_.empty() && !entries_.front().waiter) {
        startDrain();
    } else {
        passOn();
    }
}

void SerialQueue::drain() {
    std::unique_lock lock(mutex_);
    while (!entries_.empty() && !entries_.front().waiter) {
        Work work = std::move(entries_.front().work);
        entries_.pop_front();
        lock.unlock();
        internal::runWork(*this, work);
        lock.lock();
    }
    passOn();
}

// With `mutex_` held.
void SerialQueue::startDrain() {
    internal::runOnPool(
        [self = std::static_pointer_cast<SerialQueue>(shared_from_this())] { self->drain(); });
}

// With `mutex_` held, when the owner is done and no queued work is at the head: the queue
// goes to the waiting `sync` caller at the head, or becomes free.
void SerialQueue::passOn() {
    if (entries_.empty()) {
        owned_ = false;
        return;
    }
    internal::SyncWaiter* waiter = entries_.front().waiter;
    entries_.pop_front();
    waiter->grant();
}

}  // namespace platform::dispatch
