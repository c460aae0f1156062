#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/MainQueue.h"
#include "support/DispatchTest.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

// Events of several threads, in the order they happened.
class EventLog {
public:
    void add(std::string event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> events() {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> events_;
};

class ConcurrentQueueTest : public DispatchTest {};

TEST_F(ConcurrentQueueTest, PlainWorkRunsSideBySide) {
    const auto queue = ConcurrentQueue::create("parallel");
    TestLatch bothRunning(2);
    TestLatch finished(2);
    for (int i = 0; i < 2; ++i) {
        queue->async([&] {
            EXPECT_TRUE(bothRunning.arriveAndWait());
            finished.countDown();
        });
    }
    EXPECT_TRUE(finished.wait());
}

TEST_F(ConcurrentQueueTest, BarrierWaitsForEarlierWorkRunsAloneAndHoldsBackLaterWork) {
    const auto queue = ConcurrentQueue::create("gate");
    EventLog log;
    TestLatch firstStarted(1);
    TestLatch releaseFirst(1);
    TestLatch allDone(3);
    queue->async([&] {
        log.add("first begins");
        firstStarted.countDown();
        EXPECT_TRUE(releaseFirst.wait());
        log.add("first ends");
        allDone.countDown();
    });
    queue->async(
        [&] {
            log.add("barrier begins");
            log.add("barrier ends");
            allDone.countDown();
        },
        WorkFlags::barrier);
    queue->async([&] {
        log.add("later");
        allDone.countDown();
    });
    ASSERT_TRUE(firstStarted.wait());
    releaseFirst.countDown();
    ASSERT_TRUE(allDone.wait());

    EXPECT_EQ(log.events(), (std::vector<std::string>{"first begins", "first ends",
                                                      "barrier begins", "barrier ends", "later"}));
}

TEST_F(ConcurrentQueueTest, PlainSyncFromItsOwnWorkRunsAtOnceEvenBeforeAWaitingBarrier) {
    const auto queue = ConcurrentQueue::create("nested");
    TestLatch started(1);
    TestLatch barrierQueued(1);
    TestLatch nestedDone(1);
    queue->async([&] {
        started.countDown();
        EXPECT_TRUE(barrierQueued.wait());
        queue->sync([] {});
        nestedDone.countDown();
    });
    ASSERT_TRUE(started.wait());
    queue->async([] {}, WorkFlags::barrier);
    barrierQueued.countDown();
    EXPECT_TRUE(nestedDone.wait());
}

using ConcurrentQueueDeathTest = ConcurrentQueueTest;

TEST_F(ConcurrentQueueDeathTest, BarrierSyncFromItsOwnWorkAbortsNamingTheLabel) {
    EXPECT_DEATH(
        {
            logToStandardError();
            const auto queue = ConcurrentQueue::create("concurrent_atomic_thread_safe");
            queue->sync([&queue] { queue->sync([] {}, WorkFlags::barrier); });
        },
        "queue \"concurrent_atomic_thread_safe\" from work that already runs on it");
}

}  // namespace
