#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/foundation/Error.h"
#include "platform/reactive/Future.h"
#include "platform/reactive/PassthroughSubject.h"
#include "platform/reactive/StreamTesting.h"

namespace {

using platform::Error;
using platform::Result;
using namespace platform::reactive;

TEST(AnyCancellableTest, TheLastCopyToGoCancelsOnce) {
    int cancels = 0;
    {
        AnyCancellable first([&cancels] { ++cancels; });
        {
            const AnyCancellable copy =
                first;  // NOLINT(performance-unnecessary-copy-initialization)
        }
        EXPECT_EQ(cancels, 0);
        first.cancel();
        first.cancel();
        EXPECT_EQ(cancels, 1);
    }
    EXPECT_EQ(cancels, 1);

    {
        const AnyCancellable dropped([&cancels] { ++cancels; });
    }
    EXPECT_EQ(cancels, 2);
}

TEST(PassthroughSubjectTest, DeliversEachValueToThePresentSubscribersInsideSend) {
    PassthroughSubject<int, Error> subject;
    subject.send(1);  // nobody listens yet: lost

    Recorder<int, Error> first;
    Recorder<int, Error> second;
    AnyCancellable a = subject.subscribe(first.subscriber());
    subject.send(2);
    AnyCancellable b = subject.subscribe(second.subscriber());
    subject.send(3);
    a.cancel();
    subject.send(4);
    subject.send(Completion<Error>::failure(Error("closed")));
    subject.send(5);
    subject.send(Completion<Error>::finished());

    EXPECT_EQ(first.events(), "2 3");
    EXPECT_EQ(second.events(), "3 4 failed:closed");

    Recorder<int, Error> late;
    AnyCancellable c = subject.subscribe(late.subscriber());
    EXPECT_EQ(late.events(), "failed:closed");
}

TEST(PassthroughSubjectTest, SubscribersCancelledDuringADeliveryReceiveNothingMore) {
    PassthroughSubject<int> subject;
    std::string seen;
    std::optional<AnyCancellable> self;
    std::optional<AnyCancellable> other;
    self = subject.sink([&](const int& value) {
        seen += "self" + std::to_string(value) + " ";
        self->cancel();  // the running call must finish safely
        other->cancel();
    });
    other = subject.sink([&](const int& value) { seen += "other" + std::to_string(value) + " "; });

    subject.send(1);
    subject.send(2);
    EXPECT_EQ(seen, "self1 ");
}

TEST(PassthroughSubjectTest, SendsFromManyThreadsAllArrive) {
    PassthroughSubject<int> subject;
    std::atomic<int> sum = 0;
    AnyCancellable cancellable = subject.sink([&sum](const int& value) { sum += value; });
    std::vector<std::thread> senders;
    for (int thread = 0; thread < 4; ++thread) {
        senders.emplace_back([&subject] {
            for (int i = 1; i <= 1000; ++i) {
                subject.send(i);
            }
        });
    }
    for (auto& sender : senders) {
        sender.join();
    }
    EXPECT_EQ(sum.load(), 4 * 500500);
}

TEST(SubscriptionTest, KeepsItsPromisesWhateverTheSourceDoes) {
    // A source that ignores the rules: values after the completion and two completions.
    const AnyPublisher<int, Error> unruly([](Subscriber<int, Error> down) {
        down.receiveValue(1);
        down.receiveCompletion(Completion<Error>::finished());
        down.receiveValue(2);
        down.receiveCompletion(Completion<Error>::failure(Error("late")));
        return AnyCancellable();
    });
    Recorder<int, Error> recorder;
    AnyCancellable cancellable = unruly.subscribe(recorder.subscriber());
    EXPECT_EQ(recorder.events(), "1 finished");
}

TEST(JustAndEmptyTest, DeliverInsideTheSubscription) {
    Recorder<std::string, Never> one;
    AnyCancellable a = just(std::string("x")).subscribe(one.subscriber());
    EXPECT_EQ(one.events(), "x finished");

    Recorder<int, Error> none;
    AnyCancellable b = empty<int, Error>().subscribe(none.subscriber());
    EXPECT_EQ(none.events(), "finished");
}

TEST(FutureTest, RunsTheAttemptOnceAtCreationAndReplaysTheResult) {
    int runs = 0;
    const Future<int, Error> future([&runs](auto promise) {
        ++runs;
        promise(Result<int, Error>::success(7));
    });
    EXPECT_EQ(runs, 1);

    Recorder<int, Error> first;
    Recorder<int, Error> second;
    AnyCancellable a = future.subscribe(first.subscriber());
    AnyCancellable b = future.subscribe(second.subscriber());
    EXPECT_EQ(first.events(), "7 finished");
    EXPECT_EQ(second.events(), "7 finished");
    EXPECT_EQ(runs, 1);
}

TEST(FutureTest, AFailureArrivesWithoutValue) {
    const Future<int, Error> future(
        [](auto promise) { promise(Result<int, Error>::failure(Error("broken"))); });
    Recorder<int, Error> recorder;
    AnyCancellable cancellable = future.subscribe(recorder.subscriber());
    EXPECT_EQ(recorder.events(), "failed:broken");
}

TEST(FutureTest, ALaterFulfilmentReachesWaitingSubscribersAndOnlyTheFirstCounts) {
    Future<int, Error>::Promise kept;
    const Future<int, Error> future([&kept](auto promise) { kept = promise; });

    Recorder<int, Error> waiting;
    Recorder<int, Error> cancelled;
    AnyCancellable a = future.subscribe(waiting.subscriber());
    AnyCancellable b = future.subscribe(cancelled.subscriber());
    b.cancel();

    std::thread([kept] {
        kept(Result<int, Error>::success(1));
        kept(Result<int, Error>::success(2));
    }).join();
    EXPECT_EQ(waiting.events(), "1 finished");
    EXPECT_EQ(cancelled.events(), "");

    Recorder<int, Error> later;
    AnyCancellable c = future.subscribe(later.subscriber());
    EXPECT_EQ(later.events(), "1 finished");
}

}  // namespace
