#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbinDocumentConfig.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "platform/foundation/DateContext.h"
#include "support/LogCapture.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/LxParentLinkedTreeNode.h"

namespace {

using namespace projecttest;
using platform::Date;

class OrbProjectTaskTest : public testing::Test {
protected:
    TaskPtr task(std::int64_t id) {
        return OrbProjectTask::create(project, nullptr, id, monday(), monday() + LxDays(1));
    }

    const std::shared_ptr<OrbProject> project = makeProject();
    const TaskPtr root = project->root();
};

TEST_F(OrbProjectTaskTest, NewTaskHasTheDefaults) {
    const auto single = task(5);
    EXPECT_EQ(single->id(), 5);
    EXPECT_EQ(single->project(), project);
    EXPECT_EQ(single->parent(), nullptr);
    EXPECT_EQ(single->name(), "");
    EXPECT_EQ(single->start(), monday());
    EXPECT_EQ(single->completePercentage(), 0);
    EXPECT_EQ(single->workCompletePercentage(), 0);
    EXPECT_TRUE(single->workData().isByResource());
    EXPECT_FALSE(single->costData().laborCost.isFix());
    EXPECT_EQ(single->costData().materialsCost, std::nullopt);
    EXPECT_EQ(single->contactor(), nullptr);
    EXPECT_EQ(single->notes(), std::nullopt);
    EXPECT_EQ(single->colorIndex(), 0);
    EXPECT_EQ(single->iconIndex(), 0);
    EXPECT_EQ(single->url1(), std::nullopt);
    EXPECT_EQ(single->predecessorIdListBuf(), std::nullopt);
    EXPECT_FALSE(single->collapsed());
    EXPECT_FALSE(single->focused());
    EXPECT_EQ(single->innerType(), ProjectTaskInnerType::common);
    EXPECT_EQ(single->childs(), std::nullopt);
    EXPECT_EQ(single->type(), OrbProjectTaskType::singleTask);
}

TEST_F(OrbProjectTaskTest, KindFollowsInnerTypeChildrenAndParent) {
    struct Case {
        OrbProjectTaskType given;
        bool withChild;
        bool withParent;
        OrbProjectTaskType type;
        ProjectTaskInnerType inner;
    };
    using T = OrbProjectTaskType;
    using I = ProjectTaskInnerType;
    const Case cases[] = {
        {T::milestone, false, true, T::milestone, I::milestone},
        {T::milestone, true, true, T::milestone, I::milestone},
        {T::singleTask, false, true, T::singleTask, I::common},
        {T::groupTask, false, true, T::singleTask, I::common},
        {T::singleTask, true, true, T::groupTask, I::common},
        {T::subProjectTask, false, true, T::subProjectTask, I::project},
        {T::mainProjectTask, true, true, T::subProjectTask, I::project},
        {T::subProjectTask, false, false, T::mainProjectTask, I::project},
        {T::singleTask, false, false, T::singleTask, I::common},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.given.rawValue()) + (c.withChild ? " child" : "") +
                     (c.withParent ? " parent" : ""));
        const auto subject = c.withParent ? addTask(*project, root, 1, monday(), 1) : task(1);
        subject->setTaskType(c.given);
        if (c.withChild) {
            subject->addChild(task(2));
        }
        EXPECT_EQ(subject->type(), c.type);
        EXPECT_EQ(subject->innerType(), c.inner);
        EXPECT_EQ(subject->isMilestone(), c.type == T::milestone);
        EXPECT_EQ(subject->isGroupTask(), c.type == T::groupTask);
        EXPECT_EQ(subject->isSingleTask(), c.type == T::singleTask);
        EXPECT_EQ(subject->isSubProjectTask(), c.type == T::subProjectTask);
        EXPECT_EQ(subject->isMainProjectTask(), !c.withParent);
        EXPECT_EQ(subject->isMainOrSubProjectTask(), c.inner == I::project || !c.withParent);
        EXPECT_EQ(subject->allowLink(), c.type != T::groupTask);
        project->removeChildByRange(root, 0, 0);
    }
    EXPECT_EQ(OrbProjectTaskType::fromRawValue(5), std::nullopt);
    EXPECT_EQ(ProjectTaskInnerType::fromRawValue(3), std::nullopt);
    EXPECT_EQ(ProjectTaskInnerType::fromRawValue(2), ProjectTaskInnerType::project);
}

