#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"
#include "platform/foundation/DateFormatter.h"
#include "support/UtcDate.h"

namespace {

using platform::Date;
using platform::DateFormatter;

constexpr const char* kFullPattern = "yyyy-MM-dd'T'HH:mm:ss";

TEST(DateFormatter, ParsingIsStrictAboutTheWholeText) {
    const DateFormatter full(kFullPattern);
    struct Case {
        const char* text;
        std::optional<Date> expected;
    };
    const Case cases[] = {
        {"2024-05-11T10:20:30", utcDate(2024, 5, 11, 10, 20, 30)},
        {"2024-05-11T10:20:30Z", std::nullopt},
        {"2024-05-11T10:20:30.5", std::nullopt},
        {"2024-05-11 10:20:30", std::nullopt},
        {"2024-05-11", std::nullopt},
        {"2024-02-30T00:00:00", std::nullopt},
        {"2024-13-01T00:00:00", std::nullopt},
        {"2024-05-11T24:00:00", std::nullopt},
        {"", std::nullopt},
        {"9999999-01-01T00:00:00", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(full.parse(c.text), c.expected);
    }
    EXPECT_EQ(full.parse(std::string(5000, '1')), std::nullopt);
}

TEST(DateFormatter, ClockChangesInTheCurrentZone) {
    struct Case {
        const char* zone;
        const char* pattern;
        const char* text;
        Date expected;
    };
    const Case cases[] = {
        // The day whose midnight was skipped starts at 01:00 (-02:00).
        {"America/Sao_Paulo", "yyyy-MM-dd", "2018-11-04", utcDate(2018, 11, 4, 3)},
        {"America/Sao_Paulo", kFullPattern, "2018-11-04T00:30:00", utcDate(2018, 11, 4, 3, 30)},
        {"America/Sao_Paulo", "yyyy-MM-dd", "2018-11-05", utcDate(2018, 11, 5, 2)},
        {"Europe/Berlin", kFullPattern, "2024-03-31T02:30:00", utcDate(2024, 3, 31, 1, 30)},
        {"Europe/Berlin", kFullPattern, "2024-10-27T02:30:00", utcDate(2024, 10, 27, 0, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.zone) + " " + c.text);
        const platform::ScopedTimeZoneAndLocale pinned(c.zone, "en_US");
        EXPECT_EQ(DateFormatter(c.pattern).parse(c.text), c.expected);
    }
    const platform::ScopedTimeZoneAndLocale pinned("America/Sao_Paulo", "en_US");
    EXPECT_EQ(DateFormatter("yyyy-MM-dd").parse("2018-11-31"), std::nullopt);
}

TEST(DateFormatter, OneFormatterFollowsZoneAndLocaleChanges) {
    const DateFormatter medium(DateFormatter::Style::medium, DateFormatter::Style::short_);
    const Date date = utcDate(2024, 5, 11, 22, 30);
    EXPECT_EQ(medium.format(date), "May 11, 2024, 10:30\u202fPM");
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "de_DE");
    EXPECT_EQ(medium.format(date), "12.05.2024, 00:30");
    EXPECT_EQ(medium.parse("12.05.2024, 00:30"), date);
}

TEST(DateFormatter, AFixedLocaleKeepsItsDigitsInAnyCurrentLocale) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "ar_EG");
    const Date date = utcDate(2024, 5, 11, 8, 30);
    EXPECT_NE(DateFormatter(kFullPattern).format(date), "2024-05-11T10:30:00");
    const DateFormatter fixed(kFullPattern, "en_US_POSIX");
    EXPECT_EQ(fixed.format(date), "2024-05-11T10:30:00");
    EXPECT_EQ(fixed.parse("2024-05-11T10:30:00"), date);
}

TEST(DateFormatter, SharedBetweenThreads) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const DateFormatter full(kFullPattern);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&full, &mismatches, t] {
            for (int hour = 0; hour < 500; ++hour) {
                const Date date = utcDate(2024, 1, 1, t * 1000 + hour);
                const auto text = full.format(date);
                mismatches[t] += full.parse(text) != date;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST(DateFormatter, EdgesOfFormatting) {
    EXPECT_EQ(DateFormatter(kFullPattern).format(Date(1e300)), "");
    EXPECT_EQ(DateFormatter(DateFormatter::Style::none, DateFormatter::Style::none)
                  .format(utcDate(2024, 5, 11)),
              "");
    EXPECT_EQ(DateFormatter::patternFromTemplate("MMM yyyy"), "MMM yyyy");
    const platform::ScopedTimeZoneAndLocale pinned("Asia/Tokyo", "ja_JP");
    EXPECT_EQ(DateFormatter::patternFromTemplate("MMM yyyy"), "yyyy年M月");
}

}  // namespace
