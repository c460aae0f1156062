#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/manager/CombineCache.h"
#include "app/manager/CombineSource.h"
#include "app/manager/CombineTestSupport.h"
#include "platform/reactive/AnyCancellable.h"

namespace {

using namespace combinetest;
using ValidationResult = CombineSource::ValidationResult;

TEST(ValidationResultTest, IsEmptyOnlyWithoutATextOrAnEntry) {
    struct Case {
        const char* name;
        ValidationResult result;
        bool empty;
    };
    const std::vector<Case> cases = {
        {"all absent", {}, true},
        {"blank texts and empty lists",
         {.currency = "",
          .dialyWorkingHours = "  \n",
          .resources = std::vector<std::string>{},
          .calendars = std::vector<std::string>{},
          .datePolicy = "\t",
          .linkType = "\r\n"},
         true},
        {"one text", {.linkType = "The task link type differs"}, false},
        {"a list holding one blank text", {.calendars = std::vector<std::string>{""}}, false},
        {"one resource text", {.resources = std::vector<std::string>{"Member"}}, false},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.result.isEmpty(), row.empty);
    }
}

TEST(CombineCacheTest, RegisterMemberMakesTheSourceMapAndKeepsTheLastMapping) {
    CombineManager::CombineCache cache;
    cache.registerMember(1, 4, 2);
    cache.registerMember(1, 4, 3);
    cache.registerMember(1, 5, 1);
    cache.registerMember(0, 4, 1);

    ASSERT_EQ(cache.caches.size(), 2u);
    EXPECT_EQ(cache.caches.at(1)->projectIndex, 1);
    EXPECT_EQ(cache.caches.at(1)->memberMap,
              (std::unordered_map<std::int64_t, std::int64_t>{{4, 3}, {5, 1}}));
    EXPECT_EQ(cache.caches.at(0)->projectIndex, 0);
    EXPECT_EQ(cache.caches.at(0)->memberMap,
              (std::unordered_map<std::int64_t, std::int64_t>{{4, 1}}));
}

std::vector<std::int64_t> indexesOf(const std::vector<CombineSource::Project>& projects) {
    std::vector<std::int64_t> indexes;
    for (const auto& project : projects) {
        indexes.push_back(project.index);
    }
    return indexes;
}

TEST(CombineSourceTest, AppendingTakesTheIndexFromTheListAsItStands) {
    const auto source = CombineSource::create();
    int changes = 0;
    const platform::reactive::AnyCancellable watching =
        source->objectWillChange().sink([&changes](const auto&) { ++changes; });

    // Records loaded at the same time may carry any provisional index.
    const auto first = source->append(makeSource({}, 7));
    const auto second = source->append(makeSource({}, 7));
    EXPECT_EQ(first.index, 0);
    EXPECT_EQ(second.index, 1);
    EXPECT_EQ(indexesOf(source->projects()), (std::vector<std::int64_t>{0, 1}));
    EXPECT_EQ(source->projects()[1].orbProject, second.orbProject);

    source->removeAll();
    EXPECT_TRUE(source->projects().empty());
    EXPECT_EQ(source->append(makeSource({}, 5)).index, 0);
    EXPECT_EQ(changes, 4);
}

TEST(CombineSourceTest, ASnapshotKeepsTheListItWasTakenFrom) {
    const auto source = CombineSource::create();
    source->append(makeSource({}));
    const auto before = source->snapshot();

    source->append(makeSource({}));
    source->removeAll();

    EXPECT_EQ(indexesOf(*before), (std::vector<std::int64_t>{0}));
    EXPECT_TRUE(source->snapshot()->empty());
}

}  // namespace
