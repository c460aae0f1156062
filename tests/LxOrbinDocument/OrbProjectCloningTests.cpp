#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbProjectTeam.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "support/LogCapture.h"
#include "utility/DateUnits.h"
#include "utility/LxTreeNode.h"

namespace {

using namespace projecttest;
using ProjectPtr = std::shared_ptr<OrbProject>;

constexpr char kDateRangeFunction[] =
    "clone(fromRootTask:projectName:inDateRangeStart:inDateRangeFinish:clipPartialIncludedTasks:)";
constexpr char kMembersFunction[] =
    "clone(fromRootTask:projectName:forProjectmemberIdentifiers:exportAsTodoList:"
    "includeMilestone:)";

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

// Every link of the tree as "predecessor>successor", pre-order by successor.
std::vector<std::string> linksOf(const ProjectPtr& project) {
    std::vector<std::string> links;
    lx::treeNavigate(project->root(), true, [&links](const TaskPtr& task) {
        if (auto* predecessors = task->links().predecessors()) {
            const std::vector<TaskPtr> linked =
                predecessors->links().value_or(std::vector<TaskPtr>{});
            for (const TaskPtr& predecessor : linked) {
                links.push_back(std::to_string(predecessor->id()) + ">" +
                                std::to_string(task->id()));
            }
        }
    });
    return links;
}

std::vector<std::string> membersOf(const ProjectPtr& project) {
    std::vector<std::string> names;
    for (const auto& member : project->team()->members()) {
        names.push_back(std::to_string(member->id()) + ":" + member->name());
    }
    return names;
}

// The clone warnings logged, each as "message @ function".
std::vector<std::string> cloneWarnings(const LogCapture& log) {
    std::vector<std::string> warnings;
    for (const std::string& line : log.lines()) {
        for (const char* message : {"Clone incorrect, as task", "Root task not be cloned"}) {
            const auto at = line.find(message);
            if (at == std::string::npos) {
                continue;
            }
            const auto end = line.find(" \t{");
            std::string warning = line.substr(at, end - at);
            for (const char* function : {kDateRangeFunction, kMembersFunction,
                                         "clone(fromRootTask:singleTasks:projectName:)"}) {
                if (line.find(function) != std::string::npos) {
                    warning += std::string(" @ ") + function;
                }
            }
            warnings.push_back(warning);
        }
    }
    return warnings;
}

// Every task of the new tree is registered, and nothing else is.
void expectRegistryHoldsTheTree(const ProjectPtr& project) {
    std::int64_t count = 0;
    lx::treeNavigate(project->root(), true, [&](const TaskPtr& task) {
        ++count;
        EXPECT_EQ(project->findTask(task->id()), task) << task->id();
        EXPECT_EQ(task->project(), project) << task->id();
    });
    EXPECT_EQ(project->taskCount(), count);
    EXPECT_EQ(project->root()->parent(), nullptr);
}

// Ana (1), Ben (2) and Cai (3); from Monday 2024-05-06:
//   0 root
//   ├ 1 Design        group, Mon 6 – Sat 11
//   │ ├ 2 Sketch      Mon 6 – Thu 9,   Ana
//   │ ├ 3 Review      Thu 9 – Sat 11,  Ben, after 2
//   │ └ 7 Signed off  milestone on Fri 10
//   ├ 4 Build         group, Mon 13 – Thu 16
//   │ └ 5 Code        Mon 13 – Thu 16, Ana, after 3
//   └ 6 Launch        Mon 20 – Tue 21, Cai, after 5
class ProjectCloningTest : public testing::Test {
protected:
    ProjectCloningTest() {
        for (const char* name : {"Ana", "Ben", "Cai"}) {
            source->team()->add(name);
        }
        const TaskPtr root = source->root();
        root->setName("Plan");
        const TaskPtr design = task(root, 1, "Design", 6, 1);
        const TaskPtr sketch = task(design, 2, "Sketch", 6, 3, 1);
        const TaskPtr review = task(design, 3, "Review", 9, 2, 2);
        task(design, 7, "Signed off", 10, 1)->setTaskType(OrbProjectTaskType::milestone);
        const TaskPtr build = task(root, 4, "Build", 13, 1);
        const TaskPtr code = task(build, 5, "Code", 13, 3, 1);
        const TaskPtr launch = task(root, 6, "Launch", 20, 1, 3);
        review->links().addPredecessor(sketch);
        code->links().addPredecessor(review);
        launch->links().addPredecessor(code);
        lx::treeNavigateFromLeaf(root, [](const TaskPtr& each) {
            each->refreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);
        });
    }

