#include "platform/dispatch/ConcurrentQueue.h"

#include <array>

#include "platform/dispatch/internal/Execution.h"
#include "platform/dispatch/internal/WorkerPool.h"

namespace platform::dispatch {

std::shared_ptr<ConcurrentQueue> ConcurrentQueue::create(std::string label, QoS qos) {
    return std::shared_ptr<ConcurrentQueue>(new ConcurrentQueue(std::move(label), qos, true));
}

ConcurrentQueue::Turn::Turn(ConcurrentQueue& queue, WorkFlags flags, const CallSite& site)
    : queue_(queue), barrier_(queue.isBarrier(flags)), nested_(queue.isCurrent()) {
    if (nested_ && barrier_) {
        internal::failReentrantSync(queue_, site);
    }
    if (!nested_) {
        std::unique_lock lock(queue_.mutex_);
        internal::SyncWaiter waiter;
        queue_.waiting_.push_back({Work(), &waiter, barrier_});
        queue_.startReady();
        waiter.waitForTurn(lock);
    }
    internal::beginHolding(queue_);
}

ConcurrentQueue::Turn::~Turn() {
    internal::endHolding();
    if (!nested_) {
        queue_.finish(barrier_);
    }
}

void ConcurrentQueue::enqueue(Work work, WorkFlags flags) {
    std::lock_guard lock(mutex_);
    waiting_.push_back({std::move(work), nullptr, isBarrier(flags)});
    startReady();
}

bool ConcurrentQueue::isBarrier(WorkFlags flags) const {
    return honoursBarriers_ && flags == WorkFlags::barrier;
}

// With `mutex_` held: starts waiting entries from the head for as long as the gate allows.
// A barrier at the head waits for the running work to finish; nothing passes a waiting barrier.
void ConcurrentQueue::startReady() {
    while (!waiting_.empty() && !barrierRunning_) {
        if (waiting_.front().barrier) {
            if (running_ > 0) {
                return;
            }
            barrierRunning_ = true;
        } else {
            ++running_;
        }
        Entry entry = std::move(waiting_.front());
        waiting_.pop_front();
        start(std::move(entry));
    }
}

// With `mutex_` held.
void ConcurrentQueue::start(Entry entry) {
    if (entry.waiter) {
        entry.waiter->grant();
        return;
    }
    internal::runOnPool([self = std::static_pointer_cast<ConcurrentQueue>(shared_from_this()),
                         work = std::move(entry.work), barrier = entry.barrier]() mutable {
        internal::runWork(*self, work);
        self->finish(barrier);
    });
}

void ConcurrentQueue::finish(bool barrier) {
    std::lock_guard lock(mutex_);
    if (barrier) {
        barrierRunning_ = false;
    } else {
        --running_;
    }
    startReady();
}

std::shared_ptr<ConcurrentQueue> globalQueue(QoS qos) {
    static const auto queues = [] {
        const auto make = [](const char* label, QoS qos) {
            return std::shared_ptr<ConcurrentQueue>(new ConcurrentQueue(label, qos, false));
        };
        return std::array{
            make("global.background", QoS::background),
            make("global.utility", QoS::utility),
            make("global.default", QoS::default_),
            make("global.userInitiated", QoS::userInitiated),
            make("global.userInteractive", QoS::userInteractive),
        };
    }();
    switch (qos) {
        case QoS::background:
            return queues[0];
        case QoS::utility:
            return queues[1];
        case QoS::unspecified:
        case QoS::default_:
            return queues[2];
        case QoS::userInitiated:
            return queues[3];
        case QoS::userInteractive:
            return queues[4];
    }
    return queues[2];
}

}  // namespace platform::dispatch
