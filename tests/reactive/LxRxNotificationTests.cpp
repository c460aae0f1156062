#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/MainQueue.h"
#include "platform/reactive/AnyCancellable.h"
#include "reactive/LxRxNotification.h"
#include "reactive/LxRxNotificationSubscriptionsManager.h"
#include "support/DispatchTest.h"

namespace {

using namespace std::chrono_literals;
namespace dispatch = platform::dispatch;

class LxRxNotificationTest : public DispatchTest {};

TEST_F(LxRxNotificationTest, SendingWithoutListenersDoesNothing) {
    // Nothing is kept for a later listener, and listeners of other names hear nothing.
    const LxRxNotification<int> nobody = "LxRxNotificationTest.Nobody";
    const LxRxNotification<int> other = "LxRxNotificationTest.Other";
    std::vector<int> heardOther;
    const auto otherSink = other.sink([&](const int& value) { heardOther.push_back(value); });
    nobody.send(5);
    std::vector<int> heardLate;
    const auto lateSink = nobody.sink([&](const int& value) { heardLate.push_back(value); });
    const auto lateOnMain =
        nobody.sink(true, [&](const int& value) { heardLate.push_back(-value); });
    dispatch::runUntilIdle();
    EXPECT_TRUE(heardLate.empty());
    nobody.send(6);
    dispatch::runUntilIdle();
    EXPECT_EQ(heardLate, (std::vector<int>{6, -6}));
    EXPECT_TRUE(heardOther.empty());
}

TEST_F(LxRxNotificationTest, EachSinkReceivesOnlyPayloadsOfItsOwnType) {
    const LxRxNotification<int> counts = "LxRxNotificationTest.Shared";
    const LxRxNotification<std::string> texts("LxRxNotificationTest.Shared");
    const LxRxNotification<double> ratios = "LxRxNotificationTest.Shared";
    std::vector<int> receivedCounts;
    std::vector<std::string> receivedTexts;
    std::vector<double> receivedRatios;
    const auto countSink = counts.sink([&](const int& count) { receivedCounts.push_back(count); });
    const auto textSink =
        texts.sink([&](const std::string& text) { receivedTexts.push_back(text); });
    const auto ratioSink =
        ratios.sink([&](const double& ratio) { receivedRatios.push_back(ratio); });

    counts.send(5);
    texts.send("five");
    ratios.send(0.5);
    platform::NotificationCenter::defaultCenter().post("LxRxNotificationTest.Shared");

    EXPECT_EQ(receivedCounts, std::vector<int>{5});
    EXPECT_EQ(receivedTexts, std::vector<std::string>{"five"});
    EXPECT_EQ(receivedRatios, std::vector<double>{0.5});  // the int 5 is not read as a double
}

TEST_F(LxRxNotificationTest, OptionalPayloadsTravelAsTheirValueAndNoneReachesNobody) {
    const LxRxNotification<std::optional<int>> maybeCounts = "LxRxNotificationTest.Optional";
    const LxRxNotification<int> counts = "LxRxNotificationTest.Optional";
    std::vector<std::optional<int>> receivedMaybe;
    std::vector<int> receivedCounts;
    const auto maybeSink =
        maybeCounts.sink([&](const std::optional<int>& count) { receivedMaybe.push_back(count); });
    const auto countSink = counts.sink([&](const int& count) { receivedCounts.push_back(count); });

    maybeCounts.send(std::nullopt);
    maybeCounts.send(4);
    counts.send(5);

    EXPECT_EQ(receivedMaybe, (std::vector<std::optional<int>>{4, 5}));
    EXPECT_EQ(receivedCounts, (std::vector<int>{4, 5}));
}

TEST_F(LxRxNotificationTest, ASinkWithoutDispatchRunsInsideSendOnThePostingThread) {
    const LxRxNotification<int> counts = "LxRxNotificationTest.Inline";
    std::vector<std::thread::id> threads;
    const auto sink =
        counts.sink([&](const int&) { threads.push_back(std::this_thread::get_id()); });

    std::thread poster([&] { counts.send(1); });
    poster.join();
    counts.send(2);

    ASSERT_EQ(threads.size(), 2u);
    EXPECT_NE(threads[0], std::this_thread::get_id());
    EXPECT_EQ(threads[1], std::this_thread::get_id());
}

TEST_F(LxRxNotificationTest, ASinkDispatchingToMainRunsInALaterTurnOfTheMainQueue) {
    const LxRxNotification<int> counts = "LxRxNotificationTest.Main";
    std::vector<int> received;
    const auto sink = counts.sink(true, [&](const int& count) {
        EXPECT_TRUE(dispatch::isMainThread());
        received.push_back(count);
    });

    counts.send(5);
    EXPECT_TRUE(received.empty());
    std::thread poster([&] { counts.send(6); });
    poster.join();

    dispatch::runUntilIdle();
    EXPECT_EQ(received, (std::vector<int>{5, 6}));
}

TEST_F(LxRxNotificationTest, CancelledOrDestroyedSinksReachNobody) {
    const LxRxNotification<int> counts = "LxRxNotificationTest.Cancel";
    int cancelledCalls = 0;
    int destroyedCalls = 0;
    const auto cancelled = counts.sink([&](const int&) { ++cancelledCalls; });
    auto destroyed = counts.sink([&](const int&) { ++destroyedCalls; });
    counts.send(1);

    cancelled->cancel();
    cancelled->cancel();
    destroyed.reset();
    counts.send(2);

    EXPECT_EQ(cancelledCalls, 1);
    EXPECT_EQ(destroyedCalls, 1);
}

TEST_F(LxRxNotificationTest, ASinkCancelledByAnEarlierListenerMissesThatPost) {
    const LxRxNotification<int> counts = "LxRxNotificationTest.CancelDuring";
    int laterCalls = 0;
    std::shared_ptr<LxRxNotificationSink<int>> later;
    const auto first = counts.sink([&](const int&) { later->cancel(); });
    later = counts.sink([&](const int&) { ++laterCalls; });

    counts.send(1);

    EXPECT_EQ(laterCalls, 0);
}

TEST_F(LxRxNotificationTest, ThePublisherIsIndependentOfItsSink) {
    const LxRxNotification<int> counts = "LxRxNotificationTest.Publisher";
    const auto sink = counts.sink([](const int&) {});
    std::vector<int> published;
    const auto publisher = sink->publisher();
    auto subscription = publisher.sink([&](const int& count) { published.push_back(count); });

    sink->cancel();
    counts.send(3);

    EXPECT_EQ(published, std::vector<int>{3});
    EXPECT_EQ(sink->name(), "LxRxNotificationTest.Publisher");
}

TEST_F(LxRxNotificationTest, TheManagerSubscribesAndUnsubscribesInOrderOnItsQueue) {
    const LxRxNotification<int> counts = "LxRxNotificationTest.Manager";
    LxRxNotificationSubscriptionsManager manager;
    std::vector<std::string> received;

    manager.subscribe(counts,
                      [&](const int& count) { received.push_back("a" + std::to_string(count)); });
    manager.subscribe(counts, true, [&](const int& count) {
        received.push_back("main" + std::to_string(count));
    });
    ASSERT_EQ(manager.subscriptionCount(), 2u);
    counts.send(1);
    dispatch::runUntilIdle();
    manager.unSubscribeAll();
    ASSERT_EQ(manager.subscriptionCount(), 0u);
    counts.send(2);
    dispatch::runUntilIdle();

    EXPECT_EQ(received, (std::vector<std::string>{"a1", "main1"}));
}

TEST_F(LxRxNotificationTest, DestroyingTheManagerEndsItsSinks) {
    const LxRxNotification<int> counts = "LxRxNotificationTest.ManagerGone";
    std::vector<int> received;
    {
        LxRxNotificationSubscriptionsManager manager;
        manager.subscribe(counts, [&](const int& count) { received.push_back(count); });
        ASSERT_EQ(manager.subscriptionCount(), 1u);
        counts.send(1);
    }
    counts.send(2);

    EXPECT_EQ(received, std::vector<int>{1});
}

TEST_F(LxRxNotificationTest, UnsubscribingAnEmptyManagerLeavesItEmpty) {
    LxRxNotificationSubscriptionsManager manager;
    manager.unSubscribeAll();
    EXPECT_EQ(manager.subscriptionCount(), 0u);
}

}  // namespace
