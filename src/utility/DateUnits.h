#pragma once

#include <cstdint>
#include <limits>

#include "platform/foundation/Calendar.h"
#include "platform/foundation/Date.h"

// Whole counts of one calendar unit, added to and subtracted from dates in the current calendar:
//   const platform::Date displayedFinish = finish - LxSeconds(1);
//   const platform::Date nextDay = start + LxDays(1);   // same local time, also across DST
// Years, months and days move through the calendar without wrapping (2024-01-31 + LxMonths(1)
// is 2024-02-29) and keep the local time of day; seconds are exact intervals. A count of 0
// answers the date itself without asking any calendar; a move the calendar cannot make (a date
// or result outside its range, a count beyond any supported date, negating the smallest int64)
// answers the date unmoved. Values; any thread.
template <platform::CalendarUnit Unit>
struct LxDateUnit {
    std::int64_t count = 0;

    constexpr LxDateUnit() = default;
    constexpr explicit LxDateUnit(std::int64_t count) : count(count) {}
};

using LxYears = LxDateUnit<platform::CalendarUnit::year>;
using LxMonths = LxDateUnit<platform::CalendarUnit::month>;
using LxDays = LxDateUnit<platform::CalendarUnit::day>;
using LxSeconds = LxDateUnit<platform::CalendarUnit::second>;

namespace lx::internal {
platform::Date movedBy(platform::Date date, platform::CalendarUnit unit, std::int64_t count);
}  // namespace lx::internal

template <platform::CalendarUnit Unit>
platform::Date operator+(platform::Date date, LxDateUnit<Unit> amount) {
    return lx::internal::movedBy(date, Unit, amount.count);
}

template <platform::CalendarUnit Unit>
platform::Date operator-(platform::Date date, LxDateUnit<Unit> amount) {
    if (amount.count == std::numeric_limits<std::int64_t>::min()) {
        return date;
    }
    return lx::internal::movedBy(date, Unit, -amount.count);
}
