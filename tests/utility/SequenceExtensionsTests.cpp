#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "utility/SequenceExtensions.h"

namespace {

struct Task {
    std::string name;
    int priority;
};

TEST(SequenceExtensions, AnyAndAllStopAtTheDecidingElement) {
    const std::vector<int> values{4, 7, 9, 7};
    int calls = 0;
    EXPECT_TRUE(lx::any(values, [&calls](int v) {
        ++calls;
        return v == 7;
    }));
    EXPECT_EQ(calls, 2);

    calls = 0;
    EXPECT_FALSE(lx::all(values, [&calls](int v) {
        ++calls;
        return v < 9;
    }));
    EXPECT_EQ(calls, 3);

    const std::vector<int> empty;
    EXPECT_TRUE(lx::all(empty, [](int) { return false; }));
    EXPECT_FALSE(lx::any(empty, [](int) { return true; }));
}

TEST(SequenceExtensions, EachSearchAndCount) {
    const std::vector<int> values{1, 6, 3, 8};
    std::vector<int> seen;
    lx::each(values, [&seen](int v) { seen.push_back(v); });
    EXPECT_EQ(seen, values);

    EXPECT_EQ(lx::search(values, [](int v) { return v > 5; }), 6);
    EXPECT_EQ(lx::search(values, [](int v) { return v > 50; }), std::nullopt);
    EXPECT_EQ(lx::count(values, [](int v) { return v % 2 == 0; }), 2);
}

TEST(SequenceExtensions, KeyPathsOnValuesAndSharedObjects) {
    const std::vector<Task> tasks{{"b", 2}, {"a", 1}, {"c", 2}};
    EXPECT_EQ(lx::map(tasks, &Task::name), (std::vector<std::string>{"b", "a", "c"}));

    const auto byPriority = lx::sorted(tasks, &Task::priority);
    EXPECT_EQ(lx::map(byPriority, &Task::name), (std::vector<std::string>{"a", "b", "c"}));

    const std::vector<std::shared_ptr<Task>> shared{std::make_shared<Task>(Task{"x", 5})};
    EXPECT_EQ(lx::map(shared, &Task::priority), std::vector<int>{5});
}

TEST(SequenceExtensions, SortedIsStable) {
    std::vector<Task> tasks;
    for (int i = 0; i < 64; ++i) {
        tasks.push_back({std::to_string(i), i % 2 == 0 ? 2 : 1});
    }
    const auto ordered = lx::sorted(tasks, &Task::priority);
    for (std::size_t i = 1; i < ordered.size(); ++i) {
        if (ordered[i - 1].priority == ordered[i].priority) {
            EXPECT_LT(std::stoi(ordered[i - 1].name), std::stoi(ordered[i].name));
        }
    }
}

TEST(SequenceExtensions, GroupedKeepsSequenceOrderInEachGroup) {
    const std::vector<Task> tasks{{"b", 2}, {"a", 1}, {"c", 2}};
    const auto groups = lx::grouped(tasks, &Task::priority);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(lx::map(groups.at(2), &Task::name), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(lx::map(groups.at(1), &Task::name), std::vector<std::string>{"a"});
    EXPECT_TRUE(lx::grouped(std::vector<Task>{}, &Task::priority).empty());
}

}  // namespace
