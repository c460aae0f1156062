#pragma once

#include <concepts>

// A type that can tell whether two of its values hold the same value, through a static
// `isValueSame(a, b)`; `lxIsValueSame(a, b)` asks it.
//
// Example:
//   struct Rate { double amount; static bool isValueSame(const Rate& a, const Rate& b); };
//   lxIsValueSame(hourly, daily);
template <class T>
concept LxValueEquatable = requires(const T& a, const T& b) {
    { T::isValueSame(a, b) } -> std::convertible_to<bool>;
};

template <LxValueEquatable T>
bool lxIsValueSame(const T& value, const T& other) {
    return T::isValueSame(value, other);
}
