#pragma once

#include <memory>
#include <utility>

#include "platform/reactive/AnyPublisher.h"
#include "platform/reactive/PassthroughSubject.h"

namespace platform::reactive {

// The base of an object whose views watch it: `objectWillChange()` emits before any of its
// published properties changes.
//
// Observable objects are not locked: they belong to one thread (the main thread when views
// watch them), and every change and every subscription happens there.
class ObservableObject {
public:
    ObservableObject(const ObservableObject&) = delete;
    ObservableObject& operator=(const ObservableObject&) = delete;

    AnyPublisher<Unit, Never> objectWillChange() const { return objectWillChange_; }

protected:
    ObservableObject() = default;
    ~ObservableObject() = default;

private:
    template <class T>
    friend class Published;

    PassthroughSubject<Unit, Never> objectWillChange_;
};

// A property of an observable object that tells its watchers about every assignment.
//
// `set` emits the owner's `objectWillChange()`, then stores the value, then emits the value
// on `publisher()`: a watcher called by either emission that reads the object already finds
// the new value. Every assignment notifies, also of an equal value. `publisher()` hands a new
// subscriber the current value at once, then every later one.
//
// Example:
//   class Source : public ObservableObject {
//       Published<std::vector<Project>> projects_{*this, {}};
//   };
template <class T>
class Published {
public:
    Published(ObservableObject& owner, T initial)
        : objectWillChange_(owner.objectWillChange_),
          state_(std::make_shared<State>(std::move(initial))) {}
    Published(const Published&) = delete;
    Published& operator=(const Published&) = delete;

    const T& get() const { return state_->value; }

    void set(T value) {
        objectWillChange_.send(Unit{});
        state_->value = std::move(value);
        // A copy, so a watcher that assigns again does not change what the others receive.
        const T sent = state_->value;
        state_->changes.send(sent);
    }

    AnyPublisher<T, Never> publisher() const {
        return AnyPublisher<T, Never>([state = state_](Subscriber<T, Never> subscriber) {
            subscriber.receiveValue(state->value);
            return state->changes.subscribe(std::move(subscriber));
        });
    }

private:
    // Shared with the publishers handed out, which may outlive the property.
    struct State {
        explicit State(T initial) : value(std::move(initial)) {}
        T value;
        PassthroughSubject<T, Never> changes;
    };

    PassthroughSubject<Unit, Never> objectWillChange_;
    std::shared_ptr<State> state_;
};

}  // namespace platform::reactive
