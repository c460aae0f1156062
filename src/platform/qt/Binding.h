#pragma once

#include <functional>
#include <memory>

#include "platform/reactive/AnyPublisher.h"
#include "reactive/LxRxToogleState.h"

// A two-way view of a value that somebody else keeps: a dialog reads and watches whether it is
// to be shown, and writes false when it closes.
namespace platform::qt {

template <class T>
struct Binding {
    std::function<T()> get;
    std::function<void(T)> set;
    // The current value at once on subscription, then every assignment, equal values included.
    platform::reactive::AnyPublisher<T> changes;
};

// The flag `isSome` of a toggle state, for a sheet or dialog to present. Holds the state.
template <class T>
Binding<bool> isSomeBinding(const std::shared_ptr<LxRxToogleState<T>>& state) {
    return {[state] { return state->isSome(); }, [state](bool isSome) { state->setIsSome(isSome); },
            state->isSomePublisher()};
}

}  // namespace platform::qt
