#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbTaskRegistry.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/ProjectTestSupport.h"

namespace {

using namespace projecttest;

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kSmallest = std::numeric_limits<std::int64_t>::min();

class OrbTaskRegistryTest : public ::testing::Test {
protected:
    TaskPtr task(std::int64_t id) {
        return OrbProjectTask::create(project, nullptr, id, monday(), monday());
    }

    // Every entry of `expected` is found as itself, the count agrees, and the ids around each
    // entry that are not entries are not found.
    static void expectSame(const OrbTaskRegistry& registry,
                           const std::map<std::int64_t, TaskPtr>& expected) {
        ASSERT_EQ(registry.size(), expected.size());
        for (const auto& [id, entry] : expected) {
            EXPECT_EQ(registry.find(id), entry) << id;
            if (id == kSmallest || id == kLargest) {
                continue;
            }
            for (const std::int64_t near : {id - 1, id + 1}) {
                if (!expected.contains(near)) {
                    EXPECT_EQ(registry.find(near), nullptr) << near;
                }
            }
        }
    }

    std::shared_ptr<OrbProject> project = makeProject();
};

// Ids in the orders plans and damaged files give them: counted up, counted down, negative,
// huge, and huge ones met before the small ones that later bring them into range.
TEST_F(OrbTaskRegistryTest, FindsEveryEntryWhateverTheIdsAndTheirOrder) {
    std::vector<std::int64_t> upwards;
    std::vector<std::int64_t> downwards;
    for (std::int64_t id = 1; id <= 3000; ++id) {
        upwards.push_back(id);
        downwards.push_back(3001 - id);
    }
    std::vector<std::int64_t> hugeFirst{kLargest, 1'000'000'000'000, 200, 150, 100, 70, -5};
    for (std::int64_t id = 0; id < 300; ++id) {
        hugeFirst.push_back(id * 2 + 1);
    }
    const std::vector<std::vector<std::int64_t>> cases{
        upwards, downwards, hugeFirst, {kSmallest, -1, 0, kLargest}, {0}, {}};
    for (const auto& ids : cases) {
        OrbTaskRegistry registry;
        std::map<std::int64_t, TaskPtr> expected;
        for (const std::int64_t id : ids) {
            const TaskPtr entry = task(id);
            registry.set(id, entry);
            expected[id] = entry;
        }
        expectSame(registry, expected);
        for (const std::int64_t missing : {kSmallest, std::int64_t{-2}, std::int64_t{5000},
                                           std::int64_t{1} << 40, kLargest - 1}) {
            if (!expected.contains(missing)) {
                EXPECT_EQ(registry.find(missing), nullptr) << missing;
            }
        }
    }
}

// Setting, replacing and removing at random, with ids near and far, against an ordered map.
TEST_F(OrbTaskRegistryTest, AgreesWithAMapThroughSettingReplacingAndRemoving) {
    std::mt19937_64 random(30);
    std::uniform_int_distribution<int> operation(0, 9);
    std::uniform_int_distribution<std::int64_t> near(-20, 600);
    std::uniform_int_distribution<std::int64_t> far(-(std::int64_t{1} << 50),
                                                    std::int64_t{1} << 50);
    std::vector<std::int64_t> farIds;
    OrbTaskRegistry registry;
    std::map<std::int64_t, TaskPtr> expected;
    for (int step = 0; step < 4000; ++step) {
        const int kind = operation(random);
        std::int64_t id = near(random);
        if (kind == 0) {
            farIds.push_back(far(random));
        }
        if (kind <= 1 && !farIds.empty()) {
            id = farIds[static_cast<std::size_t>(random() % farIds.size())];
        }
        if (kind <= 6) {
            const TaskPtr entry = task(id);
            registry.set(id, entry);
            expected[id] = entry;
        } else {
            EXPECT_EQ(registry.erase(id), expected.erase(id) == 1) << id;
        }
        if (step % 250 == 0) {
            expectSame(registry, expected);
        }
    }
    expectSame(registry, expected);
    for (const auto& [id, entry] : std::map(expected)) {
        EXPECT_TRUE(registry.erase(id));
        EXPECT_FALSE(registry.erase(id));
    }
    EXPECT_EQ(registry.size(), 0u);
}

// Room made ahead for a run of ids takes in the far entries that fall into it and leaves the
// others where they are; a reservation below what is already kept changes nothing.
TEST_F(OrbTaskRegistryTest, ReservingIdsKeepsEveryEntryFindable) {
    for (const std::int64_t endId : {std::int64_t{0}, std::int64_t{-7}, std::int64_t{10},
                                     std::int64_t{5001}, std::int64_t{20000}}) {
        OrbTaskRegistry registry;
        std::map<std::int64_t, TaskPtr> expected;
        for (const std::int64_t id : {std::int64_t{1}, std::int64_t{2}, std::int64_t{5000},
                                      std::int64_t{15000}, std::int64_t{-3}, kLargest}) {
            expected[id] = task(id);
            registry.set(id, expected[id]);
        }
        registry.reserveIdsBelow(endId);
        expectSame(registry, expected);
        for (std::int64_t id = 3; id < 3000; ++id) {
            expected[id] = task(id);
            registry.set(id, expected[id]);
        }
        expected[15000] = task(15000);
        registry.set(15000, expected[15000]);
        EXPECT_TRUE(registry.erase(5000));
        expected.erase(5000);
        expectSame(registry, expected);
    }
}

TEST_F(OrbTaskRegistryTest, TheRegistryHoldsItsTasksUntilTheyAreRemoved) {
    std::weak_ptr<OrbProjectTask> near;
    std::weak_ptr<OrbProjectTask> far;
    OrbTaskRegistry registry;
    registry.set(3, task(3));
    registry.set(kLargest, task(kLargest));
    near = registry.find(3);
    far = registry.find(kLargest);
    EXPECT_FALSE(near.expired());
    EXPECT_FALSE(far.expired());
    registry.set(3, task(3));
    EXPECT_TRUE(near.expired());
    EXPECT_EQ(registry.size(), 2u);
    registry.erase(kLargest);
    EXPECT_TRUE(far.expired());
}

}  // namespace