TEST_F(OrbProjectTaskTest, DateSettersKeepDatesOfTheDocumentRangeAndReplaceOthers) {
    const auto& range = OrbinDocumentConfig::shared();
    const Date today = lx::toDayOnly(Date::now());
    struct Case {
        const char* what;
        Date given;
        Date start;
        Date finish;
    };
    const Case cases[] = {
        {"a time of day stays", local(2024, 5, 6, 13, 30), local(2024, 5, 6, 13, 30),
         local(2024, 5, 6, 13, 30)},
        {"200 years ahead", today + LxYears(200), today, today + LxDays(1)},
        {"the first date no longer accepted", range._maxdate, today, today + LxDays(1)},
        {"the first accepted date", range._mindate, range._mindate, range._mindate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto subject = task(1);
        subject->setStart(c.given);
        subject->setFinish(c.given);
        EXPECT_EQ(subject->start(), c.start);
        EXPECT_EQ(subject->finish(), c.finish);
    }

    const auto group = task(1);
    group->createChild(2, monday() + LxDays(1), monday() + LxDays(3));
    group->setStart(local(2024, 1, 1));
    group->setFinish(local(2024, 1, 2));
    group->setWork(OrbTaskWork::fixAmount(3.0f));
    EXPECT_EQ(group->start(), monday() + LxDays(1));
    group->removeChildByRange(0, 0, *project);
    EXPECT_EQ(group->start(), monday());
    EXPECT_EQ(group->finish(), monday() + LxDays(1));
    EXPECT_TRUE(group->workData().isByResource());
}

// A milestone sits on the day before its stored finish, also where that day is shorter or
// longer than 24 hours or its midnight was skipped.
TEST_F(OrbProjectTaskTest, MilestoneStartsOnTheDayBeforeItsFinish) {
    for (const ZonedWeek& week : kWeeksOverClockChanges) {
        SCOPED_TRACE(week.zone);
        const platform::ScopedTimeZoneAndLocale pinned(week.zone, "en_US");
        const Date finish = local(week.year, week.month, week.day + 7);
        const auto milestone =
            OrbProjectTask::create(project, nullptr, 1, local(2020, 1, 1), finish);
        milestone->setTaskType(OrbProjectTaskType::milestone);
        EXPECT_EQ(milestone->start(), local(week.year, week.month, week.day + 6));
        EXPECT_EQ(milestone->finish(), finish);
    }
}

TEST_F(OrbProjectTaskTest, AddingAListedIdOnlyMovesTheParent) {
    const auto first = task(1);
    const auto sameId = task(1);
    root->addChild(first);
    EXPECT_TRUE(root->addChild(sameId));
    EXPECT_EQ(childIdsOf(root), std::vector<std::int64_t>{1});
    EXPECT_EQ(root->childs()->front(), first);
    EXPECT_EQ(sameId->parent(), root);
}

// A task may never end up below itself: a file with repeated ids must not make walks endless.
TEST_F(OrbProjectTaskTest, RefusesChildrenThatWouldMakeTheTreeHoldItself) {
    const auto a = addTask(*project, root, 1, monday(), 1);
    const auto b = addTask(*project, a, 2, monday(), 1);
    const auto c = addTask(*project, b, 3, monday(), 1);
    // d is listed under both b and e; its parent is e.
    const auto e = addTask(*project, root, 5, monday(), 1);
    const auto d = addTask(*project, b, 4, monday(), 1);
    e->addChild(d);
    // f names a as parent without being listed there (a already lists a task with id 2).
    const auto f = task(2);
    a->addChild(f);

    struct Case {
        const char* what;
        TaskPtr parent;
        TaskPtr child;
        bool accepted;
    };
    const Case cases[] = {
        {"itself", c, c, false},
        {"its parent", c, b, false},
        {"its grandparent", c, a, false},
        {"the root", c, root, false},
        {"a task listing it, beside its parent", d, b, false},
        {"the parent it names without being listed", f, a, false},
        {"another task with its id", c, task(3), true},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(cs.what);
        const LogCapture log;
        const auto parentBefore = cs.child->parent();
        const auto childsBefore = childIdsOf(cs.parent);
        EXPECT_EQ(cs.parent->addChild(cs.child), cs.accepted);
        EXPECT_EQ(cs.parent->insertChild(cs.child, 0), cs.accepted);
        EXPECT_EQ(cs.parent->insertChild(cs.child, nullptr, true), cs.accepted);
        if (!cs.accepted) {
            EXPECT_EQ(cs.child->parent(), parentBefore);
            EXPECT_EQ(childIdsOf(cs.parent), childsBefore);
            EXPECT_TRUE(log.contains("the tree would hold itself"));
        }
    }
    EXPECT_EQ(lx::treeHeight(root), 4);
}

TEST_F(OrbProjectTaskTest, InsertsAtAnIndexOrBesideABaseTask) {
    const auto a = task(1);
    const auto b = task(2);
    EXPECT_FALSE(root->insertChild(a, 1));
    EXPECT_EQ(root->childs(), std::nullopt);
    EXPECT_EQ(a->parent(), nullptr);
    EXPECT_TRUE(root->insertChild(a, 0));
    EXPECT_TRUE(root->insertChild(b, 1));
    EXPECT_FALSE(root->insertChild(task(3), -1));
    EXPECT_FALSE(root->insertChild(task(3), 3));
    EXPECT_TRUE(root->insertChild(task(3), 1));
    EXPECT_EQ(childIdsOf(root), (std::vector<std::int64_t>{1, 3, 2}));

    root->insertChild(task(4), a, true);
    root->insertChild(task(5), a, false);
    root->insertChild(task(6), task(99), true);
    root->insertChild(task(7), b, true);
    EXPECT_EQ(childIdsOf(root), (std::vector<std::int64_t>{6, 5, 1, 4, 3, 2, 7}));
}

TEST_F(OrbProjectTaskTest, CreatedChildrenTakeTheParentsColourAndTheirPlace) {
    root->setColor(4);
    const auto a = root->createChild(1, monday(), monday());
    EXPECT_EQ(a->colorIndex(), 4);
    EXPECT_EQ(a->parent(), root);
    root->createChild(1, monday(), monday());
    root->createChildAfter(1, 2, monday(), monday());
    root->createChildAfter(42, 3, monday(), monday());
    EXPECT_EQ(childIdsOf(root), (std::vector<std::int64_t>{1, 2, 1, 3}));
}

TEST_F(OrbProjectTaskTest, MovingAChildReportsEveryChildBetweenItsOldAndNewPlace) {
    struct Case {
        std::int64_t moved;
        std::int64_t newIndex;
        std::vector<std::int64_t> order;
        std::vector<std::int64_t> reported;
    };
    const Case cases[] = {
        {1, 2, {2, 3, 1, 4}, {1, 2, 3}}, {4, 0, {4, 1, 2, 3}, {1, 2, 3, 4}},
        {2, 1, {1, 2, 3, 4}, {}},        {2, 4, {1, 2, 3, 4}, {}},
        {2, -1, {1, 2, 3, 4}, {}},       {9, 0, {1, 2, 3, 4}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.moved) + " to " + std::to_string(c.newIndex));
        const auto parent = task(0);
        for (std::int64_t id = 1; id <= 4; ++id) {
            parent->createChild(id, monday(), monday());
        }
        std::vector<std::int64_t> reported;
        parent->changeChildIndex(task(c.moved), c.newIndex,
                                 [&reported](const TaskPtr& t) { reported.push_back(t->id()); });
        EXPECT_EQ(childIdsOf(parent), c.order);
        EXPECT_EQ(reported, c.reported);
    }
}

