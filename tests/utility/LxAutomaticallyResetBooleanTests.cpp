#include <chrono>
#include <memory>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/SerialQueue.h"
#include "support/DispatchTest.h"
#include "utility/LxAutomaticallyResetBoolean.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class LxAutomaticallyResetBooleanTest : public DispatchTest {};

TEST_F(LxAutomaticallyResetBooleanTest, SetWhileTrueNeitherMovesNorRepeatsTheReset) {
    ManualClock& clock = manualClock();
    int resets = 0;
    const auto flag = LxAutomaticallyResetBoolean::create(0.3, nullptr, [&resets] { ++resets; });
    flag->set();
    EXPECT_TRUE(flag->value());
    clock.advance(100ms);
    flag->set();
    clock.advance(100ms);
    flag->set();

    clock.advance(99ms);
    runUntilIdle();
    EXPECT_TRUE(flag->value());
    clock.advance(1ms);
    runUntilIdle();
    EXPECT_FALSE(flag->value());
    EXPECT_EQ(resets, 1);

    clock.advance(1s);
    runUntilIdle();
    EXPECT_EQ(resets, 1);
}

TEST_F(LxAutomaticallyResetBooleanTest, ResetsOnTheMainQueueOnceItsQueueIsGone) {
    ManualClock& clock = manualClock();
    bool resetOnMain = false;
    auto queue = SerialQueue::create("owner");
    const auto flag = LxAutomaticallyResetBoolean::create(
        1.0, queue, [&resetOnMain] { resetOnMain = mainQueue()->isCurrent(); });
    queue.reset();
    flag->set();
    clock.advance(1s);
    runUntilIdle();
    EXPECT_TRUE(resetOnMain);
}

TEST_F(LxAutomaticallyResetBooleanTest, PendingResetKeepsTheFlagAlive) {
    ManualClock& clock = manualClock();
    bool reset = false;
    auto flag = LxAutomaticallyResetBoolean::create(1.0, nullptr, [&reset] { reset = true; });
    const std::weak_ptr<LxAutomaticallyResetBoolean> watch = flag;
    flag->set();
    flag.reset();
    EXPECT_FALSE(watch.expired());
    clock.advance(1s);
    runUntilIdle();
    EXPECT_TRUE(reset);
    EXPECT_TRUE(watch.expired());
}

}  // namespace
