#include <atomic>
#include <memory>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/ConcurrentPerform.h"
#include "platform/dispatch/ConcurrentQueue.h"
#include "support/DispatchTest.h"

namespace {

using namespace platform::dispatch;

class ConcurrentPerformTest : public DispatchTest {};

TEST_F(ConcurrentPerformTest, EveryIterationRunsOnce) {
    for (const std::size_t iterations : {0U, 1U, 2U, 7U, 1000U}) {
        SCOPED_TRACE(iterations);
        std::vector<std::atomic<int>> runs(iterations);
        concurrentPerform(iterations, [&runs](std::size_t index) { ++runs[index]; });
        for (const std::atomic<int>& count : runs) {
            EXPECT_EQ(count.load(), 1);
        }
    }
}

// The two iterations wait for each other, which real work must not: with a free pool they meet,
// done one after the other they would not.
TEST_F(ConcurrentPerformTest, IterationsRunSideBySide) {
    TestLatch bothRunning(2);
    std::atomic<int> met = 0;
    concurrentPerform(2, [&](std::size_t) { met += bothRunning.arriveAndWait() ? 1 : 0; });
    EXPECT_EQ(met.load(), 2);
}

// Every worker of the pool busy with a call of its own: each call still finishes, its thread
// taking the iterations no worker is free for.
TEST_F(ConcurrentPerformTest, CallsFromEveryWorkerOfThePoolFinish) {
    constexpr int kCalls = 256;
    TestLatch finished(kCalls);
    std::atomic<int> iterationsRun = 0;
    for (int call = 0; call < kCalls; ++call) {
        globalQueue(QoS::unspecified)->async([&] {
            concurrentPerform(8, [&](std::size_t) { ++iterationsRun; });
            finished.countDown();
        });
    }
    ASSERT_TRUE(finished.wait());
    EXPECT_EQ(iterationsRun.load(), kCalls * 8);
}

TEST_F(ConcurrentPerformTest, TheFirstFailureIsThrownOnceEveryIterationHasRun) {
    std::atomic<int> runs = 0;
    try {
        concurrentPerform(16, [&runs](std::size_t index) {
            ++runs;
            if (index == 3) {
                throw std::runtime_error("iteration 3");
            }
        });
        ADD_FAILURE() << "nothing thrown";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "iteration 3");
    }
    EXPECT_EQ(runs.load(), 16);
}

}  // namespace
