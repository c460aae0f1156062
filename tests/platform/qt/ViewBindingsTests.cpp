#include <memory>
#include <string>
#include <vector>

#include <QWidget>
#include <gtest/gtest.h>

#include "platform/qt/MainQueueDriver.h"
#include "platform/qt/ViewBindings.h"
#include "reactive/LxRxEvent.h"
#include "reactive/LxRxState.h"
#include "support/QtApplicationTest.h"

namespace {

class ViewBindingsTest : public QtApplicationTest {
protected:
    void SetUp() override {
        QtApplicationTest::SetUp();
        driver_ = std::make_unique<platform::qt::MainQueueDriver>();
    }
    void TearDown() override {
        QtApplicationTest::TearDown();
        driver_.reset();
    }

private:
    std::unique_ptr<platform::qt::MainQueueDriver> driver_;
};

TEST_F(ViewBindingsTest, AnEventReachesTheViewInALaterMainTurnInOrder) {
    const auto event = LxRxEvent<std::string>::create();
    QWidget view;
    std::vector<std::string> received;
    platform::qt::bindEvent(&view, event,
                            [&](const std::string& text) { received.push_back(text); });

    event->send("first");
    event->send("second");
    EXPECT_TRUE(received.empty()) << "ran inside the sender's call";
    ASSERT_TRUE(processEventsUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received, (std::vector<std::string>{"first", "second"}));
}

TEST_F(ViewBindingsTest, WithoutAQueueTheClosureRunsInsideTheSend) {
    const auto event = LxRxEvent<int>::create();
    QWidget view;
    int received = 0;
    platform::qt::bindEvent(&view, event, nullptr, [&](const int& value) { received = value; });

    event->send(3);
    EXPECT_EQ(received, 3);
}

TEST_F(ViewBindingsTest, NothingReachesAViewThatIsGoneNotEvenWhatWasAlreadyQueued) {
    const auto event = LxRxEvent<int>::create();
    auto gone = std::make_unique<QWidget>();
    QWidget staying;
    std::vector<int> reachedGone;
    std::vector<int> reachedStaying;
    platform::qt::bindEvent(gone.get(), event,
                            [&](const int& value) { reachedGone.push_back(value); });
    platform::qt::bindEvent(&staying, event,
                            [&](const int& value) { reachedStaying.push_back(value); });

    event->send(1);  // queued for both now
    gone.reset();
    event->send(2);
    ASSERT_TRUE(processEventsUntil([&] { return reachedStaying.size() == 2; }));
    EXPECT_EQ(reachedStaying, (std::vector<int>{1, 2}));
    EXPECT_TRUE(reachedGone.empty());
}

TEST_F(ViewBindingsTest, APublishedValueIsHandedOverNowAndOnEveryChangeWhileTheViewLives) {
    const auto state = LxRxState<std::string>::create("draft");
    auto view = std::make_unique<QWidget>();
    std::vector<std::string> shown;
    platform::qt::bindPublisher(view.get(), state->publisher(),
                                [&](const std::string& text) { shown.push_back(text); });
    state->change("final");
    state->change("final");
    view.reset();
    state->change("after");

    EXPECT_EQ(shown, (std::vector<std::string>{"draft", "final", "final"}));
}

}  // namespace
