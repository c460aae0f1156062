#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "support/DispatchTest.h"
#include "utility/LxDebounceTask.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class LxDebounceTaskTest : public DispatchTest {
protected:
    // Moves the manual clock and runs the main work that is due.
    void after(Duration interval) {
        manualClock().advance(interval);
        runUntilIdle();
    }

    std::vector<std::string> ran;
};

using LxThrottleTaskTest = LxDebounceTaskTest;

TEST_F(LxDebounceTaskTest, RunsOnlyTheLastOfABurstAfterTheQuietDelay) {
    manualClock();
    const auto debounce = LxDebounceTask::create(mainQueue(), 0.3);
    for (const char* name : {"first", "second", "third"}) {
        debounce->do_([this, name] { ran.push_back(name); });
        after(100ms);
    }
    EXPECT_TRUE(ran.empty());
    after(199ms);
    EXPECT_TRUE(ran.empty()) << "third call + 299 ms";
    after(1ms);
    EXPECT_EQ(ran, std::vector<std::string>{"third"});
}

TEST_F(LxDebounceTaskTest, CancelBeforeTheDeadlineRunsNothing) {
    manualClock();
    const auto debounce = LxDebounceTask::create(mainQueue(), 0.3);
    debounce->do_([this] { ran.push_back("cancelled"); });
    after(200ms);
    debounce->cancel();
    after(1s);
    EXPECT_TRUE(ran.empty());

    debounce->do_([this] { ran.push_back("later"); });
    after(300ms);
    EXPECT_EQ(ran, std::vector<std::string>{"later"});
}

TEST_F(LxThrottleTaskTest, RunsAtOnceOnlyAfterMoreThanTheDelaySinceTheLastRun) {
    ManualClock& clock = manualClock();
    const auto throttle = LxThrottleTask::create(mainQueue(), 1.0);
    EXPECT_EQ(throttle->lastFire(), clock.now()) << "counts from creation";

    after(1001ms);
    throttle->do_([this] { ran.push_back("quiet"); });
    runUntilIdle();
    EXPECT_EQ(ran, std::vector<std::string>{"quiet"});
    EXPECT_EQ(throttle->lastFire(), clock.now());

    // Right after a run: delayed to the request + 1 s, and replaced by a later request.
    throttle->do_([this] { ran.push_back("replaced"); });
    after(400ms);
    throttle->do_([this] { ran.push_back("last"); });
    after(999ms);
    EXPECT_EQ(ran.size(), 1u);
    after(1ms);
    EXPECT_EQ(ran, (std::vector<std::string>{"quiet", "last"}));
}

TEST_F(LxThrottleTaskTest, ExactlyTheDelaySinceTheLastRunIsStillDelayed) {
    manualClock();
    const auto throttle = LxThrottleTask::create(mainQueue(), 1.0);
    after(1s);
    throttle->do_([this] { ran.push_back("delayed"); });
    runUntilIdle();
    EXPECT_TRUE(ran.empty());
    after(1s);
    EXPECT_EQ(ran, std::vector<std::string>{"delayed"});
}

TEST_F(LxThrottleTaskTest, CancelStopsTheWaitingRequestAndLeavesLastFire) {
    ManualClock& clock = manualClock();
    const auto throttle = LxThrottleTask::create(mainQueue(), 1.0);
    const TimePoint created = clock.now();
    throttle->do_([this] { ran.push_back("cancelled"); });
    throttle->cancel();
    after(2s);
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(throttle->lastFire(), created);
}

TEST_F(LxThrottleTaskTest, ARequestMadeWhileABlockRunsStaysCancellable) {
    manualClock();
    const auto throttle = LxThrottleTask::create(mainQueue(), 1.0);
    after(2s);
    throttle->do_([this, throttle] {
        ran.push_back("outer");
        throttle->do_([this] { ran.push_back("inner"); });
    });
    runPending();
    ASSERT_EQ(ran, std::vector<std::string>{"outer"});
    // The outer block finished after queueing the inner one; it must not have forgotten it.
    throttle->cancel();
    after(2s);
    EXPECT_EQ(ran, std::vector<std::string>{"outer"});
}

TEST_F(LxThrottleTaskTest, ABlockThatOutlivesItsThrottleStillRuns) {
    manualClock();
    auto throttle = LxThrottleTask::create(mainQueue(), 1.0);
    after(2s);
    throttle->do_([this] { ran.push_back("orphan"); });
    throttle.reset();
    runUntilIdle();
    EXPECT_EQ(ran, std::vector<std::string>{"orphan"});
}

}  // namespace
