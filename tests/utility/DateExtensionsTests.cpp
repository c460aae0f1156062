#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"
#include "support/UtcDate.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

using platform::Date;
using platform::ScopedTimeZoneAndLocale;

constexpr const char* kBerlin = "Europe/Berlin";
// Until 2019 the clocks went forward at midnight: 2018-11-04 began at 01:00 (-02:00), and went
// back at midnight: 2018-02-17 23:00-24:00 (-02:00, then -03:00) happened twice.
constexpr const char* kSaoPaulo = "America/Sao_Paulo";
constexpr const char* kUtc = "UTC";

const Date kOutOfRange(1e20);

TEST(DateExtensions, ToDayOnlyIsTheFirstInstantOfTheLocalDay) {
    struct Case {
        const char* zone;
        const char* what;
        Date date;
        Date expected;
    };
    const Case cases[] = {
        {kUtc, "afternoon", utcDate(2024, 5, 11, 15), utcDate(2024, 5, 11)},
        {kBerlin, "10:00 on the day DST starts at 02:00", utcDate(2024, 3, 31, 8),
         utcDate(2024, 3, 30, 23)},
        {kBerlin, "23:59:59 on that day", utcDate(2024, 3, 31, 21, 59, 59),
         utcDate(2024, 3, 30, 23)},
        {kBerlin, "midnight is its own day", utcDate(2024, 10, 26, 22), utcDate(2024, 10, 26, 22)},
        {kBerlin, "noon on the day DST ends", utcDate(2024, 10, 27, 11), utcDate(2024, 10, 26, 22)},
        {kSaoPaulo, "10:00 on the day midnight was skipped", utcDate(2018, 11, 4, 12),
         utcDate(2018, 11, 4, 3)},
        {kSaoPaulo, "01:00, the first instant of that day", utcDate(2018, 11, 4, 3),
         utcDate(2018, 11, 4, 3)},
        {kSaoPaulo, "23:30 the second time that evening", utcDate(2018, 2, 18, 2, 30),
         utcDate(2018, 2, 17, 2)},
        {kSaoPaulo, "outside the calendar's range: itself", kOutOfRange, kOutOfRange},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + ": " + c.what);
        const ScopedTimeZoneAndLocale pinned(c.zone, "en_US");
        EXPECT_EQ(lx::toDayOnly(c.date), c.expected);
    }
    const Date notANumber(std::nan(""));
    EXPECT_TRUE(std::isnan(lx::toDayOnly(notANumber).secondsSinceReferenceDate()));
}

TEST(DateExtensions, DaysCountsLocalDaysAcrossClockChanges) {
    struct Case {
        const char* zone;
        const char* what;
        Date after;
        Date date;
        std::int64_t expected;
    };
    const Case cases[] = {
        {kUtc, "36 hours later", utcDate(2024, 5, 1, 20), utcDate(2024, 5, 3, 8), 1},
        {kUtc, "36 hours earlier", utcDate(2024, 5, 3, 8), utcDate(2024, 5, 1, 20), -1},
        {kUtc, "one second short of a day", utcDate(2024, 5, 1, 10), utcDate(2024, 5, 2, 9, 59, 59),
         0},
        {kBerlin, "midnight to midnight over 23 hours", utcDate(2024, 3, 30, 23),
         utcDate(2024, 3, 31, 22), 1},
        {kBerlin, "midnight to midnight over 25 hours", utcDate(2024, 10, 26, 22),
         utcDate(2024, 10, 27, 23), 1},
        {kBerlin, "10:00 to 10:00 over 23 hours", utcDate(2024, 3, 30, 9), utcDate(2024, 3, 31, 8),
         1},
        {kBerlin, "back over 25 hours", utcDate(2024, 10, 27, 23), utcDate(2024, 10, 26, 22), -1},
        {kSaoPaulo, "midnight to the skipped midnight's day start", utcDate(2018, 11, 3, 3),
         utcDate(2018, 11, 4, 3), 1},
        {kSaoPaulo, "that day start to the next midnight (23 hours)", utcDate(2018, 11, 4, 3),
         utcDate(2018, 11, 5, 2), 1},
        {kSaoPaulo, "back from the next midnight", utcDate(2018, 11, 5, 2), utcDate(2018, 11, 4, 3),
         -1},
        {kSaoPaulo, "the whole year 2018", utcDate(2018, 1, 1, 2), utcDate(2019, 1, 1, 2), 365},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + ": " + c.what);
        const ScopedTimeZoneAndLocale pinned(c.zone, "en_US");
        EXPECT_EQ(lx::days(c.date, c.after), c.expected);
    }
}

