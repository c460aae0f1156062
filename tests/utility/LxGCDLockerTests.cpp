#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/DispatchTest.h"
#include "utility/LxError.h"
#include "utility/LxGCDLocker.h"

namespace {

class LxGCDLockerTest : public DispatchTest {};

TEST_F(LxGCDLockerTest, BodiesFromManyThreadsNeverInterleave) {
    const LxGCDLocker lock("project.team");
    long counter = 0;  // unguarded on purpose: the locker is the guard
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10000; ++i) {
                lock.sync([&counter] { ++counter; });
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(lock.sync([&counter] { return counter; }), 80000);
}

TEST_F(LxGCDLockerTest, ThrowingBodyRethrowsTheSameErrorAndFreesTheLock) {
    const LxGCDLocker lock("OrbProjectCalendar.Lock");
    EXPECT_THROW(lock.sync([] { throw std::out_of_range("day 90000"); }), std::out_of_range);
    try {
        lock.sync([]() -> int { throw LxError::failure("Calendar corrupt"); });
        FAIL() << "nothing thrown";
    } catch (const LxError& error) {
        EXPECT_EQ(error.message(), "Calendar corrupt");
    }
    EXPECT_EQ(lock.sync([] { return 7; }), 7);
}

using LxGCDLockerDeathTest = LxGCDLockerTest;

TEST_F(LxGCDLockerDeathTest, ReenteringAbortsNamingTheLabel) {
    EXPECT_DEATH(
        {
            logToStandardError();
            const LxGCDLocker lock("OrbProjectCalendar.Lock");
            lock.sync([&lock] { lock.sync([] {}); });
        },
        "severe.*OrbProjectCalendar.Lock.*LxGCDLockerTests.cpp");
}

}  // namespace
