#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/reactive/AnyPublisher.h"

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
    PassthroughSubject() : PassthroughSubject(std::make_shared<State>()) {}

    void send(const T& value) const {
        for (const auto& subscriber : state_->snapshot()) {
            subscriber->receiveValue(value);
        }
    }

    void send(const Completion<E>& completion) const {
        for (const auto& subscriber : state_->complete(completion)) {
            subscriber->receiveCompletion(completion);
        }
    }

private:
    using Entry = std::shared_ptr<const Subscriber<T, E>>;

    class State : public std::enable_shared_from_this<State> {
    public:
        AnyCancellable add(Subscriber<T, E> subscriber) {
            std::unique_lock lock(mutex_);
            if (completion_) {
                const Completion<E> completion = *completion_;
                lock.unlock();
                subscriber.receiveCompletion(completion);
                return AnyCancellable();
            }
            const std::uint64_t id = nextId_++;
            subscribers_.emplace(id,
                                 std::make_shared<const Subscriber<T, E>>(std::move(subscriber)));
            return AnyCancellable([weak = this->weak_from_this(), id] {
                if (const auto state = weak.lock()) {
                    state->remove(id);
                }
            });
        }

        std::vector<Entry> snapshot() const {
            const std::lock_guard lock(mutex_);
            return entries(subscribers_);
        }

        std::vector<Entry> complete(const Completion<E>& completion) {
            std::map<std::uint64_t, Entry> ended;
            const std::lock_guard lock(mutex_);
            if (completion_) {
                return {};
            }
            completion_ = completion;
            ended.swap(subscribers_);
            return entries(ended);
        }

    private:
        static std::vector<Entry> entries(const std::map<std::uint64_t, Entry>& subscribers) {
            std::vector<Entry> list;
            list.reserve(subscribers.size());
            for (const auto& [id, entry] : subscribers) {
                list.push_back(entry);
            }
            return list;
        }

        void remove(std::uint64_t id) {
            Entry removed;  // declared before the lock, so let go after it
            const std::lock_guard lock(mutex_);
            if (const auto found = subscribers_.find(id); found != subscribers_.end()) {
                removed = std::move(found->second);
                subscribers_.erase(found);
            }
        }

        mutable std::mutex mutex_;
        std::map<std::uint64_t, Entry> subscribers_;
        std::uint64_t nextId_ = 0;
        std::optional<Completion<E>> completion_;
    };

    explicit PassthroughSubject(std::shared_ptr<State> state)
        : AnyPublisher<T, E>(
              [state](Subscriber<T, E> subscriber) { return state->add(std::move(subscriber)); }),
          state_(std::move(state)) {}

    std::shared_ptr<State> state_;
};

}  // namespace platform::reactive
