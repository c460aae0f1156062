#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/foundation/Result.h"
#include "platform/reactive/AnyPublisher.h"

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
        : Future(std::make_shared<State>()) {
        attempt([state = state_](Result<T, E> result) { state->fulfil(std::move(result)); });
    }

private:
    class State : public std::enable_shared_from_this<State> {
    public:
        AnyCancellable add(Subscriber<T, E> subscriber) {
            std::unique_lock lock(mutex_);
            if (result_) {
                lock.unlock();
                deliver(subscriber, *result_);
                return AnyCancellable();
            }
            const std::uint64_t id = nextId_++;
            waiting_.emplace(id, std::move(subscriber));
            return AnyCancellable([weak = this->weak_from_this(), id] {
                if (const auto state = weak.lock()) {
                    state->remove(id);
                }
            });
        }

        void fulfil(Result<T, E> result) {
            std::map<std::uint64_t, Subscriber<T, E>> waiting;
            {
                const std::lock_guard lock(mutex_);
                if (result_) {
                    return;
                }
                result_.emplace(std::move(result));
                waiting.swap(waiting_);
            }
            // The result is never changed again, so it is read without the lock from here on.
            for (const auto& [id, subscriber] : waiting) {
                deliver(subscriber, *result_);
            }
        }

    private:
        static void deliver(const Subscriber<T, E>& subscriber, const Result<T, E>& result) {
            if (result.isSuccess()) {
                subscriber.receiveValue(result.get());
                subscriber.receiveCompletion(Completion<E>::finished());
            } else {
                subscriber.receiveCompletion(Completion<E>::failure(*result.error()));
            }
        }

        void remove(std::uint64_t id) {
            std::optional<Subscriber<T, E>> removed;  // let go after the lock
            const std::lock_guard lock(mutex_);
            if (const auto found = waiting_.find(id); found != waiting_.end()) {
                removed.emplace(std::move(found->second));
                waiting_.erase(found);
            }
        }

        std::mutex mutex_;
        std::optional<Result<T, E>> result_;
        std::map<std::uint64_t, Subscriber<T, E>> waiting_;
        std::uint64_t nextId_ = 0;
    };

    explicit Future(std::shared_ptr<State> state)
        : AnyPublisher<T, E>(
              [state](Subscriber<T, E> subscriber) { return state->add(std::move(subscriber)); }),
          state_(std::move(state)) {}

    std::shared_ptr<State> state_;
};

}  // namespace platform::reactive
