#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/Error.h"
#include "platform/reactive/PassthroughSubject.h"
#include "platform/reactive/StreamTesting.h"
#include "reactive/PublisherHelpers.h"

namespace {

using platform::Error;
using platform::Result;
using namespace platform::reactive;

// The values and the completion a subscriber receives, as one line.
template <class E>
std::string received(const AnyPublisher<int, E>& publisher) {
    std::string events;
    AnyCancellable cancellable = publisher.sink(
        [&events](const Completion<E>& completion) {
            events += completion.error() ? "failed" : "finished";
        },
        [&events](const int& value) { events += std::to_string(value) + " "; });
    return events;
}

TEST(PublisherHelpersTest, FromRunsTheActionOnceAtCreation) {
    int runs = 0;
    const auto future = lx::from([&runs] {
        ++runs;
        return Result<int, Error>::success(4);
    });
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(received<Error>(future), "4 finished");
    EXPECT_EQ(received<Error>(future), "4 finished");
    EXPECT_EQ(runs, 1);

    EXPECT_EQ(received<Error>(lx::from([] { return Result<int, Error>::failure(Error("no")); })),
              "failed");
}

TEST(PublisherHelpersTest, TheCallbackCountsOnceAndOnlyWhileTheActionRuns) {
    const auto twice = lx::from<int, Error>([](const auto& callback) {
        callback(Result<int, Error>::success(1));
        callback(Result<int, Error>::success(2));
    });
    EXPECT_EQ(received<Error>(twice), "1 finished");

    std::function<void(Result<int, Error>)> kept;
    const auto never = lx::from<int, Error>([&kept](const auto& callback) { kept = callback; });
    kept(Result<int, Error>::success(3));
    EXPECT_EQ(received<Error>(never), "");
}

TEST(PublisherHelpersTest, ErrorsBecomeAReplacementOrANormalEnd) {
    EXPECT_EQ(received<Never>(lx::ignoreError(oneTwoThenFailure())), "1 2 finished");
    EXPECT_EQ(
        received<Never>(lx::replaceError(oneTwoThenFailure(), [](const Error&) { return 0; })),
        "1 2 0 finished");

    PassthroughSubject<int, Error> subject;
    std::string events;
    AnyCancellable cancellable = lx::ignoreError(subject).sink(
        [&events](const Completion<Never>&) { events += "finished"; },
        [&events](const int& value) { events += std::to_string(value) + " "; });
    subject.send(5);
    subject.send(Completion<Error>::failure(Error("gone")));
    EXPECT_EQ(events, "5 finished");
}

}  // namespace
