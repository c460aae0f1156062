#pragma once

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <vector>

#include "utility/internal/BoxArrayIterator.h"

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
    struct Unwrap {
        const T& operator()(const LxRefrenceBox<T>& box) const { return box.wrappedValue(); }
    };
    using Iterator = lx::internal::BoxArrayIterator<LxRefrenceBox<T>, Unwrap>;

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
