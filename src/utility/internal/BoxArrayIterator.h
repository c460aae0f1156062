#pragma once

#include <cstddef>
#include <iterator>
#include <type_traits>
#include <vector>

namespace lx::internal {

// A forward iterator over a list of boxes that shows each box through `Open`: the box arrays
// yield what their boxes hold, never the boxes themselves.
template <class Box, class Open>
class BoxArrayIterator {
public:
    using Position = typename std::vector<Box>::const_iterator;
    using reference = std::invoke_result_t<Open, const Box&>;
    using value_type = std::remove_cvref_t<reference>;
    using difference_type = std::ptrdiff_t;
    using iterator_concept = std::forward_iterator_tag;
    // A value made anew on each read is no reference into the list: only an input iterator to
    // the older algorithms.
    using iterator_category =
        std::conditional_t<std::is_reference_v<reference>, std::forward_iterator_tag,
                           std::input_iterator_tag>;

    BoxArrayIterator() = default;
    explicit BoxArrayIterator(Position position) : position_(position) {}

    reference operator*() const { return Open{}(*position_); }
    BoxArrayIterator& operator++() {
        ++position_;
        return *this;
    }
    BoxArrayIterator operator++(int) {
        BoxArrayIterator before = *this;
        ++position_;
        return before;
    }
    bool operator==(const BoxArrayIterator&) const = default;

private:
    Position position_;
};

}  // namespace lx::internal
