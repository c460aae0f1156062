#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/DispatchTest.h"
#include "utility/LxQueue.h"
#include "utility/LxStack.h"

namespace {

class LxQueueTest : public DispatchTest {};
class LxStackTest : public DispatchTest {};
using LxQueueAndStackDeathTest = DispatchTest;

// An element whose copy asks its container whether it is empty, so that a copy made inside an
// operation enters the container's lock a second time.
template <template <class> class Container>
struct Reentering {
    Container<Reentering>* container = nullptr;

    explicit Reentering(Container<Reentering>* container) : container(container) {}
    Reentering(Reentering&&) noexcept = default;
    Reentering(const Reentering& other) : container(other.container) { (void)container->isEmpty(); }
};

TEST_F(LxQueueTest, HandsValuesOutInArrivalOrderAndStartsOverWhenEmptied) {
    LxQueue<std::string> queue;
    EXPECT_EQ(queue.dequeue(), std::nullopt);
    EXPECT_EQ(queue.peek(), std::nullopt);
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(queue.count(), 0);

    for (const char* value : {"1", "2", "3"}) {
        queue.enqueue(value);
    }
    EXPECT_EQ(queue.peek(), "1");
    EXPECT_EQ(queue.count(), 3);
    EXPECT_EQ(queue.dequeue(), "1");
    EXPECT_EQ(queue.dequeue(), "2");
    EXPECT_EQ(queue.dequeue(), "3");
    EXPECT_EQ(queue.dequeue(), std::nullopt);
    EXPECT_TRUE(queue.isEmpty());
    EXPECT_EQ(queue.count(), 0);

    // The emptied queue must not link the new node behind the node it already gave away.
    queue.enqueue("4");
    queue.enqueue("5");
    EXPECT_EQ(queue.dequeue(), "4");
    EXPECT_EQ(queue.peek(), "5");
    EXPECT_EQ(queue.count(), 1);
}

TEST_F(LxQueueTest, PeekHandsOutACopy) {
    LxQueue<std::vector<int>> queue;
    queue.enqueue({1});
    auto copy = queue.peek();
    copy->push_back(2);
    EXPECT_EQ(queue.dequeue(), (std::vector<int>{1}));
}

TEST_F(LxQueueTest, DestroyingAMillionValuesDoesNotExhaustTheStack) {
    auto queue = std::make_unique<LxQueue<int>>();
    for (int i = 0; i < 1'000'000; ++i) {
        queue->enqueue(i);
    }
    EXPECT_EQ(queue->count(), 1'000'000);
    queue.reset();
}

TEST_F(LxQueueTest, ThreadsSharingAQueueLoseNoValue) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 2'000;
    LxQueue<int> queue;
    std::vector<std::int64_t> sums(kThreads, 0);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&queue, &sums, t] {
                for (int i = 1; i <= kPerThread; ++i) {
                    queue.enqueue(i);
                    // The unlocked count races with the other threads' changes by design.
                    EXPECT_GE(queue.count(), 0);
                    if (const auto value = queue.dequeue()) {
                        sums[t] += *value;
                    }
                }
            });
        }
    }
    std::int64_t total = 0;
    for (const std::int64_t sum : sums) {
        total += sum;
    }
    while (const auto value = queue.dequeue()) {
        total += *value;
    }
    EXPECT_EQ(total, std::int64_t{kThreads} * kPerThread * (kPerThread + 1) / 2);
    EXPECT_EQ(queue.count(), 0);
}

TEST_F(LxStackTest, CapacityDropsTheOldestValueOnlyWhenPositive) {
    struct Case {
        std::optional<std::int64_t> capacity;
        std::int64_t count;
        int root;
    };
    const Case cases[] = {
        {3, 3, 2}, {1, 1, 4}, {0, 4, 1}, {-1, 4, 1}, {std::nullopt, 4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity ? std::to_string(*c.capacity) : "no capacity");
        auto stack = c.capacity ? std::make_unique<LxStack<int>>(*c.capacity)
                                : std::make_unique<LxStack<int>>();
        for (int value = 1; value <= 4; ++value) {
            stack->push(value);
        }
        EXPECT_EQ(stack->peek(), 4);
        EXPECT_EQ(stack->root(), c.root);
        EXPECT_EQ(stack->count(), c.count);
    }
}

TEST_F(LxStackTest, PopsNewestFirstAndAnswersNoneWhenEmpty) {
    LxStack<std::string> stack;
    EXPECT_EQ(stack.pop(), std::nullopt);
    EXPECT_EQ(stack.peek(), std::nullopt);
    EXPECT_EQ(stack.root(), std::nullopt);
    stack.clear();
    EXPECT_TRUE(stack.isEmpty());

    stack.push("a");
    stack.push("b");
    EXPECT_EQ(stack.pop(), "b");
    EXPECT_EQ(stack.count(), 1);
    stack.push("c");
    stack.clear();
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(stack.count(), 0);
    EXPECT_EQ(stack.pop(), std::nullopt);
}

TEST_F(LxQueueAndStackDeathTest, ReenteringAContainerAbortsNamingItsLock) {
    EXPECT_DEATH(
        {
            logToStandardError();
            LxQueue<Reentering<LxQueue>> queue;
            queue.enqueue(Reentering<LxQueue>(&queue));
            (void)queue.peek();
        },
        "severe.*queue \"queue\"");
    EXPECT_DEATH(
        {
            logToStandardError();
            LxStack<Reentering<LxStack>> stack;
            stack.push(Reentering<LxStack>(&stack));
            (void)stack.root();
        },
        "severe.*queue \"stack\"");
}

}  // namespace
