#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProjectMember.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "LxOrbinDocument/Model/Task/OrbTaskResources.h"
#include "utility/SequenceExtensions.h"

namespace {

using MemberPtr = std::shared_ptr<OrbProjectMember>;
using Pairs = std::vector<std::pair<std::int64_t, std::int64_t>>;

Pairs pairsOf(const std::vector<OrbTaskResources::Assignment>& assignments) {
    return lx::map(assignments, [](const OrbTaskResources::Assignment& assignment) {
        return std::pair(assignment->member()->id(), assignment->workload());
    });
}

class OrbTaskResourcesTest : public testing::Test {
protected:
    OrbTaskResourcesTest() {
        team->replaceMembers({ada, kato, OrbProjectMember::create(7, "Bea")});
    }

    const MemberPtr ada = OrbProjectMember::create(3, "ada", std::nullopt, std::nullopt, 10.0f);
    const MemberPtr kato = OrbProjectMember::create(5, "Kato", std::nullopt, std::nullopt, 40.0f);
    const std::shared_ptr<OrbProjectTeam> team = OrbProjectTeam::create();
    OrbTaskResources resources;
};

TEST_F(OrbTaskResourcesTest, EmptyListAnswersNothing) {
    EXPECT_TRUE(resources.isEmpty());
    EXPECT_EQ(resources.sumOfWorkload(), 0);
    EXPECT_EQ(resources.unitsOfWorkload(), 0.0f);
    EXPECT_EQ(resources.averageCostRate(), 0.0f);
    EXPECT_EQ(resources.toRowData(), "");
    EXPECT_TRUE(resources.assignementsSortedByName().empty());
    EXPECT_EQ(resources[0], nullptr);
    EXPECT_FALSE(resources.isMemberIncluded(3));
    EXPECT_FALSE(resources.isAnyMemberIncluded({3, 5}));
    EXPECT_EQ(resources.getAssignmentByMemberId(3), nullptr);
}

TEST_F(OrbTaskResourcesTest, NewAssignmentKeepsItsWorkloadAndUpdatesClamp) {
    resources.addOrUpdateResource(ada, 150);
    EXPECT_EQ(pairsOf(resources.assignments()), (Pairs{{3, 150}}));

    const auto assignment = resources[0];
    const auto sameId = OrbProjectMember::create(3, "another ada");
    resources.addOrUpdateResource(sameId, 150);
    EXPECT_EQ(resources[0], assignment);
    EXPECT_EQ(assignment->workload(), 100);
    EXPECT_EQ(assignment->member(), ada);

    resources.addOrUpdateResource(ada, -5);
    EXPECT_EQ(assignment->workload(), 0);
    EXPECT_EQ(resources.assignments().size(), 1u);
    EXPECT_EQ(resources[-1], nullptr);
    EXPECT_EQ(resources[1], nullptr);
}

TEST_F(OrbTaskResourcesTest, SumsAndAveragesAreWeightedByWorkloadInFloat) {
    resources.addOrUpdateResource(ada, 50);
    resources.addOrUpdateResource(kato, 100);
    EXPECT_EQ(resources.sumOfWorkload(), 150);
    EXPECT_EQ(resources.unitsOfWorkload(), 1.5f);
    EXPECT_EQ(resources.averageCostRate(), 30.0f);

    OrbTaskResources single;
    single.addOrUpdateResource(OrbProjectMember::create(1, "Z", std::nullopt, std::nullopt, 12.5f),
                               0);
    EXPECT_EQ(single.averageCostRate(), 12.5f);

    // Workloads that add up to nothing give no rate rather than a division by zero.
    OrbTaskResources idle;
    idle.addOrUpdateResource(ada, 0);
    idle.addOrUpdateResource(kato, 0);
    EXPECT_EQ(idle.averageCostRate(), 0.0f);
    OrbTaskResources cancelling;
    cancelling.addOrUpdateResource(ada, -50);
    cancelling.addOrUpdateResource(kato, 50);
    EXPECT_EQ(cancelling.averageCostRate(), 0.0f);
}

TEST_F(OrbTaskResourcesTest, HugeWorkloadsFromAFileDoNotOverflow) {
    constexpr auto kLargest = std::numeric_limits<std::int64_t>::max();
    resources.addOrUpdateResource(ada, kLargest);
    resources.addOrUpdateResource(kato, kLargest);
    EXPECT_EQ(resources.sumOfWorkload(), kLargest);
    EXPECT_TRUE(std::isfinite(resources.unitsOfWorkload()));
    EXPECT_TRUE(std::isfinite(resources.averageCostRate()));
}

TEST_F(OrbTaskResourcesTest, LookupsAndRemovalGoById) {
    resources.addOrUpdateResource(kato, 20);
    resources.addOrUpdateResource(ada, 30);
    EXPECT_TRUE(resources.isMemberIncluded(3));
    EXPECT_FALSE(resources.isMemberIncluded(7));
    EXPECT_TRUE(resources.isAnyMemberIncluded({7, 5}));
    EXPECT_FALSE(resources.isAnyMemberIncluded({7, 9}));
    EXPECT_FALSE(resources.isAnyMemberIncluded({}));
    EXPECT_EQ(resources.getAssignmentByMemberId(3)->workload(), 30);

    resources.remove(9);
    EXPECT_EQ(pairsOf(resources.assignments()), (Pairs{{5, 20}, {3, 30}}));
    resources.remove(5);
    EXPECT_EQ(pairsOf(resources.assignments()), (Pairs{{3, 30}}));
    resources.clear();
    EXPECT_TRUE(resources.isEmpty());
}

TEST_F(OrbTaskResourcesTest, SortedByNameIsStableAndCaseSensitive) {
    const auto otherKato = OrbProjectMember::create(8, "Kato");
    resources.addOrUpdateResource(ada, 10);
    resources.addOrUpdateResource(kato, 20);
    resources.addOrUpdateResource(OrbProjectMember::create(7, "Bea"), 30);
    resources.addOrUpdateResource(otherKato, 40);
    EXPECT_EQ(pairsOf(resources.assignementsSortedByName()),
              (Pairs{{7, 30}, {5, 20}, {8, 40}, {3, 10}}));
    EXPECT_EQ(pairsOf(resources.assignments()), (Pairs{{3, 10}, {5, 20}, {7, 30}, {8, 40}}));
}

TEST_F(OrbTaskResourcesTest, RowStringReadsBackIntoTheSameAssignments) {
    resources.addOrUpdateResource(ada, 50);
    resources.addOrUpdateResource(OrbProjectMember::create(7, "Bea"), 100);
    EXPECT_EQ(resources.toRowData(), "3,50,7,100");

    OrbTaskResources copy;
    copy.fromRowData(resources.toRowData(), *team);
    EXPECT_EQ(pairsOf(copy.assignments()), (Pairs{{3, 50}, {7, 100}}));
    EXPECT_EQ(copy[0]->member(), ada);
}

TEST_F(OrbTaskResourcesTest, RowStringReaderSkipsWhatItCannotUse) {
    struct Case {
        std::string json;
        Pairs pairs;
    };
    const Case cases[] = {
        {"   ", {}},
        {"3,50", {{3, 50}}},
        {",3,50,7,100", {{3, 50}, {7, 100}}},  // with a "," before the first pair
        {"3,0", {}},
        {"3,-20", {}},
        {"x,50", {}},
        {"9,50", {}},  // no member 9
        {"3,50,3,70", {{3, 70}}},
        {"3,150", {{3, 150}}},
        {"3,150,3,150", {{3, 100}}},
        {"3,50,7", {{3, 50}}},  // the last field has no partner
        {"+3,+50, 5,60,5,6 0", {{3, 50}}},
        {"3,50,,,5,60", {{3, 50}, {5, 60}}},
        {"99999999999999999999,50,5,99999999999999999999", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        OrbTaskResources read;
        read.addOrUpdateResource(kato, 10);
        read.fromRowData(c.json, *team);
        EXPECT_EQ(pairsOf(read.assignments()), c.pairs);
    }
}

TEST_F(OrbTaskResourcesTest, RowStringFindsTheLastMemberOfAnId) {
    const auto later = OrbProjectMember::create(3, "later ada");
    team->add(later);
    resources.fromRowData("3,40", *team);
    EXPECT_EQ(resources[0]->member(), later);
}

TEST_F(OrbTaskResourcesTest, SharedEmptyListIgnoresEveryChange) {
    OrbTaskResources& empty = OrbTaskResources::empty();
    EXPECT_EQ(&empty, &OrbTaskResources::empty());

    empty.addOrUpdateResource(ada, 50);
    empty.fromRowData("3,50", *team);
    empty.clear();
    empty.remove(3);
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_TRUE(empty.assignments().empty());
    EXPECT_EQ(empty.toRowData(), "");
    EXPECT_EQ(empty.averageCostRate(), 0.0f);
    EXPECT_FALSE(empty.isMemberIncluded(3));
}

TEST(OrbTaskResourceAssignment, InitKeepsTheWorkloadAndTheSetterClamps) {
    const auto member = OrbProjectMember::create(1, "A");
    const auto assignment = OrbTaskResourceAssignment::create(member, 250);
    EXPECT_EQ(assignment->workload(), 250);
    assignment->setWorkload(101);
    EXPECT_EQ(assignment->workload(), 100);
    assignment->setWorkload(-1);
    EXPECT_EQ(assignment->workload(), 0);
    assignment->setWorkload(60);
    EXPECT_EQ(assignment->workload(), 60);
    const auto other = OrbProjectMember::create(2, "B");
    assignment->setMember(other);
    EXPECT_EQ(assignment->member(), other);
}

}  // namespace
