#pragma once

#include <atomic>
#include <concepts>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/foundation/Result.h"
#include "platform/reactive/AnyPublisher.h"
#include "platform/reactive/Future.h"

// Helpers for building pipelines on platform::reactive publishers.
namespace lx {

namespace internal {

template <class R>
inline constexpr bool isResult = false;
template <class T, class E>
inline constexpr bool isResult<platform::Result<T, E>> = true;

// An action answering a success-or-failure result.
template <class F>
concept ResultAction =
    std::invocable<F&> && isResult<std::remove_cvref_t<std::invoke_result_t<F&>>>;

template <class F, class T, class E>
concept CallbackAction = std::invocable < F&,
        const std::function<void(platform::Result<T, E>)>
& > ;

}  // namespace internal

// A one-shot publisher of the result `action` returns. The action runs now, on this thread,
// before anyone subscribes; every subscriber receives that one result.
//
// Example:
//   auto validation = lx::from([&] { return validateSourceProject(project); });
template <internal::ResultAction F, class R = std::remove_cvref_t<std::invoke_result_t<F&>>>
platform::reactive::Future<typename R::Success, typename R::Failure> from(F&& action) {
    return platform::reactive::Future<typename R::Success, typename R::Failure>(
        [&action](const auto& promise) { promise(std::invoke(action)); });
}

// The same for an action that hands its result to a callback. The callback counts only while
// the action runs and only its first call; an action that does not call it leaves the
// publisher without a result for ever.
template <class T, class E, internal::CallbackAction<T, E> F>
platform::reactive::Future<T, E> from(F&& action) {
    return platform::reactive::Future<T, E>(
        [&action](const typename platform::reactive::Future<T, E>::Promise& promise) {
            auto running = std::make_shared<std::atomic<bool>>(true);
            const std::function<void(platform::Result<T, E>)> callback =
                [promise, running](platform::Result<T, E> result) {
                    if (running->load()) {
                        promise(std::move(result));
                    }
                };
            std::invoke(action, callback);
            running->store(false);
        });
}

// Values before a failure pass; the failure becomes one value `replace` makes from it,
// followed by a normal completion.
template <class T, class E, class F>
requires std::convertible_to<std::invoke_result_t<F&, const E&>, T>
    platform::reactive::AnyPublisher<T, platform::reactive::Never> replaceError(
        const platform::reactive::AnyPublisher<T, E>& publisher, F replace) {
    return publisher.catch_([replace](const E& error) mutable {
        return platform::reactive::just<T>(std::invoke(replace, error));
    });
}

// Values before a failure pass; the failure becomes a normal completion and is dropped.
template <class T, class E>
platform::reactive::AnyPublisher<T, platform::reactive::Never> ignoreError(
    const platform::reactive::AnyPublisher<T, E>& publisher) {
    return publisher.catch_([](const E&) { return platform::reactive::empty<T>(); });
}

}  // namespace lx
