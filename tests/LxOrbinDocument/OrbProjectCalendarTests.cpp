#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbProjectCalendar.h"
#include "LxOrbinDocument/Model/Project/OrbinDocumentConfig.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateContext.h"
#include "support/UtcDate.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

using platform::Date;
using platform::ScopedTimeZoneAndLocale;

// Berlin's clocks change at 02:00; until 2019 Sao Paulo's changed at midnight, so that
// 2018-11-04 began at 01:00.
const char* const kZones[] = {"UTC", "Europe/Berlin", "America/Sao_Paulo"};

// The instant of a local wall-clock time in the pinned zone (the first instant of a day whose
// midnight was skipped).
Date local(int year, int month, int day, int hour = 0) {
    return platform::Calendar::current()
        .date({.year = year, .month = month, .day = day, .hour = hour})
        .value();
}

std::shared_ptr<OrbProjectCalendar> january2024(std::string_view singularities = "") {
    return OrbProjectCalendar::create(local(2024, 1, 1), local(2024, 1, 31), singularities);
}

// Every item's index is the number of working days before it.
void expectConsistentMap(const OrbProjectCalendar& calendar) {
    const auto items = calendar.mappings();
    ASSERT_EQ(static_cast<std::int64_t>(items.size()),
              lx::days(calendar.end(), calendar.start()) + 1);
    std::int64_t before = 0;
    for (const auto& item : items) {
        ASSERT_EQ(item.workingDayIndex, before);
        before += item.isWorkingDay ? 1 : 0;
    }
}

TEST(OrbProjectCalendar, ExceptionStringReadsDayOffsetsAndWritesThemSorted) {
    struct Case {
        std::string singularities;
        std::vector<std::int64_t> offsets;  // as read, in order
        std::optional<std::string> rowData;
    };
    const Case cases[] = {
        {"8766;8767", {8766, 8767}, "8766;8767"},
        {"8767;8766", {8767, 8766}, "8766;8767"},
        {"", {}, std::nullopt},
        {"  ", {}, std::nullopt},
        {"\n", {}, std::nullopt},
        {";5;x;;7", {5, 7}, "5;7"},
        {"-3", {-3}, "-3"},
        {"+5; 5;5 ;0x5;5.0", {5}, "5"},
        {"8766;8766", {8766, 8766}, "8766;8766"},
        {"6882", {6882}, "6882"},  // 2018-11-04, whose midnight Sao Paulo skipped
        // Days outside the document date range, and offsets no calendar can reach.
        {"80000;-40000;8766", {8766}, "8766"},
        {"99999999999999999999;9223372036854775807;-9223372036854775808;1", {1}, "1"},
    };
    for (const char* zone : kZones) {
        const ScopedTimeZoneAndLocale pinned(zone, "en_US");
        const Date epoch = local(2000, 1, 1);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(zone) + " [" + c.singularities + "]");
            const auto calendar = january2024(c.singularities);
            std::vector<Date> expected;
            for (const std::int64_t offset : c.offsets) {
                expected.push_back(lx::toDayOnly(epoch + LxDays(offset)));
            }
            EXPECT_EQ(calendar->exceptions(), expected);
            EXPECT_EQ(calendar->getExceptionDayIndexsList(), c.offsets);
            EXPECT_EQ(calendar->rowData(), c.rowData);
        }
    }
}

