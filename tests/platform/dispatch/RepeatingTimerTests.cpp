#include <atomic>
#include <chrono>
#include <optional>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Quiescence.h"
#include "platform/dispatch/RepeatingTimer.h"
#include "platform/dispatch/SerialQueue.h"
#include "support/DispatchTest.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class RepeatingTimerTest : public DispatchTest {};

TEST_F(RepeatingTimerTest, FiresAtOnceThenEveryIntervalAndDropsFiresThatPileUp) {
    ManualClock& clock = manualClock();
    int fires = 0;
    RepeatingTimer timer(mainQueue(), 100ms, [&fires] { ++fires; });
    runUntilIdle();
    EXPECT_EQ(fires, 1);

    clock.advance(99ms);
    runUntilIdle();
    EXPECT_EQ(fires, 1);
    clock.advance(1ms);
    runUntilIdle();
    EXPECT_EQ(fires, 2);

    clock.advance(100ms);
    clock.advance(100ms);
    clock.advance(100ms);
    runUntilIdle();
    EXPECT_EQ(fires, 3) << "three ticks while one fire waited make one fire";

    clock.advance(100ms);
    runUntilIdle();
    EXPECT_EQ(fires, 4);
}

TEST_F(RepeatingTimerTest, TheHandlerRunsOnTheTimersOwnQueue) {
    ManualClock& clock = manualClock();
    const auto queue = SerialQueue::create("RepeatingTimerTest.own");
    std::atomic<int> fires = 0;
    std::atomic<int> elsewhere = 0;
    RepeatingTimer timer(queue, 100ms, [&] {
        ++fires;
        elsewhere += queue->isCurrent() ? 0 : 1;
    });
    ASSERT_TRUE(waitForQuiescence(10s));
    clock.advance(100ms);
    ASSERT_TRUE(waitForQuiescence(10s));
    EXPECT_EQ(fires, 2);
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(RepeatingTimerTest, CancelOrDestructionStopsEvenAQueuedFire) {
    ManualClock& clock = manualClock();
    for (const bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "cancelled");
        int fires = 0;
        std::optional<RepeatingTimer> timer;
        timer.emplace(mainQueue(), 100ms, [&fires] { ++fires; });
        if (destroy) {
            timer.reset();
        } else {
            timer->cancel();
        }
        clock.advance(1s);
        runUntilIdle();
        EXPECT_EQ(fires, 0);
    }
}

}  // namespace
