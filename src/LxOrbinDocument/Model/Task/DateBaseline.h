#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/foundation/Date.h"
#include "utility/LxLazyValues.h"

class OrbProjectTask;

// A task's baseline: a second start and (exclusive) finish kept beside the task's own dates,
// with the baseline's working days and calendar days.
//
// The dates are stored as given, not reduced to their day. The two counts are computed on first
// read and kept until the dates change through `change`, `initializeByTaskDate` or `copyDates`
// (changes of the task, its kind or the project calendar leave them as they are).
//
// Shared and never copied: its task owns it (OrbProjectTask::dateBaseline()) and it refers back
// weakly, so a baseline kept after its task is gone answers from its dates alone. No lock: used
// by the thread that owns the task's project.
//
// Example:
//   task->dateBaseline()->change(monday, nextMonday);
//   const auto workingDays = task->dateBaseline()->days();   // 5 with weekends off
class DateBaseline {
public:
    static std::shared_ptr<DateBaseline> create(std::weak_ptr<const OrbProjectTask> task);

    DateBaseline(const DateBaseline&) = delete;
    DateBaseline& operator=(const DateBaseline&) = delete;

    const std::optional<platform::Date>& start() const { return _start; }
    const std::optional<platform::Date>& finish() const { return _finish; }
    // The last second of the last day: finish minus one second; none without a finish.
    std::optional<platform::Date> finishForDisplay() const;

    // Working days from start to finish in the project calendar. 0 on a milestone (with or
    // without dates); none without both dates or once the task or its project is gone.
    std::optional<std::int64_t> days() const { return _days.wrappedValue(); }
    // Whole calendar days from start to finish. 0 on a milestone; none without both dates or
    // once the task is gone.
    std::optional<std::int64_t> duration() const { return _duration.wrappedValue(); }

    void change(platform::Date start, platform::Date finish);
    // Takes the task's shown start and finish; does nothing once the task is gone.
    void initializeByTaskDate();
    // Takes the other baseline's dates, absent ones included.
    void copyDates(const DateBaseline& from);

private:
    explicit DateBaseline(std::weak_ptr<const OrbProjectTask> task);

    void setDates(std::optional<platform::Date> start, std::optional<platform::Date> finish);
    using Counter = std::function<std::optional<std::int64_t>(
        const OrbProjectTask& task, platform::Date start, platform::Date finish)>;
    // None once the task is gone, 0 for a milestone, none without both dates, else `between`.
    std::optional<std::int64_t> count(const Counter& between) const;
    std::optional<std::int64_t> loadDays() const;
    std::optional<std::int64_t> loadDuration() const;

    std::weak_ptr<const OrbProjectTask> _task;
    std::optional<platform::Date> _start;
    std::optional<platform::Date> _finish;
    // The loaders refer to this baseline, which holds them.
    LxLazyLoadingNuallableValue<std::int64_t> _days{[this] { return loadDays(); }};
    LxLazyLoadingNuallableValue<std::int64_t> _duration{[this] { return loadDuration(); }};
};
