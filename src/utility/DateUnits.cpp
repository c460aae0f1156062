#include "utility/DateUnits.h"

namespace lx::internal {

platform::Date movedBy(platform::Date date, platform::CalendarUnit unit, std::int64_t count) {
    // A zero move must not depend on the calendar: it answers dates the calendar cannot read.
    if (count == 0) {
        return date;
    }
    return platform::Calendar::current().adding(unit, count, date).value_or(date);
}

}  // namespace lx::internal
