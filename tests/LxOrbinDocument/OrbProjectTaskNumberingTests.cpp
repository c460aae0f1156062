#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "utility/LxTreeNode.h"

namespace {

using namespace projecttest;

// root
//  +- 1 group            +- 2 milestone
//  |   +- 4              +- 3 group
//  |   +- 5 sub-project       +- 6
//  |       +- 7
//  |       +- 8 group
//  |           +- 9
// Ids go by level, so they differ from the pre-order positions.
class NumberingTest : public testing::Test {
protected:
    NumberingTest() {
        const TaskPtr root = project->root();
        for (std::int64_t id = 1; id <= 3; ++id) {
            add(root, id);
        }
        add(task(1), 4);
        add(task(1), 5)->setTaskType(OrbProjectTaskType::subProjectTask);
        add(task(3), 6);
        add(task(5), 7);
        add(task(5), 8);
        add(task(8), 9);
        task(2)->setTaskType(OrbProjectTaskType::milestone);
    }

    TaskPtr task(std::int64_t id) const {
        return id == 0 ? project->root() : project->findTask(id);
    }
    TaskPtr add(const TaskPtr& parent, std::int64_t id) {
        return addTask(*project, parent, id, monday(), 1);
    }

    const std::shared_ptr<OrbProject> project = makeProject();
};

TEST_F(NumberingTest, OutlineNumbersCountFromOneAndRestartBelowSubProjects) {
    struct Case {
        std::int64_t id;
        const char* wbsNo;
        const char* directWbsNo;
    };
    const Case cases[] = {
        {0, "", ""},       {1, "1", "1"},     {4, "1.1", "1.1"},     {5, "1.2", "1.2"},
        {7, "1.2.1", "1"}, {8, "1.2.2", "2"}, {9, "1.2.2.1", "2.1"}, {2, "2", "2"},
        {3, "3", "3"},     {6, "3.1", "3.1"},
    };
    // The deepest first, so that it builds its ancestors' numbers on the way.
    EXPECT_EQ(task(9)->directWbsNo(), "2.1");
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.id);
        EXPECT_EQ(task(cs.id)->wbsNo(), cs.wbsNo);
        EXPECT_EQ(task(cs.id)->directWbsNo(), cs.directWbsNo);
    }
}

TEST_F(NumberingTest, OutlineNumbersStayUntilTheirTaskIsRefreshed) {
    EXPECT_EQ(task(4)->wbsNo(), "1.1");
    project->changeChildIndex(project->root(), task(3), 0, nullptr);
    EXPECT_EQ(task(1)->wbsNo(), "1");
    EXPECT_EQ(task(6)->wbsNo(), "1.1");

    task(1)->refreshWbsNo();
    EXPECT_EQ(task(1)->wbsNo(), "2");
    EXPECT_EQ(task(4)->wbsNo(), "1.1");
    task(4)->refreshWbsNo();
    EXPECT_EQ(task(4)->wbsNo(), "2.1");
    EXPECT_EQ(task(4)->directWbsNo(), "2.1");
}

TEST_F(NumberingTest, TasksTheirParentDoesNotListHaveNoNumber) {
    const auto stray = OrbProjectTask::create(project, task(1), 50, monday(), monday());
    const auto below = stray->createChild(51, monday(), monday());
    for (const TaskPtr& unlisted : {stray, below}) {
        EXPECT_EQ(unlisted->wbsNo(), "");
        EXPECT_EQ(unlisted->directWbsNo(), "");
    }
    EXPECT_EQ(task(4)->wbsNo(), "1.1");
}

