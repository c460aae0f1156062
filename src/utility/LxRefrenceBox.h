#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

// A value kept in a shared box: copies of the box are handles to one value, so a change made
// through one copy is seen through every other.
//
// Example:
//   LxRefrenceBox<int> total(0);
//   auto counter = [total]() mutable { ++total.wrappedValue(); };
//   counter();   // total.wrappedValue() == 1
template <class T>
class LxRefrenceBox {
public:
    explicit LxRefrenceBox(T value) : value_(std::make_shared<T>(std::move(value))) {}

    // The shared value, to read, assign or change in place. Constness of the handle does not
    // reach the value, as with a shared_ptr.
    T& wrappedValue() const { return *value_; }

private:
    std::shared_ptr<T> value_;
};

// An ordered list of values, each in its own `LxRefrenceBox`.
//
// Copying the list copies the list of boxes, not the values: the copies share each element,
// while appending to one copy leaves the other's length alone. Indexes outside the list throw
// std::out_of_range. No lock: one thread at a time.
template <class T>
class LxRefrenceArray {
public:
    class Iterator {
    public:
        using iterator_concept = std::forward_iterator_tag;
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using reference = const T&;

        Iterator() = default;
        const T& operator*() const { return position_->wrappedValue(); }
        Iterator& operator++() {
            ++position_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++position_;
            return before;
        }
        bool operator==(const Iterator&) const = default;

    private:
        friend class LxRefrenceArray;
        using Position = typename std::vector<LxRefrenceBox<T>>::const_iterator;
        explicit Iterator(Position position) : position_(position) {}
        Position position_;
    };

    LxRefrenceArray() = default;
    explicit LxRefrenceArray(const std::vector<T>& values) {
        items_.reserve(values.size());
        for (const T& value : values) {
            items_.emplace_back(value);
        }
    }
    LxRefrenceArray(std::initializer_list<T> values) : LxRefrenceArray(std::vector<T>(values)) {}

    std::size_t size() const { return items_.size(); }
    bool isEmpty() const { return items_.empty(); }

    const T& operator[](std::size_t index) const { return items_.at(index).wrappedValue(); }

    Iterator begin() const { return Iterator(items_.begin()); }
    Iterator end() const { return Iterator(items_.end()); }

    void append(T value) { items_.emplace_back(std::move(value)); }

private:
    std::vector<LxRefrenceBox<T>> items_;
};
