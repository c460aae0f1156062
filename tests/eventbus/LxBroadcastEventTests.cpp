#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "eventbus/LxBroadcastEvent.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Quiescence.h"
#include "support/DispatchTest.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;
using platform::reactive::Unit;

struct Target {};

class LxBroadcastEventTest : public DispatchTest {
protected:
    // A block that records "<name>:<value>".
    LxBroadcastEvent<int>::Block recording(std::string name) {
        return [this, name](const int& value) {
            std::lock_guard lock(mutex);
            delivered.push_back(name + ":" + std::to_string(value));
        };
    }

    std::vector<std::string> deliveries() {
        std::lock_guard lock(mutex);
        return delivered;
    }

    std::mutex mutex;
    std::vector<std::string> delivered;
};

TEST_F(LxBroadcastEventTest, SyncDeliversInRegistrationOrderOncePerSubscription) {
    const auto event = LxBroadcastEvent<int>::create();
    event->sync(0);
    const auto a = std::make_shared<Target>();
    const auto b = std::make_shared<Target>();
    event->register_(a, false, recording("a1"));
    event->register_(b, false, recording("b"));
    event->register_(a, false, recording("a2"));
    event->sync(1);
    EXPECT_EQ(deliveries(), (std::vector<std::string>{"a1:1", "b:1", "a2:1"}));

    event->unregister(a);
    event->sync(2);
    EXPECT_EQ(deliveries(), (std::vector<std::string>{"a1:1", "b:1", "a2:1", "b:2", "a2:2"}))
        << "one unregister removes only the first subscription";
    EXPECT_TRUE(event->contains(a));
    EXPECT_FALSE(event->contains(nullptr));
    EXPECT_FALSE(event->contains(std::make_shared<Target>()));
}

TEST_F(LxBroadcastEventTest, AReleasedTargetIsSkippedAndRemovedByANullUnregister) {
    const auto event = LxBroadcastEvent<int>::create();
    auto gone = std::make_shared<Target>();
    const auto stays = std::make_shared<Target>();
    event->register_(gone, false, recording("gone"));
    event->register_(stays, false, recording("stays"));
    const std::weak_ptr<void> goneIdentity = gone;
    gone.reset();

    event->sync(1);
    EXPECT_EQ(deliveries(), std::vector<std::string>{"stays:1"});
    EXPECT_FALSE(event->contains(goneIdentity.lock()));

    // The released subscription is still in the list: the null unregister takes it, not "stays".
    event->unregister(nullptr);
    event->unregister(nullptr);
    event->sync(2);
    EXPECT_EQ(deliveries(), (std::vector<std::string>{"stays:1", "stays:2"}));
}

TEST_F(LxBroadcastEventTest, ABlockMayUseItsOwnEventDuringADelivery) {
    const auto event = LxBroadcastEvent<int>::create();
    const auto target = std::make_shared<Target>();
    const auto late = std::make_shared<Target>();
    event->register_(target, false, [&, event](const int& value) {
        delivered.push_back("outer:" + std::to_string(value));
        if (value == 1) {
            EXPECT_TRUE(event->contains(target));
            event->register_(late, false, recording("late"));
            event->sync(2);
            event->unregister(target);
        }
    });
    // Would wait for itself if blocks ran while the subscription list is held.
    std::atomic<bool> done = false;
    std::jthread sender([&] {
        event->sync(1);
        done = true;
    });
    ASSERT_TRUE(runUntil([&] { return done.load(); }, 10s)) << "deadlocked";
    sender.join();
    EXPECT_EQ(delivered, (std::vector<std::string>{"outer:1", "outer:2", "late:2"}));
    event->sync(3);
    EXPECT_EQ(delivered.back(), "late:3");
    EXPECT_EQ(delivered.size(), 4u);
}

TEST_F(LxBroadcastEventTest, MainThreadSubscriptionsRunOnTheMainQueueIfStillThere) {
    const auto event = LxBroadcastEvent<int>::create();
    const auto viewer = std::make_shared<Target>();
    auto closed = std::make_shared<Target>();
    std::vector<bool> onMain;
    event->register_(viewer, true, [&](const int& value) {
        onMain.push_back(isMainThread());
        delivered.push_back("viewer:" + std::to_string(value));
    });
    event->register_(closed, true, recording("closed"));
    event->sync(1);
    event->sync(2);
    EXPECT_TRUE(delivered.empty()) << "queued, not called";
    closed.reset();
    runUntilIdle();
    EXPECT_EQ(delivered, (std::vector<std::string>{"viewer:1", "viewer:2"}));
    EXPECT_EQ(onMain, (std::vector<bool>{true, true}));

    // Unregistered before the main queue got to it: the subscription is gone.
    event->sync(3);
    event->unregister(viewer);
    event->sync(4);
    EXPECT_TRUE(waitForQuiescence(10s));
    EXPECT_EQ(delivered.size(), 2u);
}

