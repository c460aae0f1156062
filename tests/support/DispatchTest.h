#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

#include <gtest/gtest.h>

#include "platform/dispatch/Clock.h"

// The base of tests that use queues. Its tear-down waits until no work of the test is queued or
// running (failing the test after a few seconds) and drops delayed work not yet due, so no work
// of one test runs during the next. Death tests run in a fresh process ("threadsafe" style),
// because the runtime's worker threads may be running.
class DispatchTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A manual dispatch clock, installed on first use and removed at tear-down. Use it before
    // scheduling the delayed work it should control.
    platform::dispatch::ManualClock& manualClock();

    // Sends log lines to standard error, where a death test looks for its message.
    static void logToStandardError();

private:
    std::optional<platform::dispatch::ManualClock> clock_;
};

// A countdown that threads wait on with a bound, so a test that goes wrong fails instead of
// hanging.
class TestLatch {
public:
    explicit TestLatch(int count) : count_(count) {}

    void countDown();

    // True once the count has reached zero; false when `timeout` passed first.
    bool wait(std::chrono::milliseconds timeout = std::chrono::seconds(10));

    // Counts down, then waits for the others.
    bool arriveAndWait(std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    std::mutex mutex_;
    std::condition_variable reachedZero_;
    int count_;
};
