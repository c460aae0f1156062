#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/Quiescence.h"
#include "support/DispatchTest.h"
#include "utility/LxAtomic.h"

namespace {

using namespace std::chrono_literals;

class LxAtomicTest : public DispatchTest {};

TEST_F(LxAtomicTest, AsyncWriteIsSeenByTheSameThreadsNextRead) {
    LxAtomic<std::vector<int>> ids({});
    for (int i = 0; i < 100; ++i) {
        ids.asyncWrite([i](std::vector<int>& list) { list.push_back(i); });
        ASSERT_EQ(ids.wrappedValue().size(), static_cast<std::size_t>(i + 1));
    }
    ids.syncWrite([](std::vector<int>& list) { list.clear(); });
    ids.read([](const std::vector<int>& list) { EXPECT_TRUE(list.empty()); });
}

TEST_F(LxAtomicTest, ReadsHandOutCopies) {
    LxAtomic<std::string> name("Team");
    name.read([](std::string& copy) { copy = "changed"; });
    std::string read = name.wrappedValue();
    read += " changed";
    EXPECT_EQ(name.wrappedValue(), "Team");

    LxConcurrentAtomic<std::string> shared("Team");
    shared.read([](std::string& copy) { copy = "changed"; });
    EXPECT_EQ(shared.wrappedValue(), "Team");
}

TEST_F(LxAtomicTest, WriteStillQueuedWhenTheAtomicGoesDoesNothing) {
    auto atomic = std::make_unique<LxAtomic<int>>(0);
    TestLatch firstRunning(1);
    TestLatch releaseFirst(1);
    auto secondRan = std::make_shared<bool>(false);
    atomic->asyncWrite([&](int& value) {
        firstRunning.countDown();
        EXPECT_TRUE(releaseFirst.wait());
        value = 1;
    });
    atomic->asyncWrite([secondRan](int&) { *secondRan = true; });
    ASSERT_TRUE(firstRunning.wait());
    atomic.reset();
    releaseFirst.countDown();
    ASSERT_TRUE(platform::dispatch::waitForQuiescence(10s));
    EXPECT_FALSE(*secondRan);
}

TEST_F(LxAtomicTest, EveryAtomicOwnsItsQueue) {
    // One atomic held up by a queued write must not hold up another with the same label.
    LxAtomic<int> busy(0);
    LxAtomic<int> other(0);
    // Shared: the write may still be leaving `wait` when the test body returns.
    const auto release = std::make_shared<TestLatch>(1);
    busy.asyncWrite([release](int&) { EXPECT_TRUE(release->wait()); });
    other.syncWrite([](int& value) { value = 5; });
    EXPECT_EQ(other.wrappedValue(), 5);
    release->countDown();
}

TEST_F(LxAtomicTest, MoveOnlyValuesWorkWithoutCopyingReads) {
    LxAtomic<std::unique_ptr<int>> owner(nullptr);
    owner.syncWrite([](std::unique_ptr<int>& value) { value = std::make_unique<int>(3); });
    owner.asyncWrite([](std::unique_ptr<int>& value) { *value += 1; });
    std::optional<int> seen;
    owner.syncWrite([&seen](std::unique_ptr<int>& value) { seen = *value; });
    EXPECT_EQ(seen, 4);
}

TEST_F(LxAtomicTest, ConcurrentReadsRunSideBySideAndWriteWaitsForThem) {
    LxConcurrentAtomic<int> value(1);
    TestLatch bothReading(2);
    std::vector<std::thread> readers;
    for (int i = 0; i < 2; ++i) {
        readers.emplace_back(
            [&] { value.read([&](int) { EXPECT_TRUE(bothReading.arriveAndWait()); }); });
    }
    for (auto& reader : readers) {
        reader.join();
    }
    value.write([](int& v) { v = 2; });
    EXPECT_EQ(value.wrappedValue(), 2);
}

TEST_F(LxAtomicTest, ThreadSafeChangesAndAnswersInOneStep) {
    LxThreadSafe<std::vector<std::string>> names({"Ann"});
    const std::size_t count = names.atomically([](std::vector<std::string>& list) {
        list.push_back("Bob");
        return list.size();
    });
    EXPECT_EQ(count, 2u);
    names.atomically([](std::vector<std::string>& list) { list.pop_back(); });
    EXPECT_THROW(names.atomically([](std::vector<std::string>& list) -> int {
        list.push_back("Cid");
        throw std::invalid_argument("no Cid");
    }),
                 std::invalid_argument);
    EXPECT_EQ(names.wrappedValue(), (std::vector<std::string>{"Ann", "Cid"}))
        << "a change made before the throw stays, and the value is free again";
}

using LxAtomicDeathTest = LxAtomicTest;

TEST_F(LxAtomicDeathTest, ReenteringFromAWriteAbortsNamingTheLabel) {
    EXPECT_DEATH(
        {
            logToStandardError();
            LxAtomic<int> value(0);
            value.syncWrite([&value](int&) { value.wrappedValue(); });
        },
        "atomic_thread_safe");
}

}  // namespace
