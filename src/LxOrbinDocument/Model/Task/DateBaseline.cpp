#include "LxOrbinDocument/Model/Task/DateBaseline.h"

#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Project/OrbProjectCalendar.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

std::shared_ptr<DateBaseline> DateBaseline::create(std::weak_ptr<const OrbProjectTask> task) {
    return std::shared_ptr<DateBaseline>(new DateBaseline(std::move(task)));
}

DateBaseline::DateBaseline(std::weak_ptr<const OrbProjectTask> task) : _task(std::move(task)) {}

std::optional<platform::Date> DateBaseline::finishForDisplay() const {
    if (!_finish) {
        return std::nullopt;
    }
    return *_finish - LxSeconds(1);
}

void DateBaseline::change(platform::Date start, platform::Date finish) {
    setDates(start, finish);
}

void DateBaseline::initializeByTaskDate() {
    const auto task = _task.lock();
    if (!task) {
        return;
    }
    setDates(task->start(), task->finish());
}

void DateBaseline::copyDates(const DateBaseline& from) {
    setDates(from._start, from._finish);
}

void DateBaseline::setDates(std::optional<platform::Date> start,
                            std::optional<platform::Date> finish) {
    _start = start;
    _finish = finish;
    _days.reset();
    _duration.reset();
}

// A milestone has no length whatever its baseline says, so it answers 0 before its dates are
// looked at.
std::optional<std::int64_t> DateBaseline::count(const Counter& between) const {
    const auto task = _task.lock();
    if (!task) {
        return std::nullopt;
    }
    if (task->isMilestone()) {
        return 0;
    }
    if (!_start || !_finish) {
        return std::nullopt;
    }
    return between(*task, *_start, *_finish);
}

std::optional<std::int64_t> DateBaseline::loadDays() const {
    return count([](const OrbProjectTask& task, platform::Date start,
                    platform::Date finish) -> std::optional<std::int64_t> {
        const auto project = task.project();
        if (!project) {
            return std::nullopt;
        }
        return project->calendar()->countOfWorkingDays(start, finish);
    });
}

std::optional<std::int64_t> DateBaseline::loadDuration() const {
    return count([](const OrbProjectTask&, platform::Date start, platform::Date finish) {
        return std::optional(lx::days(finish, start));
    });
}
