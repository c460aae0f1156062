#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "utility/LxBinarySearch.h"

namespace {

using Compare = LxBinarySearchCompareResult;

// Compares like a search for `sought` in ascending values and records the indexes probed.
struct Probe {
    int sought;
    std::vector<int> values;
    std::vector<std::size_t> probed;

    std::optional<std::size_t> search() {
        return lx::indexByBinarySearch(values, [this](const int& value) {
            probed.push_back(static_cast<std::size_t>(&value - values.data()));
            if (value < sought) {
                return Compare::less;
            }
            return value > sought ? Compare::large : Compare::equal;
        });
    }
};

TEST(LxBinarySearchTest, FindsTheElementOrAnswersNoneWithoutLeavingTheArray) {
    struct Case {
        std::string name;
        std::vector<int> values;
        int sought;
        std::optional<std::size_t> index;
        std::vector<std::size_t> probed;
    };
    const Case cases[] = {
        {"empty", {}, 4, std::nullopt, {}},
        {"one element, equal", {4}, 4, 0, {0}},
        {"one element, before it", {4}, 9, std::nullopt, {0}},
        {"one element, after it", {4}, 1, std::nullopt, {0}},
        {"last of four", {1, 3, 5, 7}, 7, 3, {1, 2, 3}},
        {"first of four", {1, 3, 5, 7}, 1, 0, {1, 0}},
        // The probe at index 0 answers `large`: high becomes -1, never a wrapped index.
        {"below every element", {1, 3, 5, 7}, 0, std::nullopt, {1, 0}},
        {"above every element", {1, 3, 5, 7}, 8, std::nullopt, {1, 2, 3}},
        {"between two elements", {1, 3, 5, 7}, 4, std::nullopt, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Probe probe{c.sought, c.values, {}};
        EXPECT_EQ(probe.search(), c.index);
        EXPECT_EQ(probe.probed, c.probed);
    }
}

TEST(LxBinarySearchTest, AmongEqualElementsFindsTheOneTheHalvingReachesFirst) {
    Probe probe{2, {2, 2, 2, 2, 2}, {}};
    EXPECT_EQ(probe.search(), 2u);
}

}  // namespace
