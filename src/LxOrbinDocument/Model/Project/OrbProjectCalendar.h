#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Date.h"
#include "utility/LxGCDLocker.h"

// A project's working-day calendar: Saturdays and Sundays are off, the other days working, and
// each exception day flips the status of its day (a holiday on a weekday, a working Saturday).
//
// A day map gives every day from `start()` to `end()` its status and the number of working days
// before it, so that counting working days is one subtraction; it reaches a year beyond the
// dates it was made for, and whenever a question falls outside it, it is made again from a year
// before the earlier to a year after the later of its ends and that date. It never reaches more
// than a year beyond the document date range (OrbinDocumentConfig): days further out are
// answered from their weekday and the exception list. Days are local calendar days of the
// current time zone.
//
// The exception days have a text form, the calendar exception string: each day's whole-day
// offset from 2000-01-01 in decimal, joined by ";" ("8766;8767" is 2024-01-01 and 2024-01-02).
// Reading it skips fields that are not decimal numbers and days outside the document
// date range (OrbinDocumentConfig) without a word; it never throws.
//
// Shared, made by `create()`, never copied. Any thread may call any operation: each takes the
// calendar's lock ("OrbProjectCalendar.Lock") once; no operation may be called from inside
// another's body (the lock is not re-entrant).
//
// Example:
//   auto calendar = OrbProjectCalendar::create(start, finish, "8766;8767");
//   const std::int64_t days = calendar->countOfWorkingDays(taskStart, taskFinish);
class OrbProjectCalendar {
public:
    struct DayMapItem {
        // Working days in the map strictly before this day.
        std::int64_t workingDayIndex = 0;
        bool isWorkingDay = false;
    };

    // Reads `singularities` and builds the map from a year before the earlier of `start` and
    // `finish` to a year after the later.
    static std::shared_ptr<OrbProjectCalendar> create(platform::Date start, platform::Date finish,
                                                      std::string_view singularities);

    OrbProjectCalendar(const OrbProjectCalendar&) = delete;
    OrbProjectCalendar& operator=(const OrbProjectCalendar&) = delete;

    // Local midnight of 2000-01-01, the day the exception string counts from.
    const platform::Date SINGULARITY_ORINGINAL_DATE;

    // First and last day of the map (local midnight; the map includes both) and a copy of it.
    platform::Date start() const;
    platform::Date end() const;
    std::vector<DayMapItem> mappings() const;

    // Rebuilds the map over its current span from the weekdays and the exception list.
    void buildDayMappings();

    // Replaces the exception list by the days the string names, then rebuilds the map.
    void setDayExceptionString(std::string_view singularities);

    // Replaces the exception list by `exceptions`, in their order, exact duplicates once, with
    // neither a range check nor a reduction to the day; then rebuilds the map.
    void setDayExceptions(const std::vector<platform::Date>& exceptions);

    // Appends `date` unchanged when it lies in the document date range and no exception day is
    // on its day. The map is not rebuilt: the day's new status counts from the next rebuild.
    void addExceptionDay(platform::Date date);

    // The status of `date`'s day. A day outside the map but in the document date range widens
    // the map first; a day outside both is answered from its weekday and the exception list.
    bool isWorkingDay(platform::Date date);

    // Toggles `datetime`'s day (its local midnight) in the exception list: removes the first
    // exception equal to that midnight, else appends it; then rebuilds or widens the map.
    void changeWorkingDay(platform::Date datetime);

    // Working days from `start`'s day (included) to `finish`'s day (excluded); negative when
    // `finish` is earlier; 0 when either date lies outside the document date range.
    std::int64_t countOfWorkingDays(platform::Date start, platform::Date finish);

    // The working day `workingdays` working days after (before, when negative) `date`'s day;
    // for 0 the first working day from `date`'s day on.
    platform::Date getWorkingDayByAddWorkingDays(platform::Date date, std::int64_t workingdays);

    // `date`'s day when it is a working day, else the first working day after (the last before).
    platform::Date getNextWorkingDayFromDateIncludeCurrent(platform::Date date);
    platform::Date getPreviousWorkingDayFromDateIncludeCurrent(platform::Date date);

    // The exclusive finish, with `start`'s time of day, of a span from `start` holding
    // `workingdays` working days; `start` itself for fewer than 1; outside the document date
    // range `start` plus that many calendar days.
    platform::Date getFinishDateFromStartDateByWorkingDays(platform::Date start,
                                                           std::int64_t workingdays);

    // Each exception day's offset in days from 2000-01-01, in list order.
    std::vector<std::int64_t> getExceptionDayIndexsList() const;

    // The exception days as stored, in the order they were added.
    std::vector<platform::Date> exceptions() const;

    // The calendar exception string, days in ascending order ("-3" for 1999-12-29); none when
    // there is no exception day.
    std::optional<std::string> rowData() const;

    // A new calendar made from this one's map span and exception string: its map reaches one
    // more year out at each end, and its exception days are read again from their text.
    std::shared_ptr<OrbProjectCalendar> clone() const;

private:
    OrbProjectCalendar(platform::Date start, platform::Date finish, std::string_view singularities);

    // Everything below runs inside `_lock` (or in the constructor) and never takes it.
    void readExceptionString(std::string_view singularities);
    void setRange(platform::Date a, platform::Date b);
    void rebuild();
    std::optional<std::size_t> indexHolding(platform::Date instant) const;
    bool statusOutsideMap(platform::Date day) const;
    bool workingDay(platform::Date date);
    std::int64_t workingDaysBetween(platform::Date start, platform::Date finish);
    platform::Date walkToWorkingDay(platform::Date date, std::int64_t step);
    static std::optional<platform::Date> dayAtOffset(std::int64_t offset);
    std::int64_t offsetFromEpoch(platform::Date date) const;
    std::optional<std::string> exceptionString() const;

    platform::Date _start;
    platform::Date _end;
    std::vector<platform::Date> _dayexceptions;
    std::vector<DayMapItem> _mappings;
    // The first instant of each map day, and of the day after the last.
    std::vector<platform::Date> _dayStarts;
    const LxGCDLocker _lock{"OrbProjectCalendar.Lock"};
};
