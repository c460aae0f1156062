#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/Error.h"
#include "platform/reactive/AnyPublisher.h"

// Writes what a subscription receives as one line of events ("1 2 finished", "1 failed:
// reason"), so a test compares the whole stream at once. Thread-safe.
template <class T, class E>
class Recorder {
public:
    platform::reactive::Subscriber<T, E> subscriber() {
        return {[this](const T& value) { add(toText(value)); },
                [this](const platform::reactive::Completion<E>& completion) {
                    if (completion.error()) {
                        add("failed:" + describe(*completion.error()));
                    } else {
                        add("finished");
                    }
                }};
    }

    std::string events() const {
        const std::lock_guard lock(mutex_);
        return events_;
    }

private:
    static std::string toText(const T& value) {
        if constexpr (std::is_same_v<T, std::string>) {
            return value;
        } else {
            return std::to_string(value);
        }
    }

    template <class Error>
    static std::string describe(const Error& error) {
        if constexpr (std::is_same_v<Error, platform::reactive::Never>) {
            return {};
        } else if constexpr (std::is_same_v<Error, std::string>) {
            return error;
        } else {
            return error.localizedDescription();
        }
    }

    void add(const std::string& event) {
        const std::lock_guard lock(mutex_);
        events_ += events_.empty() ? event : " " + event;
    }

    mutable std::mutex mutex_;
    std::string events_;
};

// Emits 1 and 2, then fails with "broken": the shape the error operators are made for.
inline platform::reactive::AnyPublisher<int, platform::Error> oneTwoThenFailure() {
    using namespace platform::reactive;
    return AnyPublisher<int, platform::Error>([](Subscriber<int, platform::Error> down) {
        down.receiveValue(1);
        down.receiveValue(2);
        down.receiveCompletion(Completion<platform::Error>::failure(platform::Error("broken")));
        return AnyCancellable();
    });
}
