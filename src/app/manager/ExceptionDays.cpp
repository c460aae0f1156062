#include "app/manager/ExceptionDays.h"

#include <algorithm>

#include "utility/DateExtensions.h"

bool containsSameDay(const std::vector<platform::Date>& days, platform::Date date) {
    return std::ranges::any_of(days,
                               [date](platform::Date day) { return lx::isSameDay(day, date); });
}
