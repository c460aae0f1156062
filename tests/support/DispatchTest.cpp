#include "support/DispatchTest.h"

#include <cstdio>
#include <string_view>

#include "LxLog/Log.h"
#include "platform/dispatch/Quiescence.h"

void DispatchTest::SetUp() {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
}

void DispatchTest::TearDown() {
    EXPECT_TRUE(platform::dispatch::waitForQuiescence(std::chrono::seconds(5)))
        << "work of this test was still queued or running at its end";
    platform::dispatch::discardDelayedWork();
    clock_.reset();
}

platform::dispatch::ManualClock& DispatchTest::manualClock() {
    if (!clock_) {
        clock_.emplace();
    }
    return *clock_;
}

void DispatchTest::logToStandardError() {
    Log::setSinkForTesting(
        [](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
}

void TestLatch::countDown() {
    std::lock_guard lock(mutex_);
    if (count_ > 0 && --count_ == 0) {
        reachedZero_.notify_all();
    }
}

bool TestLatch::wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return reachedZero_.wait_for(lock, timeout, [this] { return count_ == 0; });
}

bool TestLatch::arriveAndWait(std::chrono::milliseconds timeout) {
    countDown();
    return wait(timeout);
}
