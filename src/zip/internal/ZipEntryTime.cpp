#include "zip/internal/ZipEntryTime.h"

#include "platform/foundation/Calendar.h"

namespace zip_internal {

tm_zip zipEntryTime(platform::Date date) {
    const platform::DateComponents parts = platform::Calendar::current().components(date);
    if (!parts.year || *parts.year < 1980) {
        return tm_zip{0, 0, 0, 1, 0, 1980};
    }
    if (*parts.year > 2107) {
        return tm_zip{58, 59, 23, 31, 11, 2107};
    }
    return tm_zip{
        static_cast<uInt>(parts.second.value_or(0)),    static_cast<uInt>(parts.minute.value_or(0)),
        static_cast<uInt>(parts.hour.value_or(0)),      static_cast<uInt>(parts.day.value_or(1)),
        static_cast<uInt>(parts.month.value_or(1) - 1), static_cast<uInt>(*parts.year)};
}

}  // namespace zip_internal
