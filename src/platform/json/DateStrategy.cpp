#include "platform/json/DateStrategy.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "platform/json/Value.h"
#include "platform/json/Writer.h"

namespace platform::json {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

// Past this many seconds from 1970 in either direction the years have more than four digits.
constexpr double kSecondsLimit = 1e13;

// "yyyy-MM-dd'T'HH:mm:ss'Z'" in UTC, truncated to the second; none outside the years 0 to 9999.
std::optional<std::string> iso8601Text(Date date) {
    const double unixSeconds = std::floor(date.unixSeconds());
    if (!std::isfinite(unixSeconds) || std::fabs(unixSeconds) > kSecondsLimit) {
        return std::nullopt;
    }
    const auto seconds = static_cast<long long>(unixSeconds);
    const long long dayCount = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const long long secondOfDay = seconds - dayCount * 86400;
    const year_month_day day{sys_days{days{dayCount}}};
    const int year = static_cast<int>(day.year());
    if (year < 0 || year > 9999) {
        return std::nullopt;
    }
    const int second = static_cast<int>(secondOfDay);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", year,
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()),
                  second / 3600, second / 60 % 60, second % 60);
    return std::string(text);
}

// Reads `count` decimal digits at `at`, moving past them; none unless all are digits.
std::optional<int> digits(std::string_view text, std::size_t& at, std::size_t count) {
    if (at + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t end = at + count; at < end; ++at) {
        if (text[at] < '0' || text[at] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[at] - '0');
    }
    return value;
}

bool expect(std::string_view text, std::size_t& at, char character) {
    if (at < text.size() && text[at] == character) {
        ++at;
        return true;
    }
    return false;
}

// The internet date-time form: "yyyy-MM-ddTHH:mm:ss" then "Z" or "+hh:mm" / "-hh:mm".
std::optional<Date> parseIso8601(std::string_view text) {
    std::size_t at = 0;
    const auto year = digits(text, at, 4);
    const bool dateSeparator = expect(text, at, '-');
    const auto month = digits(text, at, 2);
    const bool daySeparator = expect(text, at, '-');
    const auto dayOfMonth = digits(text, at, 2);
    const bool timeSeparator = expect(text, at, 'T');
    const auto hour = digits(text, at, 2);
    const bool minuteSeparator = expect(text, at, ':');
    const auto minute = digits(text, at, 2);
    const bool secondSeparator = expect(text, at, ':');
    const auto second = digits(text, at, 2);
    if (!year || !month || !dayOfMonth || !hour || !minute || !second || !dateSeparator ||
        !daySeparator || !timeSeparator || !minuteSeparator || !secondSeparator || *hour > 23 ||
        *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    const year_month_day day{std::chrono::year{*year},
                             std::chrono::month{static_cast<unsigned>(*month)},
                             std::chrono::day{static_cast<unsigned>(*dayOfMonth)}};
    if (!day.ok()) {
        return std::nullopt;
    }
    int offsetSeconds = 0;
    if (!expect(text, at, 'Z')) {
        const bool ahead = expect(text, at, '+');
        if (!ahead && !expect(text, at, '-')) {
            return std::nullopt;
        }
        const auto offsetHours = digits(text, at, 2);
        const bool offsetSeparator = expect(text, at, ':');
        const auto offsetMinutes = digits(text, at, 2);
        if (!offsetHours || !offsetSeparator || !offsetMinutes || *offsetHours > 23 ||
            *offsetMinutes > 59) {
            return std::nullopt;
        }
        offsetSeconds = (ahead ? 1 : -1) * (*offsetHours * 3600 + *offsetMinutes * 60);
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    const auto dayCount = sys_days{day}.time_since_epoch().count();
    const double unixSeconds = static_cast<double>(dayCount) * 86400.0 + *hour * 3600.0 +
                               *minute * 60.0 + *second - offsetSeconds;
    return Date::fromUnix(unixSeconds);
}

}  // namespace

DateEncodingStrategy DateEncodingStrategy::iso8601() {
    return DateEncodingStrategy([](Date date, Writer& writer) {
        const auto text = iso8601Text(date);
        if (!text) {
            writer.invalidValue("The date " + std::to_string(date.unixSeconds()) +
                                " (seconds since 1970) has no ISO 8601 text");
        }
        writer.encode(*text);
    });
}

DateEncodingStrategy DateEncodingStrategy::formatted(
    std::shared_ptr<const DateFormatter> formatter) {
    return DateEncodingStrategy(
        [formatter](Date date, Writer& writer) { writer.encode(formatter->format(date)); });
}

DateEncodingStrategy DateEncodingStrategy::custom(Function encode) {
    return DateEncodingStrategy(std::move(encode));
}

DateDecodingStrategy DateDecodingStrategy::iso8601() {
    return DateDecodingStrategy([](const Value& value) {
        const auto text = value.decode<std::string>();
        const auto date = parseIso8601(text);
        if (!date) {
            value.dataCorrupted("Expected an ISO 8601 date but found the text \"" + text + "\"");
        }
        return *date;
    });
}

DateDecodingStrategy DateDecodingStrategy::formatted(
    std::shared_ptr<const DateFormatter> formatter) {
    return DateDecodingStrategy([formatter](const Value& value) {
        const auto text = value.decode<std::string>();
        const auto date = formatter->parse(text);
        if (!date) {
            value.dataCorrupted("The text \"" + text +
                                "\" does not match the format of the date formatter");
        }
        return *date;
    });
}

DateDecodingStrategy DateDecodingStrategy::custom(Function decode) {
    return DateDecodingStrategy(std::move(decode));
}

}  // namespace platform::json
