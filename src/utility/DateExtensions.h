#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Calendar.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"

// Calendar questions about dates, answered in the current calendar (the Gregorian calendar of
// the process's current time zone and locale) unless a calendar is passed. Stateless; any
// thread. A day is a local calendar day: the start of a day comes from the calendar, and
// whole days are counted between local dates, so clock changes never shift a day.
//
// Dates the calendar does not support (platform::Calendar::isSupported, about ±316,000 years,
// and not-a-number) give none where an optional is answered; see each operation otherwise.
namespace lx {

using DateStyle = platform::DateFormatter::Style;

// Midnight at the start of that day in the calendar's time zone; fields past their range carry
// over (month 13 is January of the next year). None when the calendar yields no date.
std::optional<platform::Date> create(std::int64_t year, std::int64_t month, std::int64_t day,
                                     const platform::Calendar& calendar);
// The instant `unix` seconds after 1970-01-01 00:00:00 UTC.
platform::Date create(double unixSeconds);
// Seconds of `date` since 1970-01-01 00:00:00 UTC.
double unix(platform::Date date = platform::Date::now());

// The date `dateString` names in `format`, in the current zone and locale; none when the text
// does not match as a whole (see platform::DateFormatter for the strict rules).
std::optional<platform::Date> parse(std::string_view dateString, std::string_view format);

// Local midnight at the start of `date`'s day (the first instant of the day where the clocks
// skipped midnight); `date` itself when the calendar yields no date.
platform::Date toDayOnly(platform::Date date);

// Whether both dates fall on the same local day (true for two unsupported dates).
bool isSameDay(platform::Date date, platform::Date other);

// Whole units from `after` to `date`, truncated toward zero; negative when `after` is later.
// Days count local dates and wall-clock times: 36 hours later is 1 day, and midnight to the
// next midnight is 1 day even when the day has 23 or 25 hours. Weeks are whole days / 7.
std::int64_t days(platform::Date date, platform::Date after);
std::int64_t years(platform::Date date, platform::Date after);
std::int64_t months(platform::Date date, platform::Date after);
std::int64_t weeks(platform::Date date, platform::Date after);
std::int64_t hours(platform::Date date, platform::Date after);
std::int64_t minutes(platform::Date date, platform::Date after);
std::int64_t seconds(platform::Date date, platform::Date after);
// trunc((date - after) * 1000), clamped to the int64 range; 0 when that is not a number.
std::int64_t milliseconds(platform::Date date, platform::Date after);

// `date` moved by `count` units without wrapping (2024-01-31 plus one month is 2024-02-29);
// days keep the local time of day across a clock change. None when the calendar yields no
// date, also for counts far beyond any supported date.
std::optional<platform::Date> addingByYears(platform::Date date, std::int64_t count);
std::optional<platform::Date> addingByMonths(platform::Date date, std::int64_t count);
std::optional<platform::Date> addingByDays(platform::Date date, std::int64_t count);
std::optional<platform::Date> addingByHours(platform::Date date, std::int64_t count);
std::optional<platform::Date> addingByMinutes(platform::Date date, std::int64_t count);
std::optional<platform::Date> addingBySeconds(platform::Date date, std::int64_t count);

// Midnight of the first and of the last day of `date`'s month.
std::optional<platform::Date> firstDayInSameMonth(platform::Date date);
std::optional<platform::Date> lastDayInSameMonth(platform::Date date);
// Midnight of the first day of `date`'s week, where weeks begin on `calendar`'s first weekday
// (only that is taken from `calendar`); `toDayOnly(date)` when the calendar yields no date.
platform::Date firstDayInSameWeek(
    platform::Date date, const platform::Calendar& calendar = platform::Calendar::current());

// Single fields of `date`; weekday counts 1 Sunday ... 7 Saturday. An unsupported date reads as
// the nearest end of the supported range (the reference date for not-a-number).
int weekday(platform::Date date);
int year(platform::Date date);
int month(platform::Date date);
int day(platform::Date date);
int hour(platform::Date date);
int minute(platform::Date date);
int second(platform::Date date);
int weekOfMonth(platform::Date date);
int weekOfYear(platform::Date date);
int getComponent(platform::Date date, platform::CalendarUnit unit);
// Year, month, day, hour, minute and second in one read; all absent for an unsupported date.
platform::DateComponents getComponents(platform::Date date);

// Saturday or Sunday, whatever weekday the user's week begins on.
bool isWeekend(platform::Date date);

// `date` as text in `format` (ICU pattern syntax), current zone and locale.
std::string toString(platform::Date date, std::string_view format = "yyyy-MM-dd");
// `date` as text in the current locale's styles ("May 11, 2024" for medium date, no time,
// in English).
std::string toString(platform::Date date, DateStyle dateStyle, DateStyle timeStyle,
                     bool doesRelativeDateFormatting = false);

}  // namespace lx
