#include "platform/foundation/DateFormatter.h"

#include <cstdint>
#include <mutex>
#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateContext.h"
#include "platform/foundation/internal/IcuBridge.h"

namespace platform {

namespace {

// No date text comes near this; a longer one is refused before ICU copies it.
constexpr std::size_t kLongestParsedText = 1024;

icu::DateFormat::EStyle icuStyle(DateFormatter::Style style) {
    switch (style) {
        case DateFormatter::Style::none:
            return icu::DateFormat::kNone;
        case DateFormatter::Style::short_:
            return icu::DateFormat::kShort;
        case DateFormatter::Style::medium:
            return icu::DateFormat::kMedium;
        case DateFormatter::Style::long_:
            return icu::DateFormat::kLong;
        case DateFormatter::Style::full:
            return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}

// Strict text, strict fields, and the same reading of clock changes as `Calendar`.
void makeStrict(icu::DateFormat& format) {
    std::unique_ptr<icu::Calendar> calendar(format.getCalendar()->clone());
    calendar->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    calendar->setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
    format.adoptCalendar(calendar.release());
    format.setLenient(false);
    UErrorCode status = U_ZERO_ERROR;
    format.setBooleanAttribute(UDAT_PARSE_PARTIAL_LITERAL_MATCH, false, status);
    format.setBooleanAttribute(UDAT_PARSE_MULTIPLE_PATTERNS_FOR_MATCH, false, status);
}

std::optional<UDate> parseWhole(icu::DateFormat& format, const icu::UnicodeString& text) {
    icu::ParsePosition position(0);
    const UDate parsed = format.parse(text, position);
    if (position.getErrorIndex() != -1 || position.getIndex() != text.length()) {
        return std::nullopt;
    }
    return parsed;
}

}  // namespace

struct DateFormatter::Impl {
    std::optional<std::string> pattern;
    std::optional<std::string> localeIdentifier;
    Style dateStyle = Style::none;
    Style timeStyle = Style::none;
    bool relative = false;

    std::mutex mutex;
    std::uint64_t generation = 0;
    std::unique_ptr<icu::DateFormat> format;

    // The ICU formatter for the current zone and locale; none for two `none` styles or when
    // ICU cannot make one. Requires: `mutex` held.
    icu::DateFormat* current() {
        const std::uint64_t now = dateContextGeneration();
        if (generation != now) {
            format = make();
            generation = now;
        }
        return format.get();
    }

    std::unique_ptr<icu::DateFormat> make() const {
        const icu::Locale locale =
            localeIdentifier ? internal::gregorianLocale(icu::Locale(localeIdentifier->c_str()))
                             : internal::currentGregorianLocale();
        std::unique_ptr<icu::DateFormat> made;
        if (pattern) {
            UErrorCode status = U_ZERO_ERROR;
            made = std::make_unique<icu::SimpleDateFormat>(internal::toUnicode(*pattern), locale,
                                                           status);
            if (U_FAILURE(status)) {
                return nullptr;
            }
        } else if (dateStyle != Style::none || timeStyle != Style::none) {
            auto date = icuStyle(dateStyle);
            if (relative && dateStyle != Style::none) {
                date = static_cast<icu::DateFormat::EStyle>(date | icu::DateFormat::kRelative);
            }
            made.reset(icu::DateFormat::createDateTimeInstance(date, icuStyle(timeStyle), locale));
            if (made != nullptr && relative) {
                // CLDR's words are lower case ("today"); shown alone they start a sentence.
                UErrorCode status = U_ZERO_ERROR;
                made->setContext(UDISPCTX_CAPITALIZATION_FOR_BEGINNING_OF_SENTENCE, status);
            }
        }
        if (made != nullptr) {
            makeStrict(*made);
        }
        return made;
    }

    // A strict parse refuses a local time that the clocks skipped, such as the midnight of a
    // day whose clocks went forward at 00:00 (São Paulo until 2019), and with it every date-only
    // text of that day. Such a text is taken when its fields are valid, which a strict parse
    // in UTC (where no time is skipped) tells; the calendar then moves the time past the gap.
    std::optional<UDate> parseAcrossSkippedTime(icu::DateFormat& format,
                                                const icu::UnicodeString& text) {
        format.setTimeZone(*icu::TimeZone::getGMT());
        const bool fieldsValid = parseWhole(format, text).has_value();
        format.adoptTimeZone(icu::TimeZone::createDefault());
        if (!fieldsValid) {
            return std::nullopt;
        }
        format.setCalendarLenient(true);
        const auto parsed = parseWhole(format, text);
        format.setCalendarLenient(false);
        return parsed;
    }
};

DateFormatter::DateFormatter(std::string pattern) : impl_(std::make_unique<Impl>()) {
    impl_->pattern = std::move(pattern);
}

DateFormatter::DateFormatter(std::string pattern, std::string localeIdentifier)
    : DateFormatter(std::move(pattern)) {
    impl_->localeIdentifier = std::move(localeIdentifier);
}

DateFormatter::DateFormatter(Style dateStyle, Style timeStyle, bool relative)
    : impl_(std::make_unique<Impl>()) {
    impl_->dateStyle = dateStyle;
    impl_->timeStyle = timeStyle;
    impl_->relative = relative;
}

DateFormatter::~DateFormatter() = default;
DateFormatter::DateFormatter(DateFormatter&&) noexcept = default;
DateFormatter& DateFormatter::operator=(DateFormatter&&) noexcept = default;

std::string DateFormatter::format(Date date) const {
    // ICU turns the fields of a not-a-number or far-away instant into garbage (or worse).
    if (!Calendar::isSupported(date)) {
        return {};
    }
    const std::lock_guard lock(impl_->mutex);
    icu::DateFormat* format = impl_->current();
    if (format == nullptr) {
        return {};
    }
    icu::UnicodeString text;
    format->format(internal::toUDate(date), text);
    return internal::toUtf8(text);
}

std::optional<Date> DateFormatter::parse(std::string_view text) const {
    if (text.size() > kLongestParsedText) {
        return std::nullopt;
    }
    const icu::UnicodeString unicodeText = internal::toUnicode(text);
    const std::lock_guard lock(impl_->mutex);
    icu::DateFormat* format = impl_->current();
    if (format == nullptr) {
        return std::nullopt;
    }
    auto parsed = parseWhole(*format, unicodeText);
    if (!parsed) {
        parsed = impl_->parseAcrossSkippedTime(*format, unicodeText);
    }
    if (!parsed) {
        return std::nullopt;
    }
    const Date date = internal::fromUDate(*parsed);
    return Calendar::isSupported(date) ? std::optional(date) : std::nullopt;
}

std::optional<std::string> DateFormatter::patternFromTemplate(std::string_view skeleton) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(internal::currentGregorianLocale(), status));
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    const icu::UnicodeString pattern =
        generator->getBestPattern(internal::toUnicode(skeleton), status);
    if (U_FAILURE(status) || pattern.isEmpty()) {
        return std::nullopt;
    }
    return internal::toUtf8(pattern);
}

}  // namespace platform