TEST_F(OrbProjectTaskTest, RangeRemovalLeavesTheSubtreesOfRemovedChildrenAlone) {
    for (std::int64_t id = 1; id <= 4; ++id) {
        addTask(*project, root, id, monday(), 1);
    }
    const auto b = project->findTask(2);
    const auto c = project->findTask(3);
    const auto belowB = addTask(*project, b, 5, monday(), 1);
    const auto belowBelowB = addTask(*project, belowB, 6, monday(), 1);

    const std::vector<std::pair<std::int64_t, std::int64_t>> outOfRange{{2, 1}, {-1, 0}, {3, 4}};
    for (const auto& [from, to] : outOfRange) {
        root->removeChildByRange(from, to, *project);
    }
    EXPECT_EQ(project->taskCount(), 6);

    root->removeChildByRange(1, 2, *project);
    EXPECT_EQ(childIdsOf(root), (std::vector<std::int64_t>{1, 4}));
    EXPECT_EQ(b->parent(), nullptr);
    EXPECT_EQ(c->parent(), nullptr);
    EXPECT_EQ(belowB->parent(), b);
    EXPECT_EQ(belowBelowB->parent(), belowB);
    EXPECT_EQ(project->taskCount(), 2);
    EXPECT_EQ(project->findTask(6), nullptr);

    const auto leaf = task(7);
    leaf->removeChildByRange(0, 0, *project);
    EXPECT_EQ(leaf->childs(), std::nullopt);
}