// An offset counts calendar dates from 2000-01-01, so it names the same date in every zone, also
// across a day the zone skipped (Apia and Fakaofo skipped 2011-12-30, Kiritimati 1994-12-31,
// Kwajalein 1993-08-21), and reading and writing it back undo each other.
TEST(OrbProjectCalendar, ExceptionOffsetsNameTheSameDateInEveryZone) {
    using namespace std::chrono;
    const char* const zones[] = {"UTC",
                                 "Europe/Berlin",
                                 "America/Sao_Paulo",
                                 "Pacific/Apia",
                                 "Pacific/Kiritimati",
                                 "Pacific/Kwajalein",
                                 "Pacific/Fakaofo"};
    const year_month_day days[] = {
        2013y / 9 / 9,  2012y / 1 / 1,  2011y / 12 / 31, 2011y / 12 / 29,
        2024y / 1 / 1,  1995y / 1 / 1,  1994y / 12 / 30, 1993y / 8 / 22,
        1993y / 8 / 20, 1990y / 6 / 15, 2018y / 11 / 4,  2000y / 1 / 1,
    };
    for (const char* zone : zones) {
        const ScopedTimeZoneAndLocale pinned(zone, "en_US");
        for (const year_month_day& day : days) {
            const auto offset = (sys_days(day) - sys_days(2000y / 1 / 1)).count();
            const std::string text = std::to_string(offset);
            SCOPED_TRACE(std::string(zone) + " [" + text + "]");
            const auto calendar = january2024(text);
            ASSERT_EQ(calendar->exceptions().size(), 1u);
            const Date read = calendar->exceptions().front();
            EXPECT_EQ(lx::year(read), static_cast<int>(day.year()));
            EXPECT_EQ(lx::month(read), static_cast<int>(static_cast<unsigned>(day.month())));
            EXPECT_EQ(lx::day(read), static_cast<int>(static_cast<unsigned>(day.day())));
            EXPECT_EQ(calendar->rowData(), text);
            EXPECT_EQ(january2024(calendar->rowData().value_or(""))->rowData(), text);
        }
    }
}

TEST(OrbProjectCalendar, ExceptionStringNamesLocalDays) {
    const ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const auto calendar = january2024("8766;-3");
    EXPECT_EQ(calendar->exceptions(),
              (std::vector{utcDate(2023, 12, 31, 23), utcDate(1999, 12, 28, 23)}));
}

TEST(OrbProjectCalendar, MapReachesAYearBeyondEitherEnd) {
    for (const char* zone : kZones) {
        SCOPED_TRACE(zone);
        const ScopedTimeZoneAndLocale pinned(zone, "en_US");
        const auto calendar =
            OrbProjectCalendar::create(local(2024, 3, 10, 14), local(2024, 3, 1), "");
        EXPECT_EQ(calendar->start(), local(2023, 3, 1));
        EXPECT_EQ(calendar->end(), local(2025, 3, 10));
        expectConsistentMap(*calendar);
    }
}

TEST(OrbProjectCalendar, CountsWorkingDaysFromStartDayToFinishDay) {
    struct Case {
        const char* what;
        Date start;
        Date finish;
        std::int64_t expected;
    };
    for (const char* zone : kZones) {
        const ScopedTimeZoneAndLocale pinned(zone, "en_US");
        const Case cases[] = {
            {"a week", local(2024, 1, 8), local(2024, 1, 15), 5},
            {"backwards", local(2024, 1, 15), local(2024, 1, 8), -5},
            {"a weekend", local(2024, 1, 13), local(2024, 1, 14), 0},
            {"times of day do not count", local(2024, 1, 8, 18), local(2024, 1, 15, 9), 5},
            {"a whole year", local(2024, 1, 1), local(2025, 1, 1), 262},
            {"over the spring change in Europe", local(2024, 3, 25), local(2024, 4, 1), 5},
            {"over the autumn change in Europe", local(2024, 10, 21), local(2024, 10, 28), 5},
            {"over the skipped midnight in Brazil", local(2018, 11, 1), local(2018, 11, 8), 5},
            {"outside the document date range", local(2024, 1, 8), local(2200, 1, 8), 0},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(zone) + ": " + c.what);
            const auto calendar = january2024();
            EXPECT_EQ(calendar->countOfWorkingDays(c.start, c.finish), c.expected);
            expectConsistentMap(*calendar);
        }
    }
}

