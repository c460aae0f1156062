#pragma once

#include <memory>
#include <vector>

#include "platform/reactive/AnyPublisher.h"
#include "platform/reactive/internal/SubscriberList.h"

namespace platform::reactive {

// A publisher that hands each value sent to it to the subscribers present at that moment; it
// keeps no value and replays nothing.
//
// Any thread may send; a value is delivered on the sender's thread, before `send` returns, to
// a snapshot of the subscribers taken when the send began. A subscriber cancelled during the
// delivery (by another subscriber, or by itself) receives nothing more; a subscriber added
// during it receives the next value. Sends from inside a subscriber are delivered at once,
// nested. After a completion the subject delivers nothing more, and a later subscriber
// receives that completion at once.
//
// Copies share one subject. Subscriptions hold the subject's list, not the subject handle.
//
// Example:
//   PassthroughSubject<int> counts;
//   auto cancellable = counts.sink([](const int& count) { show(count); });
//   counts.send(3);
template <class T, class E = Never>
class PassthroughSubject : public AnyPublisher<T, E> {
public:
    PassthroughSubject() : PassthroughSubject(std::make_shared<List>()) {}

    void send(const T& value) const {
        for (const auto& subscriber : subscribers_->snapshot()) {
            subscriber->receiveValue(value);
        }
    }

    void send(const Completion<E>& completion) const {
        const auto ended = subscribers_->end(completion);
        if (!ended) {
            return;  // completed before: nothing more is delivered
        }
        for (const auto& subscriber : *ended) {
            subscriber->receiveCompletion(completion);
        }
    }

private:
    using List = internal::SubscriberList<T, E, Completion<E>>;

    explicit PassthroughSubject(std::shared_ptr<List> subscribers)
        : AnyPublisher<T, E>([subscribers](Subscriber<T, E> subscriber) {
              return subscribers->add(std::move(subscriber),
                                      [](const Subscriber<T, E>& late, const Completion<E>& end) {
                                          late.receiveCompletion(end);
                                      });
          }),
          subscribers_(std::move(subscribers)) {}

    std::shared_ptr<List> subscribers_;
};

}  // namespace platform::reactive