TEST_F(OrbProjectTaskTest, TasksWithTheSameIdAreEqualAndHashAlike) {
    const auto a = task(3);
    const auto b = task(3);
    EXPECT_EQ(*a, *b);
    EXPECT_TRUE(a->isSameNode(*b));
    EXPECT_TRUE(a->isEquel(*b));
    EXPECT_NE(*a, *task(4));
    EXPECT_EQ(a->hashValue(), b->hashValue());
    EXPECT_EQ(std::hash<OrbProjectTask>{}(*a), std::hash<OrbProjectTask>{}(*b));
}

TEST_F(OrbProjectTaskTest, TreeWalksAndTheNearestProjectTask) {
    const auto sub = addTask(*project, root, 1, monday(), 1);
    sub->setTaskType(OrbProjectTaskType::subProjectTask);
    const auto group = addTask(*project, sub, 2, monday(), 1);
    const auto leaf = addTask(*project, group, 3, monday(), 1);
    const auto second = addTask(*project, group, 4, monday(), 1);

    EXPECT_EQ(lx::treeDepth(leaf), 3);
    EXPECT_EQ(lx::treeGetIndexInParent(second), 1);
    EXPECT_EQ(lx::treeGetRootAncesstor(leaf), root);
    EXPECT_EQ(leaf->getRootTaskOfDirectProject(), sub);
    EXPECT_EQ(sub->getRootTaskOfDirectProject(), root);
    EXPECT_EQ(root->getRootTaskOfDirectProject(), nullptr);
    EXPECT_EQ(leaf->treeGetParentNode(), group);
    EXPECT_EQ(&group->treeGetChilds(), &group->childs());
}

TEST_F(OrbProjectTaskTest, OnlySingleAndProjectTasksWithoutChildrenHoldAssignments) {
    const auto kato = project->team()->add("Kato");
    const auto milestone = addTask(*project, root, 1, monday(), 1);
    milestone->setTaskType(OrbProjectTaskType::milestone);
    milestone->resources().addOrUpdateResource(kato, 50);
    EXPECT_EQ(&milestone->resources(), &OrbTaskResources::empty());
    EXPECT_TRUE(milestone->resources().isEmpty());
    EXPECT_FALSE(milestone->hasAssignment());

    const auto single = addTask(*project, root, 2, monday(), 1);
    single->resources().addOrUpdateResource(kato, 50);
    EXPECT_TRUE(single->hasAssignment());
    EXPECT_TRUE(single->isOrbProjectMemberAssignedAsOwnerOrInResources(kato->id()));
    addTask(*project, single, 3, monday(), 1);
    EXPECT_EQ(&single->resources(), &OrbTaskResources::empty());
    EXPECT_FALSE(single->hasAssignment());
    EXPECT_TRUE(single->isOrbProjectMemberAssignedAsOwnerOrInResources(kato->id()));

    const auto bea = project->team()->add("Bea");
    EXPECT_FALSE(milestone->isOrbProjectMemberAssignedAsOwnerOrInResources(bea->id()));
    milestone->setContactor(bea);
    EXPECT_EQ(milestone->contactor(), bea);
    EXPECT_TRUE(milestone->isOrbProjectMemberAssignedAsOwnerOrInResources(bea->id()));
    milestone->clearContactor();
    EXPECT_EQ(milestone->contactor(), nullptr);
}

TEST_F(OrbProjectTaskTest, FlagsAndBuffers) {
    root->collapse();
    EXPECT_TRUE(root->expanded());
    const auto child = addTask(*project, root, 1, monday(), 1);
    child->collapse();
    EXPECT_TRUE(child->collapsed());
    child->expand();
    EXPECT_FALSE(child->collapsed());
    root->setCollapsed(true);
    EXPECT_TRUE(root->collapsed());

    child->clearPredecessorIdListBuf();
    EXPECT_EQ(child->predecessorIdListBuf(), std::nullopt);
    child->setPredecessorIdListBuf(std::vector<std::int64_t>{4, 5});
    child->clearPredecessorIdListBuf();
    EXPECT_EQ(child->predecessorIdListBuf(), std::vector<std::int64_t>{});

    EXPECT_EQ(&child->links(), &child->links());
    EXPECT_EQ(child->dateBaseline(), child->dateBaseline());
}

