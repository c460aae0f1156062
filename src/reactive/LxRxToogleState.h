#pragma once

#include <memory>
#include <optional>
#include <utility>

#include "platform/dispatch/Queue.h"
#include "platform/reactive/ObservableObject.h"
#include "reactive/internal/QueuedChange.h"

// An optional value with a published flag `isSome` telling whether one is present; views bind
// the flag to a sheet or dialog and fill it from the value.
//
// `change` stores the value first and then sets `isSome`, so whoever is told of the flag finds
// the matching value; setting the flag always notifies, also when it keeps its value. Writing
// false into `isSome` (a sheet closing) keeps the value until the next `change`. With a queue,
// the change happens in one job there, which does nothing once the state is gone.
//
// Not locked: views watch it on the main thread, so changes happen there (on the main thread
// without a queue, or with the main queue).
//
// Example:
//   const auto failure = LxRxToogleState<std::string>::create();
//   failure->change("Loading project failed", platform::dispatch::mainQueue());
template <class T>
class LxRxToogleState final : public platform::reactive::ObservableObject,
                              public std::enable_shared_from_this<LxRxToogleState<T>> {
public:
    static std::shared_ptr<LxRxToogleState> create(std::optional<T> value = std::nullopt) {
        return std::shared_ptr<LxRxToogleState>(new LxRxToogleState(std::move(value)));
    }

    const std::optional<T>& value() const { return value_; }

    bool isSome() const { return isSome_.get(); }
    void setIsSome(bool isSome) { isSome_.set(isSome); }
    platform::reactive::AnyPublisher<bool> isSomePublisher() const { return isSome_.publisher(); }

    void change(std::optional<T> value, const platform::dispatch::QueuePtr& queue = nullptr) {
        lx::internal::applyOn(*this, queue, std::move(value),
                              [](LxRxToogleState& state, std::optional<T> changed) {
                                  state.value_ = std::move(changed);
                                  state.isSome_.set(state.value_.has_value());
                              });
    }

private:
    explicit LxRxToogleState(std::optional<T> value)
        : value_(std::move(value)), isSome_(*this, value_.has_value()) {}

    std::optional<T> value_;
    platform::reactive::Published<bool> isSome_;
};
