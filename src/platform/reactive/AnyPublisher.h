#pragma once

#include <concepts>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "platform/dispatch/Queue.h"
#include "platform/foundation/AnyError.h"
#include "platform/reactive/AnyCancellable.h"
#include "platform/reactive/Completion.h"
#include "platform/reactive/internal/FlatMap.h"
#include "platform/reactive/internal/Mailbox.h"
#include "platform/reactive/internal/Relay.h"

namespace platform::reactive {

template <class T, class E>
class AnyPublisher;

template <class T>
AnyPublisher<T, Never> just(T value);

// Every publisher: an `AnyPublisher` or a type derived from one (subject, future).
template <class P>
concept Publisher = requires {
    typename P::Output;
    typename P::Failure;
}
&&std::derived_from<P, AnyPublisher<typename P::Output, typename P::Failure>>;

namespace internal {

template <class E>
concept ConvertibleToAnyError =
    std::same_as<E, Never> || std::same_as<E, AnyError> || std::derived_from<E, std::exception>;

template <ConvertibleToAnyError E>
AnyError toAnyError(const E& error) {
    if constexpr (std::same_as<E, Never>) {
        std::terminate();  // no value of Never exists
    } else {
        return AnyError(error);
    }
}

template <class E>
Completion<AnyError> toAnyErrorCompletion(const Completion<E>& completion) {
    return completion.error() ? Completion<AnyError>::failure(toAnyError(*completion.error()))
                              : Completion<AnyError>::finished();
}

}  // namespace internal

// A stream of values of type T that ends at most once, normally or with a failure of type E;
// every publisher and every operator is one.
//
// Push-based: a subscriber receives every value from its subscription on, with no demand. The
// subscription keeps three promises whatever the source does: no value after the completion,
// at most one completion, and nothing delivered once its handle is cancelled (checked on the
// delivering thread at the moment of delivery). A value is delivered on the thread that
// produces it unless `receiveOn` moves it. Cancelling reaches every upstream subscription.
//
// Operators are members and return a new publisher; the original is unchanged and may be
// subscribed again. A publisher is a cheap copyable value; copies subscribe to the same source.
//
// Example:
//   cancellable_ = loadStage.subscribeOn(globalQueue(QoS::background))
//                      .flatMap([](const Project& project) { return validate(project); })
//                      .receiveOn(mainQueue())
//                      .sink(onCompletion, onValue);
template <class T, class E = Never>
class AnyPublisher {
public:
    using Output = T;
    using Failure = E;
    // Subscribes a subscriber to the source and answers the handle that ends the subscription.
    using SubscribeFunction = std::function<AnyCancellable(Subscriber<T, E>)>;

    explicit AnyPublisher(SubscribeFunction subscribe) : subscribe_(std::move(subscribe)) {}

    AnyCancellable subscribe(Subscriber<T, E> subscriber) const {
        auto relay = std::make_shared<internal::Relay<T, E>>(std::move(subscriber));
        AnyCancellable upstream = subscribe_(relay->forwarder());
        return AnyCancellable([relay, upstream]() mutable {
            relay->cancel();
            upstream.cancel();
        });
    }

    AnyCancellable sink(std::function<void(const Completion<E>&)> receiveCompletion,
                        std::function<void(const T&)> receiveValue) const {
        return subscribe(Subscriber<T, E>{std::move(receiveValue), std::move(receiveCompletion)});
    }

    AnyCancellable sink(
        std::function<void(const T&)> receiveValue) const requires std::same_as<E, Never> {
        return subscribe(Subscriber<T, E>{std::move(receiveValue), nullptr});
    }

    // Each value transformed.
    template <class F, class U = std::decay_t<std::invoke_result_t<F&, const T&>>>
    AnyPublisher<U, E> map(F transform) const {
        return AnyPublisher<U, E>([upstream = *this, transform](Subscriber<U, E> down) {
            return upstream.subscribe(
                Subscriber<T, E>{[transform, receive = down.receiveValue](const T& value) mutable {
                                     receive(std::invoke(transform, value));
                                 },
                                 down.receiveCompletion});
        });
    }

    // Each value transformed by a function that may throw: what it throws ends the stream
    // with that error as failure and cancels the upstream.
    template <class F, class U = std::decay_t<std::invoke_result_t<F&, const T&>>>
    requires internal::ConvertibleToAnyError<E> AnyPublisher<U, AnyError> tryMap(F transform)
    const {
        return AnyPublisher<U, AnyError>([upstream = *this,
                                          transform](Subscriber<U, AnyError> down) {
            auto upstreams = std::make_shared<internal::CancellableBag>();
            upstreams->add(upstream.subscribe(Subscriber<T, E>{
                [transform, down, weak = std::weak_ptr(upstreams)](const T& value) mutable {
                    if (const auto bag = weak.lock(); !bag || bag->isCancelled()) {
                        return;
                    }
                    std::optional<U> mapped;
                    try {
                        mapped.emplace(std::invoke(transform, value));
                    } catch (...) {
                        down.receiveCompletion(Completion<AnyError>::failure(AnyError::current()));
                        if (const auto bag = weak.lock()) {
                            bag->cancel();
                        }
                        return;
                    }
                    down.receiveValue(*mapped);
                },
                [complete = down.receiveCompletion](const Completion<E>& completion) {
                    complete(internal::toAnyErrorCompletion(completion));
                }}));
            return AnyCancellable([upstreams] { upstreams->cancel(); });
        });
    }