// Notes, web links, the baseline and the outline numbers live in one record a task makes when it
// first needs it. Each value reads unset until it is set, whatever else made the record, and reads
// unset again once cleared; setting an absent value on a fresh task leaves it unset.
TEST_F(OrbProjectTaskTest, OccasionalValuesReadUnsetUntilSetAndClearAlone) {
    const auto noDates = task(99)->dateBaseline();
    struct Value {
        const char* name;
        std::function<void(OrbProjectTask&)> set;
        std::function<void(OrbProjectTask&)> clear;
        std::function<bool(const OrbProjectTask&)> isSet;
    };
    const Value values[] = {
        {"notes", [](OrbProjectTask& t) { t.setNotes(""); },
         [](OrbProjectTask& t) { t.setNotes(std::nullopt); },
         [](const OrbProjectTask& t) { return t.notes().has_value(); }},
        {"url1", [](OrbProjectTask& t) { t.setUrl1(TaskUrl::make("One", "https://one")); },
         [](OrbProjectTask& t) { t.setUrl1(std::nullopt); },
         [](const OrbProjectTask& t) { return t.url1().has_value(); }},
        {"url2", [](OrbProjectTask& t) { t.setUrl2(TaskUrl::make(std::nullopt, "https://two")); },
         [](OrbProjectTask& t) { t.setUrl2(std::nullopt); },
         [](const OrbProjectTask& t) { return t.url2().has_value(); }},
        {"baseline",
         [](OrbProjectTask& t) { t.dateBaseline()->change(monday(), monday() + LxDays(2)); },
         [&noDates](OrbProjectTask& t) { t.dateBaseline()->copyDates(*noDates); },
         [](const OrbProjectTask& t) {
             return t.madeDateBaseline() && t.madeDateBaseline()->start().has_value();
         }},
    };
    // What else may have made the record first.
    const std::pair<const char*, std::function<void(OrbProjectTask&)>> makers[] = {
        {"nothing", [](OrbProjectTask&) {}},
        {"an outline number", [](OrbProjectTask& t) { static_cast<void>(t.wbsNo()); }},
        {"an empty baseline", [](OrbProjectTask& t) { static_cast<void>(t.dateBaseline()); }},
    };
    std::int64_t id = 0;
    for (const auto& [madeBy, makeRecord] : makers) {
        for (const Value& value : values) {
            SCOPED_TRACE(std::string(value.name) + " after " + madeBy);
            const auto fresh = addTask(*project, root, ++id, monday(), 1);
            makeRecord(*fresh);
            value.clear(*fresh);
            for (const Value& each : values) {
                EXPECT_FALSE(each.isSet(*fresh)) << each.name;
            }
            value.set(*fresh);
            for (const Value& each : values) {
                EXPECT_EQ(each.isSet(*fresh), &each == &value) << each.name;
            }
            value.clear(*fresh);
            for (const Value& each : values) {
                EXPECT_FALSE(each.isSet(*fresh)) << each.name;
            }
        }
    }
    const auto numbered = addTask(*project, root, ++id, monday(), 1);
    numbered->setNotes("x");
    EXPECT_EQ(numbered->wbsNo(), std::to_string(root->childCount()));
}

// Trees read from files may be as deep as the file likes: building, reading the derived values
// of, and releasing a chain of many levels runs without recursion.
TEST(OrbProjectTaskDepth, VeryDeepChainIsBuiltReadAndReleased) {
    constexpr std::int64_t kDepth = 200000;
    std::weak_ptr<OrbProjectTask> deepest;
    {
        const auto project = makeProject();
        project->initializeCalendar(OrbProjectCalendar::create(monday(), monday(), ""));
        TaskPtr parent = project->root();
        for (std::int64_t id = 1; id <= kDepth; ++id) {
            parent = project->createChild(parent, id, monday(), monday() + LxDays(id % 5 + 1));
        }
        deepest = parent;
        EXPECT_EQ(project->taskCount(), kDepth);
        EXPECT_EQ(project->root()->finish(), monday() + LxDays(1));
        EXPECT_EQ(project->root()->work(), 0.0f);
        EXPECT_EQ(project->root()->laborCost(), 0.0f);
        EXPECT_EQ(project->root()->completePercentage(), 0);
        EXPECT_EQ(project->createNewTaskId(), kDepth + 1);
        const LogCapture log;
        EXPECT_FALSE(parent->addChild(project->root()));
    }
    EXPECT_TRUE(deepest.expired());

    // Held by the tree alone, without a registry.
    {
        TaskPtr parent = OrbProjectTask::create(nullptr, nullptr, 0, monday(), monday());
        const TaskPtr top = parent;
        for (std::int64_t id = 1; id <= kDepth; ++id) {
            parent = parent->createChild(id, monday(), monday());
        }
        deepest = parent;
    }
    EXPECT_TRUE(deepest.expired());
}

}  // namespace
