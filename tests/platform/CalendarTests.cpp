#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateContext.h"
#include "support/UtcDate.h"

namespace {

using platform::Calendar;
using platform::CalendarUnit;
using platform::Date;

TEST(Calendar, FollowsTheCurrentZoneOnEveryThread) {
    const Date noon = utcDate(2024, 5, 11, 12);
    const auto calendar = Calendar::current();
    EXPECT_EQ(calendar.startOfDay(noon), utcDate(2024, 5, 11));
    {
        // The same thread's cached calendar must notice the change.
        const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_GB");
        EXPECT_EQ(calendar.startOfDay(noon), utcDate(2024, 5, 10, 22));
        EXPECT_EQ(calendar.firstWeekday(), 2);

        std::optional<Date> onAnotherThread;
        std::thread([&] { onAnotherThread = calendar.startOfDay(noon); }).join();
        EXPECT_EQ(onAnotherThread, utcDate(2024, 5, 10, 22));
    }
    EXPECT_EQ(calendar.startOfDay(noon), utcDate(2024, 5, 11));
    EXPECT_EQ(calendar.firstWeekday(), 1);
}

TEST(Calendar, SupportedRangeBoundsEveryOperation) {
    const auto calendar = Calendar::current();
    const Date nan(std::nan(""));
    const Date far(2e13);
    for (const Date date : {nan, far, Date(-2e13), Date(std::numeric_limits<double>::infinity())}) {
        SCOPED_TRACE(date);
        EXPECT_FALSE(Calendar::isSupported(date));
        EXPECT_EQ(calendar.startOfDay(date), std::nullopt);
        EXPECT_EQ(calendar.adding(CalendarUnit::second, 1, date), std::nullopt);
        EXPECT_EQ(calendar.components(date), platform::DateComponents{});
    }
    // Plain-number answers read the nearest end of the range.
    EXPECT_EQ(calendar.component(CalendarUnit::year, nan), 2001);
    EXPECT_GT(calendar.component(CalendarUnit::year, far), 300'000);
    EXPECT_LT(calendar.difference(CalendarUnit::day, Date(), far), 130'000'000);
    EXPECT_EQ(calendar.difference(CalendarUnit::day, nan, Date()), 0);

    EXPECT_EQ(calendar.date({.year = 300'000, .month = 1, .day = 1}).has_value(), true);
    EXPECT_EQ(calendar.date({.year = 400'000, .month = 1, .day = 1}), std::nullopt);
    EXPECT_EQ(calendar.date({.year = 2024, .hour = std::numeric_limits<std::int64_t>::max()}),
              std::nullopt);
}

TEST(Calendar, ComponentsCarryOverAndSkippedTimesMoveForward) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const auto calendar = Calendar::current();
    EXPECT_EQ(calendar.date({.year = 2024, .month = 2, .day = 30}), utcDate(2024, 2, 29, 23));
    EXPECT_EQ(calendar.date({.year = 2024, .month = 0, .day = 1}), utcDate(2023, 11, 30, 23));
    // 02:30 did not happen on 2024-03-31: it reads as 03:30 summer time.
    EXPECT_EQ(calendar.date({.year = 2024, .month = 3, .day = 31, .hour = 2, .minute = 30}),
              utcDate(2024, 3, 31, 1, 30));
    // 02:30 happened twice on 2024-10-27: the first one.
    EXPECT_EQ(calendar.date({.year = 2024, .month = 10, .day = 27, .hour = 2, .minute = 30}),
              utcDate(2024, 10, 27, 0, 30));
    // Proleptic years: 1 BC is year 0.
    const auto beforeChrist = calendar.date({.year = 0, .month = 6, .day = 1});
    ASSERT_TRUE(beforeChrist.has_value());
    EXPECT_EQ(calendar.component(CalendarUnit::year, *beforeChrist), 0);
    EXPECT_EQ(calendar.startOfDay(*beforeChrist), beforeChrist);
}

TEST(Calendar, ShortMonthSymbolsOfTheCurrentLocale) {
    const platform::ScopedTimeZoneAndLocale pinned("UTC", "fr_FR");
    const auto names = Calendar::current().shortMonthSymbols();
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names[1], "févr.");
}

}  // namespace
