#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/Error.h"
#include "support/DispatchTest.h"
#include "support/LogCapture.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class SerialQueueTest : public DispatchTest {};

TEST_F(SerialQueueTest, RunsWorkOneAtATimeInSubmissionOrderAndSyncWaitsBehindIt) {
    const auto queue = SerialQueue::create("order");
    std::vector<int> order;  // unguarded on purpose: the queue is the guard
    std::atomic<int> running = 0;
    std::atomic<bool> overlapped = false;
    for (int i = 0; i < 1000; ++i) {
        queue->async([&, i] {
            overlapped = overlapped || ++running > 1;
            order.push_back(i);
            --running;
        });
    }

    const std::vector<int> seen = queue->sync([&order] { return order; });

    ASSERT_EQ(seen.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(seen[i], i);
    }
    EXPECT_FALSE(overlapped);
}

TEST_F(SerialQueueTest, SyncRunsOnTheCallingThreadAndAnswersTheBodysResult) {
    const auto queue = SerialQueue::create("caller runs");
    const auto caller = std::this_thread::get_id();
    const auto [ranOnCaller, onQueue] = queue->sync(
        [&] { return std::pair(std::this_thread::get_id() == caller, queue->isCurrent()); });
    EXPECT_TRUE(ranOnCaller);
    EXPECT_TRUE(onQueue);
    EXPECT_FALSE(queue->isCurrent());
}

TEST_F(SerialQueueTest, SyncPassesTheBodysExceptionAndFreesTheQueue) {
    const auto queue = SerialQueue::create("throwing");
    try {
        queue->sync([]() -> int { throw platform::Error("Invalid member"); });
        FAIL() << "nothing thrown";
    } catch (const platform::Error& error) {
        EXPECT_EQ(error.localizedDescription(), "Invalid member");
    }
    bool ranAsync = false;
    queue->async([&ranAsync] { ranAsync = true; });
    EXPECT_TRUE(queue->sync([&ranAsync] { return ranAsync; }));
}

TEST_F(SerialQueueTest, SyncAndAsyncFromManyThreadsNeverInterleave) {
    const auto queue = SerialQueue::create("counter");
    long counter = 0;  // unguarded on purpose
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                queue->sync([&counter] { ++counter; });
                queue->async([&counter] { ++counter; });
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(queue->sync([&counter] { return counter; }), 16000);
}

TEST_F(SerialQueueTest, QueueLivesUntilItsWorkHasRun) {
    std::atomic<bool> ran = false;
    SerialQueue::create("dropped at once")->async([&ran] { ran = true; });
    EXPECT_TRUE(runUntil([&ran] { return ran.load(); }, 10s));
}

TEST_F(SerialQueueTest, ThrowingWorkIsLoggedWithTheLabelAndTheQueueGoesOn) {
    LogCapture capture;
    const auto queue = SerialQueue::create("project.team");
    queue->async([] { throw std::runtime_error("bad member"); });
    EXPECT_TRUE(queue->sync([] { return true; }));
    EXPECT_TRUE(capture.contains("Work on queue \"project.team\" failed: bad member"));
}

using SerialQueueDeathTest = SerialQueueTest;

TEST_F(SerialQueueDeathTest, ReentrantSyncAbortsNamingTheLabel) {
    EXPECT_DEATH(
        {
            logToStandardError();
            const auto queue = SerialQueue::create("OrbProjectCalendar.Lock");
            queue->sync([&queue] { queue->sync([] {}); });
        },
        "queue \"OrbProjectCalendar.Lock\" from work that already runs on it");
    EXPECT_DEATH(
        {
            logToStandardError();
            const auto queue = SerialQueue::create("project.team");
            queue->async([queue] { queue->sync([] {}); });
            runUntil([] { return false; }, 10s);
        },
        "queue \"project.team\" from work that already runs on it");
}

}  // namespace
