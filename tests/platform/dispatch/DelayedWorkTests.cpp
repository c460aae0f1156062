#include <chrono>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Quiescence.h"
#include "support/DispatchTest.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class DelayedWorkTest : public DispatchTest {};

TEST_F(DelayedWorkTest, RunsNoEarlierThanItsDeadlineOnTheManualClock) {
    ManualClock& clock = manualClock();
    bool ran = false;
    mainQueue()->asyncAfter(deadlineAfter(150ms), [&ran] { ran = true; });

    clock.advance(149ms);
    runUntilIdle();
    EXPECT_FALSE(ran);

    clock.advance(1ms);
    EXPECT_FALSE(ran) << "advancing only queues the work";
    runUntilIdle();
    EXPECT_TRUE(ran);
}

TEST_F(DelayedWorkTest, DueWorkIsQueuedByDeadlineThenBySubmission) {
    ManualClock& clock = manualClock();
    std::vector<std::string> order;
    const auto record = [&order](std::string name) {
        return [&order, name] { order.push_back(name); };
    };
    mainQueue()->asyncAfter(deadlineAfter(30ms), record("c"));
    mainQueue()->asyncAfter(deadlineAfter(20ms), record("b1"));
    mainQueue()->asyncAfter(deadlineAfter(10ms), record("a"));
    mainQueue()->asyncAfter(deadlineAfter(20ms), record("b2"));

    clock.advance(1s);
    runUntilIdle();

    EXPECT_EQ(order, (std::vector<std::string>{"a", "b1", "b2", "c"}));
}

TEST_F(DelayedWorkTest, AnyIntervalIsSafeAndOnlyPassedDeadlinesRunOnTheNextTurn) {
    struct Case {
        std::string name;
        TimePoint deadline;
        bool runsWithoutAdvancing;
    };
    const auto inf = std::numeric_limits<double>::infinity();
    const auto nan = std::numeric_limits<double>::quiet_NaN();
    manualClock();
    const Case cases[] = {
        {"zero", deadlineAfter(0ms), true},
        {"negative", deadlineAfter(-5s), true},
        {"NaN seconds", deadlineAfter(std::chrono::duration<double>(nan)), true},
        {"most negative hours", deadlineAfter(std::chrono::hours::min()), true},
        {"most hours", deadlineAfter(std::chrono::hours::max()), false},
        {"infinite seconds", deadlineAfter(std::chrono::duration<double>(inf)), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ran = false;
        mainQueue()->asyncAfter(c.deadline, [&ran] { ran = true; });
        EXPECT_FALSE(ran) << "never inline";
        runUntilIdle();
        EXPECT_EQ(ran, c.runsWithoutAdvancing);
        discardDelayedWork();
    }
}

TEST_F(DelayedWorkTest, RealClockReleasesWorkAtItsDeadline) {
    const TimePoint deadline = deadlineAfter(5ms);
    TimePoint ranAt{};
    mainQueue()->asyncAfter(deadline, [&ranAt] { ranAt = now(); });
    EXPECT_TRUE(runUntil([&ranAt] { return ranAt != TimePoint{}; }, 10s));
    EXPECT_GE(ranAt, deadline);
}

TEST_F(DelayedWorkTest, DiscardDropsWorkNotYetDue) {
    ManualClock& clock = manualClock();
    bool ran = false;
    mainQueue()->asyncAfter(deadlineAfter(1s), [&ran] { ran = true; });
    discardDelayedWork();
    clock.advance(2s);
    runUntilIdle();
    EXPECT_FALSE(ran);
}

}  // namespace
