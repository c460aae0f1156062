#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "support/LogCapture.h"
#include "utility/DateUnits.h"
#include "utility/LxParentLinkedTreeNode.h"
#include "utility/LxTreeNode.h"

namespace {

using namespace projecttest;
using Member = std::shared_ptr<OrbProjectMember>;

// Copies the subtree below `top` into `into`'s root the way project clones do: every task
// copied (or, with member ids, the single tasks of those members and their ancestors), then
// placed below the copy of its parent found by id.
void copySubtree(const TaskPtr& top, const std::shared_ptr<OrbProject>& into,
                 const std::optional<std::vector<std::int64_t>>& memberIds = std::nullopt) {
    std::unordered_map<std::int64_t, TaskPtr> copies{{top->id(), into->root()}};
    lx::treeNavigate(top, [&](const TaskPtr& task) {
        if (!memberIds) {
            copies[task->id()] = task->clonePropertyExceptChildrenAndLinkToOtherProject(into);
            return;
        }
        const auto copy =
            task->cloneSingleTaskPropertyExceptChildrenAndLinkToOtherProjectForOrbProjectMembers(
                into, *memberIds);
        if (!copy) {
            return;
        }
        copies[task->id()] = copy;
        lx::treeNavigateAncestor(task, [&](const TaskPtr& up) {
            if (!copies.contains(up->id())) {
                copies[up->id()] = up->clonePropertyExceptChildrenAndLinkToOtherProject(into);
            }
        });
    });
    lx::treeNavigateNodePair(top, [&](const TaskPtr& parent, const TaskPtr& child) {
        const auto parentCopy = copies.find(parent->id());
        const auto childCopy = copies.find(child->id());
        if (parentCopy != copies.end() && childCopy != copies.end()) {
            into->addChild(parentCopy->second, childCopy->second);
        }
    });
}

// Each task as "id(children...)", pre-order.
std::string shapeOf(const TaskPtr& task) {
    std::string shape = std::to_string(task->id());
    if (task->hasChilds()) {
        shape += "(";
        for (const auto& child : *task->childs()) {
            shape += shapeOf(child) + " ";
        }
        shape.back() = ')';
    }
    return shape;
}

class SubtreeCopyingTest : public testing::Test {
protected:
    // root: 1 (group: 2 for Ana, 3 for Ben), 4 (sub-project: 5 for Ana and Ben), 6 for Cai
    SubtreeCopyingTest() {
        const auto root = source->root();
        const auto group = addTask(*source, root, 1, monday(), 1);
        assign(addTask(*source, group, 2, monday(), 3), {1});
        assign(addTask(*source, group, 3, monday() + LxDays(1), 3), {2});
        const auto subProject = addTask(*source, root, 4, monday(), 1);
        subProject->setTaskType(OrbProjectTaskType::subProjectTask);
        assign(addTask(*source, subProject, 5, monday() + LxDays(2), 2), {1, 2});
        assign(addTask(*source, root, 6, monday(), 1), {3});
        lx::treeNavigateFromLeaf(root, [](const TaskPtr& task) {
            task->refreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);
        });
    }

    // Both teams hold Ana, Ben and Cai with ids 1, 2 and 3.
    static std::shared_ptr<OrbProject> projectWithTeam() {
        auto project = makeProject();
        for (const char* name : {"Ana", "Ben", "Cai"}) {
            project->team()->add(name);
        }
        return project;
    }

    Member sourceMember(std::int64_t id) { return source->team()->get(id); }
    Member targetMember(std::int64_t id) { return target->team()->get(id); }

    void assign(const TaskPtr& task, const std::vector<std::int64_t>& memberIds) {
        for (const std::int64_t id : memberIds) {
            task->resources().addOrUpdateResource(sourceMember(id), 50);
        }
        task->setWork(OrbTaskWork::fixAmount(8));
    }

    const std::shared_ptr<OrbProject> source = projectWithTeam();
    const std::shared_ptr<OrbProject> target = projectWithTeam();
};

TEST_F(SubtreeCopyingTest, CopiesTheWholeTreeWithIdsKindsAndMembersOfTheOtherTeam) {
    copySubtree(source->root(), target);
    EXPECT_EQ(shapeOf(target->root()), "0(1(2 3) 4(5) 6)");
    EXPECT_EQ(target->taskCount(), 6);
    const auto subProject = target->findTask(4);
    EXPECT_TRUE(subProject->isSubProjectTask());
    EXPECT_EQ(target->findTask(1)->type(), OrbProjectTaskType::groupTask);
    EXPECT_EQ(target->findTask(1)->start(), monday());
    const auto shared = target->findTask(5)->resources().assignments();
    ASSERT_EQ(shared.size(), 2u);
    EXPECT_EQ(shared[1]->member(), targetMember(2));
}

TEST_F(SubtreeCopyingTest, CopiesForAMemberOnlyTheirTasksAndTheGroupsAboveThem) {
    copySubtree(source->root(), target, std::vector<std::int64_t>{2});
    EXPECT_EQ(shapeOf(target->root()), "0(1(3) 4(5))");
    const auto shared = target->findTask(5);
    ASSERT_EQ(shared->resources().assignments().size(), 1u);
    EXPECT_EQ(shared->resources().assignments()[0]->member(), targetMember(2));
    EXPECT_FLOAT_EQ(shared->workData().amount().value(), 4.0f);
}

// A damaged file may give a task the id of one of its ancestors: copies placed by id would then
// put that ancestor's copy below itself, which the tree refuses.
TEST_F(SubtreeCopyingTest, CopiesPlacedByARepeatedIdNeverHoldThemselves) {
    addTask(*source, source->findTask(3), 1, monday(), 1);
    const LogCapture log;
    copySubtree(source->root(), target);
    EXPECT_TRUE(log.contains("the tree would hold itself"));
    EXPECT_EQ(lx::treeHeight(target->root()), 2);
}

}  // namespace
