#include "utility/DateExtensions.h"

#include "utility/NumberConversions.h"

namespace lx {

using platform::Calendar;
using platform::CalendarUnit;
using platform::Date;

namespace {

std::int64_t difference(CalendarUnit unit, Date date, Date after) {
    return Calendar::current().difference(unit, after, date);
}

std::optional<Date> adding(CalendarUnit unit, Date date, std::int64_t count) {
    return Calendar::current().adding(unit, count, date);
}

int component(CalendarUnit unit, Date date) {
    return Calendar::current().component(unit, date);
}

}  // namespace

std::optional<Date> create(std::int64_t year, std::int64_t month, std::int64_t day,
                           const Calendar& calendar) {
    return calendar.date({.year = year, .month = month, .day = day});
}

Date create(double unixSeconds) {
    return Date::fromUnix(unixSeconds);
}

double unix(Date date) {
    return date.unixSeconds();
}

std::optional<Date> parse(std::string_view dateString, std::string_view format) {
    return platform::DateFormatter(std::string(format)).parse(dateString);
}

Date toDayOnly(Date date) {
    return Calendar::current().startOfDay(date).value_or(date);
}

bool isSameDay(Date date, Date other) {
    const auto mine = getComponents(date);
    const auto theirs = getComponents(other);
    return mine.year == theirs.year && mine.month == theirs.month && mine.day == theirs.day;
}

std::int64_t days(Date date, Date after) {
    return difference(CalendarUnit::day, date, after);
}

std::int64_t years(Date date, Date after) {
    return difference(CalendarUnit::year, date, after);
}

std::int64_t months(Date date, Date after) {
    return difference(CalendarUnit::month, date, after);
}

std::int64_t weeks(Date date, Date after) {
    return difference(CalendarUnit::weekOfYear, date, after);
}

std::int64_t hours(Date date, Date after) {
    return difference(CalendarUnit::hour, date, after);
}

std::int64_t minutes(Date date, Date after) {
    return difference(CalendarUnit::minute, date, after);
}

std::int64_t seconds(Date date, Date after) {
    return difference(CalendarUnit::second, date, after);
}

std::int64_t milliseconds(Date date, Date after) {
    return toInt(date.timeIntervalSince(after) * 1000.0);
}

std::optional<Date> addingByYears(Date date, std::int64_t count) {
    return adding(CalendarUnit::year, date, count);
}

std::optional<Date> addingByMonths(Date date, std::int64_t count) {
    return adding(CalendarUnit::month, date, count);
}

std::optional<Date> addingByDays(Date date, std::int64_t count) {
    return adding(CalendarUnit::day, date, count);
}

std::optional<Date> addingByHours(Date date, std::int64_t count) {
    return adding(CalendarUnit::hour, date, count);
}

std::optional<Date> addingByMinutes(Date date, std::int64_t count) {
    return adding(CalendarUnit::minute, date, count);
}

std::optional<Date> addingBySeconds(Date date, std::int64_t count) {
    return adding(CalendarUnit::second, date, count);
}

std::optional<Date> firstDayInSameMonth(Date date) {
    const auto components = getComponents(date);
    if (!components.year) {
        return std::nullopt;
    }
    return Calendar::current().date({.year = components.year, .month = components.month});
}

std::optional<Date> lastDayInSameMonth(Date date) {
    const auto first = firstDayInSameMonth(date);
    const auto next = first ? addingByMonths(*first, 1) : std::nullopt;
    return next ? addingByDays(*next, -1) : std::nullopt;
}

Date firstDayInSameWeek(Date date, const Calendar& calendar) {
    const int daysIntoWeek = (weekday(date) - calendar.firstWeekday() + 7) % 7;
    return toDayOnly(addingByDays(date, -daysIntoWeek).value_or(date));
}

int weekday(Date date) {
    return component(CalendarUnit::weekday, date);
}

int year(Date date) {
    return component(CalendarUnit::year, date);
}

int month(Date date) {
    return component(CalendarUnit::month, date);
}

int day(Date date) {
    return component(CalendarUnit::day, date);
}

int hour(Date date) {
    return component(CalendarUnit::hour, date);
}

int minute(Date date) {
    return component(CalendarUnit::minute, date);
}

int second(Date date) {
    return component(CalendarUnit::second, date);
}

int weekOfMonth(Date date) {
    return component(CalendarUnit::weekOfMonth, date);
}

int weekOfYear(Date date) {
    return component(CalendarUnit::weekOfYear, date);
}

int getComponent(Date date, CalendarUnit unit) {
    return component(unit, date);
}

platform::DateComponents getComponents(Date date) {
    return Calendar::current().components(date);
}

bool isWeekend(Date date) {
    // The Gregorian week's first and last weekday numbers: Sunday and Saturday.
    const int weekdayNumber = weekday(date);
    return weekdayNumber == 1 || weekdayNumber == 7;
}

std::string toString(Date date, std::string_view format) {
    return platform::DateFormatter(std::string(format)).format(date);
}

std::string toString(Date date, DateStyle dateStyle, DateStyle timeStyle,
                     bool doesRelativeDateFormatting) {
    return platform::DateFormatter(dateStyle, timeStyle, doesRelativeDateFormatting).format(date);
}

}  // namespace lx