TEST(OrbProjectCalendar, ExceptionDaysFlipTheirDayEitherWay) {
    struct Case {
        const char* singularities;
        bool saturday13;
        bool wednesday10;
        std::int64_t weekFromMonday8;
    };
    // 8778 is Saturday 2024-01-13, 8775 Wednesday 2024-01-10.
    const Case cases[] = {
        {"", false, true, 5},          {"8778", true, true, 6},       {"8775", false, false, 4},
        {"8778;8775", true, false, 5}, {"8778;8778", false, true, 5},
    };
    for (const char* zone : kZones) {
        const ScopedTimeZoneAndLocale pinned(zone, "en_US");
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(zone) + " [" + c.singularities + "]");
            const auto calendar = january2024(c.singularities);
            EXPECT_EQ(calendar->isWorkingDay(local(2024, 1, 13, 15)), c.saturday13);
            EXPECT_EQ(calendar->isWorkingDay(local(2024, 1, 10)), c.wednesday10);
            EXPECT_EQ(calendar->countOfWorkingDays(local(2024, 1, 8), local(2024, 1, 15)),
                      c.weekFromMonday8);
        }
    }
}

TEST(OrbProjectCalendar, AddedExceptionDayCountsOnlyFromTheNextRebuild) {
    const auto calendar = january2024();
    calendar->addExceptionDay(local(2024, 1, 10));
    EXPECT_EQ(calendar->rowData(), "8775");
    EXPECT_TRUE(calendar->isWorkingDay(local(2024, 1, 10)));

    calendar->buildDayMappings();
    EXPECT_FALSE(calendar->isWorkingDay(local(2024, 1, 10)));
}

TEST(OrbProjectCalendar, AddExceptionDayKeepsTheDateAndRefusesItsDayTwiceAndFarDates) {
    const auto calendar = january2024("8775");
    calendar->addExceptionDay(local(2024, 1, 10, 18));
    calendar->addExceptionDay(local(2024, 1, 11, 18));
    calendar->addExceptionDay(local(2300, 1, 11));
    calendar->addExceptionDay(Date(std::nan("")));
    EXPECT_EQ(calendar->exceptions(), (std::vector{local(2024, 1, 10), local(2024, 1, 11, 18)}));
}

TEST(OrbProjectCalendar, DayBefore2000WithATimeOfDayIsWrittenAsItsOwnDay) {
    const auto calendar = january2024();
    calendar->addExceptionDay(local(1999, 12, 29, 18));
    calendar->addExceptionDay(local(2000, 1, 2, 18));
    EXPECT_EQ(calendar->rowData(), "-3;1");
    EXPECT_EQ(calendar->getExceptionDayIndexsList(), (std::vector<std::int64_t>{-3, 1}));
}

TEST(OrbProjectCalendar, ReplacingExceptionsRebuildsTheMap) {
    const auto calendar = january2024("8778");
    calendar->setDayExceptionString("8775");
    EXPECT_FALSE(calendar->isWorkingDay(local(2024, 1, 13)));
    EXPECT_FALSE(calendar->isWorkingDay(local(2024, 1, 10)));

    calendar->setDayExceptions({local(2024, 1, 13, 9), local(2024, 1, 13, 9), local(2024, 1, 9)});
    EXPECT_EQ(calendar->exceptions(), (std::vector{local(2024, 1, 13, 9), local(2024, 1, 9)}));
    EXPECT_TRUE(calendar->isWorkingDay(local(2024, 1, 13)));
    EXPECT_TRUE(calendar->isWorkingDay(local(2024, 1, 10)));
    EXPECT_FALSE(calendar->isWorkingDay(local(2024, 1, 9)));
}

TEST(OrbProjectCalendar, ChangeWorkingDayTogglesTheDayInTheList) {
    const auto calendar = january2024("8766;8775");
    calendar->changeWorkingDay(local(2024, 1, 13, 15));
    EXPECT_TRUE(calendar->isWorkingDay(local(2024, 1, 13)));
    calendar->changeWorkingDay(local(2024, 1, 13, 8));
    EXPECT_FALSE(calendar->isWorkingDay(local(2024, 1, 13)));
    EXPECT_EQ(calendar->rowData(), "8766;8775");

    // A listed midnight is removed, then appended at the end.
    calendar->changeWorkingDay(local(2024, 1, 1, 12));
    EXPECT_TRUE(calendar->isWorkingDay(local(2024, 1, 1)));
    calendar->changeWorkingDay(local(2024, 1, 1));
    EXPECT_EQ(calendar->exceptions(), (std::vector{local(2024, 1, 10), local(2024, 1, 1)}));
    EXPECT_FALSE(calendar->isWorkingDay(local(2024, 1, 1)));

    // A day outside the map widens it to take the day in.
    calendar->changeWorkingDay(local(2030, 6, 4));
    EXPECT_FALSE(calendar->isWorkingDay(local(2030, 6, 4)));
    EXPECT_EQ(calendar->end(), local(2031, 6, 4));
}

