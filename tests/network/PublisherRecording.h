#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/reactive/AnyPublisher.h"
#include "support/DispatchTest.h"

// What a subscription to a publisher received, for tests whose publishers deliver on other
// threads.
template <class T, class E>
struct Received {
    std::vector<T> values;
    std::optional<platform::reactive::Completion<E>> completion;

    const E& failure() const {
        static_cast<void>(completion.value().error().value());
        return *completion->error();
    }
};

// Subscribes and waits (at most `timeout`) for the completion.
template <class T, class E>
Received<T, E> awaitCompletion(const platform::reactive::AnyPublisher<T, E>& publisher,
                               std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    struct Shared {
        std::mutex mutex;
        Received<T, E> received;
        TestLatch completed{1};
    };
    const auto shared = std::make_shared<Shared>();
    auto cancellable = publisher.sink(
        [shared](const platform::reactive::Completion<E>& completion) {
            {
                const std::lock_guard lock(shared->mutex);
                shared->received.completion.emplace(completion);
            }
            shared->completed.countDown();
        },
        [shared](const T& value) {
            const std::lock_guard lock(shared->mutex);
            shared->received.values.push_back(value);
        });
    EXPECT_TRUE(shared->completed.wait(timeout)) << "the publisher did not complete in time";
    const std::lock_guard lock(shared->mutex);
    return shared->received;
}
