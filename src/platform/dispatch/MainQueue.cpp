#include "platform/dispatch/MainQueue.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <utility>

#include "platform/dispatch/internal/Execution.h"
#include "platform/dispatch/internal/MainLoop.h"

namespace platform::dispatch {
namespace {

using namespace std::chrono_literals;

class MainQueue final : public Queue {
public:
    MainQueue() : Queue("main", QoS::userInteractive) {}

    void setWakeUp(std::function<void()> wakeUp) {
        std::unique_lock lock(mutex_);
        wakeUp_ = std::move(wakeUp);
        wakeRequested_ = false;
        wakeIfNeeded(lock);
    }

    int runTurn() {
        std::unique_lock lock(mutex_);
        wakeRequested_ = false;
        // Sequence numbers, not a count: a nested pump inside one of these pieces of work may
        // already run some of them, and this turn must not reach into work added after it began.
        const std::uint64_t end = nextSequence_;
        int ran = 0;
        while (!items_.empty() && items_.front().sequence < end) {
            Work work = std::move(items_.front().work);
            items_.pop_front();
            lock.unlock();
            internal::runWork(*this, work);
            ++ran;
            lock.lock();
        }
        return ran;
    }

    bool isEmpty() {
        std::lock_guard lock(mutex_);
        return items_.empty();
    }

    void waitForWork(Duration upTo) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, upTo, [this] { return !items_.empty(); });
    }

private:
    struct Item {
        std::uint64_t sequence;
        Work work;
    };

    void enqueue(Work work, WorkFlags) override {
        std::unique_lock lock(mutex_);
        items_.push_back({nextSequence_++, std::move(work)});
        arrived_.notify_all();
        wakeIfNeeded(lock);
    }

    // A driver is woken once per turn it owes: again only after `runTurn` has begun, so work
    // that arrives during a turn gets a turn of its own.
    void wakeIfNeeded(std::unique_lock<std::mutex>& lock) {
        if (!wakeUp_ || wakeRequested_ || items_.empty()) {
            return;
        }
        wakeRequested_ = true;
        const std::function<void()> wakeUp = wakeUp_;
        lock.unlock();
        wakeUp();
    }

    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Item> items_;
    std::uint64_t nextSequence_ = 0;
    std::function<void()> wakeUp_;
    bool wakeRequested_ = false;
};

MainQueue& theMainQueue() {
    // Never destroyed: other threads may post to it while the process exits.
    static const auto& queue = *new std::shared_ptr<MainQueue>(std::make_shared<MainQueue>());
    return *queue;
}

void requireMainThread(const char* function) {
    if (!isMainThread()) {
        internal::failFatally(std::string(function) + " must be called on the main thread");
    }
}

}  // namespace

QueuePtr mainQueue() {
    return theMainQueue().shared_from_this();
}

void setMainQueueWakeUp(std::function<void()> wakeUp) {
    theMainQueue().setWakeUp(std::move(wakeUp));
}

int runPending() {
    requireMainThread("runPending()");
    return theMainQueue().runTurn();
}

void runUntilIdle() {
    requireMainThread("runUntilIdle()");
    while (!theMainQueue().isEmpty()) {
        theMainQueue().runTurn();
    }
}

bool runUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    requireMainThread("runUntil()");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        const auto current = std::chrono::steady_clock::now();
        if (current >= deadline) {
            return false;
        }
        if (theMainQueue().runTurn() == 0) {
            // The predicate may also wait on work elsewhere, which does not post here: look
            // again after a short while even without main work.
            internal::waitForMainWork(std::min<Duration>(deadline - current, 1ms));
        }
    }
    return true;
}

namespace internal {

void waitForMainWork(Duration upTo) {
    theMainQueue().waitForWork(upTo);
}

}  // namespace internal

}  // namespace platform::dispatch
