#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/foundation/Error.h"
#include "support/DispatchTest.h"
#include "support/LogCapture.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class MainQueueTest : public DispatchTest {};

TEST_F(MainQueueTest, WorkFromAnyThreadRunsOnTheMainThreadInPostingOrderAndNeverInline) {
    std::vector<int> order;
    bool allOnMainThread = true;
    const auto record = [&](int value) {
        return [&, value] {
            order.push_back(value);
            allOnMainThread = allOnMainThread && isMainThread() && mainQueue()->isCurrent();
        };
    };
    for (int i = 0; i < 50; ++i) {
        mainQueue()->async(record(i));
    }
    std::thread poster([&] {
        for (int i = 50; i < 100; ++i) {
            mainQueue()->async(record(i));
        }
    });
    poster.join();
    EXPECT_TRUE(order.empty());

    runUntilIdle();

    std::vector<int> expected(100);
    for (int i = 0; i < 100; ++i) {
        expected[i] = i;
    }
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(allOnMainThread);
}

TEST_F(MainQueueTest, OneTurnRunsOnlyTheWorkThatWaitedWhenItBegan) {
    int ran = 0;
    mainQueue()->async([&] {
        ++ran;
        mainQueue()->async([&] { ++ran; });
    });
    EXPECT_EQ(runPending(), 1);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(runPending(), 1);
    EXPECT_EQ(ran, 2);
    EXPECT_EQ(runPending(), 0);
}

TEST_F(MainQueueTest, NestedPumpRunsTheFollowingWorkOnceAndInOrder) {
    std::vector<std::string> order;
    mainQueue()->async([&] {
        order.push_back("modal begins");
        mainQueue()->async([&] { order.push_back("posted inside"); });
        runUntilIdle();
        order.push_back("modal ends");
    });
    mainQueue()->async([&] { order.push_back("second"); });
    mainQueue()->async([&] { order.push_back("third"); });

    runUntilIdle();

    EXPECT_EQ(order, (std::vector<std::string>{"modal begins", "second", "third", "posted inside",
                                               "modal ends"}));
}

TEST_F(MainQueueTest, RunUntilAnswersWhetherThePredicateCameTrueInTime) {
    std::atomic<bool> done = false;
    globalQueue(QoS::background)->async([&done] { done = true; });
    EXPECT_TRUE(runUntil([&done] { return done.load(); }, 10s));

    EXPECT_FALSE(runUntil([] { return false; }, 20ms));
}

TEST_F(MainQueueTest, WakeUpHookIsCalledOncePerTurnOwedAndAtOnceForWorkAlreadyWaiting) {
    std::atomic<int> wakeUps = 0;
    mainQueue()->async([] {});
    setMainQueueWakeUp([&wakeUps] { ++wakeUps; });
    EXPECT_EQ(wakeUps, 1);

    mainQueue()->async([] {});
    EXPECT_EQ(wakeUps, 1) << "a turn is already owed";

    mainQueue()->async([] { mainQueue()->async([] {}); });
    runPending();
    EXPECT_EQ(wakeUps, 2) << "work posted during a turn needs a turn of its own";

    runUntilIdle();
    setMainQueueWakeUp({});
    mainQueue()->async([] {});
    EXPECT_EQ(wakeUps, 2);
    runUntilIdle();
}

TEST_F(MainQueueTest, ThrowingWorkIsLoggedWithTheLabelAndTheQueueGoesOn) {
    LogCapture capture;
    bool laterWorkRan = false;
    mainQueue()->async([] { throw platform::Error("Disk full"); });
    mainQueue()->async([&laterWorkRan] { laterWorkRan = true; });

    runUntilIdle();

    EXPECT_TRUE(laterWorkRan);
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string& line = lines.front();
    EXPECT_NE(line.find("error]"), std::string::npos) << line;
    EXPECT_NE(line.find("Work on queue \"main\" failed: Disk full"), std::string::npos) << line;
}

}  // namespace
