#pragma once

#include <concepts>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/foundation/AnyError.h"

namespace platform {

namespace internal {

template <class E>
[[noreturn]] void throwError(const E& error) {
    if constexpr (std::same_as<E, AnyError>) {
        error.rethrow();
    } else {
        throw error;
    }
}

}  // namespace internal

// The outcome of an operation that finished elsewhere: a success value or a failure.
//
// Asynchronous operations hand a `Result` to their completion instead of throwing across a
// queue. The failure type is `AnyError` unless a facility names its own.
//
// Example:
//   completion(Result<int>::success(42));
//   result.failureOperate([](const AnyError& error) { lx::log(error); });
template <class T, class E = AnyError>
class Result {
public:
    using Success = T;
    using Failure = E;

    static Result success(T value) { return Result(std::in_place_index<0>, std::move(value)); }
    static Result failure(E error) { return Result(std::in_place_index<1>, std::move(error)); }

    bool isSuccess() const { return storage_.index() == 0; }
    bool isFailed() const { return storage_.index() == 1; }

    // The failure's error, or none for a success.
    std::optional<E> error() const {
        if (isSuccess()) {
            return std::nullopt;
        }
        return std::get<1>(storage_);
    }

    // The success value; throws the failure's error for a failure.
    const T& get() const& {
        throwIfFailed();
        return std::get<0>(storage_);
    }
    T&& get() && {
        throwIfFailed();
        return std::get<0>(std::move(storage_));
    }

    // Calls `action` with the error for a failure; does nothing for a success.
    template <class Action>
    requires std::invocable<Action, const E&>
    void failureOperate(Action&& action) const {
        if (isFailed()) {
            std::forward<Action>(action)(std::get<1>(storage_));
        }
    }

private:
    template <std::size_t I, class V>
    Result(std::in_place_index_t<I> index, V&& value) : storage_(index, std::forward<V>(value)) {}

    void throwIfFailed() const {
        if (isFailed()) {
            internal::throwError(std::get<1>(storage_));
        }
    }

    std::variant<T, E> storage_;
};

// A result whose success carries no value.
template <class E>
class Result<void, E> {
public:
    using Success = void;
    using Failure = E;

    static Result success() { return Result(std::nullopt); }
    static Result failure(E error) { return Result(std::move(error)); }

    bool isSuccess() const { return !error_.has_value(); }
    bool isFailed() const { return error_.has_value(); }
    std::optional<E> error() const { return error_; }

    // Returns for a success; throws the failure's error for a failure.
    void get() const {
        if (error_) {
            internal::throwError(*error_);
        }
    }

    template <class Action>
    requires std::invocable<Action, const E&>
    void failureOperate(Action&& action) const {
        if (error_) {
            std::forward<Action>(action)(*error_);
        }
    }

private:
    explicit Result(std::optional<E> error) : error_(std::move(error)) {}

    std::optional<E> error_;
};

}  // namespace platform
