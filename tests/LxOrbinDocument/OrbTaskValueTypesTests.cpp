#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unordered_set>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Task/OrbTaskCost.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinkType.h"
#include "LxOrbinDocument/Model/Task/OrbTaskWork.h"
#include "LxOrbinDocument/Model/Task/TaskUrl.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(OrbTaskLinkType, RawValuesAreZeroAndOneOnly) {
    EXPECT_EQ(OrbTaskLinkType::fromRawValue(0), OrbTaskLinkType::finishToStart);
    EXPECT_EQ(OrbTaskLinkType::fromRawValue(1), OrbTaskLinkType::linkingList);
    EXPECT_EQ(OrbTaskLinkType::fromRawValue(2), std::nullopt);
    EXPECT_EQ(OrbTaskLinkType::fromRawValue(-1), std::nullopt);
    EXPECT_EQ(OrbTaskLinkType(OrbTaskLinkType::linkingList).rawValue(), 1);

    const std::unordered_set<OrbTaskLinkType> types{OrbTaskLinkType::finishToStart,
                                                    OrbTaskLinkType::linkingList,
                                                    OrbTaskLinkType::finishToStart};
    EXPECT_EQ(types.size(), 2u);
}

TEST(OrbTaskLaborCost, RawFormRoundTrips) {
    struct Case {
        std::int64_t index;
        bool isFix;
        OrbTaskRawData raw;
    };
    const Case cases[] = {
        {0, false, {0, std::nullopt}},
        {7, false, {0, std::nullopt}},
        {-1, false, {0, std::nullopt}},
        {1, true, {1, 5.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const auto cost = OrbTaskLaborCost::fromRawData(c.index, 5.0f);
        EXPECT_EQ(cost.isFix(), c.isFix);
        EXPECT_EQ(cost.kind(),
                  c.isFix ? OrbTaskLaborCost::Kind::fix : OrbTaskLaborCost::Kind::auto_);
        EXPECT_EQ(cost.amount(), c.isFix ? std::optional(5.0f) : std::nullopt);
        EXPECT_EQ(cost.raw(), c.raw);
    }
}

TEST(OrbTaskWork, RawFormRoundTrips) {
    struct Case {
        std::int64_t index;
        OrbTaskWork::Kind kind;
        OrbTaskRawData raw;
    };
    const Case cases[] = {
        {2, OrbTaskWork::Kind::fixAmount, {2, 3.0f}},
        {1, OrbTaskWork::Kind::fixDailyWork, {1, 3.0f}},
        {3, OrbTaskWork::Kind::byResource, {0, std::nullopt}},
        {0, OrbTaskWork::Kind::byResource, {0, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const auto work = OrbTaskWork::fromRawData(c.index, 3.0f);
        EXPECT_EQ(work.kind(), c.kind);
        EXPECT_EQ(work.isFixAmount(), c.kind == OrbTaskWork::Kind::fixAmount);
        EXPECT_EQ(work.isFixDailyWork(), c.kind == OrbTaskWork::Kind::fixDailyWork);
        EXPECT_EQ(work.isByResource(), c.kind == OrbTaskWork::Kind::byResource);
        EXPECT_EQ(work.amount(), work.isByResource() ? std::nullopt : std::optional(3.0f));
        EXPECT_EQ(work.raw(), c.raw);
    }
}

TEST(OrbTaskRawData, IsEqualNeedsTheIndexAndAnEqualUnit) {
    struct Case {
        const char* what;
        bool actual;
        bool expected;
    };
    const Case cases[] = {
        {"fix without unit", OrbTaskLaborCost::fix(2.0f).isEqual({1, std::nullopt}), false},
        {"fix", OrbTaskLaborCost::fix(2.0f).isEqual({1, 2.0f}), true},
        {"fix, other amount", OrbTaskLaborCost::fix(2.0f).isEqual({1, 2.5f}), false},
        {"fix, not a number", OrbTaskLaborCost::fix(kNaN).isEqual({1, kNaN}), false},
        {"auto, any unit", OrbTaskLaborCost::auto_().isEqual({0, 9.0f}), true},
        {"auto, other index", OrbTaskLaborCost::auto_().isEqual({7, std::nullopt}), false},
        {"fixAmount, wrong index", OrbTaskWork::fixAmount(1.0f).isEqual({1, 1.0f}), false},
        {"fixAmount", OrbTaskWork::fixAmount(1.0f).isEqual({2, 1.0f}), true},
        {"fixDailyWork", OrbTaskWork::fixDailyWork(1.0f).isEqual({1, 1.0f}), true},
        {"fixDailyWork, not a number", OrbTaskWork::fixDailyWork(kNaN).isEqual({1, kNaN}), false},
        {"byResource, any unit", OrbTaskWork::byResource().isEqual({0, 4.0f}), true},
        {"byResource, other index", OrbTaskWork::byResource().isEqual({2, std::nullopt}), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.actual, c.expected);
    }
}

TEST(OrbTaskCost, HoldsBothCostsAsGiven) {
    OrbTaskCost cost(OrbTaskLaborCost::auto_(), std::nullopt);
    EXPECT_FALSE(cost.laborCost.isFix());
    EXPECT_EQ(cost.materialsCost, std::nullopt);
    cost.laborCost = OrbTaskLaborCost::fix(-4.0f);
    cost.materialsCost = 12.5f;
    EXPECT_EQ(cost.laborCost.amount(), -4.0f);
    EXPECT_EQ(cost.materialsCost, 12.5f);
}

TEST(TaskUrl, NeedsAUrlTextAndDropsAnEmptyTitle) {
    EXPECT_EQ(TaskUrl::make("Spec", std::nullopt), std::nullopt);
    EXPECT_EQ(TaskUrl::make("Spec", ""), std::nullopt);
    EXPECT_EQ(TaskUrl::make(), std::nullopt);

    const auto untitled = TaskUrl::make("", "x");
    ASSERT_TRUE(untitled);
    EXPECT_EQ(untitled->title(), std::nullopt);
    EXPECT_EQ(untitled->visualString(), "x");

    const auto blank = TaskUrl::make(" ", " x ");
    ASSERT_TRUE(blank);
    EXPECT_EQ(blank->title(), " ");
    EXPECT_EQ(blank->url(), " x ");
    EXPECT_EQ(blank->visualString(), " ");
}

TEST(TaskUrl, ChangesGiveNewValuesUnderTheSameRules) {
    const auto link = TaskUrl::make("Plan", "https://example.org/plan").value();
    EXPECT_EQ(link.titleChanged().title(), std::nullopt);
    EXPECT_EQ(link.titleChanged("").title(), std::nullopt);
    EXPECT_EQ(link.titleChanged("Board").title(), "Board");
    EXPECT_EQ(link.titleChanged("Board").url(), "https://example.org/plan");
    EXPECT_EQ(link.urlChanged(""), std::nullopt);
    EXPECT_EQ(link.urlChanged("y"), TaskUrl::make("Plan", "y"));
    EXPECT_EQ(link.title(), "Plan");
}

TEST(TaskUrl, EqualityComparesTitleAndUrlText) {
    const auto titled = TaskUrl::make("Plan", "x");
    EXPECT_NE(TaskUrl::make(std::nullopt, "x"), titled);
    EXPECT_EQ(TaskUrl::make("Plan", "x"), titled);
    EXPECT_NE(TaskUrl::make("Plan", "y"), titled);
    EXPECT_NE(TaskUrl::make("plan", "x"), titled);
    EXPECT_EQ(TaskUrl::make("Ren\u00e9", "x"), TaskUrl::make("Rene\u0301", "x"));
}

}  // namespace