    // The failure transformed; values pass unchanged.
    template <class F, class E2 = std::decay_t<std::invoke_result_t<F&, const E&>>>
    AnyPublisher<T, E2> mapError(F transform) const {
        return AnyPublisher<T, E2>([upstream = *this, transform](Subscriber<T, E2> down) {
            return upstream.subscribe(Subscriber<T, E>{
                down.receiveValue, [transform, complete = down.receiveCompletion](
                                       const Completion<E>& completion) mutable {
                    complete(completion.error() ? Completion<E2>::failure(
                                                      std::invoke(transform, *completion.error()))
                                                : Completion<E2>::finished());
                }});
        });
    }

    // On a failure, goes on with the publisher `handler` makes from the error; values before
    // the failure pass unchanged.
    template <class F, class P = std::decay_t<std::invoke_result_t<F&, const E&>>>
    requires Publisher<P> && std::same_as<typename P::Output, T>
        AnyPublisher<T, typename P::Failure> catch_(F handler)
    const {
        using E2 = typename P::Failure;
        return AnyPublisher<T, E2>([upstream = *this, handler](Subscriber<T, E2> down) {
            auto subscriptions = std::make_shared<internal::CancellableBag>();
            subscriptions->add(upstream.subscribe(Subscriber<T, E>{
                down.receiveValue, [handler, down, weak = std::weak_ptr(subscriptions)](
                                       const Completion<E>& completion) mutable {
                    if (!completion.error()) {
                        down.receiveCompletion(Completion<E2>::finished());
                        return;
                    }
                    const P replacement = std::invoke(handler, *completion.error());
                    if (const auto bag = weak.lock(); bag && !bag->isCancelled()) {
                        bag->add(replacement.subscribe(down));
                    }
                }}));
            return AnyCancellable([subscriptions] { subscriptions->cancel(); });
        });
    }

    // On a failure, one `value` and a normal completion instead.
    AnyPublisher<T, Never> replaceError(T value) const {
        return catch_([value](const E&) { return just(value); });
    }

    // Each value turned into an inner publisher whose values all go downstream. Finishes when
    // the upstream and every inner have finished; the first failure ends the stream and
    // cancels the rest. Inner publishers that deliver on different threads may reach the
    // subscriber at the same time: put `receiveOn` after this when that matters.
    template <class F, class P = std::decay_t<std::invoke_result_t<F&, const T&>>>
    requires Publisher<P> && std::same_as<typename P::Failure, E>
        AnyPublisher<typename P::Output, E> flatMap(F transform)
    const {
        using U = typename P::Output;
        return AnyPublisher<U, E>([upstream = *this, transform](Subscriber<U, E> down) {
            auto state = std::make_shared<internal::FlatMapState<U, E>>(std::move(down));
            state->cancellables().add(upstream.subscribe(
                Subscriber<T, E>{[transform, state](const T& value) mutable {
                                     state->addInner(std::invoke(transform, value));
                                 },
                                 [state](const Completion<E>& completion) {
                                     state->upstreamCompleted(completion);
                                 }}));
            return AnyCancellable([state] { state->cancellables().cancel(); });
        });
    }

    // Each value decoded as U by `decoder`, which answers `decoder.template decode<U>(value)`
    // and throws when it cannot; a thrown error ends the stream as failure.
    template <class U, class Decoder>
    requires internal::ConvertibleToAnyError<E> AnyPublisher<U, AnyError> decode(Decoder decoder)
    const {
        return tryMap([decoder](const T& value) { return decoder.template decode<U>(value); });
    }

    // Values and the completion re-delivered on `queue`, each in a job of its own, in order
    // and one at a time. A subscription cancelled while a job waits receives nothing more.
    AnyPublisher receiveOn(dispatch::QueuePtr queue) const {
        return AnyPublisher([upstream = *this, queue](Subscriber<T, E> down) {
            auto mailbox = std::make_shared<internal::Mailbox<T, E>>(queue, std::move(down));
            return upstream.subscribe(
                Subscriber<T, E>{[mailbox](const T& value) { mailbox->postValue(value); },
                                 [mailbox](const Completion<E>& completion) {
                                     mailbox->postCompletion(completion);
                                 }});
        });
    }

    // The subscription to the upstream made in a job on `queue`; a subscription cancelled
    // before that job runs never reaches the upstream.
    AnyPublisher subscribeOn(dispatch::QueuePtr queue) const {
        return AnyPublisher([upstream = *this, queue](Subscriber<T, E> down) {
            auto subscription = std::make_shared<internal::CancellableBag>();
            queue->async([upstream, down = std::move(down), weak = std::weak_ptr(subscription)] {
                if (const auto bag = weak.lock(); bag && !bag->isCancelled()) {
                    bag->add(upstream.subscribe(down));
                }
            });
            return AnyCancellable([subscription] { subscription->cancel(); });
        });
    }

    AnyPublisher eraseToAnyPublisher() const { return *this; }

private:
    SubscribeFunction subscribe_;
};

// One value, then a normal completion, delivered inside the subscription.
template <class T>
AnyPublisher<T, Never> just(T value) {
    return AnyPublisher<T, Never>([value = std::move(value)](Subscriber<T, Never> down) {
        down.receiveValue(value);
        down.receiveCompletion(Completion<Never>::finished());
        return AnyCancellable();
    });
}

// A normal completion without any value, delivered inside the subscription.
template <class T, class E = Never>
AnyPublisher<T, E> empty() {
    return AnyPublisher<T, E>([](Subscriber<T, E> down) {
        down.receiveCompletion(Completion<E>::finished());
        return AnyCancellable();
    });
}

}  // namespace platform::reactive
