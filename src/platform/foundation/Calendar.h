#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"

namespace platform {

// The calendar fields a caller can read, add or count.
enum class CalendarUnit {
    year,
    month,
    day,
    hour,
    minute,
    second,
    weekday,
    weekOfMonth,
    weekOfYear
};

// A date split into calendar fields; absent fields are not set. `month` and `day` count from 1.
// `year` is the proleptic year: 1 BC is 0, 2 BC is -1.
struct DateComponents {
    std::optional<std::int64_t> year = std::nullopt;
    std::optional<std::int64_t> month = std::nullopt;
    std::optional<std::int64_t> day = std::nullopt;
    std::optional<std::int64_t> hour = std::nullopt;
    std::optional<std::int64_t> minute = std::nullopt;
    std::optional<std::int64_t> second = std::nullopt;

    bool operator==(const DateComponents&) const = default;
};

// The Gregorian calendar in the process's current time zone and locale (see DateContext.h),
// read at each operation, so a calendar value never goes stale.
//
// Every operation may run on any thread and is cheap enough for loops over every day of a
// project: each thread keeps one ICU calendar and rebuilds it only when the current zone or
// locale changes.
//
// Dates outside the supported range (`isSupported`) and not-a-number dates have no calendar
// fields: operations that answer an optional answer none for them; those that answer a plain
// number read the nearest end of the range (the reference date for not-a-number).
//
// Example:
//   const auto calendar = platform::Calendar::current();
//   const auto tomorrow = calendar.adding(platform::CalendarUnit::day, 1, platform::Date::now());
class Calendar {
public:
    // The user's current calendar, and a new Gregorian calendar; in this system both are the
    // Gregorian calendar of the current time zone and locale.
    static Calendar current() { return Calendar(); }
    static Calendar gregorian() { return Calendar(); }

    // About ±316,000 years around the reference date.
    static bool isSupported(Date date);

    // 1 Sunday ... 7 Saturday: the one set here, else the current locale's.
    int firstWeekday() const;
    // Values outside 1...7 are ignored.
    void setFirstWeekday(int weekday);

    // One field of `date`; weekday counts 1 Sunday ... 7 Saturday.
    int component(CalendarUnit unit, Date date) const;
    // Year, month, day, hour, minute and second of `date`; all absent for an unsupported date.
    DateComponents components(Date date) const;

    // The first instant of the described local date and time. Fields past their range carry
    // over (month 13 is January of the next year); a missing year is 1970, a missing month
    // or day 1, a missing time field 0.
    // A wall time that the zone skips (a clock change) moves forward by the skipped length, so
    // a skipped midnight gives the first instant of that day. None when the result is not
    // supported or a field is beyond any supported date.
    std::optional<Date> date(const DateComponents& components) const;

    // The first instant of `date`'s local day, also on days whose clocks change at midnight.
    std::optional<Date> startOfDay(Date date) const;

    // `date` moved by `count` units without wrapping: higher fields carry, a day past the end of
    // the target month is clamped to its last day, days keep the wall-clock time across a
    // clock change, hours, minutes and seconds are exact intervals. Weekday counts as day,
    // week of month as week of year. None when the result or `date` is not supported.
    std::optional<Date> adding(CalendarUnit unit, std::int64_t count, Date date) const;

    // Whole `unit`s from `from` to `to`, truncated toward zero; negative when `to` is earlier.
    // Days compare local dates and wall-clock times (the start of a day reads as 00:00 even
    // when the clocks skipped midnight); weeks are whole days / 7.
    std::int64_t difference(CalendarUnit unit, Date from, Date to) const;

    // The abbreviated month names of the current locale ("Jan" ... "Dec" in English).
    std::vector<std::string> shortMonthSymbols() const;

private:
    Calendar() = default;

    std::optional<int> firstWeekday_;
};

}  // namespace platform
