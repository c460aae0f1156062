#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/dispatch/ConcurrentQueue.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/SerialQueue.h"
#include "platform/foundation/Error.h"
#include "platform/reactive/Future.h"
#include "platform/reactive/PassthroughSubject.h"
#include "platform/reactive/StreamTesting.h"
#include "support/DispatchTest.h"

namespace {

using namespace std::chrono_literals;
using platform::Error;
using platform::Result;
using namespace platform::reactive;
namespace dispatch = platform::dispatch;

class SchedulingTest : public DispatchTest {};

TEST_F(SchedulingTest, ReceiveOnDeliversLaterOnTheQueueInOrder) {
    PassthroughSubject<int, Error> subject;
    Recorder<int, Error> recorder;
    std::atomic<bool> everyCallOnMain = true;
    AnyCancellable cancellable =
        subject.receiveOn(dispatch::mainQueue())
            .subscribe({[&](const int& value) {
                            everyCallOnMain = everyCallOnMain && dispatch::isMainThread();
                            recorder.subscriber().receiveValue(value);
                        },
                        recorder.subscriber().receiveCompletion});
    std::thread([&subject] {
        for (int i = 1; i <= 3; ++i) {
            subject.send(i);
        }
        subject.send(Completion<Error>::finished());
    }).join();
    EXPECT_EQ(recorder.events(), "");

    ASSERT_TRUE(dispatch::runUntil([&] { return recorder.events() == "1 2 3 finished"; }, 5s));
    EXPECT_TRUE(everyCallOnMain);
}

TEST_F(SchedulingTest, ReceiveOnAConcurrentQueueKeepsTheOrder) {
    PassthroughSubject<int, Error> subject;
    Recorder<int, Error> recorder;
    AnyCancellable cancellable = subject.receiveOn(dispatch::globalQueue(dispatch::QoS::background))
                                     .subscribe(recorder.subscriber());
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        subject.send(i);
        expected += (i == 0 ? "" : " ") + std::to_string(i);
    }
    ASSERT_TRUE(dispatch::runUntil([&] { return recorder.events() == expected; }, 5s));
}

TEST_F(SchedulingTest, ASubscriptionCancelledWhileItsJobWaitsReceivesNothing) {
    PassthroughSubject<int> subject;
    int received = 0;
    AnyCancellable cancellable =
        subject.receiveOn(dispatch::mainQueue()).sink([&received](const int&) { ++received; });
    subject.send(1);
    cancellable.cancel();
    dispatch::runUntilIdle();
    EXPECT_EQ(received, 0);
}

TEST_F(SchedulingTest, SubscribeOnSubscribesInAJobOnTheQueue) {
    const auto queue = dispatch::SerialQueue::create("subscribe.here");
    std::atomic<bool> subscribedOnQueue = false;
    const AnyPublisher<int, Error> source([&](Subscriber<int, Error> down) {
        subscribedOnQueue = queue->isCurrent();
        down.receiveValue(1);
        down.receiveCompletion(Completion<Error>::finished());
        return AnyCancellable();
    });
    Recorder<int, Error> recorder;
    AnyCancellable cancellable = source.subscribeOn(queue).subscribe(recorder.subscriber());
    ASSERT_TRUE(dispatch::runUntil([&] { return recorder.events() == "1 finished"; }, 5s));
    EXPECT_TRUE(subscribedOnQueue);
}

TEST_F(SchedulingTest, SubscribeOnCancelledBeforeItsJobRunsNeverSubscribes) {
    const auto queue = dispatch::SerialQueue::create("held.up");
    TestLatch release(1);
    queue->async([&release] { EXPECT_TRUE(release.wait()); });
    auto subscribed = std::make_shared<std::atomic<bool>>(false);
    const AnyPublisher<int, Error> source([subscribed](Subscriber<int, Error>) {
        *subscribed = true;
        return AnyCancellable();
    });
    { AnyCancellable cancellable = source.subscribeOn(queue).subscribe({}); }
    release.countDown();
    queue->sync([] {});
    EXPECT_FALSE(*subscribed);
}

// The engine's loading road: a stage made at once, then validation on a background queue, then
// delivery on the main queue; replacing the handle before delivery drops the pipeline.
TEST_F(SchedulingTest, LoadingPipelineRunsEachStageWhereItBelongs) {
    struct Trace {
        std::atomic<bool> loadedOnCaller = false;
        std::atomic<bool> validatedInBackground = false;
        std::string events;
    };
    auto trace = std::make_shared<Trace>();
    const auto pipeline = [trace](int project) {
        const std::thread::id caller = std::this_thread::get_id();
        const Future<int, Error> loading([&](auto promise) {
            trace->loadedOnCaller = std::this_thread::get_id() == caller;
            promise(Result<int, Error>::success(project));
        });
        return loading.subscribeOn(dispatch::globalQueue(dispatch::QoS::background))
            .flatMap([trace](int loaded) {
                return Future<int, Error>([&](auto promise) {
                    trace->validatedInBackground = !dispatch::isMainThread();
                    promise(loaded < 0 ? Result<int, Error>::failure(Error("invalid"))
                                       : Result<int, Error>::success(loaded));
                });
            })
            .receiveOn(dispatch::mainQueue())
            .sink(
                [trace](const Completion<Error>& completion) {
                    trace->events += completion.error() ? " failed" : " finished";
                },
                [trace](const int& value) { trace->events += std::to_string(value); });
    };

    std::optional<AnyCancellable> current = pipeline(1);
    ASSERT_TRUE(dispatch::runUntil([&] { return trace->events == "1 finished"; }, 5s));
    EXPECT_TRUE(trace->loadedOnCaller);
    EXPECT_TRUE(trace->validatedInBackground);

    trace->events.clear();
    current = pipeline(2);
    current = pipeline(-3);  // replaces the handle of the pipeline of 2
    ASSERT_TRUE(dispatch::runUntil([&] { return trace->events == " failed"; }, 5s));
    dispatch::runUntilIdle();
    EXPECT_EQ(trace->events, " failed");
}

}  // namespace
