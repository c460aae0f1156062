#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"

// Date texts in the current locale: long, medium and short date styles ("May 11, 2024" in
// English medium), month and year ("May 2024"), and the short month names.
//
// The month-and-year pattern and the month names are fixed by the locale current at their first
// use and kept for the object's life. Fills them on first use without a lock: one instance is
// used from one thread at a time.
class LocalDateFormatter {
public:
    std::string toLongDateString(platform::Date date) const;
    std::string toMediumDateString(platform::Date date) const;
    std::string toShortDateString(platform::Date date) const;
    std::string toYearMonthDateString(platform::Date date);
    // 12 abbreviated names, "Jan" ... "Dec" in English.
    std::vector<std::string> getMonthNames();

private:
    std::unique_ptr<platform::DateFormatter> _yearMonthDateFormat;
    std::optional<std::vector<std::string>> _monthNames;
};
