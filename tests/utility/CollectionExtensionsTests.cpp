#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "utility/CollectionExtensions.h"

namespace {

struct Item {
    std::string name;
    int key;
    bool operator==(const Item&) const = default;
};

TEST(CollectionExtensions, ElementAtIsBoundsCheckedOnBothEnds) {
    const std::vector<int> values{10, 20, 30};
    struct Case {
        std::int64_t index;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {-1, std::nullopt},       {0, 10}, {2, 30}, {3, std::nullopt}, {INT64_MIN, std::nullopt},
        {INT64_MAX, std::nullopt}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(lx::element(values, c.index), c.expected);
    }
    EXPECT_EQ(lx::element(std::vector<int>{}, 0), std::nullopt);
}

TEST(CollectionExtensions, FirstReservedByFindsTheLastMatchWhileRemoveFirstTakesTheFirst) {
    std::vector<Item> items{{"a1", 1}, {"b", 2}, {"a2", 1}};
    const auto isA = [](const Item& item) { return item.key == 1; };

    EXPECT_EQ(lx::firstReservedBy(items, isA)->name, "a2");
    EXPECT_EQ(lx::removeFirst(items, isA)->name, "a1");
    EXPECT_EQ(items, (std::vector<Item>{{"b", 2}, {"a2", 1}}));

    EXPECT_EQ(lx::firstReservedBy(items, [](const Item&) { return false; }), std::nullopt);
    EXPECT_EQ(lx::removeFirst(items, [](const Item& item) { return item.key == 9; }), std::nullopt);
    EXPECT_EQ(items.size(), 2u);
}

TEST(CollectionExtensions, MinByAndMaxByKeepTheFirstOfEqualKeysAndCallTheKeyOncePerElement) {
    struct Case {
        std::vector<int> keys;
        std::optional<std::string> minName;
        std::optional<std::string> maxName;
    };
    const Case cases[] = {
        {{3, 1, 1}, "i1", "i0"},
        {{5, 2, 5}, "i1", "i0"},
        {{4}, "i0", "i0"},
        {{}, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        std::vector<Item> items;
        for (std::size_t i = 0; i < c.keys.size(); ++i) {
            items.push_back({"i" + std::to_string(i), c.keys[i]});
        }
        std::vector<std::string> visited;
        const auto key = [&visited](const Item& item) {
            visited.push_back(item.name);
            return item.key;
        };

        const auto min = lx::minBy(items, key);
        EXPECT_EQ(visited.size(), items.size());
        const auto max = lx::maxBy(items, key);
        EXPECT_EQ(visited.size(), 2 * items.size());

        EXPECT_EQ(min ? std::optional(min->name) : std::nullopt, c.minName);
        EXPECT_EQ(max ? std::optional(max->name) : std::nullopt, c.maxName);
    }
}

TEST(CollectionExtensions, MinOfMaxOfMinAndMax) {
    const std::vector<Item> items{{"a", 4}, {"b", -2}, {"c", 9}};
    EXPECT_EQ(lx::minOf(items, &Item::key), -2);
    EXPECT_EQ(lx::maxOf(items, &Item::key), 9);
    EXPECT_EQ(lx::minOf(std::vector<Item>{}, &Item::key), std::nullopt);

    EXPECT_EQ(lx::max(std::vector<int>{2, 7, 7, 1}), 7);
    EXPECT_EQ(lx::min(std::vector<int>{2, 7, 1, 1}), 1);
    EXPECT_EQ(lx::max(std::vector<int>{}), std::nullopt);
}

TEST(CollectionExtensions, SumAddsInTheKeysOwnType) {
    const std::vector<float> halves{0.5f, 0.5f};
    const auto floatSum = lx::sum(halves, [](float value) { return value; });
    static_assert(std::is_same_v<decltype(floatSum), const float>);
    EXPECT_EQ(floatSum, 1.0f);

    // Left to right in float: 1e8f + 1 + 1 stays 1e8f, as the model's float arithmetic does.
    EXPECT_EQ(lx::sum(std::vector<float>{1e8f, 1.0f, 1.0f}), 1e8f);

    EXPECT_EQ(lx::sum(std::vector<Item>{}, &Item::key), 0);
    EXPECT_EQ(lx::sum(std::vector<int>{1, 2, 3}), 6);
}

TEST(CollectionExtensions, DistinctKeepsFirstOccurrencesInOrder) {
    std::vector<int> values{3, 1, 3, 2, 1};
    lx::distinct(values);
    EXPECT_EQ(values, (std::vector<int>{3, 1, 2}));

    const std::vector<int> original{5, 5, 5};
    EXPECT_EQ(lx::distincted(original), (std::vector<int>{5}));
    EXPECT_EQ(original.size(), 3u);
}

TEST(CollectionExtensions, ValueSequenceInsensitiveEquality) {
    using Values = std::optional<std::vector<int>>;
    struct Case {
        Values lhs;
        Values rhs;
        bool equal;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, true},
        {std::nullopt, std::vector<int>{}, true},
        {std::vector<int>{}, std::nullopt, true},
        {std::nullopt, std::vector<int>{1}, false},
        {std::vector<int>{1, 2}, std::vector<int>{2, 1}, true},
        {std::vector<int>{1, 2}, std::vector<int>{1, 2, 2}, false},
        {std::vector<int>{1, 1, 2}, std::vector<int>{1, 2, 2}, true},
        {std::vector<int>{1, 3}, std::vector<int>{1, 2}, false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lx::isValueSequenceInsensitiveEqual(cases[i].lhs, cases[i].rhs), cases[i].equal);
    }
}

TEST(CollectionExtensions, SmallHelpers) {
    EXPECT_EQ(lx::create(3, [](std::int64_t i) { return i * 2; }),
              (std::vector<std::int64_t>{0, 2, 4}));
    EXPECT_TRUE(lx::create(0, [](std::int64_t i) { return i; }).empty());
    EXPECT_TRUE(lx::create(-4, [](std::int64_t i) { return i; }).empty());

    std::vector<std::string> visits;
    lx::forEach(std::vector<std::string>{"a", "b"}, [&](std::size_t index, const std::string& s) {
        visits.push_back(std::to_string(index) + s);
    });
    EXPECT_EQ(visits, (std::vector<std::string>{"0a", "1b"}));

    EXPECT_TRUE(lx::isNilOrEmpty(std::optional<std::vector<int>>()));
    EXPECT_TRUE(lx::isNilOrEmpty(std::optional<std::vector<int>>(std::vector<int>{})));
    EXPECT_FALSE(lx::isNilOrEmpty(std::optional<std::vector<int>>(std::vector<int>{1})));

    EXPECT_EQ(lx::scoped(15, 0, 10), 10);
    EXPECT_EQ(lx::scoped(-3, 0, 10), 0);
    EXPECT_EQ(lx::scoped(7, 0, 10), 7);
    EXPECT_EQ(lx::scoped(3, 5, 1), 5);  // the lower bound is tested first
    EXPECT_TRUE(lx::not_(false));
}

TEST(CollectionExtensions, ToSetCollapsesDuplicates) {
    const auto set = lx::toSet(std::vector<int>{1, 1, 2});
    EXPECT_EQ(set.size(), 2u);
    EXPECT_TRUE(set.contains(1) && set.contains(2));
    EXPECT_TRUE(lx::toSet(std::vector<std::string>{}).empty());
}

}  // namespace
