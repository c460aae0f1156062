#include <atomic>
#include <chrono>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Quiescence.h"
#include "platform/dispatch/SerialQueue.h"
#include "support/DispatchTest.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class GlobalQueueTest : public DispatchTest {};

TEST_F(GlobalQueueTest, BackgroundWorkRunsOffTheMainThreadOnItsGlobalQueue) {
    const auto background = globalQueue(QoS::background);
    EXPECT_EQ(background, globalQueue(QoS::background));
    EXPECT_EQ(background->label(), "global.background");
    std::atomic<bool> offMain = false;
    std::atomic<bool> onBackground = false;
    TestLatch done(1);
    background->async([&] {
        offMain = !isMainThread();
        onBackground = background->isCurrent() && !globalQueue(QoS::utility)->isCurrent();
        done.countDown();
    });
    ASSERT_TRUE(done.wait());
    EXPECT_TRUE(offMain);
    EXPECT_TRUE(onBackground);
}

TEST_F(GlobalQueueTest, BarrierFlagIsIgnored) {
    TestLatch bothRunning(2);
    TestLatch finished(2);
    for (const WorkFlags flags : {WorkFlags::barrier, WorkFlags::none}) {
        globalQueue(QoS::utility)
            ->async(
                [&] {
                    EXPECT_TRUE(bothRunning.arriveAndWait());
                    finished.countDown();
                },
                flags);
    }
    EXPECT_TRUE(finished.wait());
}

TEST_F(GlobalQueueTest, PoolGrowsWhileItsWorkersAreBlocked) {
    // More blocked workers than cores: a fixed pool of core size would never finish this.
    constexpr int kBlocked = 40;
    TestLatch allRunning(kBlocked);
    TestLatch finished(kBlocked);
    for (int i = 0; i < kBlocked; ++i) {
        globalQueue(QoS::default_)->async([&] {
            EXPECT_TRUE(allRunning.arriveAndWait());
            finished.countDown();
        });
    }
    EXPECT_TRUE(finished.wait());
}

TEST_F(GlobalQueueTest, QuiescenceWaitsForAChainOfHandOffs) {
    const auto serial = SerialQueue::create("chain");
    std::vector<int> steps;
    globalQueue(QoS::background)->async([&] {
        serial->async([&] {
            steps.push_back(1);
            mainQueue()->async([&] { steps.push_back(2); });
        });
    });
    EXPECT_TRUE(waitForQuiescence(10s));
    EXPECT_EQ(steps, (std::vector<int>{1, 2}));
}

}  // namespace
