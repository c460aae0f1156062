#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>

#include "utility/LxGCDLocker.h"

// A last-in first-out stack that any thread may use, optionally bounded: once it holds more
// than its capacity, a push drops the oldest value (the root).
//
// Every operation runs under the stack's own locker ("stack"); none may be called from inside
// another of the same stack.
//
// Example:
//   LxStack<std::string> recent(3);
//   for (auto name : {"a", "b", "c", "d"}) recent.push(name);
//   recent.root();   // "b": "a" was dropped
template <class T>
class LxStack {
public:
    // Without a limit.
    LxStack() = default;
    // A capacity of 1 or more is the limit; 0 or less leaves the stack without one.
    explicit LxStack(std::int64_t capacity) {
        if (capacity > 0) {
            capacity_ = capacity;
        }
    }
    LxStack(const LxStack&) = delete;
    LxStack& operator=(const LxStack&) = delete;

    // One push drops at most one value, so the stack never exceeds its capacity.
    void push(T value) {
        lock_.sync([&] {
            stack_.push_back(std::move(value));
            if (capacity_ && *capacity_ < static_cast<std::int64_t>(stack_.size())) {
                stack_.pop_front();
            }
        });
    }

    std::optional<T> pop() {
        return lock_.sync([&]() -> std::optional<T> {
            if (stack_.empty()) {
                return std::nullopt;
            }
            std::optional<T> value(std::move(stack_.back()));
            stack_.pop_back();
            return value;
        });
    }

    // A copy of the top (newest) value.
    std::optional<T> peek() const {
        return lock_.sync([&]() -> std::optional<T> {
            if (stack_.empty()) {
                return std::nullopt;
            }
            return stack_.back();
        });
    }

    // A copy of the bottom (oldest) value.
    std::optional<T> root() const {
        return lock_.sync([&]() -> std::optional<T> {
            if (stack_.empty()) {
                return std::nullopt;
            }
            return stack_.front();
        });
    }

    bool isEmpty() const {
        return lock_.sync([&] { return stack_.empty(); });
    }

    std::int64_t count() const {
        return lock_.sync([&] { return static_cast<std::int64_t>(stack_.size()); });
    }

    // Removes every value and gives the storage back.
    void clear() {
        lock_.sync([&] {
            stack_.clear();
            stack_.shrink_to_fit();
        });
    }

private:
    LxGCDLocker lock_{"stack"};
    // Oldest first; a deque, so that dropping the oldest costs the same as pushing.
    std::deque<T> stack_;
    std::optional<std::int64_t> capacity_;
};
