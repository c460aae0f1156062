#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"
#include "support/UtcDate.h"
#include "utility/LocalDateFormatter.h"

namespace {

TEST(LocalDateFormatter, EnglishTexts) {
    const platform::ScopedTimeZoneAndLocale pinned("America/Sao_Paulo", "en_US");
    const platform::Date date = utcDate(2024, 5, 11, 12);
    LocalDateFormatter formatter;
    EXPECT_EQ(formatter.toLongDateString(date), "May 11, 2024");
    EXPECT_EQ(formatter.toMediumDateString(date), "May 11, 2024");
    EXPECT_EQ(formatter.toShortDateString(date), "5/11/24");
    EXPECT_EQ(formatter.toYearMonthDateString(date), "May 2024");
    EXPECT_EQ(formatter.toYearMonthDateString(utcDate(2024, 12, 1, 12)), "Dec 2024");

    const std::vector<std::string> names = formatter.getMonthNames();
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names.front(), "Jan");
    EXPECT_EQ(names.back(), "Dec");
}

TEST(LocalDateFormatter, TextsFollowTheLocale) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "de_DE");
    const platform::Date date = utcDate(2024, 5, 11, 12);
    LocalDateFormatter formatter;
    EXPECT_EQ(formatter.toMediumDateString(date), "11.05.2024");
    EXPECT_EQ(formatter.toYearMonthDateString(date), "Mai 2024");
    EXPECT_EQ(formatter.getMonthNames().at(2), "März");
}

}  // namespace
