#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "utility/LxGCDLocker.h"

// A first-in first-out queue that any thread may use, on singly linked nodes.
//
// Every operation but `count()` runs under the queue's own locker ("queue"), so each is atomic
// with respect to the others. `count()` reads without the lock and may answer the count from
// just before or just after a change running at the same time. No operation may be called from
// inside another of the same queue. Destroying a long queue takes no more stack than a short one.
//
// Example:
//   LxQueue<std::string> pending;
//   pending.enqueue("first");
//   const std::optional<std::string> next = pending.dequeue();   // "first"
template <class T>
class LxQueue {
public:
    LxQueue() = default;
    LxQueue(const LxQueue&) = delete;
    LxQueue& operator=(const LxQueue&) = delete;

    ~LxQueue() {
        // Node by node: letting each node's `next` destroy the rest would recurse once per node.
        while (top_) {
            top_ = std::move(top_->next);
        }
    }

    void enqueue(T value) {
        lock_.sync([&] {
            auto node = std::make_unique<Node>(std::move(value));
            Node* const added = node.get();
            if (top_) {
                bottom_->next = std::move(node);
            } else {
                top_ = std::move(node);
            }
            bottom_ = added;
            count_.fetch_add(1, std::memory_order_relaxed);
        });
    }

    std::optional<T> dequeue() {
        return lock_.sync([&]() -> std::optional<T> {
            if (!top_) {
                return std::nullopt;
            }
            std::optional<T> value(std::move(top_->value));
            top_ = std::move(top_->next);
            if (!top_) {
                bottom_ = nullptr;
            }
            count_.fetch_sub(1, std::memory_order_relaxed);
            return value;
        });
    }

    // A copy of the first value, left in the queue.
    std::optional<T> peek() const {
        return lock_.sync([&]() -> std::optional<T> {
            if (!top_) {
                return std::nullopt;
            }
            return top_->value;
        });
    }

    bool isEmpty() const {
        return lock_.sync([&] { return top_ == nullptr; });
    }

    std::int64_t count() const { return count_.load(std::memory_order_relaxed); }

private:
    struct Node {
        explicit Node(T value) : value(std::move(value)) {}
        T value;
        std::unique_ptr<Node> next;
    };

    LxGCDLocker lock_{"queue"};
    std::unique_ptr<Node> top_;
    // The last node, owned through the chain from `top_`; null exactly when `top_` is.
    Node* bottom_ = nullptr;
    // Atomic so that the unlocked read in `count()` is not a data race.
    std::atomic<std::int64_t> count_{0};
};
