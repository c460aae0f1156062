#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"
#include "support/UtcDate.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

using platform::Date;

TEST(DateUnits, ZeroMovesNothingWithoutAskingTheCalendar) {
    const Date farAway(1e300);
    EXPECT_EQ(farAway + LxDays(0), farAway);
    EXPECT_EQ(farAway - LxDays(0), farAway);
    EXPECT_EQ(farAway + LxYears(), farAway);
    // With a count the calendar is asked, cannot answer, and the date stays where it was.
    EXPECT_EQ(farAway + LxDays(1), farAway);
}

TEST(DateUnits, CalendarUnitsKeepTheLocalTimeAndClampToMonthEnds) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const auto local = [](Date date) { return lx::toString(date, "yyyy-MM-dd HH:mm:ss"); };
    struct Case {
        const char* what;
        Date moved;
        const char* expected;
    };
    const Case cases[] = {
        {"Jan 31 + 1 month", utcDate(2024, 1, 31, 9) + LxMonths(1), "2024-02-29 10:00:00"},
        {"Mar 31 - 1 month", utcDate(2024, 3, 31, 8) - LxMonths(1), "2024-02-29 10:00:00"},
        {"- 100 years", utcDate(2024, 3, 1, 9) - LxYears(100), "1924-03-01 10:00:00"},
        {"Feb 29 + 1 year", utcDate(2024, 2, 29, 9) + LxYears(1), "2025-02-28 10:00:00"},
        {"+ 1 day into summer time", utcDate(2024, 3, 30, 9) + LxDays(1), "2024-03-31 10:00:00"},
        {"+ 1 day out of summer time", utcDate(2024, 10, 26, 8) + LxDays(1), "2024-10-27 10:00:00"},
        {"- 1 second at midnight", utcDate(2024, 5, 10, 22) - LxSeconds(1), "2024-05-10 23:59:59"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(local(c.moved), c.expected);
    }
    const Date date = utcDate(2024, 3, 30, 9);
    EXPECT_EQ((date + LxDays(1)).timeIntervalSince(date), 23 * 3600.0);
    EXPECT_EQ(date + LxDays(-2), date - LxDays(2));
}

TEST(DateUnits, SecondsAreExactIntervalsBeyondThirtyTwoBits) {
    const Date date = utcDate(2024, 5, 11);
    EXPECT_EQ(date + LxSeconds(3'000'000'000), date.addingTimeInterval(3e9));
    EXPECT_EQ(date - LxSeconds(3'000'000'000), date.addingTimeInterval(-3e9));
}

TEST(DateUnits, MovesTheCalendarCannotMakeLeaveTheDateUnmoved) {
    const Date date = utcDate(2024, 5, 11);
    constexpr auto smallest = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(date - LxDays(smallest), date);
    EXPECT_EQ(date - LxSeconds(smallest), date);
    EXPECT_EQ(date + LxDays(99'999'999'999), date);
    EXPECT_EQ(date + LxYears(std::numeric_limits<std::int64_t>::max()), date);
}

}  // namespace
