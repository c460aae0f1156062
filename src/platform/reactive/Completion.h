#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <utility>

// The small vocabulary every publisher speaks: how a stream ends and who receives it.
namespace platform::reactive {

// The failure type of a publisher that cannot fail: no value of it can be made.
struct Never {
    Never() = delete;
};

// The payload of a signal that carries nothing.
struct Unit {
    bool operator==(const Unit&) const = default;
};

// How a stream ended: normally, or with a failure of type E.
template <class E>
class Completion {
public:
    static Completion finished() { return Completion(std::nullopt); }
    static Completion failure(E error) { return Completion(std::optional<E>(std::move(error))); }

    bool isFinished() const { return !error_.has_value(); }
    // The failure's error; none when the stream finished normally.
    const std::optional<E>& error() const { return error_; }

private:
    explicit Completion(std::optional<E> error) : error_(std::move(error)) {}

    std::optional<E> error_;
};

// What a subscription delivers to: any number of values, then at most one completion. Either
// function may be empty, which ignores what it would receive.
template <class T, class E>
struct Subscriber {
    std::function<void(const T&)> receiveValue;
    std::function<void(const Completion<E>&)> receiveCompletion;
};

}  // namespace platform::reactive