    static platform::Date may(int day) { return local(2024, 5, day); }

    TaskPtr task(const TaskPtr& parent, std::int64_t id, const char* name, int day,
                 std::int64_t days, std::optional<std::int64_t> memberId = std::nullopt) {
        const TaskPtr made = addTask(*source, parent, id, may(day), days);
        made->setName(name);
        if (memberId) {
            made->resources().addOrUpdateResource(source->team()->get(*memberId), 100);
        }
        return made;
    }

    TaskPtr find(std::int64_t id) const { return source->findTask(id); }

    const ProjectPtr source = makeProject();
};

TEST_F(ProjectCloningTest, CopiesTheHeaderThroughItsSettersAndLeavesTheRestNew) {
    source->setColorIndex(5);
    source->setImageId("cover");
    source->setNotes("notes");
    source->setTimespaceScale(2.5f);
    source->setTimespaceOrginalTime(may(1));
    source->setScreenOffsetY(12.0f);
    source->setDefaultCostRate(42.0f);
    source->setDisplayCurrencyAtBegin(true);
    source->setCurrency("EUR");
    source->setDailyWorkingHours(7.5f);
    source->setLastUpdate(may(2));
    source->setDevice("tablet");
    source->setTaskLinkType(OrbTaskLinkType::linkingList);
    source->setPdfAuthorName("Ana");
    source->setPdfBannerImageId("banner");
    source->setUserHasSetLinkType(true);
    source->setOnlyWorkingDayTaskSchedule(true);
    source->calendar()->setDayExceptionString("8893;8894");

    const ProjectPtr clone = source->clone(nullptr, "Copy", may(1), may(31));

    EXPECT_EQ(clone->name(), "Copy");
    EXPECT_NE(clone->uid(), source->uid());
    EXPECT_EQ(clone->uid().size(), 36u);
    EXPECT_NE(clone->version(), source->version());
    EXPECT_EQ(clone->version().size(), 36u);
    EXPECT_EQ(clone->colorIndex(), 5);
    EXPECT_EQ(clone->imageId(), "cover");
    EXPECT_EQ(clone->notes(), "notes");
    EXPECT_EQ(clone->timespaceScale(), 2.5f);
    EXPECT_EQ(clone->timespaceOrginalTime(), may(1));
    EXPECT_EQ(clone->screenOffsetY(), 12.0f);
    EXPECT_EQ(clone->defaultCostRate(), 42.0f);
    EXPECT_TRUE(clone->displayCurrencyAtBegin());
    EXPECT_EQ(clone->currency(), "EUR");
    EXPECT_EQ(clone->dailyWorkingHours(), 7.5f);

    EXPECT_EQ(clone->lastUpdate(), std::nullopt);
    EXPECT_EQ(clone->device(), std::nullopt);
    EXPECT_EQ(clone->taskLinkType(), OrbTaskLinkType::finishToStart);
    EXPECT_EQ(clone->pdfAuthorName(), std::nullopt);
    EXPECT_EQ(clone->pdfBannerImageId(), std::nullopt);
    EXPECT_FALSE(clone->userHasSetLinkType());
    EXPECT_FALSE(clone->onlyWorkingDayTaskSchedule());

    EXPECT_NE(clone->calendar(), source->calendar());
    EXPECT_EQ(clone->calendar()->rowData(), "8893;8894");
    EXPECT_NE(clone->team(), source->team());
    EXPECT_EQ(membersOf(clone), membersOf(source));
    EXPECT_NE(clone->team()->get(1), source->team()->get(1));
    EXPECT_EQ(clone->findTask(2)->resources().assignments()[0]->member(), clone->team()->get(1));
}

