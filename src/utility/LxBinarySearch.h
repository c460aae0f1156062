#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ranges>

// Where an element lies relative to the position sought: `less` before it, `large` after it.
enum class LxBinarySearchCompareResult { less, equal, large };

// The index of an element that `compareElementWithOther` calls `equal`, found by halving; none
// when there is none. The elements must be sorted so that the answers run `less` ... `equal`
// ... `large`. With several equal elements the one found is whichever the halving reaches
// first, not necessarily the first of them.
//
// Example:
//   const std::vector<int> days{1, 3, 5, 7};
//   lx::indexByBinarySearch(days, [](int day) {
//       return day < 5 ? LxBinarySearchCompareResult::less
//              : day > 5 ? LxBinarySearchCompareResult::large : LxBinarySearchCompareResult::equal;
//   });   // 2
namespace lx {

template <std::ranges::random_access_range R, class Compare>
requires std::invocable<Compare&, std::ranges::range_reference_t<const R>>
    std::optional<std::size_t> indexByBinarySearch(const R& values,
                                                   Compare&& compareElementWithOther) {
    // Signed bounds: a value below every element ends with high = -1, which an unsigned index
    // would wrap to a huge one and read past the end.
    std::int64_t low = 0;
    std::int64_t high = static_cast<std::int64_t>(std::ranges::size(values)) - 1;
    const auto first = std::ranges::begin(values);
    while (low <= high) {
        const std::int64_t mid = low + (high - low) / 2;
        const LxBinarySearchCompareResult result = std::invoke(compareElementWithOther, first[mid]);
        if (result == LxBinarySearchCompareResult::equal) {
            return static_cast<std::size_t>(mid);
        }
        if (result == LxBinarySearchCompareResult::less) {
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    return std::nullopt;
}

}  // namespace lx
