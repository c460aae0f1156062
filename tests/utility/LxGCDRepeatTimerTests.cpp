#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Quiescence.h"
#include "support/DispatchTest.h"
#include "utility/LxGCDRepeatTimer.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class LxGCDRepeatTimerTest : public DispatchTest {
protected:
    // Waits until the handler calls counted in `calls` reach `expected` and nothing is left to
    // run; the timer's queue is on the worker pool.
    static bool settlesAt(const std::atomic<int>& calls, int expected) {
        return runUntil([&] { return calls.load() >= expected; }, 10s) && waitForQuiescence(10s) &&
               calls.load() == expected;
    }
};

TEST_F(LxGCDRepeatTimerTest, FiresAtOnceThenEveryIntervalOnItsOwnQueue) {
    ManualClock& clock = manualClock();
    LxGCDRepeatTimer timer("poll.status");
    std::atomic<int> calls = 0;
    std::atomic<bool> onOwnQueue = true;
    timer.start(500, [&] {
        onOwnQueue = onOwnQueue && !isMainThread();
        ++calls;
    });
    EXPECT_TRUE(timer.isWorking());
    EXPECT_TRUE(settlesAt(calls, 1));
    clock.advance(499ms);
    EXPECT_TRUE(settlesAt(calls, 1));
    clock.advance(1ms);
    EXPECT_TRUE(settlesAt(calls, 2));
    clock.advance(500ms);
    EXPECT_TRUE(settlesAt(calls, 3));
    EXPECT_TRUE(onOwnQueue);
}

TEST_F(LxGCDRepeatTimerTest, StartWhileWorkingKeepsTheFirstIntervalAndHandler) {
    ManualClock& clock = manualClock();
    LxGCDRepeatTimer timer("poll.status");
    std::atomic<int> first = 0;
    std::atomic<int> second = 0;
    timer.start(1000, [&] { ++first; });
    timer.start(10, [&] { ++second; });
    EXPECT_TRUE(settlesAt(first, 1));
    clock.advance(100ms);
    EXPECT_TRUE(settlesAt(first, 1));
    clock.advance(900ms);
    EXPECT_TRUE(settlesAt(first, 2));
    EXPECT_EQ(second, 0);
}

TEST_F(LxGCDRepeatTimerTest, AfterStopNoHandlerStartsAndStartMakesANewTimer) {
    ManualClock& clock = manualClock();
    LxGCDRepeatTimer timer("poll.status");
    std::atomic<int> calls = 0;
    timer.start(100, [&] { ++calls; });
    EXPECT_TRUE(settlesAt(calls, 1));
    timer.stop();
    EXPECT_FALSE(timer.isWorking());
    clock.advance(1s);
    EXPECT_TRUE(settlesAt(calls, 1));

    timer.start(100, [&] { calls += 10; });
    EXPECT_TRUE(timer.isWorking());
    EXPECT_TRUE(settlesAt(calls, 11));
}

TEST_F(LxGCDRepeatTimerTest, IntervalOfZeroOrLessRunsEveryMillisecond) {
    for (const int interval : {0, -5}) {
        SCOPED_TRACE(interval);
        ManualClock& clock = manualClock();
        LxGCDRepeatTimer timer("poll.status");
        std::atomic<int> calls = 0;
        timer.start(interval, [&] { ++calls; });
        EXPECT_TRUE(settlesAt(calls, 1)) << "no busy loop between ticks of the clock";
        clock.advance(1ms);
        EXPECT_TRUE(settlesAt(calls, 2));
        clock.advance(3ms);
        EXPECT_TRUE(settlesAt(calls, 3)) << "fires due while one waits are dropped";
    }
}

TEST_F(LxGCDRepeatTimerTest, AHandlerMayDestroyItsOwnTimer) {
    ManualClock& clock = manualClock();
    auto timer = std::make_shared<std::unique_ptr<LxGCDRepeatTimer>>(
        std::make_unique<LxGCDRepeatTimer>("self.destroying"));
    std::atomic<int> calls = 0;
    // The first call comes at once, possibly before `start` has returned; the second destroys.
    (*timer)->start(100, [timer, &calls] {
        if (++calls == 2) {
            timer->reset();
        }
    });
    EXPECT_TRUE(settlesAt(calls, 1));
    clock.advance(100ms);
    EXPECT_TRUE(settlesAt(calls, 2));
    clock.advance(1s);
    EXPECT_TRUE(settlesAt(calls, 2));
}

}  // namespace
