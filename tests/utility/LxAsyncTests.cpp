#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/MainQueue.h"
#include "support/DispatchTest.h"
#include "utility/LxAsync.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;

class LxAsyncTest : public DispatchTest {};

TEST_F(LxAsyncTest, MainRunsOnALaterTurnInCallOrder) {
    std::vector<std::string> order;
    LxAsync::main([&order] { order.push_back("append source"); });
    LxAsync::main([&order] { order.push_back("refresh profile"); });
    EXPECT_TRUE(order.empty());
    runUntilIdle();
    EXPECT_EQ(order, (std::vector<std::string>{"append source", "refresh profile"}));
}

TEST_F(LxAsyncTest, DelayedMainFormsRunAtTheirDeadlineOnTheDispatchClock) {
    struct Case {
        std::string name;
        std::function<void(std::function<void()>)> schedule;
        Duration delay;
    };
    const Case cases[] = {
        {"150 milliseconds", [](auto work) { LxAsync::mainAfterMilliseconds(150, work); }, 150ms},
        {"2 seconds", [](auto work) { LxAsync::mainAfterSeconds(2, work); }, 2s},
        {"any duration", [](auto work) { LxAsync::main(1.5s, work); }, 1500ms},
        {"negative count", [](auto work) { LxAsync::mainAfterMilliseconds(-20, work); }, 0ms},
    };
    ManualClock& clock = manualClock();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ran = false;
        c.schedule([&ran] { ran = true; });
        EXPECT_FALSE(ran) << "never inline";
        if (c.delay > 0ms) {
            clock.advance(c.delay - 1ms);
            runUntilIdle();
            EXPECT_FALSE(ran);
            clock.advance(1ms);
        }
        runUntilIdle();
        EXPECT_TRUE(ran);
    }
}

TEST_F(LxAsyncTest, BackgroundFormsRunOffTheMainThreadOnTheBackgroundQueue) {
    ManualClock& clock = manualClock();
    std::atomic<int> onBackground = 0;
    const auto work = [&onBackground] {
        if (!isMainThread() && globalQueue(QoS::background)->isCurrent()) {
            ++onBackground;
        }
    };
    LxAsync::background(work);
    LxAsync::background(20ms, work);
    LxAsync::backgroundAfterMilliseconds(20, work);
    LxAsync::backgroundAfterSeconds(1, work);
    EXPECT_TRUE(runUntil([&] { return onBackground == 1; }, 10s));
    clock.advance(20ms);
    EXPECT_TRUE(runUntil([&] { return onBackground == 3; }, 10s));
    clock.advance(980ms);
    EXPECT_TRUE(runUntil([&] { return onBackground == 4; }, 10s));
}

TEST_F(LxAsyncTest, LabelledFormsMakeANewQueueEveryCall) {
    for (const bool serial : {true, false}) {
        SCOPED_TRACE(serial ? "serial" : "concurrent");
        // Both pieces of work are in flight at once only on two different queues.
        TestLatch bothRunning(2);
        TestLatch finished(2);
        for (int i = 0; i < 2; ++i) {
            auto work = [&] {
                EXPECT_TRUE(bothRunning.arriveAndWait());
                finished.countDown();
            };
            if (serial) {
                LxAsync::serial("x", QoS::unspecified, work);
            } else {
                LxAsync::concurrent("x", QoS::utility, work);
            }
        }
        EXPECT_TRUE(finished.wait());
    }
}

}  // namespace
