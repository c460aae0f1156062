#pragma once

#include <concepts>
#include <exception>
#include <functional>
#include <optional>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/foundation/AnyError.h"

// Conveniences over optional values. Fallback callables run only when they are needed, and
// whatever a callable throws passes through unchanged.
namespace lx {

template <class T>
bool isNone(const std::optional<T>& value) {
    return !value.has_value();
}

template <class T>
bool isSome(const std::optional<T>& value) {
    return value.has_value();
}

template <class T, std::invocable<const T&> Action>
void doIfSome(const std::optional<T>& value, Action&& action) {
    if (value) {
        std::invoke(std::forward<Action>(action), *value);
    }
}

// The value, or `fallback` when none.
template <class T, std::convertible_to<T> U>
T or_(const std::optional<T>& value, U&& fallback) {
    return value ? *value : T(std::forward<U>(fallback));
}

// The value, or the result of `fallback()`, which runs only when there is none.
template <class T, std::invocable Fallback>
requires std::convertible_to<std::invoke_result_t<Fallback>, T> T
orElse(const std::optional<T>& value, Fallback&& fallback) {
    return value ? *value : T(std::invoke(std::forward<Fallback>(fallback)));
}

// The value, or throws `error` when none.
template <class T, class E>
requires std::is_base_of_v<std::exception, std::remove_cvref_t<E>> T
orThrow(const std::optional<T>& value, E&& error) {
    if (!value) {
        throw std::forward<E>(error);
    }
    return *value;
}

// transform(value), or `defaultValue` when none; the transform runs only for a value.
template <class T, std::invocable<const T&> Transform, class D>
requires std::convertible_to<D, std::invoke_result_t<Transform, const T&>>
    std::invoke_result_t<Transform, const T&> map(const std::optional<T>& value,
                                                  Transform&& transform, D&& defaultValue) {
    if (!value) {
        return std::forward<D>(defaultValue);
    }
    return std::invoke(std::forward<Transform>(transform), *value);
}

// transform(value), or otherwise() when none; exactly one of the two runs.
template <class T, std::invocable<const T&> Transform, std::invocable Otherwise>
requires std::convertible_to<std::invoke_result_t<Otherwise>,
                             std::invoke_result_t<Transform, const T&>>
    std::invoke_result_t<Transform, const T&> mapElse(const std::optional<T>& value,
                                                      Transform&& transform,
                                                      Otherwise&& otherwise) {
    if (!value) {
        return std::invoke(std::forward<Otherwise>(otherwise));
    }
    return std::invoke(std::forward<Transform>(transform), *value);
}

// None when `value` is none; otherwise `other` unchanged.
template <class T, class U>
std::optional<U> and_(const std::optional<T>& value, const std::optional<U>& other) {
    return value ? other : std::nullopt;
}

// None when `value` is none; otherwise then(value), an optional.
template <class T, std::invocable<const T&> Then>
std::invoke_result_t<Then, const T&> andThen(const std::optional<T>& value, Then&& then) {
    if (!value) {
        return std::nullopt;
    }
    return std::invoke(std::forward<Then>(then), *value);
}

template <class A, class B>
std::optional<std::pair<A, B>> zip2(const std::optional<A>& a, const std::optional<B>& b) {
    if (!a || !b) {
        return std::nullopt;
    }
    return std::pair<A, B>(*a, *b);
}

template <class A, class B, class C>
std::optional<std::tuple<A, B, C>> zip3(const std::optional<A>& a, const std::optional<B>& b,
                                        const std::optional<C>& c) {
    if (!a || !b || !c) {
        return std::nullopt;
    }
    return std::tuple<A, B, C>(*a, *b, *c);
}

// On an optional error: calls `action` with the error when there is one.
template <class E, std::invocable<const E&> Action>
requires(std::is_base_of_v<std::exception, E> || std::same_as<E, platform::AnyError>) &&
    (!std::convertible_to<Action, E>)void or_(const std::optional<E>& error, Action&& action) {
    if (error) {
        std::invoke(std::forward<Action>(action), *error);
    }
}

// Runs `body`; answers the error it threw, or none when it returned normally.
template <std::invocable Body>
std::optional<platform::AnyError> should(Body&& body) {
    try {
        std::invoke(std::forward<Body>(body));
        return std::nullopt;
    } catch (...) {
        return platform::AnyError::current();
    }
}

}  // namespace lx
