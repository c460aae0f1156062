#include <bit>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbLeafFiguresScope.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "platform/foundation/DateContext.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"
#include "utility/LxTreeNode.h"

namespace {

using namespace projecttest;
using platform::Date;

// What the file format does after reading a project: dates leaf to root, then the rest.
void refreshLeafToRoot(const TaskPtr& top) {
    lx::treeNavigateFromLeaf(top, [](const TaskPtr& task) {
        task->refreshCalculatablePropertiesOfTaskGroup(true, true, false, false, false, false);
    });
    lx::treeNavigateFromLeaf(top, [](const TaskPtr& task) {
        task->refreshCalculatablePropertiesOfTaskGroup(false, false, true, true, true, true);
    });
}

class DerivedValuesTest : public testing::Test {
protected:
    DerivedValuesTest() {
        project->initializeCalendar(OrbProjectCalendar::create(monday(), monday(), ""));
    }

    // A leaf of `workingDays` working days from Monday 2024-05-06 (weekends off), at `percent`.
    TaskPtr leaf(const TaskPtr& parent, std::int64_t workingDays, std::int64_t percent) {
        const Date finish =
            project->calendar()->getFinishDateFromStartDateByWorkingDays(monday(), workingDays);
        const auto task = project->createChild(parent, nextId++, monday(), finish);
        task->setCompletedPercentage(percent);
        return task;
    }

    // A leaf without a working day: Saturday to Sunday.
    TaskPtr weekendLeaf(const TaskPtr& parent, std::int64_t percent) {
        const auto task = addTask(*project, parent, nextId++, local(2024, 5, 11), 1);
        task->setCompletedPercentage(percent);
        return task;
    }

    TaskPtr milestone(const TaskPtr& parent, std::int64_t percent) {
        const auto task = addTask(*project, parent, nextId++, monday(), 1);
        task->setTaskType(OrbProjectTaskType::milestone);
        task->setCompletedPercentage(percent);
        return task;
    }

    TaskPtr group() { return addTask(*project, project->root(), nextId++, monday(), 1); }