// Long child lists answer positions from an index; every kind of change must leave it right.
TEST_F(NumberingTest, LongChildListsNumberRightAfterEveryChange) {
    const TaskPtr parent = task(6);
    for (std::int64_t id = 100; id < 140; ++id) {
        add(parent, id);
    }
    const auto numberOf = [this](std::int64_t id) {
        task(id)->refreshWbsNo();
        return task(id)->wbsNo();
    };
    EXPECT_EQ(numberOf(139), "3.1.40");

    project->changeChildIndex(parent, task(139), 0, nullptr);
    EXPECT_EQ(numberOf(139), "3.1.1");
    EXPECT_EQ(numberOf(100), "3.1.2");

    project->insertChild(parent, OrbProjectTask::create(project, nullptr, 200, monday(), monday()),
                         1);
    EXPECT_EQ(numberOf(100), "3.1.3");

    project->removeChildByRange(parent, 0, 1);
    EXPECT_EQ(numberOf(100), "3.1.1");

    project->removeChild(parent, task(100));
    EXPECT_EQ(numberOf(101), "3.1.1");

    const auto appended = project->createChild(parent, 300, monday(), monday());
    EXPECT_EQ(numberOf(300), "3.1.39");
    project->createChildAfter(parent, 101, 301, monday(), monday());
    EXPECT_EQ(numberOf(300), "3.1.40");

    // A second child with a listed id takes the first one's number; adding it again lists
    // nothing.
    const auto twin = parent->createChild(102, monday(), monday());
    EXPECT_EQ(twin->wbsNo(), "3.1.3");
    const auto count = parent->childCount();
    EXPECT_TRUE(
        parent->addChild(OrbProjectTask::create(project, nullptr, 300, monday(), monday())));
    EXPECT_EQ(parent->childCount(), count);
}

TEST_F(NumberingTest, SequenceNumbersFollowThePreOrderWalk) {
    const std::vector<std::int64_t> preOrder = {0, 1, 4, 5, 7, 8, 9, 2, 3, 6};
    project->root()->setGlobalSequenceNoInTaskTree(100);
    for (std::size_t position = 0; position < preOrder.size(); ++position) {
        EXPECT_EQ(task(preOrder[position])->globalSequenceNo(), 100 + std::int64_t(position));
    }

    std::int64_t counter = 0;
    lx::treeNavigate(project->root(), true,
                     [&counter](const TaskPtr& each) { each->assignGlobalSequenceNo(counter); });
    EXPECT_EQ(counter, 10);
    EXPECT_EQ(task(9)->globalSequenceNo(), 6);
}

TEST_F(NumberingTest, DirectSequenceNumbersStopBelowMilestonesAndProjectTasks) {
    struct Case {
        bool includeMe;
        std::vector<std::int64_t> numbers;  // of tasks 0 to 9
    };
    const Case cases[] = {
        {false, {0, 11, 14, 15, 12, 13, 16, 0, 0, 0}},
        {true, {10, 11, 14, 15, 12, 13, 16, 0, 0, 0}},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.includeMe);
        project->root()->setDirectSequenceNoInTaskTree(10, cs.includeMe);
        for (std::int64_t id = 0; id <= 9; ++id) {
            EXPECT_EQ(task(id)->directSequenceNo(), cs.numbers[std::size_t(id)]) << id;
        }
    }
}

TEST_F(NumberingTest, DepthCountsCommonLevelsAndSubProjectsAreFound) {
    struct Case {
        std::int64_t id;
        std::int64_t depth;
        bool subProjectBelow;
        bool inSubProject;
    };
    const Case cases[] = {
        {0, 2, true, false}, {1, 1, true, false},  {5, 2, false, false}, {8, 1, false, true},
        {9, 0, false, true}, {3, 1, false, false}, {2, 0, false, false},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.id);
        EXPECT_EQ(task(cs.id)->deepsOfChildsExceptSubProjectTasks(), cs.depth);
        EXPECT_EQ(task(cs.id)->includeSubProjectInChildsTree(), cs.subProjectBelow);
        EXPECT_EQ(task(cs.id)->isInSubProject(), cs.inSubProject);
    }

    const auto other = makeProject();
    const auto subProject = addTask(*other, other->root(), 1, monday(), 1);
    subProject->setTaskType(OrbProjectTaskType::subProjectTask);
    addTask(*other, addTask(*other, subProject, 2, monday(), 1), 3, monday(), 1);
    EXPECT_EQ(other->root()->deepsOfChildsExceptSubProjectTasks(), 1);
    EXPECT_TRUE(other->root()->includeSubProjectInChildsTree());
}

