#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "support/LogCapture.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

using namespace projecttest;
using platform::Date;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

Date today() {
    return lx::toDayOnly(Date::now());
}

bool isUpperCaseUuid(const std::string& text) {
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char c = text[index];
        const bool hyphen = index == 8 || index == 13 || index == 18 || index == 23;
        if (hyphen ? c != '-' : !(std::isdigit(c) || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

TEST(OrbProject, VersionIsAFreshTokenOnlyWhenAbsent) {
    const auto first = OrbProject::create("uid", "Plan");
    const auto second = OrbProject::create("uid", "Plan");
    EXPECT_TRUE(isUpperCaseUuid(first->version())) << first->version();
    EXPECT_NE(first->version(), second->version());
    EXPECT_EQ(OrbProject::create("uid", "Plan", "7")->version(), "7");
    EXPECT_EQ(OrbProject::create("uid", "Plan", "")->version(), "");
}

TEST(OrbProject, NewProjectHasTheStartValues) {
    const auto project = OrbProject::create("uid", "Plan");
    EXPECT_EQ(project->uid(), "uid");
    EXPECT_EQ(project->uniqueId(), "uid");
    EXPECT_EQ(project->name(), "Plan");
    EXPECT_EQ(project->colorIndex(), 0);
    EXPECT_EQ(project->currency(), "$");
    EXPECT_FALSE(project->displayCurrencyAtBegin());
    EXPECT_EQ(project->defaultCostRate(), 1.0f);
    EXPECT_EQ(project->dailyWorkingHours(), 8.0f);
    EXPECT_EQ(project->taskLinkType(), OrbTaskLinkType::finishToStart);
    EXPECT_EQ(project->timespaceScale(), 1.0f);
    EXPECT_EQ(project->screenOffsetY(), 0.0f);
    EXPECT_FALSE(project->userHasSetLinkType());
    EXPECT_FALSE(project->onlyWorkingDayTaskSchedule());
    EXPECT_EQ(project->imageId(), std::nullopt);
    EXPECT_EQ(project->lastUpdate(), std::nullopt);
    EXPECT_EQ(project->team()->count(), 0);
    EXPECT_EQ(project->team()->idseed(), 1);
    EXPECT_FALSE(project->hasRoot());
}

TEST(OrbProject, CostRateAndWorkingHoursSettersClamp) {
    struct Case {
        float given;
        float costRate;
        float workingHours;
    };
    const Case cases[] = {
        {-0.5f, 1.0f, 8.0f},   {0.0f, 0.0f, 8.0f},   {3.5f, 3.5f, 3.5f},
        {24.0f, 24.0f, 24.0f}, {24.5f, 24.5f, 8.0f}, {0.25f, 0.25f, 0.25f},
    };
    const auto project = makeProject();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        project->setDefaultCostRate(c.given);
        project->setDailyWorkingHours(c.given);
        EXPECT_EQ(project->defaultCostRate(), c.costRate);
        EXPECT_EQ(project->dailyWorkingHours(), c.workingHours);
    }
    project->setDefaultCostRate(kNaN);
    project->setDailyWorkingHours(kNaN);
    EXPECT_TRUE(std::isnan(project->defaultCostRate()));
    EXPECT_TRUE(std::isnan(project->dailyWorkingHours()));
}

TEST(OrbProject, RootMadeOnFirstReadRunsTodayAndIsNotRegistered) {
    const auto project = makeProject();
    const auto root = project->root();
    EXPECT_EQ(project->root(), root);
    EXPECT_EQ(root->id(), 0);
    EXPECT_EQ(root->project(), project);
    EXPECT_EQ(root->start(), today());
    EXPECT_EQ(root->finish(), today() + LxDays(1));
    EXPECT_EQ(project->taskCount(), 0);
    EXPECT_EQ(project->findTask(0), nullptr);
}

TEST(OrbProject, CalendarOfANewProjectReachesAYearAroundToday) {
    const auto project = makeProject();
    const auto calendar = project->calendar();
    EXPECT_EQ(project->calendar(), calendar);
    EXPECT_EQ(calendar->start(), today() - LxYears(1));
    EXPECT_EQ(calendar->end(), today() + LxYears(1));
    EXPECT_EQ(calendar->rowData(), std::nullopt);
    EXPECT_FALSE(project->hasRoot());
}

TEST(OrbProject, CalendarIsMadeFromTheRootsShownDates) {
    const auto project = makeProject();
    const auto root =
        OrbProjectTask::create(project, nullptr, 0, local(2020, 1, 1), local(2020, 1, 2));
    project->initializeByCalendarAndTeamAndRootTask(nullptr, std::nullopt, root);
    addTask(*project, root, 1, local(2024, 3, 4), 5);
    EXPECT_EQ(project->calendar()->start(), local(2023, 3, 4));
    EXPECT_EQ(project->calendar()->end(), local(2025, 3, 9));

    const auto replacement = OrbProjectCalendar::create(monday(), monday(), "8766");
    project->initializeCalendar(replacement);
    EXPECT_EQ(project->calendar(), replacement);
}

TEST(OrbProject, InitializingRegistersTheGivenRootOnlyWhileThereIsNone) {
    const auto project = makeProject();
    const auto root = OrbProjectTask::create(project, nullptr, 0, monday(), monday());
    const auto child = root->createChild(4, monday(), monday());
    child->createChild(9, monday(), monday());
    const auto kato = OrbProjectMember::create(3, "Kato");
    const auto calendar = OrbProjectCalendar::create(monday(), monday(), "");

    project->initializeByCalendarAndTeamAndRootTask(calendar, std::vector{kato}, root);
    EXPECT_EQ(project->root(), root);
    EXPECT_EQ(project->calendar(), calendar);
    EXPECT_EQ(project->team()->members(), std::vector{kato});
    EXPECT_EQ(project->taskCount(), 3);
    EXPECT_EQ(project->findTask(9), child->childs()->front());

    const auto other = OrbProjectTask::create(project, nullptr, 0, monday(), monday());
    other->createChild(12, monday(), monday());
    project->initializeByCalendarAndTeamAndRootTask(nullptr, std::nullopt, other);
    EXPECT_EQ(project->root(), root);
    EXPECT_EQ(project->calendar(), calendar);
    EXPECT_EQ(project->findTask(12), nullptr);
}

TEST(OrbProject, NewTaskIdsCountOnFromTheLargestIdOfTheTree) {
    const auto project = makeProject();
    const auto group = addTask(*project, project->root(), 7, monday(), 1);
    addTask(*project, group, 41, monday(), 1);
    addTask(*project, project->root(), 3, monday(), 1);
    EXPECT_EQ(project->createNewTaskId(), 42);
    addTask(*project, group, 100, monday(), 1);
    EXPECT_EQ(project->createNewTaskId(), 43);

    const auto rootless = makeProject();
    EXPECT_EQ(rootless->createNewTaskId(), 1);
    EXPECT_TRUE(rootless->hasRoot());
}

TEST(OrbProject, AddingAndRemovingASubtreeKeepsTheRegistryInStep) {
    const auto project = makeProject();
    const auto root = project->root();
    const auto child = OrbProjectTask::create(project, nullptr, 5, monday(), monday());
    const auto grandchildA = child->createChild(6, monday(), monday());
    const auto grandchildB = child->createChild(7, monday(), monday());

    project->addChild(root, child);
    EXPECT_EQ(project->taskCount(), 3);
    EXPECT_EQ(project->findTask(5), child);
    EXPECT_EQ(project->findTask(6), grandchildA);
    EXPECT_EQ(project->findTask(7), grandchildB);
    EXPECT_EQ(child->parent(), root);

    project->removeChild(root, child);
    EXPECT_EQ(project->taskCount(), 0);
    EXPECT_EQ(child->parent(), nullptr);
    EXPECT_EQ(grandchildA->parent(), child);
    EXPECT_EQ(childIdsOf(root), std::vector<std::int64_t>{});
}

TEST(OrbProject, InsertingAndCreatingRegisterWhatEntersTheTree) {
    const auto project = makeProject();
    const auto root = project->root();
    const auto a = addTask(*project, root, 1, monday(), 1);
    const auto b = project->createChildAfter(root, 99, 2, monday(), monday());
    const auto c = OrbProjectTask::create(project, nullptr, 3, monday(), monday());
    const auto d = OrbProjectTask::create(project, nullptr, 4, monday(), monday());
    project->insertChild(root, c, 0);
    project->insertChild(root, d, a, false);
    EXPECT_EQ(childIdsOf(root), (std::vector<std::int64_t>{3, 4, 1, 2}));
    EXPECT_EQ(project->taskCount(), 4);
    EXPECT_EQ(project->findTask(2), b);

    // A refused child stays out of the registry.
    const LogCapture log;
    const auto e = OrbProjectTask::create(project, nullptr, 5, monday(), monday());
    project->insertChild(root, e, 9);
    project->addChild(a, root);
    EXPECT_EQ(project->taskCount(), 4);
    EXPECT_EQ(project->findTask(5), nullptr);
}

TEST(OrbProject, RangeRemovalTakesTheRemovedSubtreesOutOfTheRegistry) {
    const auto project = makeProject();
    const auto root = project->root();
    for (std::int64_t id = 1; id <= 4; ++id) {
        addTask(*project, root, id, monday(), 1);
    }
    const auto b = project->findTask(2);
    const auto c = project->findTask(3);
    const auto below = addTask(*project, b, 20, monday(), 1);

    project->removeChildByRange(root, 1, 2);
    EXPECT_EQ(childIdsOf(root), (std::vector<std::int64_t>{1, 4}));
    EXPECT_EQ(project->taskCount(), 2);
    EXPECT_EQ(b->parent(), nullptr);
    EXPECT_EQ(c->parent(), nullptr);
    EXPECT_EQ(below->parent(), b);
    EXPECT_EQ(project->findTask(20), nullptr);

    project->changeChildIndex(root, project->findTask(4), 0, {});
    EXPECT_EQ(childIdsOf(root), (std::vector<std::int64_t>{4, 1}));
}

TEST(OrbProject, MemberAssignmentsCountOnlyOnTasksThatMayHoldThem) {
    const auto project = makeProject();
    const auto kato = project->team()->add("Kato");
    EXPECT_FALSE(project->isMemberBeAssignedToAnyTask(kato->id()));

    const auto group = addTask(*project, project->root(), 1, monday(), 1);
    group->resources().addOrUpdateResource(kato, 50);
    addTask(*project, group, 2, monday(), 1);
    EXPECT_FALSE(project->isMemberBeAssignedToAnyTask(kato->id()));

    project->root()->resources().addOrUpdateResource(kato, 50);
    EXPECT_FALSE(project->isMemberBeAssignedToAnyTask(kato->id()));

    project->findTask(2)->resources().addOrUpdateResource(kato, 50);
    EXPECT_TRUE(project->isMemberBeAssignedToAnyTask(kato->id()));
}

TEST(OrbProject, ResourcesRowStringFindsMembersInTheProjectsTeam) {
    const auto project = makeProject();
    const auto kato = project->team()->add("Kato");
    OrbTaskResources resources;
    resources.fromRowData("1,50,9,50", *project);
    ASSERT_EQ(resources.assignments().size(), 1u);
    EXPECT_EQ(resources[0]->member(), kato);

    const auto team = OrbProjectTeam::create();
    project->setTeam(team);
    resources.fromRowData("1,50", *project);
    EXPECT_TRUE(resources.isEmpty());
}

// Tasks refer to their project, parent and linked tasks weakly: releasing the project releases
// everything, links both ways and self-links included.
TEST(OrbProject, DestroyedProjectFreesAllItsTasks) {
    std::vector<std::weak_ptr<OrbProjectTask>> tasks;
    std::weak_ptr<DateBaseline> baseline;
    std::weak_ptr<OrbProject> released;
    {
        const auto project = makeProject();
        const auto root = project->root();
        const auto group = addTask(*project, root, 1, monday(), 5);
        const auto a = addTask(*project, group, 2, monday(), 2);
        const auto b = addTask(*project, group, 3, monday(), 3);
        const auto c = addTask(*project, root, 4, monday(), 1);
        b->links().addPredecessor(a);
        a->links().addPredecessor(b);
        c->links().addPredecessor(c);
        c->links().backup();
        a->dateBaseline()->initializeByTaskDate();
        root->refreshCalculatablePropertiesOfTaskGroup(true, true, true, true, true, true);
        tasks = {root, group, a, b, c};
        baseline = a->dateBaseline();
        released = project;
    }
    EXPECT_TRUE(released.expired());
    EXPECT_TRUE(baseline.expired());
    for (const auto& task : tasks) {
        EXPECT_TRUE(task.expired());
    }
}

}  // namespace
