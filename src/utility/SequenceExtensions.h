#pragma once

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <ranges>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

// Operations on any sequence, in its iteration order. A key path is a pointer to a data member
// or any projection callable on the element (`&Task::name`, a lambda).
namespace lx {

template <class R, class F>
concept SequenceAction = std::invocable<F&, std::ranges::range_reference_t<R>>;

template <class R, class F>
concept SequencePredicate = std::predicate<F&, std::ranges::range_reference_t<R>>;

template <class R, class P>
using ProjectionOf =
    std::remove_cvref_t<std::invoke_result_t<P&, std::ranges::range_reference_t<R>>>;

// Calls `action` on every element, in order.
template <std::ranges::input_range R, class Action>
requires SequenceAction<R, Action>
void each(R&& values, Action&& action) {
    for (auto&& value : values) {
        std::invoke(action, value);
    }
}

// True when `predicate` holds for every element; stops at the first failure. True when empty.
template <std::ranges::input_range R, class Predicate>
requires SequencePredicate<R, Predicate>
bool all(R&& values, Predicate&& predicate) {
    for (auto&& value : values) {
        if (!std::invoke(predicate, value)) {
            return false;
        }
    }
    return true;
}

// True at the first element for which `predicate` holds; the rest are not visited.
template <std::ranges::input_range R, class Predicate>
requires SequencePredicate<R, Predicate>
bool any(R&& values, Predicate&& predicate) {
    for (auto&& value : values) {
        if (std::invoke(predicate, value)) {
            return true;
        }
    }
    return false;
}

// The first element for which `predicate` holds.
template <std::ranges::input_range R, class Predicate>
requires SequencePredicate<R, Predicate> std::optional<std::ranges::range_value_t<R>> search(
    R&& values, Predicate&& predicate) {
    for (auto&& value : values) {
        if (std::invoke(predicate, value)) {
            return value;
        }
    }
    return std::nullopt;
}

// How many elements satisfy `predicate`; visits them all.
template <std::ranges::input_range R, class Predicate>
requires SequencePredicate<R, Predicate> std::int64_t count(R&& values, Predicate&& predicate) {
    std::int64_t matches = 0;
    for (auto&& value : values) {
        if (std::invoke(predicate, value)) {
            ++matches;
        }
    }
    return matches;
}

// The value at `keyPath` of each element, in order.
template <std::ranges::input_range R, class KeyPath>
requires SequenceAction<R, KeyPath> std::vector<ProjectionOf<R, KeyPath>> map(R&& values,
                                                                              KeyPath&& keyPath) {
    std::vector<ProjectionOf<R, KeyPath>> mapped;
    if constexpr (std::ranges::sized_range<R>) {
        mapped.reserve(std::ranges::size(values));
    }
    for (auto&& value : values) {
        mapped.push_back(std::invoke(keyPath, value));
    }
    return mapped;
}

// A copy ordered ascending by the value at `keyPath` (compared with <); elements with equal
// keys keep their order.
template <std::ranges::input_range R, class KeyPath>
requires SequenceAction<R, KeyPath> && std::totally_ordered<ProjectionOf<R, KeyPath>>
    std::vector<std::ranges::range_value_t<R>> sorted(R&& values, KeyPath&& keyPath) {
    std::vector<std::ranges::range_value_t<R>> ordered(std::ranges::begin(values),
                                                       std::ranges::end(values));
    std::ranges::stable_sort(
        ordered, [](const auto& a, const auto& b) { return a < b; },
        [&keyPath](const auto& value) -> decltype(auto) { return std::invoke(keyPath, value); });
    return ordered;
}

// Each distinct value at `keyPath`, with the elements that have it in sequence order.
// The order of the keys is unspecified.
template <std::ranges::input_range R, class KeyPath>
requires SequenceAction<R, KeyPath>
    std::unordered_map<ProjectionOf<R, KeyPath>, std::vector<std::ranges::range_value_t<R>>>
    grouped(R&& values, KeyPath&& keyPath) {
    std::unordered_map<ProjectionOf<R, KeyPath>, std::vector<std::ranges::range_value_t<R>>> groups;
    for (auto&& value : values) {
        groups[std::invoke(keyPath, value)].push_back(value);
    }
    return groups;
}

}  // namespace lx
