#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Date.h"

namespace platform {

// Turns dates into text and back, in the process's current time zone and locale (DateContext.h)
// and the Gregorian calendar, either by a pattern ("yyyy-MM-dd'T'HH:mm:ss", ICU/Unicode
// pattern syntax) or by date and time styles.
//
// Parsing is strict: the whole text must match the pattern and every field must be valid
// ("2024-02-30" is refused). A local time that the clocks skipped reads as the same time after
// the change, so a day whose midnight was skipped parses to its first instant.
//
// One formatter may be shared by any number of threads: calls are serialised inside. A change
// of the current zone or locale is picked up at the next call.
//
// Example:
//   static const platform::DateFormatter dayFormat("yyyy-MM-dd");
//   const std::optional<platform::Date> day = dayFormat.parse("2024-05-11");
class DateFormatter {
public:
    // The platform's formatter styles with their raw values.
    enum class Style { none = 0, short_ = 1, medium = 2, long_ = 3, full = 4 };

    explicit DateFormatter(std::string pattern);
    // A pattern in one fixed locale instead of the current one, still in the current zone: with
    // "en_US_POSIX", a text that programs read, in ASCII digits whatever the user's locale.
    DateFormatter(std::string pattern, std::string localeIdentifier);
    // `relative` words nearby days ("Today", "Yesterday") where the locale has words for them.
    DateFormatter(Style dateStyle, Style timeStyle, bool relative = false);
    ~DateFormatter();

    DateFormatter(DateFormatter&&) noexcept;
    DateFormatter& operator=(DateFormatter&&) noexcept;

    // Empty for a date the calendar does not support (Calendar::isSupported) and for two
    // `none` styles.
    std::string format(Date date) const;

    // None when the text does not match as a whole or names a date the calendar does not support.
    std::optional<Date> parse(std::string_view text) const;

    // The current locale's pattern for a template of fields ("MMM yyyy" gives "MMM yyyy" in
    // English, "yyyy年M月" in Japanese); none when the locale has none.
    static std::optional<std::string> patternFromTemplate(std::string_view skeleton);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
