#pragma once

#include <concepts>
#include <utility>

// Runs an operation that may throw and drops whatever it throws. Side effects made before a
// throw stay.
namespace LxTry {

// True when `operation` finished without throwing, false when it threw.
template <std::invocable F>
bool trueOrFalse(F&& operation) noexcept {
    try {
        std::forward<F>(operation)();
        return true;
    } catch (...) {
        return false;
    }
}

template <std::invocable F>
void doNotCareError(F&& operation) noexcept {
    trueOrFalse(std::forward<F>(operation));
}

}  // namespace LxTry
