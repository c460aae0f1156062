#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/Error.h"
#include "platform/reactive/Future.h"
#include "platform/reactive/PassthroughSubject.h"
#include "platform/reactive/StreamTesting.h"

namespace {

using platform::AnyError;
using platform::Error;
using platform::Result;
using namespace platform::reactive;

template <class T, class E>
std::string record(const AnyPublisher<T, E>& publisher) {
    Recorder<T, E> recorder;
    AnyCancellable cancellable = publisher.subscribe(recorder.subscriber());
    return recorder.events();
}

TEST(OperatorTest, MapAndMapErrorTransformTheirSide) {
    EXPECT_EQ(record(oneTwoThenFailure().map([](int value) { return value * 10; })),
              "10 20 failed:broken");
    EXPECT_EQ(record(oneTwoThenFailure().mapError(
                  [](const Error& error) { return "mapped " + error.localizedDescription(); })),
              "1 2 failed:mapped broken");
}

TEST(OperatorTest, CatchAndReplaceErrorGoOnAfterTheFailure) {
    EXPECT_EQ(record(oneTwoThenFailure().catch_([](const Error&) { return just(9); })),
              "1 2 9 finished");
    EXPECT_EQ(record(oneTwoThenFailure().replaceError(0)), "1 2 0 finished");
    EXPECT_EQ(record(just(5).replaceError(0)), "5 finished");
}

TEST(OperatorTest, TryMapEndsWithWhatTheTransformThrowsAndStopsListening) {
    PassthroughSubject<int, Error> subject;
    int transformed = 0;
    Recorder<int, AnyError> recorder;
    AnyCancellable cancellable = subject
                                     .tryMap([&transformed](int value) {
                                         ++transformed;
                                         if (value == 2) {
                                             throw Error("two is not allowed");
                                         }
                                         return value;
                                     })
                                     .subscribe(recorder.subscriber());
    subject.send(1);
    subject.send(2);
    subject.send(3);
    EXPECT_EQ(recorder.events(), "1 failed:two is not allowed");
    EXPECT_EQ(transformed, 2);

    // The upstream's own failure passes as it was.
    EXPECT_EQ(record(oneTwoThenFailure().tryMap([](int value) { return value; })),
              "1 2 failed:broken");
}

// Decodes a number from its decimal text, throwing what std::stoi throws.
struct DigitsDecoder {
    template <class U>
    U decode(const std::string& text) const {
        return static_cast<U>(std::stoi(text));
    }
};

TEST(OperatorTest, DecodeUsesTheDecoderAndFailsWithItsError) {
    PassthroughSubject<std::string, Error> texts;
    Recorder<int, AnyError> recorder;
    AnyCancellable cancellable =
        texts.decode<int>(DigitsDecoder{}).subscribe(recorder.subscriber());
    texts.send("42");
    texts.send("forty-two");
    EXPECT_EQ(recorder.events(), "42 failed:stoi");
}

TEST(OperatorTest, FlatMapFinishesAfterTheUpstreamAndEveryInner) {
    PassthroughSubject<int, Error> upstream;
    PassthroughSubject<int, Error> slowInner;
    Recorder<int, Error> recorder;
    AnyCancellable cancellable = upstream
                                     .flatMap([&slowInner](int value) -> AnyPublisher<int, Error> {
                                         if (value == 0) {
                                             return slowInner;
                                         }
                                         return Future<int, Error>([value](auto promise) {
                                             promise(Result<int, Error>::success(value * 10));
                                         });
                                     })
                                     .subscribe(recorder.subscriber());
    upstream.send(0);
    upstream.send(1);
    upstream.send(Completion<Error>::finished());
    EXPECT_EQ(recorder.events(), "10");

    slowInner.send(7);
    slowInner.send(Completion<Error>::finished());
    EXPECT_EQ(recorder.events(), "10 7 finished");
}

TEST(OperatorTest, FlatMapEndsAtTheFirstFailureAndCancelsTheRest) {
    PassthroughSubject<int, Error> upstream;
    PassthroughSubject<int, Error> inner;
    Recorder<int, Error> recorder;
    AnyCancellable cancellable =
        upstream.flatMap([&inner](int) { return inner; }).subscribe(recorder.subscriber());
    upstream.send(1);
    inner.send(5);
    upstream.send(Completion<Error>::failure(Error("upstream broke")));
    inner.send(6);
    EXPECT_EQ(recorder.events(), "5 failed:upstream broke");

    // A failing inner ends the stream although the upstream goes on.
    Recorder<int, Error> second;
    PassthroughSubject<int, Error> values;
    AnyCancellable other =
        values.flatMap([](int) { return oneTwoThenFailure(); }).subscribe(second.subscriber());
    values.send(0);
    values.send(0);
    EXPECT_EQ(second.events(), "1 2 failed:broken");
}

TEST(OperatorTest, CancellingStopsValuesAndCompletion) {
    PassthroughSubject<int, Error> subject;
    Recorder<int, Error> recorder;
    AnyCancellable cancellable =
        subject.map([](int value) { return value + 1; }).subscribe(recorder.subscriber());
    subject.send(1);
    cancellable.cancel();
    subject.send(2);
    subject.send(Completion<Error>::finished());
    EXPECT_EQ(recorder.events(), "2");
}

}  // namespace
