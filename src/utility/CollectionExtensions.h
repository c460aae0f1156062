#pragma once

#include <algorithm>
#include <concepts>
#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <ranges>
#include <type_traits>
#include <unordered_set>
#include <utility>
#include <vector>

// Operations on arrays (and any forward range where nothing is changed), optional collections
// and comparable values, shared by the whole system.
namespace lx {

template <class R>
using Element = std::ranges::range_value_t<R>;

template <class Key, class R>
using KeyOf = std::remove_cvref_t<std::invoke_result_t<Key&, std::ranges::range_reference_t<R>>>;

namespace internal {

// The position of the best element: the first one, replaced only by a later element whose key
// is strictly better. Each key is computed once, in index order.
template <std::ranges::forward_range R, class Key, class Better>
std::pair<std::ranges::iterator_t<R>, std::optional<KeyOf<Key, R>>> bestBy(R& values, Key& key,
                                                                           Better better) {
    auto best = std::ranges::begin(values);
    const auto end = std::ranges::end(values);
    if (best == end) {
        return {best, std::nullopt};
    }
    KeyOf<Key, R> bestKey = std::invoke(key, *best);
    for (auto it = std::next(best); it != end; ++it) {
        KeyOf<Key, R> candidate = std::invoke(key, *it);
        if (better(candidate, bestKey)) {
            best = it;
            bestKey = std::move(candidate);
        }
    }
    return {best, std::move(bestKey)};
}

inline constexpr auto strictlyLess = [](const auto& a, const auto& b) { return a < b; };
inline constexpr auto strictlyGreater = [](const auto& a, const auto& b) { return b < a; };

template <std::ranges::forward_range R, class Key, class Better>
std::optional<Element<R>> bestElementBy(R&& values, Key& key, Better better) {
    auto [best, bestKey] = bestBy(values, key, better);
    if (!bestKey) {
        return std::nullopt;
    }
    return *best;
}

}  // namespace internal

// Removes every element equal to an earlier one; the kept elements stay in order.
// Needs only equality, so the cost grows with the square of the length.
template <std::equality_comparable T>
void distinct(std::vector<T>& values) {
    std::vector<T> kept;
    kept.reserve(values.size());
    for (auto& value : values) {
        if (std::find(kept.begin(), kept.end(), value) == kept.end()) {
            kept.push_back(std::move(value));
        }
    }
    values = std::move(kept);
}

template <std::equality_comparable T>
std::vector<T> distincted(std::vector<T> values) {
    distinct(values);
    return values;
}

// The element at `index` when 0 <= index < size; none otherwise, negative indexes included.
template <std::ranges::random_access_range R>
std::optional<Element<R>> element(const R& values, std::int64_t index) {
    const auto size = static_cast<std::int64_t>(std::ranges::size(values));
    if (index < 0 || index >= size) {
        return std::nullopt;
    }
    return std::ranges::begin(values)[index];
}

// Removes and returns the first element (lowest index) for which `predicate` holds.
template <class T, std::predicate<const T&> Predicate>
std::optional<T> removeFirst(std::vector<T>& values, Predicate&& predicate) {
    const auto match = std::find_if(values.begin(), values.end(), predicate);
    if (match == values.end()) {
        return std::nullopt;
    }
    std::optional<T> removed(std::move(*match));
    values.erase(match);
    return removed;
}

// The last element for which `predicate` holds: the search runs from the end.
template <std::ranges::bidirectional_range R, class Predicate>
requires std::predicate<Predicate&, std::ranges::range_reference_t<R>> std::optional<Element<R>>
firstReservedBy(R&& values, Predicate&& predicate) {
    for (auto it = std::ranges::end(values); it != std::ranges::begin(values);) {
        --it;
        if (std::invoke(predicate, *it)) {
            return *it;
        }
    }
    return std::nullopt;
}

// The element with the smallest key; the first of equal keys. Calls `key` once per element.
template <std::ranges::forward_range R, class Key>
requires std::totally_ordered<KeyOf<Key, R>> std::optional<Element<R>> minBy(R&& values,
                                                                             Key&& key) {
    return internal::bestElementBy(values, key, internal::strictlyLess);
}

// The element with the largest key; the first of equal keys. Calls `key` once per element.
template <std::ranges::forward_range R, class Key>
requires std::totally_ordered<KeyOf<Key, R>> std::optional<Element<R>> maxBy(R&& values,
                                                                             Key&& key) {
    return internal::bestElementBy(values, key, internal::strictlyGreater);
}

template <std::ranges::forward_range R, class Key>
requires std::totally_ordered<KeyOf<Key, R>> std::optional<KeyOf<Key, R>> minOf(R&& values,
                                                                                Key&& key) {
    return internal::bestBy(values, key, internal::strictlyLess).second;
}

template <std::ranges::forward_range R, class Key>
requires std::totally_ordered<KeyOf<Key, R>> std::optional<KeyOf<Key, R>> maxOf(R&& values,
                                                                                Key&& key) {
    return internal::bestBy(values, key, internal::strictlyGreater).second;
}

// The largest element; the first of equal ones.
template <std::ranges::forward_range R>
requires std::totally_ordered<Element<R>> std::optional<Element<R>> max(R&& values) {
    std::identity self;
    return internal::bestElementBy(values, self, internal::strictlyGreater);
}

// The smallest element; the first of equal ones.
template <std::ranges::forward_range R>
requires std::totally_ordered<Element<R>> std::optional<Element<R>> min(R&& values) {
    std::identity self;
    return internal::bestElementBy(values, self, internal::strictlyLess);
}

// The keys added from the first element to the last, starting from 0 of the key's own type:
// float keys are summed in float.
template <std::ranges::input_range R, class Key>
requires std::is_arithmetic_v<KeyOf<Key, R>> KeyOf<Key, R> sum(R&& values, Key&& key) {
    KeyOf<Key, R> total{0};
    for (auto&& value : values) {
        total += std::invoke(key, value);
    }
    return total;
}

template <std::ranges::input_range R>
requires std::is_arithmetic_v<Element<R>> Element<R> sum(R&& values) {
    return sum(values, std::identity{});
}

// Calls `action(index, element)` for every element, in index order.
template <std::ranges::input_range R, class Action>
requires std::invocable<Action&, std::size_t, std::ranges::range_reference_t<R>>
void forEach(R&& values, Action&& action) {
    std::size_t index = 0;
    for (auto&& value : values) {
        std::invoke(action, index++, value);
    }
}

// [maker(0), maker(1), ..., maker(count - 1)]; empty for a count of 0 or less.
template <class Maker>
requires std::invocable<Maker&, std::int64_t>
    std::vector<std::invoke_result_t<Maker&, std::int64_t>> create(std::int64_t count,
                                                                   Maker&& maker) {
    std::vector<std::invoke_result_t<Maker&, std::int64_t>> values;
    if (count <= 0) {
        return values;
    }
    values.reserve(static_cast<std::size_t>(count));
    for (std::int64_t index = 0; index < count; ++index) {
        values.push_back(std::invoke(maker, index));
    }
    return values;
}

// Whether two optional arrays hold the same values, order and multiplicity aside: an absent
// array equals an empty one; otherwise the counts must match and every value of `lhs` must
// occur in `rhs` ([1, 1, 2] and [1, 2, 2] are equal).
template <std::equality_comparable T>
bool isValueSequenceInsensitiveEqual(const std::optional<std::vector<T>>& lhs,
                                     const std::optional<std::vector<T>>& rhs) {
    if (!lhs || !rhs) {
        const auto& present = lhs ? lhs : rhs;
        return !present || present->empty();
    }
    if (lhs->size() != rhs->size()) {
        return false;
    }
    return std::ranges::all_of(
        *lhs, [&rhs](const T& value) { return std::ranges::find(*rhs, value) != rhs->end(); });
}

// The values as a set; duplicates collapse.
template <class T>
std::unordered_set<T> toSet(const std::vector<T>& values) {
    return std::unordered_set<T>(values.begin(), values.end());
}

// True when the collection is absent or empty.
template <std::ranges::sized_range C>
bool isNilOrEmpty(const std::optional<C>& collection) {
    return !collection || std::ranges::empty(*collection);
}

constexpr bool not_(bool value) {
    return !value;
}

// `min` when value < min, else `max` when value > max, else value. The lower bound is tested
// first, so with min > max a value below min answers min.
template <std::totally_ordered T>
constexpr T scoped(const T& value, const T& min, const T& max) {
    if (value < min) {
        return min;
    }
    if (max < value) {
        return max;
    }
    return value;
}

}  // namespace lx