TEST(OrbProjectCalendar, QuestionsOutsideTheMapWidenItByAYearBeyond) {
    const auto calendar = january2024();
    EXPECT_TRUE(calendar->isWorkingDay(local(2030, 1, 31)));  // a Thursday
    EXPECT_EQ(calendar->start(), local(2022, 1, 1));
    EXPECT_EQ(calendar->end(), local(2031, 1, 31));

    EXPECT_FALSE(calendar->isWorkingDay(local(2015, 3, 1)));  // a Sunday
    EXPECT_EQ(calendar->start(), local(2014, 3, 1));
    EXPECT_EQ(calendar->end(), local(2032, 1, 31));
    expectConsistentMap(*calendar);
}

TEST(OrbProjectCalendar, DaysAfterASkippedMidnightKeepTheirOwnStatus) {
    const ScopedTimeZoneAndLocale pinned("America/Sao_Paulo", "en_US");
    // The map begins on 2018-11-04, whose first instant is 01:00.
    const auto fromSkippedDay =
        OrbProjectCalendar::create(local(2019, 11, 4), local(2019, 11, 4), "");
    EXPECT_EQ(fromSkippedDay->start(), utcDate(2018, 11, 4, 3));
    EXPECT_FALSE(fromSkippedDay->isWorkingDay(local(2018, 11, 4)));  // Sunday
    EXPECT_TRUE(fromSkippedDay->isWorkingDay(local(2018, 11, 5)));   // Monday

    // A year before that day's 01:00 is not the start of 2017-11-04: the map still starts
    // at its midnight.
    const auto toSkippedDay =
        OrbProjectCalendar::create(local(2018, 11, 4), local(2018, 11, 4), "");
    EXPECT_EQ(toSkippedDay->start(), local(2017, 11, 4));
    EXPECT_EQ(toSkippedDay->end(), local(2019, 11, 4));
    EXPECT_FALSE(toSkippedDay->isWorkingDay(local(2017, 11, 5)));  // Sunday
    EXPECT_TRUE(toSkippedDay->isWorkingDay(local(2017, 11, 6)));   // Monday
    expectConsistentMap(*toSkippedDay);
}

TEST(OrbProjectCalendar, FinishAfterWorkingDaysIsTheDayAfterTheLastOne) {
    for (const char* zone : kZones) {
        SCOPED_TRACE(zone);
        const ScopedTimeZoneAndLocale pinned(zone, "en_US");
        const auto calendar = january2024();
        const Date friday = local(2024, 1, 12, 9);
        EXPECT_EQ(calendar->getFinishDateFromStartDateByWorkingDays(friday, 3),
                  local(2024, 1, 17, 9));
        EXPECT_EQ(calendar->getFinishDateFromStartDateByWorkingDays(friday, 1),
                  local(2024, 1, 13, 9));
        EXPECT_EQ(calendar->getFinishDateFromStartDateByWorkingDays(friday, 0), friday);
        EXPECT_EQ(calendar->getFinishDateFromStartDateByWorkingDays(friday, -2), friday);
        EXPECT_EQ(calendar->getFinishDateFromStartDateByWorkingDays(local(2018, 10, 31, 9), 5),
                  local(2018, 11, 7, 9));
        // Outside the document date range the days are calendar days.
        EXPECT_EQ(calendar->getFinishDateFromStartDateByWorkingDays(local(2300, 1, 5), 3),
                  local(2300, 1, 8));
    }
}

