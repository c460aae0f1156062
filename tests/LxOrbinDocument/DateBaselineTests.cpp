#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/DateBaseline.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/ProjectTestSupport.h"
#include "platform/foundation/DateContext.h"
#include "utility/DateUnits.h"

namespace {

using namespace projecttest;
using platform::Date;

class DateBaselineTest : public testing::Test {
protected:
    DateBaselineTest() {
        project->initializeCalendar(OrbProjectCalendar::create(monday(), monday(), ""));
    }

    const std::shared_ptr<OrbProject> project = makeProject();
    const TaskPtr task = addTask(*project, project->root(), 1, local(2024, 6, 3), 2);
};

TEST_F(DateBaselineTest, NewBaselineHasNoDatesAndNoCounts) {
    const auto& baseline = task->dateBaseline();
    EXPECT_EQ(baseline->start(), std::nullopt);
    EXPECT_EQ(baseline->finish(), std::nullopt);
    EXPECT_EQ(baseline->finishForDisplay(), std::nullopt);
    EXPECT_EQ(baseline->days(), std::nullopt);
    EXPECT_EQ(baseline->duration(), std::nullopt);

    const auto milestone = addTask(*project, project->root(), 2, monday(), 1);
    milestone->setTaskType(OrbProjectTaskType::milestone);
    EXPECT_EQ(milestone->dateBaseline()->days(), 0);
    EXPECT_EQ(milestone->dateBaseline()->duration(), 0);
}

// A week from Monday: 7 calendar days and 5 working days, also over a clock change.
TEST_F(DateBaselineTest, CountsTheDaysBetweenItsDates) {
    for (const ZonedWeek& week : kWeeksOverClockChanges) {
        SCOPED_TRACE(std::string(week.zone) + " " + std::to_string(week.month));
        const platform::ScopedTimeZoneAndLocale pinned(week.zone, "en_US");
        const auto zoned = makeProject();
        const auto task = addTask(*zoned, zoned->root(), 1, monday(), 1);
        const auto& baseline = task->dateBaseline();
        const Date start = local(week.year, week.month, week.day);
        const Date finish = local(week.year, week.month, week.day + 7);
        baseline->change(start, finish);
        EXPECT_EQ(baseline->duration(), 7);
        EXPECT_EQ(baseline->days(), 5);
        EXPECT_EQ(baseline->finishForDisplay(),
                  local(week.year, week.month, week.day + 6, 23, 59, 59));

        task->setTaskType(OrbProjectTaskType::milestone);
        baseline->change(start, finish);
        EXPECT_EQ(baseline->duration(), 0);
        EXPECT_EQ(baseline->days(), 0);
    }
}

TEST_F(DateBaselineTest, DatesOutsideTheDocumentRangeHaveNoWorkingDays) {
    const auto& baseline = task->dateBaseline();
    baseline->change(local(2024, 5, 6), local(2200, 5, 6));
    EXPECT_EQ(baseline->days(), 0);
    EXPECT_EQ(baseline->duration(), 64282);
}

TEST_F(DateBaselineTest, CountsAreKeptUntilTheDatesChange) {
    const auto& baseline = task->dateBaseline();
    baseline->change(monday(), monday() + LxDays(7));
    EXPECT_EQ(baseline->days(), 5);
    // Neither the calendar nor the task's kind reaches the kept count.
    project->calendar()->setDayExceptionString("8894");  // Wednesday 2024-05-08
    task->setTaskType(OrbProjectTaskType::milestone);
    EXPECT_EQ(baseline->days(), 5);
    task->setTaskType(OrbProjectTaskType::singleTask);
    baseline->change(monday(), monday() + LxDays(7));
    EXPECT_EQ(baseline->days(), 4);
}

TEST_F(DateBaselineTest, TakesTheTasksShownDates) {
    const auto group = addTask(*project, project->root(), 2, monday(), 1);
    addTask(*project, group, 3, local(2024, 5, 8), 2);
    addTask(*project, group, 4, local(2024, 5, 9), 5);
    const auto& baseline = group->dateBaseline();
    baseline->initializeByTaskDate();
    EXPECT_EQ(baseline->start(), local(2024, 5, 8));
    EXPECT_EQ(baseline->finish(), local(2024, 5, 14));
    EXPECT_EQ(baseline->days(), 4);

    const auto other = addTask(*project, project->root(), 5, monday(), 1);
    other->dateBaseline()->copyDates(*baseline);
    EXPECT_EQ(other->dateBaseline()->start(), local(2024, 5, 8));
    EXPECT_EQ(other->dateBaseline()->days(), 4);
    other->dateBaseline()->copyDates(*task->dateBaseline());
    EXPECT_EQ(other->dateBaseline()->start(), std::nullopt);
    EXPECT_EQ(other->dateBaseline()->finish(), std::nullopt);
    EXPECT_EQ(other->dateBaseline()->days(), std::nullopt);
    EXPECT_EQ(other->dateBaseline()->duration(), std::nullopt);
}

TEST_F(DateBaselineTest, BaselineOfAReleasedTaskKeepsItsDates) {
    std::shared_ptr<DateBaseline> kept;
    {
        const auto released = OrbProjectTask::create(project, nullptr, 9, monday(), monday());
        kept = released->dateBaseline();
        kept->change(monday(), monday() + LxDays(2));
    }
    kept->initializeByTaskDate();
    EXPECT_EQ(kept->start(), monday());
    EXPECT_EQ(kept->finish(), monday() + LxDays(2));
    EXPECT_EQ(kept->days(), std::nullopt);
}

}  // namespace
