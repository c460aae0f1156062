#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/SerialQueue.h"
#include "support/DispatchTest.h"
#include "utility/LxTask.h"

namespace {

using namespace platform::dispatch;
using namespace std::chrono_literals;
using Controller = LxTask::Controller;
using Outcome = LxTask::Outcome;

// The outcomes a handler received, in order.
struct Outcomes {
    std::vector<std::optional<std::string>> received;  // none for success, else the message

    LxTask::Handler handler() {
        return [this](Outcome outcome) {
            std::optional<std::string> message;
            outcome.failureOperate(
                [&](const platform::AnyError& error) { message = error.localizedDescription(); });
            received.push_back(message);
        };
    }
};

class LxTaskTest : public DispatchTest {
protected:
    // A task that records its name when it starts and keeps its controller, to report later.
    LxTask held(std::string name) {
        return LxTask([this, name](Controller controller) {
            started.push_back(name);
            controllers.emplace(name, controller);
        });
    }

    std::vector<std::string> started;
    std::map<std::string, Controller> controllers;
};

TEST_F(LxTaskTest, PerformQueuesTheClosureAndHandsItsOutcomeToTheHandler) {
    Outcomes outcomes;
    LxTask([](Controller controller) {
        controller.finish();
    }).perform(mainQueue(), outcomes.handler());
    LxTask([] {
        return Outcome::failure(std::runtime_error("disk full"));
    }).perform(mainQueue(), outcomes.handler());
    EXPECT_TRUE(outcomes.received.empty()) << "never inline";
    runUntilIdle();
    EXPECT_EQ(outcomes.received,
              (std::vector<std::optional<std::string>>{std::nullopt, "disk full"}));
}

TEST_F(LxTaskTest, PerformWithoutAQueueRunsOnTheDefaultGlobalQueue) {
    std::atomic<bool> onDefault = false;
    std::atomic<bool> done = false;
    LxTask([&onDefault](Controller controller) {
        onDefault = globalQueue(QoS::default_)->isCurrent() &&
                    controller.queue() == globalQueue(QoS::default_);
        controller.finish();
    }).perform([&done](Outcome outcome) { done = outcome.isSuccess(); });
    EXPECT_TRUE(runUntil([&] { return done.load(); }, 10s));
    EXPECT_TRUE(onDefault);
}

TEST_F(LxTaskTest, GroupReportsTheFirstRecordedFailureOnlyAfterEveryTaskReported) {
    Outcomes outcomes;
    LxTask::group({held("1"), held("2"), held("3")}).perform(mainQueue(), outcomes.handler());
    runUntilIdle();
    EXPECT_EQ(started, (std::vector<std::string>{"1", "2", "3"})) << "all start at once";

    controllers.at("3").fail(std::runtime_error("third"));
    controllers.at("2").fail(std::runtime_error("second"));
    runUntilIdle();
    EXPECT_TRUE(outcomes.received.empty()) << "the first task has not reported yet";
    controllers.at("1").finish();
    runUntilIdle();
    EXPECT_EQ(outcomes.received, (std::vector<std::optional<std::string>>{"third"}));
}

TEST_F(LxTaskTest, ASubTaskReportingTwiceCountsOnceInAGroup) {
    Outcomes outcomes;
    LxTask::group({held("1"), held("2")}).perform(mainQueue(), outcomes.handler());
    runUntilIdle();
    controllers.at("1").finish();
    controllers.at("1").finish();
    controllers.at("1").fail(std::runtime_error("late"));
    runUntilIdle();
    EXPECT_TRUE(outcomes.received.empty()) << "the second task is still running";
    controllers.at("2").finish();
    runUntilIdle();
    EXPECT_EQ(outcomes.received, (std::vector<std::optional<std::string>>{std::nullopt}));
}

TEST_F(LxTaskTest, EmptyGroupAndEmptySequenceSucceed) {
    Outcomes outcomes;
    LxTask::group({}).perform(mainQueue(), outcomes.handler());
    LxTask::sequence({}).perform(mainQueue(), outcomes.handler());
    runUntilIdle();
    EXPECT_EQ(outcomes.received,
              (std::vector<std::optional<std::string>>{std::nullopt, std::nullopt}));
}

TEST_F(LxTaskTest, GroupOnAConcurrentQueueRunsItsTasksSideBySide) {
    constexpr int kTasks = 3;
    auto meeting = std::make_shared<TestLatch>(kTasks);
    std::vector<LxTask> tasks;
    for (int i = 0; i < kTasks; ++i) {
        tasks.emplace_back([meeting, i](Controller controller) {
            if (!meeting->arriveAndWait()) {
                controller.fail(std::runtime_error("ran alone"));
            } else if (i == 1) {
                controller.fail(std::runtime_error("only failure"));
            } else {
                controller.finish();
            }
        });
    }
    std::mutex mutex;
    std::optional<std::string> failure;
    std::atomic<bool> done = false;
    LxTask::group(tasks).perform(ConcurrentQueue::create("group.test"), [&](Outcome outcome) {
        std::lock_guard lock(mutex);
        outcome.failureOperate(
            [&](const platform::AnyError& error) { failure = error.localizedDescription(); });
        done = true;
    });
    ASSERT_TRUE(runUntil([&] { return done.load(); }, 20s));
    std::lock_guard lock(mutex);
    EXPECT_EQ(failure, "only failure");
}

TEST_F(LxTaskTest, SequenceStopsAtAFailureAndContinuesThereWhenPerformedAgain) {
    Outcomes outcomes;
    const LxTask sequence = LxTask::sequence({held("1"), held("2"), held("3")});
    sequence.perform(mainQueue(), outcomes.handler());
    runUntilIdle();
    EXPECT_EQ(started, std::vector<std::string>{"1"}) << "one after another";
    controllers.at("1").finish();
    runUntilIdle();
    controllers.at("2").fail(std::runtime_error("second"));
    controllers.at("2").finish();
    runUntilIdle();
    EXPECT_EQ(started, (std::vector<std::string>{"1", "2"})) << "the third never starts";
    EXPECT_EQ(outcomes.received, (std::vector<std::optional<std::string>>{"second"}));

    // The position belongs to the sequence task and to its copies.
    const LxTask copy = sequence;
    copy.perform(mainQueue(), outcomes.handler());
    runUntilIdle();
    EXPECT_EQ(started, (std::vector<std::string>{"1", "2", "3"}));
    controllers.at("3").finish();
    sequence.perform(mainQueue(), outcomes.handler());
    runUntilIdle();
    EXPECT_EQ(started.size(), 3u) << "at its end it succeeds without running anything";
    EXPECT_EQ(outcomes.received,
              (std::vector<std::optional<std::string>>{"second", std::nullopt, std::nullopt}));
}

TEST_F(LxTaskTest, ConcurrentPerformancesOfOneSequenceRunEachTaskOnce) {
    constexpr int kTasks = 200;
    std::atomic<int> runs = 0;
    std::vector<LxTask> tasks(kTasks, LxTask([&runs](Controller controller) {
                                  ++runs;
                                  controller.finish();
                              }));
    const LxTask sequence = LxTask::sequence(std::move(tasks));
    std::atomic<int> finished = 0;
    for (int i = 0; i < 4; ++i) {
        sequence.perform(globalQueue(QoS::userInitiated), [&finished](Outcome) { ++finished; });
    }
    ASSERT_TRUE(runUntil([&] { return finished == 4; }, 20s));
    EXPECT_EQ(runs, kTasks);
}

}  // namespace
