#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/Date.h"
#include "utility/DateUnits.h"

// Dates and small task trees for the project model's tests.
namespace projecttest {

using TaskPtr = std::shared_ptr<OrbProjectTask>;

// The instant of a local wall-clock time in the pinned zone (the first instant of a day whose
// midnight was skipped).
inline platform::Date local(int year, int month, int day, int hour = 0, int minute = 0,
                            int second = 0) {
    return platform::Calendar::current()
        .date({.year = year,
               .month = month,
               .day = day,
               .hour = hour,
               .minute = minute,
               .second = second})
        .value();
}

// Monday 2024-05-06, the first day of a plain working week.
inline platform::Date monday() {
    return local(2024, 5, 6);
}

// A plain week in UTC and weeks in which the clocks change: Berlin's at 02:00 in spring and in
// autumn, Sao Paulo's at midnight (2018-11-04 began at 01:00). Each runs from a Monday to the
// next, with 5 working days and 7 calendar days; local(year, month, day + 7) is its end.
struct ZonedWeek {
    const char* zone;
    int year;
    int month;
    int day;
};
inline constexpr ZonedWeek kWeeksOverClockChanges[] = {
    {"UTC", 2024, 5, 6},
    {"Europe/Berlin", 2024, 3, 25},
    {"Europe/Berlin", 2024, 10, 21},
    {"America/Sao_Paulo", 2018, 10, 29},
};

inline std::shared_ptr<OrbProject> makeProject() {
    return OrbProject::create("project-uid", "Plan", "version-1");
}

// A task of the project's tree below `parent`, running from `start` for `days` calendar days.
inline TaskPtr addTask(OrbProject& project, const TaskPtr& parent, std::int64_t id,
                       platform::Date start, std::int64_t days) {
    return project.createChild(parent, id, start, start + LxDays(days));
}

// The ids of the tasks, in order.
inline std::vector<std::int64_t> idsOf(const std::vector<TaskPtr>& tasks) {
    std::vector<std::int64_t> ids;
    for (const TaskPtr& task : tasks) {
        ids.push_back(task->id());
    }
    return ids;
}

inline std::vector<std::int64_t> childIdsOf(const TaskPtr& task) {
    return task->childs() ? idsOf(*task->childs()) : std::vector<std::int64_t>{};
}

}  // namespace projecttest
