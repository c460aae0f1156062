#pragma once

#include <algorithm>
#include <concepts>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "utility/internal/BoxArrayIterator.h"

// One object held weakly: `unbox()` answers it while something else keeps it alive, and null
// once it has been released. The box never keeps the object alive.
template <class T>
class LxWeakBox {
public:
    LxWeakBox() = default;
    explicit LxWeakBox(const std::shared_ptr<T>& object) : object_(object) {}

    std::shared_ptr<T> unbox() const { return object_.lock(); }

private:
    std::weak_ptr<T> object_;
};

// An ordered list of objects held weakly.
//
// A released object's box stays where it was: it keeps its index, counts in `size()` and
// `isEmpty()`, and reads as null by index, in iteration and in `firstElement()` and
// `lastElement()`. Only `removeFirst` and `removeAll` remove boxes. Indexes outside the list
// throw std::out_of_range and change nothing. Iteration yields the objects as `shared_ptr`s,
// each taken as it is read. No lock: one thread at a time.
//
// Example:
//   LxWeakArray<View> views{header, footer};
//   views.removeFirst([](const std::shared_ptr<View>& view) { return view == nullptr; });
template <class T>
class LxWeakArray {
public:
    struct Unbox {
        std::shared_ptr<T> operator()(const LxWeakBox<T>& box) const { return box.unbox(); }
    };
    using Iterator = lx::internal::BoxArrayIterator<LxWeakBox<T>, Unbox>;

    LxWeakArray() = default;
    explicit LxWeakArray(const std::vector<std::shared_ptr<T>>& objects) {
        items_.reserve(objects.size());
        for (const auto& object : objects) {
            items_.emplace_back(object);
        }
    }
    // Null entries give empty boxes.
    LxWeakArray(std::initializer_list<std::shared_ptr<T>> objects)
        : LxWeakArray(std::vector<std::shared_ptr<T>>(objects)) {}

    std::size_t size() const { return items_.size(); }
    bool isEmpty() const { return items_.empty(); }

    std::shared_ptr<T> operator[](std::size_t index) const { return items_.at(index).unbox(); }

    Iterator begin() const { return Iterator(items_.begin()); }
    Iterator end() const { return Iterator(items_.end()); }

    std::shared_ptr<T> firstElement() const {
        return items_.empty() ? nullptr : items_.front().unbox();
    }
    std::shared_ptr<T> lastElement() const {
        return items_.empty() ? nullptr : items_.back().unbox();
    }

    void append(const std::shared_ptr<T>& object) { items_.emplace_back(object); }

    // Requires 0 <= index <= size(); throws std::out_of_range otherwise.
    void insert(const std::shared_ptr<T>& object, std::size_t at) {
        if (at > items_.size()) {
            throw std::out_of_range("LxWeakArray::insert at " + std::to_string(at) + " of " +
                                    std::to_string(items_.size()));
        }
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), LxWeakBox<T>(object));
    }

    // Removes the first box whose current content satisfies `predicate` (null for a released
    // object); nothing when none does.
    template <class Predicate>
    requires std::predicate < Predicate&, const std::shared_ptr<T>
    & > void removeFirst(Predicate&& predicate) {
        const auto match = std::find_if(items_.begin(), items_.end(), [&](const LxWeakBox<T>& box) {
            return std::invoke(predicate, box.unbox());
        });
        if (match != items_.end()) {
            items_.erase(match);
        }
    }

    // Removes every box and gives the storage back.
    void removeAll() {
        items_.clear();
        items_.shrink_to_fit();
    }

private:
    std::vector<LxWeakBox<T>> items_;
};
