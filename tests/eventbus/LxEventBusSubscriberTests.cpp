#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "eventbus/LxEventBusSubscriber.h"
#include "platform/dispatch/MainQueue.h"
#include "support/DispatchTest.h"

namespace {

using namespace platform::dispatch;

class LxEventBusSubscriberTest : public DispatchTest {};

TEST_F(LxEventBusSubscriberTest, UnregisterLeavesEveryEventAndEveryRegistration) {
    const auto saved = LxBroadcastEvent<std::string>::create();
    const auto closed = LxBroadcastEvent<int>::create();
    const auto subscriber = LxEventBusSubscriber::create();
    std::vector<std::string> received;
    subscriber->register_(saved, false, [&](const std::string& path) { received.push_back(path); });
    subscriber->register_(saved, false, [&](const std::string&) { received.push_back("again"); });
    subscriber->register_(closed, false,
                          [&](const int& code) { received.push_back(std::to_string(code)); });
    saved->sync("plan.orb");
    closed->sync(3);
    EXPECT_EQ(received, (std::vector<std::string>{"plan.orb", "again", "3"}));
    EXPECT_TRUE(saved->contains(subscriber));
    EXPECT_TRUE(closed->contains(subscriber));

    subscriber->unregister();
    saved->sync("other.orb");
    closed->sync(4);
    EXPECT_EQ(received.size(), 3u);
    EXPECT_FALSE(saved->contains(subscriber));
    EXPECT_FALSE(closed->contains(subscriber));
}

TEST_F(LxEventBusSubscriberTest, AReleasedEventIsSkippedWhenLeaving) {
    auto gone = LxBroadcastEvent<int>::create();
    const auto stays = LxBroadcastEvent<int>::create();
    const auto subscriber = LxEventBusSubscriber::create();
    int calls = 0;
    subscriber->register_(gone, false, [&](const int&) { ++calls; });
    subscriber->register_(stays, false, [&](const int&) { ++calls; });
    gone.reset();
    subscriber->unregister();
    stays->sync(1);
    EXPECT_EQ(calls, 0);
}

// Registers one block with `event` for each start and counts the hook's calls.
class CountingController : public LxEventBusController {
public:
    explicit CountingController(std::shared_ptr<LxBroadcastEvent<int>> event)
        : event_(std::move(event)) {}
    ~CountingController() override { stop(); }

    int hookCalls = 0;
    std::vector<int> received;

protected:
    void subscribeEvents(const std::shared_ptr<LxEventBusSubscriber>& subscriber) override {
        ++hookCalls;
        subscriber->register_(event_, false,
                              [this](const int& value) { received.push_back(value); });
        subscriber->register_(event_, true,
                              [this](const int& value) { received.push_back(-value); });
    }

private:
    std::shared_ptr<LxBroadcastEvent<int>> event_;
};

TEST_F(LxEventBusSubscriberTest, ControllerSubscribesOncePerStartAndLeavesAtOnceOnStop) {
    const auto event = LxBroadcastEvent<int>::create();
    CountingController controller(event);
    controller.stop();
    controller.start();
    controller.start();
    EXPECT_EQ(controller.hookCalls, 1);
    event->sync(1);
    runUntilIdle();
    EXPECT_EQ(controller.received, (std::vector<int>{1, -1}));

    event->sync(2);  // the main-thread half is queued, then stopped before it runs
    controller.stop();
    event->sync(3);
    runUntilIdle();
    EXPECT_EQ(controller.received, (std::vector<int>{1, -1, 2}));

    controller.start();
    EXPECT_EQ(controller.hookCalls, 2);
    event->sync(4);
    runUntilIdle();
    EXPECT_EQ(controller.received, (std::vector<int>{1, -1, 2, 4, -4}));
}

TEST_F(LxEventBusSubscriberTest, StopUnregistersASubscriberThatIsStillHeldElsewhere) {
    // Dropping the subscriber alone would only silence it while nobody else holds it.
    const auto event = LxBroadcastEvent<int>::create();
    struct Holding : LxEventBusController {
        std::shared_ptr<LxBroadcastEvent<int>> event;
        std::shared_ptr<LxEventBusSubscriber> held;
        std::vector<int> received;
        explicit Holding(std::shared_ptr<LxBroadcastEvent<int>> event) : event(std::move(event)) {}
        void subscribeEvents(const std::shared_ptr<LxEventBusSubscriber>& subscriber) override {
            held = subscriber;
            subscriber->register_(event, false,
                                  [this](const int& value) { received.push_back(value); });
        }
    } controller(event);
    controller.start();
    event->sync(1);
    controller.stop();
    event->sync(2);
    EXPECT_EQ(controller.received, std::vector<int>{1});
    EXPECT_FALSE(event->contains(controller.held));
}

TEST_F(LxEventBusSubscriberTest, DestroyingAStartedControllerRemovesItsSubscriptions) {
    const auto event = LxBroadcastEvent<int>::create();
    std::weak_ptr<LxEventBusSubscriber> subscriber;
    {
        struct Remembering : LxEventBusController {
            std::weak_ptr<LxEventBusSubscriber>& remembered;
            std::shared_ptr<LxBroadcastEvent<int>> event;
            Remembering(std::weak_ptr<LxEventBusSubscriber>& remembered,
                        std::shared_ptr<LxBroadcastEvent<int>> event)
                : remembered(remembered), event(std::move(event)) {}
            void subscribeEvents(const std::shared_ptr<LxEventBusSubscriber>& s) override {
                remembered = s;
                s->register_(event, false, [](const int&) {});
            }
        } controller(subscriber, event);
        controller.start();
        EXPECT_TRUE(event->contains(subscriber.lock()));
    }
    EXPECT_TRUE(subscriber.expired());
    // Only the null unregister could still find a released subscription; there must be none.
    int calls = 0;
    const auto other = std::make_shared<int>(0);
    event->register_(other, false, [&](const int&) { ++calls; });
    event->unregister(nullptr);
    event->sync(1);
    EXPECT_EQ(calls, 1) << "a subscription of the destroyed controller was left behind";
}

}  // namespace
