#include "utility/LocalDateFormatter.h"

#include "platform/foundation/Calendar.h"

namespace {

using Style = platform::DateFormatter::Style;

std::string dateText(platform::Date date, Style dateStyle) {
    return platform::DateFormatter(dateStyle, Style::none).format(date);
}

}  // namespace

std::string LocalDateFormatter::toLongDateString(platform::Date date) const {
    return dateText(date, Style::long_);
}

std::string LocalDateFormatter::toMediumDateString(platform::Date date) const {
    return dateText(date, Style::medium);
}

std::string LocalDateFormatter::toShortDateString(platform::Date date) const {
    return dateText(date, Style::short_);
}

std::string LocalDateFormatter::toYearMonthDateString(platform::Date date) {
    if (_yearMonthDateFormat == nullptr) {
        // A locale without a pattern for the template leaves the pattern empty: empty texts.
        _yearMonthDateFormat = std::make_unique<platform::DateFormatter>(
            platform::DateFormatter::patternFromTemplate("MMM yyyy").value_or(""));
    }
    return _yearMonthDateFormat->format(date);
}

std::vector<std::string> LocalDateFormatter::getMonthNames() {
    if (!_monthNames) {
        _monthNames = platform::Calendar::current().shortMonthSymbols();
    }
    return *_monthNames;
}