TEST(DateExtensions, EveryDayOfTheYearIsOneDayAfterTheDayBefore) {
    for (const char* zone : {kBerlin, kSaoPaulo}) {
        SCOPED_TRACE(zone);
        const ScopedTimeZoneAndLocale pinned(zone, "en_US");
        const Date newYear = lx::toDayOnly(utcDate(2018, 1, 1, 12));
        Date day = newYear;
        for (std::int64_t index = 1; index <= 365; ++index) {
            const Date next = lx::toDayOnly(day + LxDays(1));
            ASSERT_EQ(lx::days(next, day), 1) << "after " << lx::toString(day);
            ASSERT_EQ(lx::days(next, newYear), index);
            day = next;
        }
        EXPECT_EQ(lx::toString(day), "2019-01-01");
    }
}

TEST(DateExtensions, IsSameDayComparesLocalDays) {
    const ScopedTimeZoneAndLocale pinned(kBerlin, "en_US");
    const Date midnight = utcDate(2024, 5, 10, 22);
    const Date lastMinute = utcDate(2024, 5, 11, 21, 59);
    EXPECT_TRUE(lx::isSameDay(midnight, lastMinute));
    EXPECT_FALSE(lx::isSameDay(lastMinute, utcDate(2024, 5, 11, 22)));
    // Neither has calendar fields: two absent days count as equal.
    EXPECT_TRUE(lx::isSameDay(kOutOfRange, Date(-1e20)));
    EXPECT_FALSE(lx::isSameDay(kOutOfRange, midnight));
}

TEST(DateExtensions, WeekendIsSaturdayAndSundayWhateverTheFirstWeekday) {
    for (const char* locale : {"en_US", "en_GB"}) {
        SCOPED_TRACE(locale);
        const ScopedTimeZoneAndLocale pinned(kBerlin, locale);
        const Date monday = utcDate(2024, 5, 6, 10);
        for (int offset = 0; offset < 7; ++offset) {
            const Date day = monday + LxDays(offset);
            EXPECT_EQ(lx::isWeekend(day), offset >= 5) << lx::toString(day);
        }
    }
}

TEST(DateExtensions, FirstDayInSameWeekTakesOnlyTheFirstWeekdayOfTheGivenCalendar) {
    const ScopedTimeZoneAndLocale pinned(kBerlin, "en_US");
    auto mondayFirst = platform::Calendar::gregorian();
    mondayFirst.setFirstWeekday(2);
    const Date sunday = utcDate(2024, 5, 12, 15);
    const Date mondayBefore = utcDate(2024, 5, 5, 22);
    EXPECT_EQ(lx::firstDayInSameWeek(sunday, mondayFirst), mondayBefore);
    EXPECT_EQ(lx::firstDayInSameWeek(utcDate(2024, 5, 6, 8), mondayFirst), mondayBefore);
    // The current calendar of en_US starts weeks on Sunday.
    EXPECT_EQ(platform::Calendar::current().firstWeekday(), 1);
    EXPECT_EQ(lx::firstDayInSameWeek(sunday), utcDate(2024, 5, 11, 22));
}