TEST_F(NumberingTest, VisibilityFollowsCollapsedAncestorsAndKinds) {
    task(1)->collapse();
    task(8)->collapse();
    struct Case {
        std::int64_t id;
        bool hidden;
        bool allAncestorsExpanded;
        bool oneLine;
        std::int64_t lastInDeepTree;
        std::int64_t lastExpandedInDeepTree;
    };
    const Case cases[] = {
        {0, false, true, false, 6, 6}, {1, false, false, false, 5, 1},
        {4, true, false, true, 4, 4},  {5, true, false, true, 5, 5},
        {7, true, false, true, 7, 7},  {8, true, false, false, 9, 8},
        {9, true, false, true, 9, 9},  {2, false, true, true, 2, 2},
        {3, false, true, false, 6, 6},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.id);
        EXPECT_EQ(task(cs.id)->isHidden(), cs.hidden);
        EXPECT_EQ(task(cs.id)->isAllAncestorsExpanded(), cs.allAncestorsExpanded);
        EXPECT_EQ(task(cs.id)->isVisibleInOneLine(), cs.oneLine);
        EXPECT_EQ(task(cs.id)->lastChildIncludeMeInDeepTree()->id(), cs.lastInDeepTree);
        EXPECT_EQ(task(cs.id)->lastExpandedChildIncludeMeInDeepTree()->id(),
                  cs.lastExpandedInDeepTree);
    }

    const auto lone = OrbProjectTask::create(project, nullptr, 60, monday(), monday());
    EXPECT_TRUE(lone->isVisibleInOneLine());
    lone->setTaskType(OrbProjectTaskType::mainProjectTask);
    EXPECT_FALSE(lone->isVisibleInOneLine());
}

TEST_F(NumberingTest, FirstAndLastChildAndCount) {
    EXPECT_EQ(project->root()->firstChild()->id(), 1);
    EXPECT_EQ(project->root()->lastChild()->id(), 3);
    EXPECT_EQ(project->root()->childCount(), 3);
    project->removeChild(task(3), task(6));
    for (const TaskPtr& childless : {task(3), task(4)}) {
        EXPECT_EQ(childless->firstChild(), nullptr);
        EXPECT_EQ(childless->lastChild(), nullptr);
        EXPECT_EQ(childless->childCount(), 0);
    }
}

// Trees come from files: none of the walks may recurse as deep as the tree goes.
TEST(NumberingDeepTreeTest, WalksAChainOfAHundredThousandTasksWithoutRecursion) {
    constexpr std::int64_t kDepth = 100000;
    const auto project = makeProject();
    TaskPtr deepest = project->root();
    for (std::int64_t id = 1; id <= kDepth; ++id) {
        deepest = deepest->createChild(id, monday(), monday());
    }
    const TaskPtr root = project->root();
    EXPECT_EQ(root->deepsOfChildsExceptSubProjectTasks(), kDepth);
    EXPECT_FALSE(root->includeSubProjectInChildsTree());
    EXPECT_FALSE(deepest->isInSubProject());
    EXPECT_EQ(root->lastChildIncludeMeInDeepTree(), deepest);
    EXPECT_EQ(root->lastExpandedChildIncludeMeInDeepTree(), deepest);
    root->setGlobalSequenceNoInTaskTree(0);
    root->setDirectSequenceNoInTaskTree(0, true);
    EXPECT_EQ(deepest->globalSequenceNo(), kDepth);
    EXPECT_EQ(deepest->directSequenceNo(), kDepth);
}

}  // namespace