TEST_F(ProjectCloningTest, DateRangeKeepsTheTasksThatOverlapItsDays) {
    struct Case {
        const char* what;
        int first;
        int last;
        bool clip;
        const char* shape;
        std::vector<std::string> links;
        std::size_t warnings;
    };
    const Case cases[] = {
        // 3 starts the day after the range: out, as is the milestone on Friday.
        {"Mon-Wed", 6, 8, false, "0(1(2))", {}, 5},
        // 3 starts on the last day of the range: in.
        {"Mon-Thu", 6, 9, false, "0(1(2 3))", {"2>3"}, 4},
        // 2 finishes (exclusive) where the range starts: out.
        {"Thu-Fri", 9, 10, false, "0(1(3 7))", {}, 4},
        // Design ends before the range, so nothing below it is even looked at (though each of
        // its pairs is still reported).
        {"Mon 13-Mon 20", 13, 20, false, "0(4(5) 6)", {"5>6"}, 4},
        {"whole month", 1, 31, true, "0(1(2 3 7) 4(5) 6)", {"2>3", "3>5", "5>6"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LogCapture log;
        const ProjectPtr clone = source->clone(nullptr, "Range", may(c.first), may(c.last), c.clip);
        EXPECT_EQ(shapeOf(clone->root()), c.shape);
        EXPECT_EQ(linksOf(clone), c.links);
        EXPECT_EQ(cloneWarnings(log).size(), c.warnings);
        expectRegistryHoldsTheTree(clone);
    }
}

TEST_F(ProjectCloningTest, DateRangeClipsPartlyIncludedCopiesOnlyWhenAsked) {
    // Tuesday to Thursday: Sketch (Mon-Wed) starts before, Review (Thu-Fri) ends after.
    const ProjectPtr kept = source->clone(nullptr, "Kept", may(7), may(9));
    EXPECT_EQ(kept->findTask(2)->start(), may(6));
    EXPECT_EQ(kept->findTask(3)->finish(), may(11));

    const ProjectPtr clipped = source->clone(nullptr, "Clipped", may(7), may(9), true);
    EXPECT_EQ(clipped->findTask(2)->start(), may(7));
    EXPECT_EQ(clipped->findTask(2)->finish(), may(9));
    EXPECT_EQ(clipped->findTask(3)->start(), may(9));
    EXPECT_EQ(clipped->findTask(3)->finish(), may(10));
    EXPECT_EQ(find(3)->finish(), may(11));
}

TEST_F(ProjectCloningTest, DateRangeThatNothingOverlapsGivesTheStartTaskAlone) {
    const LogCapture log;
    const ProjectPtr clone = source->clone(nullptr, "Empty", local(2030, 1, 1), local(2030, 1, 2));
    EXPECT_EQ(shapeOf(clone->root()), "0");
    EXPECT_EQ(clone->root()->name(), "Plan");
    expectRegistryHoldsTheTree(clone);

    const std::string function = std::string(" @ ") + kDateRangeFunction;
    const std::vector<std::string> expected = {
        "Clone incorrect, as task \"Plan\" or \"Design\" not be cloned" + function,
        "Clone incorrect, as task \"Design\" or \"Sketch\" not be cloned" + function,
        "Clone incorrect, as task \"Design\" or \"Review\" not be cloned" + function,
        "Clone incorrect, as task \"Design\" or \"Signed off\" not be cloned" + function,
        "Clone incorrect, as task \"Plan\" or \"Build\" not be cloned" + function,
        "Clone incorrect, as task \"Build\" or \"Code\" not be cloned" + function,
        "Clone incorrect, as task \"Plan\" or \"Launch\" not be cloned" + function,
        "Root task not be cloned" + function,
    };
    EXPECT_EQ(cloneWarnings(log), expected);
}

TEST_F(ProjectCloningTest, DateRangeFromAStartTaskMakesItTheRootWithoutParent) {
    const ProjectPtr clone = source->clone(find(1), "Design", may(1), may(31));
    EXPECT_EQ(shapeOf(clone->root()), "1(2 3 7)");
    EXPECT_EQ(linksOf(clone), (std::vector<std::string>{"2>3"}));
    expectRegistryHoldsTheTree(clone);
    EXPECT_EQ(find(1)->parent(), source->root());
}

TEST_F(ProjectCloningTest, SingleTasksFromDifferentBranchesBecomeSiblings) {
    const LogCapture log;
    const ProjectPtr clone =
        source->clone(source->root(), std::vector<TaskPtr>{find(5), find(2), find(3)}, "Picked");
    EXPECT_EQ(shapeOf(clone->root()), "0(5 2 3)");
    // 6 was not given, so its link to 5 is gone; 2>3 and 3>5 stay, on both ends.
    EXPECT_EQ(linksOf(clone), (std::vector<std::string>{"3>5", "2>3"}));
    EXPECT_TRUE(clone->findTask(2)->links().hasDirectSuccessor(3));
    EXPECT_FALSE(clone->findTask(5)->links().hasDirectSuccessor(6));
    EXPECT_TRUE(cloneWarnings(log).empty());
    expectRegistryHoldsTheTree(clone);
    EXPECT_EQ(shapeOf(source->root()), "0(1(2 3 7) 4(5) 6)");
}

TEST_F(ProjectCloningTest, ASingleTaskGivenTwiceIsCopiedOnceAtItsFirstPlaceWithItsLinks) {
    const LogCapture log;
    const ProjectPtr clone =
        source->clone(source->root(),
                      std::vector<TaskPtr>{find(3), find(2), find(3), find(5), find(2)}, "Picked");
    EXPECT_EQ(shapeOf(clone->root()), "0(3 2 5)");
    EXPECT_EQ(linksOf(clone), (std::vector<std::string>{"2>3", "3>5"}));
    EXPECT_TRUE(clone->findTask(2)->links().hasDirectSuccessor(3));
    EXPECT_TRUE(clone->findTask(3)->links().hasDirectSuccessor(5));
    EXPECT_EQ(clone->findTask(3)->parent(), clone->root());
    EXPECT_TRUE(cloneWarnings(log).empty());
    expectRegistryHoldsTheTree(clone);
}

// A damaged file may repeat an id along one branch; the copy map then stands one copy for two
// tasks, and placing by pairs would put a copy below itself or its own descendant.
TEST_F(ProjectCloningTest, RepeatedIdsNeverMakeTheCopyHoldItself) {
    addTask(*source, find(3), 1, may(9), 1);
    addTask(*source, find(5), 5, may(13), 1);
    // The same id in two branches: its one copy must not be listed under both.
    addTask(*source, find(4), 2, may(9), 1);
    const LogCapture log;
    for (const ProjectPtr& clone :
         {source->clone(nullptr, "Range", may(1), may(31)), source->clone(nullptr, "All"),
          source->clone(nullptr, "Todo", std::nullopt, true),
          source->clone(nullptr, "Ana", std::vector<std::int64_t>{1})}) {
        SCOPED_TRACE(clone->name());
        EXPECT_LE(lx::treeHeight(clone->root()), 4);
        EXPECT_EQ(clone->root()->parent(), nullptr);
        std::set<const OrbProjectTask*> listed;
        lx::treeNavigate(clone->root(), [&listed](const TaskPtr& each) {
            EXPECT_TRUE(listed.insert(each.get()).second) << "listed twice: " << each->id();
            for (TaskPtr up = each->parent(); up; up = up->parent()) {
                ASSERT_NE(up, each);
            }
        });
    }
}

TEST_F(ProjectCloningTest, MembersDefaultsCopyTheWholeTreeAndTeam) {
    const LogCapture log;
    const ProjectPtr clone = source->clone("Full");
    EXPECT_EQ(shapeOf(clone->root()), "0(1(2 3 7) 4(5) 6)");
    EXPECT_EQ(linksOf(clone), linksOf(source));
    EXPECT_EQ(membersOf(clone), membersOf(source));
    EXPECT_TRUE(cloneWarnings(log).empty());
    expectRegistryHoldsTheTree(clone);

    // Ids that name nobody count as none.
    const ProjectPtr unknown = source->clone(nullptr, "Unknown", std::vector<std::int64_t>{99});
    EXPECT_EQ(shapeOf(unknown->root()), "0(1(2 3 7) 4(5) 6)");
    EXPECT_EQ(membersOf(unknown), membersOf(source));
}

TEST_F(ProjectCloningTest, MembersCloneLeavesOutMilestonesAndFlattensToDoLists) {
    struct Case {
        const char* what;
        std::optional<std::vector<std::int64_t>> members;
        bool todo;
        bool milestones;
        const char* shape;
        std::vector<std::string> links;
        std::vector<std::string> warnings;
    };
    const std::string function = std::string(" @ ") + kMembersFunction;
    const auto notCloned = [&function](const char* parent, const char* child) {
        return "Clone incorrect, as task \"" + std::string(parent) + "\" or \"" + child +
               "\" not be cloned" + function;
    };
    const Case cases[] = {
        {"no milestones",
         std::nullopt,
         false,
         false,
         "0(1(2 3) 4(5) 6)",
         {"2>3", "3>5", "5>6"},
         {notCloned("Design", "Signed off")}},
        {"to-do list",
         std::nullopt,
         true,
         true,
         "0(2 3 5 6)",
         {"2>3", "3>5", "5>6"},
         {notCloned("Plan", "Design"), notCloned("Design", "Signed off"),
          notCloned("Plan", "Build")}},
        {"Ben", std::vector<std::int64_t>{2}, false, true, "0(1(3 7))", {}, {}},
        {"Ben without milestones", std::vector<std::int64_t>{2}, false, false, "0(1(3))", {}, {}},
        {"Ana and Cai",
         std::vector<std::int64_t>{3, 1, 3},
         false,
         true,
         "0(1(2 7) 4(5) 6)",
         {"5>6"},
         {}},
        {"Ana as a to-do list", std::vector<std::int64_t>{1}, true, true, "0(2 5)", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LogCapture log;
        const ProjectPtr clone = source->clone(nullptr, "Members", c.members, c.todo, c.milestones);
        EXPECT_EQ(shapeOf(clone->root()), c.shape);
        EXPECT_EQ(linksOf(clone), c.links);
        EXPECT_EQ(cloneWarnings(log), c.warnings);
        expectRegistryHoldsTheTree(clone);
    }
}

TEST_F(ProjectCloningTest, MembersCloneKeepsOnlyTheChosenMembersAndTheirWork) {
    source->findTask(5)->resources().addOrUpdateResource(source->team()->get(2), 100);
    source->findTask(5)->setWork(OrbTaskWork::fixAmount(16));
    const ProjectPtr clone = source->clone(nullptr, "Ben", std::vector<std::int64_t>{2, 2});
    EXPECT_EQ(membersOf(clone), (std::vector<std::string>{"2:Ben"}));
    EXPECT_EQ(shapeOf(clone->root()), "0(1(3 7) 4(5))");
    const TaskPtr code = clone->findTask(5);
    ASSERT_EQ(code->resources().assignments().size(), 1u);
    EXPECT_EQ(code->resources().assignments()[0]->member(), clone->team()->get(2));
    EXPECT_FLOAT_EQ(code->workData().amount().value(), 8.0f);
}

TEST_F(ProjectCloningTest, MemberAssignedNowhereGivesTheStartTaskAlone) {
    source->team()->add("Dee");
    {
        const LogCapture log;
        const ProjectPtr clone = source->clone(nullptr, "Dee", std::vector<std::int64_t>{4});
        EXPECT_EQ(membersOf(clone), (std::vector<std::string>{"4:Dee"}));
        EXPECT_EQ(shapeOf(clone->root()), "0");
        EXPECT_EQ(cloneWarnings(log),
                  (std::vector<std::string>{std::string("Root task not be cloned @ ") +
                                            kMembersFunction}));
        expectRegistryHoldsTheTree(clone);
    }
    const LogCapture log;
    const ProjectPtr todo = source->clone(nullptr, "Dee", std::vector<std::int64_t>{4}, true);
    EXPECT_EQ(shapeOf(todo->root()), "0");
    EXPECT_TRUE(cloneWarnings(log).empty());
}

// The members' work is copied with every group above it, also those above the start task; the
// copy of the start task must not keep the copy of its source parent as its own parent.
TEST_F(ProjectCloningTest, MembersCloneBelowTheRootGivesARootWithoutParent) {
    const ProjectPtr clone = source->clone(find(1), "Design", std::vector<std::int64_t>{1});
    EXPECT_EQ(shapeOf(clone->root()), "1(2 7)");
    EXPECT_EQ(clone->root()->parent(), nullptr);
    EXPECT_EQ(clone->findTask(0), nullptr);
    expectRegistryHoldsTheTree(clone);
}

}  // namespace