TEST(OrbProjectCalendar, WalksToWorkingDays) {
    const auto calendar = january2024("8775");
    const Date friday = local(2024, 1, 12, 9);
    EXPECT_EQ(calendar->getWorkingDayByAddWorkingDays(friday, 1), local(2024, 1, 15));
    EXPECT_EQ(calendar->getWorkingDayByAddWorkingDays(local(2024, 1, 13), 0), local(2024, 1, 15));
    EXPECT_EQ(calendar->getWorkingDayByAddWorkingDays(local(2024, 1, 15), -1), local(2024, 1, 12));
    EXPECT_EQ(calendar->getWorkingDayByAddWorkingDays(local(2024, 1, 8), 2), local(2024, 1, 11));

    EXPECT_EQ(calendar->getNextWorkingDayFromDateIncludeCurrent(friday), local(2024, 1, 12));
    EXPECT_EQ(calendar->getNextWorkingDayFromDateIncludeCurrent(local(2024, 1, 14)),
              local(2024, 1, 15));
    EXPECT_EQ(calendar->getPreviousWorkingDayFromDateIncludeCurrent(local(2024, 1, 14)),
              local(2024, 1, 12));
    EXPECT_EQ(calendar->getPreviousWorkingDayFromDateIncludeCurrent(local(2024, 1, 10, 12)),
              local(2024, 1, 9));
}

TEST(OrbProjectCalendar, DatesFarOutsideTheDocumentRangeNeverGrowTheMap) {
    const auto calendar = OrbProjectCalendar::create(Date(1e20), Date(-1e20), "");
    const OrbinDocumentConfig& range = OrbinDocumentConfig::shared();
    EXPECT_EQ(calendar->start(), lx::toDayOnly(range._mindate - LxYears(1)));
    EXPECT_EQ(calendar->end(), lx::toDayOnly(range._maxdate + LxYears(1)));

    const std::size_t size = calendar->mappings().size();
    EXPECT_TRUE(calendar->isWorkingDay(local(3000, 1, 1)));  // a Wednesday
    EXPECT_FALSE(calendar->isWorkingDay(local(3000, 1, 4)));
    calendar->changeWorkingDay(local(3000, 1, 4));
    EXPECT_TRUE(calendar->isWorkingDay(local(3000, 1, 4)));
    EXPECT_EQ(calendar->getNextWorkingDayFromDateIncludeCurrent(local(3000, 1, 5)),
              local(3000, 1, 6));
    calendar->isWorkingDay(Date(1e20));
    calendar->getNextWorkingDayFromDateIncludeCurrent(Date(1e20));
    calendar->getPreviousWorkingDayFromDateIncludeCurrent(Date(-1e20));
    calendar->isWorkingDay(Date(std::nan("")));
    EXPECT_EQ(calendar->mappings().size(), size);
    EXPECT_EQ(calendar->countOfWorkingDays(Date(std::nan("")), local(2024, 1, 1)), 0);
}

TEST(OrbProjectCalendar, CloneReachesAYearFurtherAndReadsItsDaysAgain) {
    const auto calendar = january2024("8775");
    calendar->addExceptionDay(local(2024, 1, 13, 18));
    const auto copy = calendar->clone();
    EXPECT_EQ(copy->start(), local(2022, 1, 1));
    EXPECT_EQ(copy->end(), local(2026, 1, 31));
    EXPECT_EQ(copy->exceptions(), (std::vector{local(2024, 1, 10), local(2024, 1, 13)}));
    EXPECT_TRUE(copy->isWorkingDay(local(2024, 1, 13)));

    copy->changeWorkingDay(local(2024, 1, 10));
    EXPECT_EQ(calendar->rowData(), "8775;8778");
    EXPECT_EQ(copy->rowData(), "8778");
}

TEST(OrbProjectCalendar, ThreadsMayAskWhileTheMapWidens) {
    const auto calendar = january2024();
    std::vector<std::thread> threads;
    for (int offset = 0; offset < 4; ++offset) {
        threads.emplace_back([&calendar, offset] {
            for (int year = 2024; year < 2060; ++year) {
                const int sign = offset % 2 == 0 ? 1 : -1;
                const Date monday = utcDate(2024 + sign * (year - 2024), 1, 1) + LxDays(offset);
                calendar->countOfWorkingDays(monday, monday + LxDays(7));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    expectConsistentMap(*calendar);
    EXPECT_EQ(calendar->countOfWorkingDays(utcDate(2059, 1, 5), utcDate(2059, 1, 12)), 5);
}

}  // namespace
