#pragma once

#include <memory>
#include <string>
#include <utility>

#include "platform/defaults/UserDefaults.h"
#include "platform/dispatch/Queue.h"
#include "platform/reactive/ObservableObject.h"
#include "reactive/internal/QueuedChange.h"
#include "utility/LxUserDefault.h"

// One published value, changed through `change`: at once without a queue, or in one job on
// the queue, which does nothing once the state is gone. Not locked: change it where its
// watchers live (the main thread for views).
template <class T>
class LxRxState final : public platform::reactive::ObservableObject,
                        public std::enable_shared_from_this<LxRxState<T>> {
public:
    static std::shared_ptr<LxRxState> create(T value) {
        return std::shared_ptr<LxRxState>(new LxRxState(std::move(value)));
    }

    const T& value() const { return value_.get(); }
    platform::reactive::AnyPublisher<T> publisher() const { return value_.publisher(); }

    void change(T value, const platform::dispatch::QueuePtr& queue = nullptr) {
        lx::internal::applyOn(*this, queue, std::move(value), [](LxRxState& state, T changed) {
            state.value_.set(std::move(changed));
        });
    }

private:
    explicit LxRxState(T value) : value_(*this, std::move(value)) {}

    platform::reactive::Published<T> value_;
};

// A published value kept in the user defaults under a key: loaded when made (the default when
// the store has none; nothing is written then) and saved after every change. The store must
// outlive the state.
//
// Example:
//   const auto width = LxRxUserDefaultState<double>::create("view_width", 320.0);
//   width->change(400.0);
template <lx::UserDefaultStorable T>
class LxRxUserDefaultState final : public platform::reactive::ObservableObject,
                                   public std::enable_shared_from_this<LxRxUserDefaultState<T>> {
public:
    static std::shared_ptr<LxRxUserDefaultState> create(
        std::string key, T defaultValue,
        platform::UserDefaults& userDefaults = platform::UserDefaults::standard()) {
        return std::shared_ptr<LxRxUserDefaultState>(
            new LxRxUserDefaultState(std::move(key), std::move(defaultValue), userDefaults));
    }

    const T& value() const { return value_.get(); }
    platform::reactive::AnyPublisher<T> publisher() const { return value_.publisher(); }

    void change(T value, const platform::dispatch::QueuePtr& queue = nullptr) {
        lx::internal::applyOn(*this, queue, std::move(value),
                              [](LxRxUserDefaultState& state, T changed) {
                                  state.value_.set(std::move(changed));
                                  LxUserDefaultStorable<T>::saveToUserDefaults(
                                      *state.userDefaults_, state.key_, state.value_.get());
                              });
    }

private:
    LxRxUserDefaultState(std::string key, T defaultValue, platform::UserDefaults& userDefaults)
        : value_(*this, LxUserDefaultStorable<T>::loadFromUserDefaults(key, userDefaults)
                            .value_or(defaultValue)),
          userDefaults_(&userDefaults),
          key_(std::move(key)),
          default_(std::move(defaultValue)) {}

    platform::reactive::Published<T> value_;
    platform::UserDefaults* userDefaults_;
    const std::string key_;
    const T default_;
};
