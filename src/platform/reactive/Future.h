#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "platform/foundation/Result.h"
#include "platform/reactive/AnyPublisher.h"
#include "platform/reactive/internal/SubscriberList.h"

namespace platform::reactive {

// A publisher of one result, produced once and handed to every subscriber.
//
// The attempt runs inside the constructor, on the constructing thread, before anyone
// subscribes; it receives a promise to fulfil with the result, then or later from any thread.
// The first fulfilment counts, later ones are ignored. A subscriber receives the stored result
// at once, on its own thread (a success as one value and a normal completion, a failure as the
// failure); subscribers that came before the fulfilment receive it on the fulfilling thread.
// A promise never fulfilled leaves its subscribers waiting for ever. What the attempt throws
// reaches the constructor's caller.
//
// Example:
//   Future<Project, SourceError> stage([&](auto promise) { promise(load(url)); });
template <class T, class E = Never>
class Future : public AnyPublisher<T, E> {
public:
    using Output = T;
    using Failure = E;
    using Promise = std::function<void(Result<T, E>)>;

    explicit Future(const std::function<void(Promise)>& attempt)
        : Future(std::make_shared<List>()) {
        attempt([subscribers = subscribers_](Result<T, E> result) {
            const auto waiting = subscribers->end(std::move(result));
            if (!waiting) {
                return;  // fulfilled before: only the first result counts
            }
            for (const auto& subscriber : *waiting) {
                deliver(*subscriber, subscribers->ending());
            }
        });
    }

private:
    using List = internal::SubscriberList<T, E, Result<T, E>>;

    static void deliver(const Subscriber<T, E>& subscriber, const Result<T, E>& result) {
        if (result.isSuccess()) {
            subscriber.receiveValue(result.get());
            subscriber.receiveCompletion(Completion<E>::finished());
        } else {
            subscriber.receiveCompletion(Completion<E>::failure(*result.error()));
        }
    }

    explicit Future(std::shared_ptr<List> subscribers)
        : AnyPublisher<T, E>([subscribers](Subscriber<T, E> subscriber) {
              return subscribers->add(std::move(subscriber), &Future::deliver);
          }),
          subscribers_(std::move(subscribers)) {}

    std::shared_ptr<List> subscribers_;
};

}  // namespace platform::reactive