    const std::shared_ptr<OrbProject> project = makeProject();
    std::int64_t nextId = 1;
};

// root
//   G: A (3 days, 100 %), H: B (1 day, 0 %), M (milestone)
//   C (4 days, 50 %)
TEST_F(DerivedValuesTest, ThreeLevelTreeDerivesItsGroupsLeafToRoot) {
    const auto kato = project->team()->add("Kato", std::nullopt, std::nullopt, 40.0f);
    const auto root = project->root();
    const auto g = addTask(*project, root, 1, monday(), 1);
    const auto a = addTask(*project, g, 2, monday(), 3);
    const auto h = addTask(*project, g, 3, monday(), 1);
    const auto b = addTask(*project, h, 4, local(2024, 5, 9), 1);
    const auto m = addTask(*project, h, 5, monday(), 14);
    const auto c = addTask(*project, root, 6, local(2024, 5, 13), 4);
    a->setCompletedPercentage(100);
    a->setWorkCompletedPercentage(100);
    a->setWork(OrbTaskWork::fixDailyWork(2.0f));
    a->setLaborCost(OrbTaskLaborCost::fix(10.0f));
    a->setMaterialsCost(5.0f);
    b->setWorkCompletedPercentage(50);
    b->resources().addOrUpdateResource(kato, 50);
    m->setTaskType(OrbProjectTaskType::milestone);
    c->setCompletedPercentage(50);
    c->setWork(OrbTaskWork::fixAmount(10.0f));
    c->setMaterialsCost(2.5f);

    struct Shown {
        TaskPtr task;
        Date start;
        Date finish;
        std::int64_t completion;
        std::int64_t workCompletion;
        float work;
        float laborCost;
        float materialsCost;
    };
    struct Row {
        const char* what;
        std::function<void()> edit;
        std::vector<Shown> shown;
    };
    const Date may = monday();
    const Row rows[] = {
        {"as built",
         [] {},
         {
             {h, local(2024, 5, 9), local(2024, 5, 20), 0, 50, 4.0f, 160.0f, 0.0f},
             {g, may, local(2024, 5, 20), 75, 80, 10.0f, 170.0f, 5.0f},
             {root, may, local(2024, 5, 20), 62, 40, 20.0f, 180.0f, 7.5f},
         }},
        {"leaves finished and moved",
         [&] {
             b->setCompletedPercentage(100);
             m->setCompletedPercentage(100);
             c->setStart(local(2024, 5, 20));
             c->setFinish(local(2024, 5, 24));
             c->setLaborCost(OrbTaskLaborCost::fix(1.0f));
         },
         {
             {h, local(2024, 5, 9), local(2024, 5, 20), 100, 50, 4.0f, 160.0f, 0.0f},
             {g, may, local(2024, 5, 20), 100, 80, 10.0f, 170.0f, 5.0f},
             {root, may, local(2024, 5, 24), 75, 40, 20.0f, 171.0f, 7.5f},
         }},
        {"a leaf leaves the tree",
         [&] { project->removeChild(h, b); },
         {
             {h, local(2024, 5, 19), local(2024, 5, 20), 100, 0, 0.0f, 0.0f, 0.0f},
             {g, may, local(2024, 5, 20), 100, 99, 6.0f, 10.0f, 5.0f},
             {root, may, local(2024, 5, 24), 71, 37, 16.0f, 11.0f, 7.5f},
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const Date finishBefore = root->finish();
        const std::int64_t completionBefore = root->completePercentage();
        row.edit();
        // Cached until refreshed.
        EXPECT_EQ(root->finish(), finishBefore);
        EXPECT_EQ(root->completePercentage(), completionBefore);
        refreshLeafToRoot(root);
        for (const Shown& shown : row.shown) {
            SCOPED_TRACE(shown.task->id());
            EXPECT_EQ(shown.task->start(), shown.start);
            EXPECT_EQ(shown.task->finish(), shown.finish);
            EXPECT_EQ(shown.task->completePercentage(), shown.completion);
            EXPECT_EQ(shown.task->workCompletePercentage(), shown.workCompletion);
            EXPECT_EQ(shown.task->work(), shown.work);
            // A group's work is a fixed amount, whatever its children's setting.
            EXPECT_TRUE(shown.task->calculateGroupWork()->isFixAmount());
            EXPECT_FLOAT_EQ(shown.task->laborCost(), shown.laborCost);
            EXPECT_FLOAT_EQ(shown.task->materialsCost(), shown.materialsCost);
            EXPECT_FLOAT_EQ(shown.task->totalCost(), shown.laborCost + shown.materialsCost);
        }
    }
}

TEST_F(DerivedValuesTest, CompletionIsWeightedByWorkingDaysAndRoundedAtNineTenths) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    struct Leaf {
        enum Kind { days, weekend, milestone } kind;
        std::int64_t workingDays;
        std::int64_t percent;
    };
    struct Case {
        const char* what;
        std::vector<Leaf> leaves;
        std::int64_t completion;
    };
    const Case cases[] = {
        {"3 days done, 1 open", {{Leaf::days, 3, 100}, {Leaf::days, 1, 0}}, 75},
        {"ratio 74.9", {{Leaf::days, 1, 749}, {Leaf::days, 9, 0}}, 75},
        {"ratio 74.89", {{Leaf::days, 1, 7489}, {Leaf::days, 99, 0}}, 74},
        {"an open milestone", {{Leaf::days, 5, 100}, {Leaf::milestone, 0, 0}}, 99},
        {"a finished milestone", {{Leaf::days, 5, 100}, {Leaf::milestone, 0, 100}}, 100},
        {"no working day, all done", {{Leaf::weekend, 0, 100}, {Leaf::milestone, 0, 100}}, 100},
        {"no working day, one open", {{Leaf::weekend, 0, 100}, {Leaf::weekend, 0, 50}}, 0},
        {"above 100 passes", {{Leaf::days, 4, 150}}, 150},
        {"huge percentages saturate",
         {{Leaf::days, 2, kMax}, {Leaf::days, 2, kMax}},
         std::int64_t{1} << 61},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto parent = group();
        for (const Leaf& l : c.leaves) {
            switch (l.kind) {
                case Leaf::days:
                    leaf(parent, l.workingDays, l.percent);
                    break;
                case Leaf::weekend:
                    weekendLeaf(parent, l.percent);
                    break;
                case Leaf::milestone:
                    milestone(parent, l.percent);
                    break;
            }
        }
        EXPECT_EQ(parent->completePercentage(), c.completion);
    }
}

TEST_F(DerivedValuesTest, WorkCompletionIsWeightedByWork) {
    constexpr float kHuge = std::numeric_limits<float>::max();
    struct Leaf {
        float fixAmount;
        std::int64_t percent;
        bool weekend;
    };
    struct Case {
        const char* what;
        std::vector<Leaf> leaves;
        std::int64_t workCompletion;
    };
    const Case cases[] = {
        {"weighted", {{6.0f, 100, false}, {4.0f, 50, false}}, 80},
        {"no work at all", {{0.0f, 100, true}, {0.0f, 100, true}}, 0},
        {"done but an open zero-day leaf", {{5.0f, 100, false}, {0.0f, 0, true}}, 99},
        {"above 100 is held", {{5.0f, 300, false}}, 100},
        {"work beyond any float", {{kHuge, 100, false}, {kHuge, 100, false}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto parent = group();
        for (const Leaf& l : c.leaves) {
            const auto task = l.weekend ? weekendLeaf(parent, 0) : leaf(parent, 2, 0);
            task->setWork(OrbTaskWork::fixAmount(l.fixAmount));
            task->setWorkCompletedPercentage(l.percent);
        }
        EXPECT_EQ(parent->workCompletePercentage(), c.workCompletion);
    }
}

TEST_F(DerivedValuesTest, LeafWorkFollowsItsSetting) {
    const auto kato = project->team()->add("Kato", std::nullopt, std::nullopt, 40.0f);
    const auto bea = project->team()->add("Bea", std::nullopt, std::nullopt, 10.0f);
    struct Case {
        const char* what;
        OrbTaskWork work;
        std::vector<std::pair<std::shared_ptr<OrbProjectMember>, std::int64_t>> assigned;
        float hours;
        float autoLaborCost;
    };
    const Case cases[] = {
        {"fixed amount", OrbTaskWork::fixAmount(3.0f), {}, 3.0f, 3.0f},
        {"daily work", OrbTaskWork::fixDailyWork(2.5f), {}, 10.0f, 10.0f},
        {"by resource", OrbTaskWork::byResource(), {{kato, 50}}, 16.0f, 640.0f},
        {"by two resources", OrbTaskWork::byResource(), {{kato, 50}, {bea, 50}}, 32.0f, 800.0f},
        {"by nobody", OrbTaskWork::byResource(), {}, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto task = leaf(project->root(), 4, 0);
        task->setWork(c.work);
        for (const auto& [member, workload] : c.assigned) {
            task->resources().addOrUpdateResource(member, workload);
        }
        EXPECT_EQ(task->days(), 4);
        EXPECT_EQ(task->work(), c.hours);
        EXPECT_EQ(task->estimatedAutoLaborCost(), c.autoLaborCost);
        EXPECT_EQ(task->laborCost(), c.autoLaborCost);
        task->setTaskType(OrbProjectTaskType::milestone);
        EXPECT_EQ(task->work(), 0.0f);
        EXPECT_EQ(task->days(), 0);
        EXPECT_EQ(task->duration(), 0);
    }
}

// Working days come from the calendar, calendar days from local dates: a week over a clock
// change or a skipped midnight is still 5 and 7.
TEST_F(DerivedValuesTest, DaysAndDurationCountLocalDays) {
    for (const ZonedWeek& week : kWeeksOverClockChanges) {
        SCOPED_TRACE(std::string(week.zone) + " " + std::to_string(week.month));
        const platform::ScopedTimeZoneAndLocale pinned(week.zone, "en_US");
        const auto zoned = makeProject();
        const Date start = local(week.year, week.month, week.day);
        const Date finish = local(week.year, week.month, week.day + 7);
        const auto task = OrbProjectTask::create(zoned, nullptr, 1, start, finish);
        EXPECT_EQ(task->days(), 5);
        EXPECT_EQ(task->duration(), 7);
        EXPECT_EQ(task->finishForDisplay(), local(week.year, week.month, week.day + 6, 23, 59, 59));
    }
}

TEST_F(DerivedValuesTest, PlannedCompletionOfToday) {
    const Date today = lx::toDayOnly(Date::now());
    const auto startsToday = addTask(*project, project->root(), 1, today, 3);
    EXPECT_EQ(startsToday->tobeCompletePercentage(), 0);
    const auto finished = addTask(*project, project->root(), 2, today - LxDays(10), 3);
    EXPECT_EQ(finished->tobeCompletePercentage(), 100);
    const auto runningMilestone = addTask(*project, project->root(), 3, today - LxDays(1), 3);
    runningMilestone->setTaskType(OrbProjectTaskType::milestone);
    EXPECT_EQ(runningMilestone->tobeCompletePercentage(), 0);

    const auto parent = group();
    addTask(*project, parent, 10, today - LxDays(20), 14);
    EXPECT_EQ(parent->tobeCompletePercentage(), 100);
}

TEST_F(DerivedValuesTest, RequestsRecalculateOnlyWhenExecuted) {
    const auto parent = group();
    const auto child = leaf(parent, 2, 40);
    EXPECT_EQ(parent->completePercentage(), 40);

    child->setCompletedPercentage(80);
    parent->executeRequestToRefreshCalculatablePropertiesOfTaskGroup();
    EXPECT_EQ(parent->completePercentage(), 40);
    parent->requestToRefreshCalculatablePropertiesOfTaskGroup(false, false, false, true, false,
                                                              false);
    parent->executeRequestToRefreshCalculatablePropertiesOfTaskGroup();
    EXPECT_EQ(parent->completePercentage(), 40);
    parent->requestToRefreshAllCalculatablePropertiesOfTaskGroup();
    EXPECT_EQ(parent->completePercentage(), 80);
}

// A group that loses its last child shows its own values again; its cache stays and shows again
// when a child comes back, until the next refresh.
TEST_F(DerivedValuesTest, GroupWithoutChildrenShowsItsStoredValues) {
    const auto parent = group();
    parent->setCompletedPercentage(10);
    parent->setWork(OrbTaskWork::fixAmount(7.0f));
    leaf(parent, 2, 40);
    EXPECT_EQ(parent->completePercentage(), 40);
    project->removeChildByRange(parent, 0, 0);
    EXPECT_EQ(parent->completePercentage(), 10);
    EXPECT_EQ(parent->work(), 7.0f);
    EXPECT_EQ(parent->finish(), monday() + LxDays(1));

    leaf(parent, 2, 90);
    EXPECT_EQ(parent->completePercentage(), 40);
    parent->refreshCalculatablePropertiesOfTaskGroup(false, false, true, false, false, false);
    EXPECT_EQ(parent->completePercentage(), 90);
}

}  // namespace

namespace {

// Leaf figures read once for a whole refresh give every group exactly what walking its
// subtree gives: the same sums in the same order, float rounding and saturation included,
// across groups that hold leaves and groups side by side at any depth.
TEST_F(DerivedValuesTest, LeafFiguresReadOnceGiveWhatWalkingGives) {
    const auto kato = project->team()->add("Kato", std::nullopt, std::nullopt, 40.0f);
    const std::int64_t percents[] = {0,  100, 37, -5, std::numeric_limits<std::int64_t>::max(),
                                     99, 250};
    const OrbTaskWork works[] = {OrbTaskWork::fixAmount(1e8f), OrbTaskWork::fixAmount(0.3f),
                                 OrbTaskWork::fixDailyWork(2.5f), OrbTaskWork::byResource(),
                                 OrbTaskWork::fixAmount(3.0f)};
    std::vector<TaskPtr> groups{project->root()};
    std::size_t made = 0;
    const auto addLeaves = [&](const TaskPtr& parent, std::size_t count) {
        for (std::size_t index = 0; index < count; ++index, ++made) {
            TaskPtr task;
            switch (made % 5) {
                case 0:
                    task = weekendLeaf(parent, 0);
                    break;
                case 1:
                    task = milestone(parent, 0);
                    break;
                default:
                    task = leaf(parent, static_cast<std::int64_t>(made % 7), 0);
            }
            task->setCompletedPercentage(percents[made % std::size(percents)]);
            task->setWorkCompletedPercentage(percents[(made + 3) % std::size(percents)]);
            task->setWork(works[made % std::size(works)]);
            if (made % 3 == 0) {
                task->resources().addOrUpdateResource(kato, 50 + static_cast<std::int64_t>(made));
            }
            if (made % 4 == 0) {
                task->setLaborCost(OrbTaskLaborCost::fix(0.1f * static_cast<float>(made)));
            }
        }
    };
    // Groups at three depths, each with leaves before, between and after its subgroups.
    for (int level = 0; level < 3; ++level) {
        std::vector<TaskPtr> next;
        for (const TaskPtr& parent : groups) {
            addLeaves(parent, 2);
            for (int sub = 0; sub < 2; ++sub) {
                next.push_back(addTask(*project, parent, nextId++, monday(), 1));
                addLeaves(parent, 1);
            }
        }
        groups = std::move(next);
    }
    for (const TaskPtr& parent : groups) {
        addLeaves(parent, 3);
    }
    // Each group's completion, work completion, work and labour cost, the floats by their bits.
    const auto figuresOfGroups = [this] {
        std::vector<std::int64_t> figures;
        lx::treeNavigate(project->root(), true, [&figures](const TaskPtr& task) {
            if (task->hasChilds()) {
                figures.push_back(task->completePercentage());
                figures.push_back(task->workCompletePercentage());
                figures.push_back(std::bit_cast<std::int32_t>(task->work()));
                figures.push_back(std::bit_cast<std::int32_t>(task->laborCost()));
            }
        });
        return figures;
    };
    refreshLeafToRoot(project->root());
    const std::vector<std::int64_t> walked = figuresOfGroups();
    {
        const OrbLeafFiguresScope leafFigures(*project->root());
        const auto other = makeProject();
        addTask(*other, other->root(), 1, monday(), 2);
        {
            // One for another tree, inside: this tree's scope serves it again afterwards.
            const OrbLeafFiguresScope otherFigures(*other->root());
            refreshLeafToRoot(other->root());
        }
        refreshLeafToRoot(project->root());
    }
    EXPECT_EQ(figuresOfGroups(), walked);
    EXPECT_EQ(walked.size(), 4U * (1 + 2 + 4 + 8));
}

}  // namespace
