// The calendar operations the model runs for every task and every day of a calendar: start of
// day, adding days, days between. Each runs beside its raw baseline: one ICU field computation
// on a reused calendar (the work no calendar answer can avoid) and plain UTC arithmetic (what a
// zone-blind shortcut would cost).
#include <cmath>
#include <unicode/gregocal.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/foundation/DateContext.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

using platform::Date;

constexpr const char* kZone = "Europe/Berlin";
constexpr double kHour = 3600.0;
constexpr double kDay = 86400.0;
// 2024-01-01 00:00 UTC.
const Date kStart = Date::fromUnix(1704067200.0);

// A different hour of a different day on each call, so no cache of the last answer helps.
Date nextDate(Date date) {
    return date.addingTimeInterval(kDay + kHour);
}

void BM_StartOfDay(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned(kZone, "en_US");
    Date date = kStart;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lx::toDayOnly(date));
        date = nextDate(date);
    }
}
BENCHMARK(BM_StartOfDay);

void BM_AddingOneDay(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned(kZone, "en_US");
    Date date = kStart;
    for (auto _ : state) {
        benchmark::DoNotOptimize(date + LxDays(1));
        date = nextDate(date);
    }
}
BENCHMARK(BM_AddingOneDay);

void BM_DaysBetweenDays(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned(kZone, "en_US");
    const Date from = lx::toDayOnly(kStart);
    std::vector<Date> days;
    for (Date day = from; days.size() < 1000; day = day + LxDays(1)) {
        days.push_back(day);
    }
    std::size_t index = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lx::days(days[index], from));
        index = (index + 1) % days.size();
    }
}
BENCHMARK(BM_DaysBetweenDays);

void BM_BaselineIcuFieldsOfOneInstant(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned(kZone, "en_US");
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(icu::Locale::getDefault(), status);
    Date date = kStart;
    for (auto _ : state) {
        calendar.setTime(date.unixSeconds() * 1000.0, status);
        benchmark::DoNotOptimize(calendar.get(UCAL_JULIAN_DAY, status));
        date = nextDate(date);
    }
}
BENCHMARK(BM_BaselineIcuFieldsOfOneInstant);

void BM_BaselineUtcArithmetic(benchmark::State& state) {
    Date date = kStart;
    for (auto _ : state) {
        const double seconds = date.secondsSinceReferenceDate();
        benchmark::DoNotOptimize(Date(std::floor(seconds / kDay) * kDay));
        date = nextDate(date);
    }
}
BENCHMARK(BM_BaselineUtcArithmetic);

}  // namespace

BENCHMARK_MAIN();