TEST(DateExtensions, MonthBoundariesAndLeapDays) {
    const ScopedTimeZoneAndLocale pinned(kBerlin, "en_US");
    struct Case {
        Date date;
        std::string first;
        std::string last;
    };
    const Case cases[] = {
        {utcDate(2024, 2, 10, 12), "2024-02-01 00:00", "2024-02-29 00:00"},
        {utcDate(2023, 2, 10, 12), "2023-02-01 00:00", "2023-02-28 00:00"},
        {utcDate(2024, 12, 31, 12), "2024-12-01 00:00", "2024-12-31 00:00"},
        {utcDate(2024, 3, 31, 12), "2024-03-01 00:00", "2024-03-31 00:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(lx::toString(c.date));
        EXPECT_EQ(lx::toString(*lx::firstDayInSameMonth(c.date), "yyyy-MM-dd HH:mm"), c.first);
        EXPECT_EQ(lx::toString(*lx::lastDayInSameMonth(c.date), "yyyy-MM-dd HH:mm"), c.last);
    }
    EXPECT_EQ(lx::lastDayInSameMonth(kOutOfRange), std::nullopt);
}

TEST(DateExtensions, AddingMovesThroughTheCalendarWithoutWrapping) {
    const ScopedTimeZoneAndLocale pinned(kBerlin, "en_US");
    const Date lastOfJanuary = utcDate(2024, 1, 31, 9);  // 10:00 local
    EXPECT_EQ(lx::toString(*lx::addingByMonths(lastOfJanuary, 1), "yyyy-MM-dd HH:mm"),
              "2024-02-29 10:00");
    EXPECT_EQ(lx::toString(*lx::addingByYears(utcDate(2024, 2, 29, 9), 1), "yyyy-MM-dd HH:mm"),
              "2025-02-28 10:00");
    EXPECT_EQ(*lx::addingByDays(utcDate(2024, 3, 30, 9), 1), utcDate(2024, 3, 31, 8));
    // Hours are exact intervals, also across the change.
    EXPECT_EQ(*lx::addingByHours(utcDate(2024, 3, 30, 23), 3), utcDate(2024, 3, 31, 2));
    EXPECT_EQ(*lx::addingByMinutes(lastOfJanuary, -90), utcDate(2024, 1, 31, 7, 30));
    EXPECT_EQ(*lx::addingBySeconds(lastOfJanuary, 3'000'000'000),
              lastOfJanuary.addingTimeInterval(3e9));
}

TEST(DateExtensions, AddingGivesNoDateWhereTheCalendarHasNone) {
    const Date day = utcDate(2024, 5, 11);
    // Day offsets come from files; one past 32 bits must not wrap into some other date.
    EXPECT_EQ(lx::addingByDays(day, 99'999'999'999), std::nullopt);
    EXPECT_EQ(lx::addingByDays(day, 4'294'967'297), std::nullopt);
    EXPECT_EQ(lx::addingByYears(day, std::numeric_limits<std::int64_t>::max()), std::nullopt);
    EXPECT_EQ(lx::addingByMonths(day, std::numeric_limits<std::int64_t>::min()), std::nullopt);
    EXPECT_EQ(lx::addingByYears(day, 400'000), std::nullopt);
    EXPECT_EQ(lx::addingBySeconds(day, std::numeric_limits<std::int64_t>::max()), std::nullopt);
    EXPECT_EQ(lx::addingByDays(kOutOfRange, 1), std::nullopt);
    EXPECT_EQ(lx::addingByDays(day, 100'000'000).has_value(), true);
}

TEST(DateExtensions, CreateBuildsMidnightInTheCalendarsZone) {
    const ScopedTimeZoneAndLocale pinned(kBerlin, "en_US");
    const auto gregorian = platform::Calendar::gregorian();
    EXPECT_EQ(lx::create(2000, 1, 1, gregorian), utcDate(1999, 12, 31, 23));
    EXPECT_EQ(lx::create(2024, 13, 1, gregorian), utcDate(2024, 12, 31, 23));
    EXPECT_EQ(lx::create(2018, 11, 4, gregorian), utcDate(2018, 11, 3, 23));
    EXPECT_EQ(lx::create(99'999'999'999, 1, 1, gregorian), std::nullopt);
    EXPECT_EQ(lx::create(2024, 1, std::numeric_limits<std::int64_t>::min(), gregorian),
              std::nullopt);
    EXPECT_EQ(lx::create(0.0), Date::fromUnix(0.0));
    EXPECT_EQ(lx::unix(utcDate(1970, 1, 2)), 86400.0);
}

TEST(DateExtensions, DifferencesInEveryUnit) {
    const ScopedTimeZoneAndLocale pinned(kBerlin, "en_US");
    const Date start = utcDate(2024, 1, 31, 9);
    const Date end = utcDate(2025, 3, 1, 8, 30);  // 2025-03-01 09:30 local
    EXPECT_EQ(lx::years(end, start), 1);
    EXPECT_EQ(lx::months(end, start), 13);
    EXPECT_EQ(lx::months(start, end), -13);
    EXPECT_EQ(lx::weeks(end, start), 56);
    EXPECT_EQ(lx::days(end, start), 394);
    // 395 days less half an hour; both ends in winter time.
    EXPECT_EQ(lx::hours(end, start), 395 * 24 - 1);
    EXPECT_EQ(lx::minutes(end, start), 395 * 24 * 60 - 30);
    EXPECT_EQ(lx::seconds(end, start), (395 * 24 * 60 - 30) * 60);
    // Seconds across a century do not fit 32 bits.
    EXPECT_EQ(lx::seconds(utcDate(2100, 1, 1), utcDate(2000, 1, 1)), 3'155'760'000);
}

TEST(DateExtensions, MillisecondsTruncateTowardZeroAndClamp) {
    const Date date = utcDate(2024, 5, 11);
    struct Case {
        double interval;
        std::int64_t expected;
    };
    const Case cases[] = {
        {1.9999, 1999},
        {-1.9999, -1999},
        {0.0, 0},
        {1e300, std::numeric_limits<std::int64_t>::max()},
        {-1e300, std::numeric_limits<std::int64_t>::min()},
        {std::nan(""), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval);
        EXPECT_EQ(lx::milliseconds(date.addingTimeInterval(c.interval), date), c.expected);
    }
}

TEST(DateExtensions, ComponentsInTheCurrentZone) {
    const ScopedTimeZoneAndLocale pinned(kSaoPaulo, "en_US");
    const Date date = utcDate(2018, 11, 4, 12, 20, 30);  // 10:20:30 local
    EXPECT_EQ(lx::getComponents(date), (platform::DateComponents{2018, 11, 4, 10, 20, 30}));
    EXPECT_EQ(lx::getComponents(kOutOfRange), platform::DateComponents{});
    EXPECT_EQ(lx::year(date), 2018);
    EXPECT_EQ(lx::month(date), 11);
    EXPECT_EQ(lx::day(date), 4);
    EXPECT_EQ(lx::hour(date), 10);
    EXPECT_EQ(lx::minute(date), 20);
    EXPECT_EQ(lx::second(date), 30);
    EXPECT_EQ(lx::weekday(date), 1);  // a Sunday
    EXPECT_EQ(lx::weekOfMonth(date), 2);
    EXPECT_EQ(lx::weekOfYear(date), 45);
    EXPECT_EQ(lx::getComponent(date, platform::CalendarUnit::day), 4);
}

TEST(DateExtensions, TextsInTheCurrentLocale) {
    const ScopedTimeZoneAndLocale pinned(kBerlin, "en_US");
    const Date date = utcDate(2024, 5, 11, 8, 5);
    EXPECT_EQ(lx::toString(date, lx::DateStyle::medium, lx::DateStyle::none, false),
              "May 11, 2024");
    EXPECT_EQ(lx::toString(date), "2024-05-11");
    EXPECT_EQ(lx::toString(date, "yyyy-MM-dd'T'HH:mm:ss"), "2024-05-11T10:05:00");
    EXPECT_EQ(lx::toString(Date::now(), lx::DateStyle::medium, lx::DateStyle::none, true), "Today");
    EXPECT_EQ(lx::toString(date, lx::DateStyle::none, lx::DateStyle::none), "");
    EXPECT_EQ(lx::parse("2024-05-11 10:05", "yyyy-MM-dd HH:mm"), date);
    EXPECT_EQ(lx::parse("2024-05-11", "yyyy-MM-dd HH:mm"), std::nullopt);
}

}  // namespace
