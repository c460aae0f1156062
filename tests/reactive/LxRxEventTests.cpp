#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Quiescence.h"
#include "platform/dispatch/SerialQueue.h"
#include "reactive/LxRxEvent.h"
#include "reactive/LxRxEventSubscriptionManager.h"
#include "support/DispatchTest.h"

namespace {

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

// What one subscriber received and where: "value@where" per call.
class Deliveries {
public:
    void add(const std::string& entry) {
        const std::lock_guard lock(mutex_);
        entries_.push_back(entry);
    }
    std::vector<std::string> entries() const {
        const std::lock_guard lock(mutex_);
        return entries_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> entries_;
};

std::string where(const dispatch::QueuePtr& queue) {
    if (queue && queue->isCurrent()) {
        return queue->label();
    }
    return dispatch::isMainThread() ? "main thread" : "elsewhere";
}

class LxRxEventTest : public DispatchTest {};

TEST_F(LxRxEventTest, TheClosureRunsWhereTheSendAndTheSubscriptionSay) {
    const auto sendQueue = dispatch::SerialQueue::create("send.here");
    const auto receiveQueue = dispatch::SerialQueue::create("receive.here");
    struct Row {
        const char* name;
        dispatch::QueuePtr sendOn;
        dispatch::QueuePtr receiveOn;
        bool viaSendOnMain;
        // None where another thread delivers, at a moment the test does not control.
        std::optional<bool> deliveredInsideSend;
        std::string expectedPlace;
    };
    const Row rows[] = {
        {"no queues", nullptr, nullptr, false, true, "main thread"},
        {"sendOnMain from the main thread", nullptr, nullptr, true, false, "main"},
        {"send on a queue", sendQueue, nullptr, false, std::nullopt, "send.here"},
        {"receive on a queue", nullptr, receiveQueue, false, std::nullopt, "receive.here"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto event = LxRxEvent<int>::create();
        LxRxEventSubscriptionManager manager;
        Deliveries deliveries;
        const dispatch::QueuePtr expectedQueue =
            row.viaSendOnMain ? dispatch::mainQueue() : (row.sendOn ? row.sendOn : row.receiveOn);
        manager.subscribe(event, row.receiveOn, [&, expectedQueue](const int& value) {
            deliveries.add(std::to_string(value) + "@" + where(expectedQueue));
        });
        ASSERT_EQ(manager.subscriptionCount(), 1u);

        if (row.viaSendOnMain) {
            event->sendOnMain(7);
        } else {
            event->send(7, row.sendOn);
        }
        if (row.deliveredInsideSend) {
            EXPECT_EQ(deliveries.entries().size(), *row.deliveredInsideSend ? 1u : 0u);
        }
        ASSERT_TRUE(dispatch::runUntil([&] { return !deliveries.entries().empty(); }, 5s));
        EXPECT_EQ(deliveries.entries(), std::vector<std::string>{"7@" + row.expectedPlace});
        ASSERT_TRUE(dispatch::waitForQuiescence(5s));
    }
}

TEST_F(LxRxEventTest, ValuesArriveInTheOrderSent) {
    const auto event = LxRxEvent<std::string>::create();
    const auto queue = dispatch::SerialQueue::create("events");
    LxRxEventSubscriptionManager manager;
    Deliveries deliveries;
    manager.subscribe(event, [&](const std::string& value) { deliveries.add(value); });
    ASSERT_EQ(manager.subscriptionCount(), 1u);

    event->send("a");
    event->send("b");
    event->send("c", queue);
    event->send("d", queue);
    ASSERT_TRUE(dispatch::runUntil([&] { return deliveries.entries().size() == 4; }, 5s));
    EXPECT_EQ(deliveries.entries(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(LxRxEventTest, AValueQueuedForAnEventThatIsGoneReachesNoOne) {
    auto event = LxRxEvent<int>::create();
    const auto queue = dispatch::SerialQueue::create("held.up");
    LxRxEventSubscriptionManager manager;
    std::atomic<int> received = 0;
    manager.subscribe(event, [&received](const int&) { ++received; });
    ASSERT_EQ(manager.subscriptionCount(), 1u);

    TestLatch release(1);
    queue->async([&release] { EXPECT_TRUE(release.wait()); });
    event->send(1, queue);
    const std::weak_ptr<LxRxEvent<int>> weak = event;
    event.reset();
    EXPECT_TRUE(weak.expired()) << "subscriptions do not keep the event alive";
    release.countDown();
    ASSERT_TRUE(dispatch::waitForQuiescence(5s));
    EXPECT_EQ(received, 0);
}

TEST_F(LxRxEventTest, UnsubscribingEndsEverySubscriptionAlsoOneWaitingForItsQueue) {
    const auto event = LxRxEvent<int>::create();
    LxRxEventSubscriptionManager manager;
    std::atomic<int> direct = 0;
    std::atomic<int> onMain = 0;
    manager.subscribe(event, [&direct](const int&) { ++direct; });
    manager.subscribe(event, dispatch::mainQueue(), [&onMain](const int&) { ++onMain; });
    ASSERT_EQ(manager.subscriptionCount(), 2u);

    event->send(1);  // the main-queue delivery is now waiting for a turn
    EXPECT_EQ(direct, 1);
    manager.unSubscribeAll();
    EXPECT_EQ(manager.subscriptionCount(), 0u);
    event->send(2);
    dispatch::runUntilIdle();
    EXPECT_EQ(direct, 1);
    EXPECT_EQ(onMain, 0);

    manager.unSubscribeAll();
    EXPECT_EQ(manager.subscriptionCount(), 0u);
}

TEST_F(LxRxEventTest, DestroyingTheManagerEndsItsSubscriptions) {
    const auto event = LxRxEvent<int>::create();
    std::atomic<int> received = 0;
    {
        LxRxEventSubscriptionManager manager;
        manager.subscribe(event, [&received](const int&) { ++received; });
        ASSERT_EQ(manager.subscriptionCount(), 1u);
        event->send(1);
    }
    event->send(2);
    EXPECT_EQ(received, 1);
}

TEST_F(LxRxEventTest, SendsFromManyThreadsAllArrive) {
    const auto event = LxRxEvent<int>::create();
    LxRxEventSubscriptionManager manager;
    std::atomic<int> sum = 0;
    manager.subscribe(event, [&sum](const int& value) { sum += value; });
    ASSERT_EQ(manager.subscriptionCount(), 1u);
    std::vector<std::thread> senders;
    for (int thread = 0; thread < 4; ++thread) {
        senders.emplace_back([&event] {
            for (int i = 1; i <= 100; ++i) {
                event->send(i, dispatch::globalQueue(dispatch::QoS::utility));
            }
        });
    }
    for (auto& sender : senders) {
        sender.join();
    }
    ASSERT_TRUE(dispatch::waitForQuiescence(5s));
    EXPECT_EQ(sum, 4 * 5050);
}

}  // namespace