TEST_F(LxBroadcastEventTest, AsyncDeliversOnTheEventBusQueueThenCompletes) {
    const auto event = LxBroadcastEvent<Unit>::create();
    const auto target = std::make_shared<Target>();
    std::atomic<int> calls = 0;
    std::atomic<bool> onBusQueue = false;
    std::atomic<bool> completed = false;
    event->register_(target, false, [&](const Unit&) {
        onBusQueue = eventBusQueue()->isCurrent();
        ++calls;
    });
    event->async(std::nullopt, [&] { completed = calls.load() == 1; });
    EXPECT_TRUE(runUntil([&] { return completed.load(); }, 10s));
    EXPECT_TRUE(onBusQueue);
    EXPECT_EQ(eventBusQueue()->label(), "event_bus");
    EXPECT_EQ(eventBusQueue(), eventBusQueue());
    event->sync();
    EXPECT_EQ(calls, 2);

    // Without subscriptions the completion still runs.
    std::atomic<bool> emptyCompleted = false;
    LxBroadcastEvent<Unit>::create()->sync();
    const auto empty = LxBroadcastEvent<Unit>::create();
    empty->async(std::nullopt, [&] { emptyCompleted = eventBusQueue()->isCurrent(); });
    EXPECT_TRUE(runUntil([&] { return emptyCompleted.load(); }, 10s));
}

TEST_F(LxBroadcastEventTest, DelayedAsyncWaitsForTheClockAndDropsAReleasedEvent) {
    ManualClock& clock = manualClock();
    auto event = LxBroadcastEvent<int>::create();
    const auto kept = LxBroadcastEvent<int>::create();
    const auto target = std::make_shared<Target>();
    event->register_(target, false, recording("released"));
    kept->register_(target, false, recording("kept"));
    std::atomic<int> completions = 0;
    event->async(1, 500ms, [&] { ++completions; });
    kept->async(2, 500ms, [&] { ++completions; });

    clock.advance(499ms);
    EXPECT_TRUE(waitForQuiescence(10s));
    EXPECT_TRUE(deliveries().empty());
    event.reset();
    clock.advance(1ms);
    EXPECT_TRUE(waitForQuiescence(10s));
    EXPECT_EQ(deliveries(), std::vector<std::string>{"kept:2"});
    EXPECT_EQ(completions, 1);
}

TEST_F(LxBroadcastEventTest, OneEventsBlocksNeverRunAtTheSameTimeOnTwoThreads) {
    constexpr int kThreads = 4;
    constexpr int kSendsPerThread = 2000;
    const auto event = LxBroadcastEvent<int>::create();
    const auto target = std::make_shared<Target>();
    const auto second = std::make_shared<Target>();
    std::atomic<int> running = 0;
    std::atomic<int> overlaps = 0;
    std::atomic<int> calls = 0;
    const auto probe = [&](const int&) {
        if (running.fetch_add(1) != 0) {
            ++overlaps;
        }
        std::this_thread::yield();  // gives another sender the chance to come in
        ++calls;
        running.fetch_sub(1);
    };
    event->register_(target, false, probe);
    event->register_(second, false, probe);
    {
        std::vector<std::jthread> senders;
        for (int t = 0; t < kThreads; ++t) {
            senders.emplace_back([&] {
                for (int i = 0; i < kSendsPerThread; ++i) {
                    event->sync(i);
                }
            });
        }
    }
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(calls, 2 * kThreads * kSendsPerThread);
}

TEST_F(LxBroadcastEventTest, RegisteringAndSendingFromManyThreadsLosesNothing) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 50;
    const auto event = LxBroadcastEvent<int>::create();
    std::vector<std::shared_ptr<Target>> targets;
    for (int i = 0; i < kThreads * kPerThread; ++i) {
        targets.push_back(std::make_shared<Target>());
    }
    std::atomic<int> calls = 0;
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < kPerThread; ++i) {
                    event->register_(targets[t * kPerThread + i], false,
                                     [&calls](const int&) { ++calls; });
                    event->sync(i);
                }
            });
        }
    }
    calls = 0;
    event->sync(0);
    EXPECT_EQ(calls, kThreads * kPerThread);
}

}  // namespace
