#include "platform/foundation/Calendar.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <unicode/dtfmtsym.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>

#include "platform/foundation/DateContext.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/internal/IcuBridge.h"

namespace platform {

namespace {

// ICU's own range is far wider (about ±5.8 million years), but its field arithmetic works in
// 32-bit integers; keeping dates and counts well inside lets every operation check its inputs
// up front instead of trusting ICU to notice an overflow (ICU 72 does not for added years).
constexpr double kSupportedSeconds = 1e13;
// Twice the supported range in years, rounded up: no larger count can lead from one supported
// date to another, and every smaller one keeps ICU's fields far from overflow.
constexpr std::int64_t kLargestYearCount = 700'000;
constexpr std::int64_t kLargestMonthCount = 12 * kLargestYearCount;
constexpr std::int64_t kLargestWeekCount = 53 * kLargestYearCount;
constexpr std::int64_t kLargestDayCount = 366 * kLargestYearCount;
constexpr std::int64_t kLargestTimeField = std::numeric_limits<int32_t>::max();

struct ThreadCalendar {
    std::uint64_t generation = 0;
    std::unique_ptr<icu::GregorianCalendar> calendar;
    UCalendarDaysOfWeek localeFirstWeekday = UCAL_SUNDAY;
};

// Building an ICU calendar costs far more than any calendar question, and the model asks one
// for every task and every day of a calendar: each thread keeps its own (ICU calendars are
// not thread-safe) and rebuilds it when the zone or locale has changed.
icu::Calendar& threadCalendar(std::optional<int> firstWeekday) {
    thread_local ThreadCalendar cached;
    const std::uint64_t generation = dateContextGeneration();
    UErrorCode status = U_ZERO_ERROR;
    if (cached.calendar == nullptr || cached.generation != generation) {
        auto calendar = std::make_unique<icu::GregorianCalendar>(icu::Locale::getDefault(), status);
        if (U_FAILURE(status)) {
            throw Error("The calendar could not be created.");
        }
        // Where the clocks go back over midnight, the day starts at the first midnight.
        calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
        calendar->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
        cached.localeFirstWeekday = calendar->getFirstDayOfWeek(status);
        cached.calendar = std::move(calendar);
        cached.generation = generation;
    }
    const auto wanted =
        firstWeekday ? static_cast<UCalendarDaysOfWeek>(*firstWeekday) : cached.localeFirstWeekday;
    if (cached.calendar->getFirstDayOfWeek(status) != wanted) {
        cached.calendar->setFirstDayOfWeek(wanted);
    }
    return *cached.calendar;
}

// NaN reads as the reference date; other unsupported dates as the nearest end of the range.
Date readable(Date date) {
    const double seconds = date.secondsSinceReferenceDate();
    if (std::isnan(seconds)) {
        return Date();
    }
    return Date(std::clamp(seconds, -kSupportedSeconds, kSupportedSeconds));
}

int field(icu::Calendar& calendar, UCalendarDateFields which) {
    UErrorCode status = U_ZERO_ERROR;
    const int value = calendar.get(which, status);
    return U_SUCCESS(status) ? value : 0;
}

bool setTime(icu::Calendar& calendar, Date date) {
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(internal::toUDate(date), status);
    return U_SUCCESS(status);
}

std::optional<Date> supportedTime(icu::Calendar& calendar) {
    UErrorCode status = U_ZERO_ERROR;
    const UDate time = calendar.getTime(status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    const Date date = internal::fromUDate(time);
    return Calendar::isSupported(date) ? std::optional(date) : std::nullopt;
}

// The first instant of the day the calendar is set to.
std::optional<Date> startOfSetDay(icu::Calendar& calendar) {
    const int year = field(calendar, UCAL_EXTENDED_YEAR);
    const int month = field(calendar, UCAL_MONTH);
    const int day = field(calendar, UCAL_DATE);
    calendar.clear();
    calendar.set(UCAL_EXTENDED_YEAR, year);
    calendar.set(UCAL_MONTH, month);
    calendar.set(UCAL_DATE, day);
    return supportedTime(calendar);
}

bool within(const std::optional<std::int64_t>& value, std::int64_t limit) {
    return !value || (*value >= -limit && *value <= limit);
}

// A local date (as a day number) and the wall-clock time into it, in milliseconds.
struct LocalDayTime {
    std::int64_t julianDay;
    double wallMilliseconds;
};

LocalDayTime localDayTime(icu::Calendar& calendar, Date date) {
    const UDate instant = internal::toUDate(date);
    setTime(calendar, date);
    LocalDayTime local{field(calendar, UCAL_JULIAN_DAY),
                       field(calendar, UCAL_MILLISECONDS_IN_DAY) + (instant - std::floor(instant))};
    // On a day whose midnight was skipped the day starts at 01:00 on the clock; that first
    // instant must count as the day's 00:00, or the next midnight would be less than a day
    // later and the day count between the two starts of day would be 0.
    if (local.wallMilliseconds > 0.0 && instant == std::floor(instant)) {
        setTime(calendar, internal::fromUDate(instant - 1.0));
        if (field(calendar, UCAL_JULIAN_DAY) != local.julianDay) {
            local.wallMilliseconds = 0.0;
        }
    }
    return local;
}

std::int64_t wholeDays(icu::Calendar& calendar, Date from, Date to) {
    const LocalDayTime start = localDayTime(calendar, from);
    const LocalDayTime end = localDayTime(calendar, to);
    std::int64_t days = end.julianDay - start.julianDay;
    if (days > 0 && end.wallMilliseconds < start.wallMilliseconds) {
        --days;
    } else if (days < 0 && end.wallMilliseconds > start.wallMilliseconds) {
        ++days;
    }
    return days;
}

std::int64_t fieldDifference(icu::Calendar& calendar, UCalendarDateFields which, Date from,
                             Date to) {
    UErrorCode status = U_ZERO_ERROR;
    setTime(calendar, from);
    const int32_t difference = calendar.fieldDifference(internal::toUDate(to), which, status);
    return U_SUCCESS(status) ? difference : 0;
}

std::optional<double> secondsPerUnit(CalendarUnit unit) {
    switch (unit) {
        case CalendarUnit::hour:
            return 3600.0;
        case CalendarUnit::minute:
            return 60.0;
        case CalendarUnit::second:
            return 1.0;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool Calendar::isSupported(Date date) {
    return std::fabs(date.secondsSinceReferenceDate()) <= kSupportedSeconds;
}

int Calendar::firstWeekday() const {
    UErrorCode status = U_ZERO_ERROR;
    return threadCalendar(firstWeekday_).getFirstDayOfWeek(status);
}

void Calendar::setFirstWeekday(int weekday) {
    if (weekday >= UCAL_SUNDAY && weekday <= UCAL_SATURDAY) {
        firstWeekday_ = weekday;
    }
}

int Calendar::component(CalendarUnit unit, Date date) const {
    icu::Calendar& calendar = threadCalendar(firstWeekday_);
    setTime(calendar, readable(date));
    switch (unit) {
        case CalendarUnit::year:
            return field(calendar, UCAL_EXTENDED_YEAR);
        case CalendarUnit::month:
            return field(calendar, UCAL_MONTH) + 1;
        case CalendarUnit::day:
            return field(calendar, UCAL_DATE);
        case CalendarUnit::hour:
            return field(calendar, UCAL_HOUR_OF_DAY);
        case CalendarUnit::minute:
            return field(calendar, UCAL_MINUTE);
        case CalendarUnit::second:
            return field(calendar, UCAL_SECOND);
        case CalendarUnit::weekday:
            return field(calendar, UCAL_DAY_OF_WEEK);
        case CalendarUnit::weekOfMonth:
            return field(calendar, UCAL_WEEK_OF_MONTH);
        case CalendarUnit::weekOfYear:
            return field(calendar, UCAL_WEEK_OF_YEAR);
    }
    return 0;
}

DateComponents Calendar::components(Date date) const {
    if (!isSupported(date)) {
        return {};
    }
    icu::Calendar& calendar = threadCalendar(firstWeekday_);
    setTime(calendar, date);
    return {field(calendar, UCAL_EXTENDED_YEAR), field(calendar, UCAL_MONTH) + 1,
            field(calendar, UCAL_DATE),          field(calendar, UCAL_HOUR_OF_DAY),
            field(calendar, UCAL_MINUTE),        field(calendar, UCAL_SECOND)};
}

std::optional<Date> Calendar::date(const DateComponents& components) const {
    if (!within(components.year, kLargestYearCount) ||
        !within(components.month, kLargestMonthCount) ||
        !within(components.day, kLargestDayCount) || !within(components.hour, kLargestTimeField) ||
        !within(components.minute, kLargestTimeField) ||
        !within(components.second, kLargestTimeField)) {
        return std::nullopt;
    }
    icu::Calendar& calendar = threadCalendar(firstWeekday_);
    calendar.clear();
    const auto set = [&calendar](UCalendarDateFields which, std::optional<std::int64_t> value,
                                 int offset) {
        if (value) {
            calendar.set(which, static_cast<int32_t>(*value + offset));
        }
    };
    set(UCAL_EXTENDED_YEAR, components.year, 0);
    set(UCAL_MONTH, components.month, -1);
    set(UCAL_DATE, components.day, 0);
    set(UCAL_HOUR_OF_DAY, components.hour, 0);
    set(UCAL_MINUTE, components.minute, 0);
    set(UCAL_SECOND, components.second, 0);
    return supportedTime(calendar);
}

std::optional<Date> Calendar::startOfDay(Date date) const {
    if (!isSupported(date)) {
        return std::nullopt;
    }
    icu::Calendar& calendar = threadCalendar(firstWeekday_);
    setTime(calendar, date);
    return startOfSetDay(calendar);
}

std::optional<Date> Calendar::adding(CalendarUnit unit, std::int64_t count, Date date) const {
    if (!isSupported(date)) {
        return std::nullopt;
    }
    if (const auto seconds = secondsPerUnit(unit)) {
        const Date moved = date.addingTimeInterval(static_cast<double>(count) * *seconds);
        return isSupported(moved) ? std::optional(moved) : std::nullopt;
    }
    UCalendarDateFields which = UCAL_DATE;
    std::int64_t largest = kLargestDayCount;
    if (unit == CalendarUnit::year) {
        which = UCAL_EXTENDED_YEAR;
        largest = kLargestYearCount;
    } else if (unit == CalendarUnit::month) {
        which = UCAL_MONTH;
        largest = kLargestMonthCount;
    } else if (unit == CalendarUnit::weekOfMonth || unit == CalendarUnit::weekOfYear) {
        which = UCAL_WEEK_OF_YEAR;
        largest = kLargestWeekCount;
    }
    if (count < -largest || count > largest) {
        return std::nullopt;
    }
    icu::Calendar& calendar = threadCalendar(firstWeekday_);
    UErrorCode status = U_ZERO_ERROR;
    setTime(calendar, date);
    calendar.add(which, static_cast<int32_t>(count), status);
    return U_SUCCESS(status) ? supportedTime(calendar) : std::nullopt;
}

std::int64_t Calendar::difference(CalendarUnit unit, Date from, Date to) const {
    from = readable(from);
    to = readable(to);
    if (const auto seconds = secondsPerUnit(unit)) {
        // Both dates lie within ±1e13 s, so the quotient fits an int64.
        return static_cast<std::int64_t>(std::trunc(to.timeIntervalSince(from) / *seconds));
    }
    icu::Calendar& calendar = threadCalendar(firstWeekday_);
    switch (unit) {
        case CalendarUnit::year:
            return fieldDifference(calendar, UCAL_EXTENDED_YEAR, from, to);
        case CalendarUnit::month:
            return fieldDifference(calendar, UCAL_MONTH, from, to);
        case CalendarUnit::weekOfMonth:
        case CalendarUnit::weekOfYear:
            return wholeDays(calendar, from, to) / 7;
        default:
            return wholeDays(calendar, from, to);
    }
}

std::vector<std::string> Calendar::shortMonthSymbols() const {
    UErrorCode status = U_ZERO_ERROR;
    const icu::DateFormatSymbols symbols(internal::currentGregorianLocale(), status);
    if (U_FAILURE(status)) {
        return {};
    }
    int32_t count = 0;
    const icu::UnicodeString* names = symbols.getMonths(count, icu::DateFormatSymbols::FORMAT,
                                                        icu::DateFormatSymbols::ABBREVIATED);
    std::vector<std::string> result;
    for (int32_t index = 0; index < count; ++index) {
        result.push_back(internal::toUtf8(names[index]));
    }
    return result;
}

}  // namespace platform
