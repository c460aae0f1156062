#include "LxOrbinDocument/Json/JsonProjectData.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include "LxOrbinDocument/Json/JsonDocumentReader.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/UnicodeText.h"
#include "platform/json/DateStrategy.h"
#include "platform/json/Writer.h"
#include "utility/LxJsonHelper.h"

namespace {

using platform::Date;

// What the two date forms look like, '9' standing for one ASCII digit. The formatters alone would
// also take digits of other scripts and years of other lengths ("02021-03-05").
constexpr std::string_view kFullDateShape = "9999-99-99T99:99:99";
constexpr std::string_view kDayDateShape = "9999-99-99";

// Whatever the user's locale, the document's digits are ASCII.
constexpr const char* kDocumentLocale = "en_US_POSIX";

bool hasShape(std::string_view text, std::string_view shape) {
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t index = 0; index < shape.size(); ++index) {
        const bool matches = shape[index] == '9' ? text[index] >= '0' && text[index] <= '9'
                                                 : text[index] == shape[index];
        if (!matches) {
            return false;
        }
    }
    return true;
}

platform::DateFormatter makeJsonDateFormatter(std::string format) {
    return platform::DateFormatter(std::move(format), kDocumentLocale);
}

// The number written with `count` ASCII digits from `at`.
std::int64_t digitsAt(std::string_view text, std::size_t at, std::size_t count) {
    std::int64_t number = 0;
    for (const char digit : text.substr(at, count)) {
        number = number * 10 + (digit - '0');
    }
    return number;
}

bool isGregorianLeapYear(std::int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

std::int64_t daysInGregorianMonth(std::int64_t year, std::int64_t month) {
    static constexpr std::array<std::int64_t, 12> kDays = {31, 28, 31, 30, 31, 30,
                                                           31, 31, 30, 31, 30, 31};
    return month == 2 && isGregorianLeapYear(year) ? 29 : kDays[month - 1];
}

// A formatter takes about 5 µs to read a text, fifteen times what the calendar takes for the
// same fields, and a large plan holds hundreds of thousands of dates. Both read clock changes
// alike (a skipped time moves forward by the gap, a repeated one is its first occurrence), so
// for fields in their plain ranges the calendar gives the formatter's instant. Anything else
// (a day past the end of its month, hour 24, second 60, a year before the Gregorian reform) is
// left to the formatter, which decides; so is a text of the day form's shape (`withTime`
// false), read as 00:00.
std::optional<Date> plainCalendarDate(std::string_view text, bool withTime) {
    constexpr std::int64_t kFirstGregorianYear = 1583;
    const std::int64_t year = digitsAt(text, 0, 4);
    const std::int64_t month = digitsAt(text, 5, 2);
    const std::int64_t day = digitsAt(text, 8, 2);
    const std::int64_t hour = withTime ? digitsAt(text, 11, 2) : 0;
    const std::int64_t minute = withTime ? digitsAt(text, 14, 2) : 0;
    const std::int64_t second = withTime ? digitsAt(text, 17, 2) : 0;
    const bool plain = year >= kFirstGregorianYear && month >= 1 && month <= 12 && day >= 1 &&
                       day <= daysInGregorianMonth(year, month) && hour <= 23 && minute <= 59 &&
                       second <= 59;
    if (!plain) {
        return std::nullopt;
    }
    return platform::Calendar::current().date(platform::DateComponents{.year = year,
                                                                       .month = month,
                                                                       .day = day,
                                                                       .hour = hour,
                                                                       .minute = minute,
                                                                       .second = second});
}

std::optional<std::string> formatJsonDate(Date date);

// A document that opens must save: a date read from an odd text (year 0000, say, which the
// formatter takes for 1 BC) is refused when it has no text to be written as.
std::optional<Date> writable(std::optional<Date> date) {
    return date && formatJsonDate(*date) ? date : std::nullopt;
}

// Which form a text is read in goes by its count of characters (grapheme clusters): 19 or more
// is the full form, of which the first 19 characters are read.
std::optional<Date> parseJsonDate(std::string_view text) {
    std::size_t count = text.size();
    std::string_view fullPart = text.substr(0, std::min(text.size(), kFullDateShape.size()));
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii) {
        const std::vector<std::size_t> boundaries = platform::characterBoundaries(text);
        count = boundaries.size() - 1;
        fullPart = text.substr(0, boundaries[std::min(count, kFullDateShape.size())]);
    }
    if (count >= kFullDateShape.size()) {
        if (!hasShape(fullPart, kFullDateShape)) {
            return std::nullopt;
        }
        const auto plain = plainCalendarDate(fullPart, true);
        return plain ? plain : writable(JsonProjectData::jsonFullDateFormatter().parse(fullPart));
    }
    if (!hasShape(text, kDayDateShape)) {
        return std::nullopt;
    }
    const auto plain = plainCalendarDate(text, false);
    return plain ? plain : writable(JsonProjectData::jsonDayDateFormatter().parse(text));
}

// The formatter's text of `date` from the calendar's fields, which are what the formatter
// prints and cost a fifth of it. None outside the years 1 to 9999: the pattern writes the year
// of the era with four digits and no era, so other years would read back as other dates.
std::optional<std::string> formatJsonDate(Date date) {
    const platform::DateComponents fields = platform::Calendar::current().components(date);
    if (!fields.year || *fields.year < 1 || *fields.year > 9999) {
        return std::nullopt;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d",
                  static_cast<int>(*fields.year), static_cast<int>(*fields.month),
                  static_cast<int>(*fields.day), static_cast<int>(*fields.hour),
                  static_cast<int>(*fields.minute), static_cast<int>(*fields.second));
    return std::string(text.data());
}

[[noreturn]] void cannotDecode(const platform::json::Value& value, const std::string& text) {
    value.dataCorrupted("Cannot decode date string " + text);
}

// The dates of one document, each turned into text or read once: a plan's dates fall on few
// days, and a calendar or formatter call costs more than the rest of a task's fields. One memo
// serves one reading or writing, on one thread; it stops growing at a size no plan needs.
template <class Key, class Value>
class DateMemo {
public:
    template <class Make>
    std::optional<Value> find(const Key& key, Make&& make) {
        if (const auto found = values_.find(key); found != values_.end()) {
            return found->second;
        }
        std::optional<Value> made = make();
        if (made && values_.size() < kMaximumEntries) {
            values_.emplace(key, *made);
        }
        return made;
    }

private:
    static constexpr std::size_t kMaximumEntries = 4096;
    std::unordered_map<Key, Value> values_;
};

platform::json::DateDecodingStrategy readingStrategy() {
    auto memo = std::make_shared<DateMemo<std::string, Date>>();
    return platform::json::DateDecodingStrategy::custom([memo](const platform::json::Value& value) {
        const auto text = value.decode<std::string>();
        const auto date = memo->find(text, [&text] { return parseJsonDate(text); });
        if (!date) {
            cannotDecode(value, text);
        }
        return *date;
    });
}

}  // namespace

platform::json::DateEncodingStrategy JsonProjectData::writingStrategy() {
    auto memo = std::make_shared<DateMemo<double, std::string>>();
    return platform::json::DateEncodingStrategy::custom([memo](Date date,
                                                               platform::json::Writer& writer) {
        const auto text =
            memo->find(date.secondsSinceReferenceDate(), [date] { return formatJsonDate(date); });
        if (!text) {
            writer.invalidValue("The date " + std::to_string(date.unixSeconds()) +
                                " (seconds since 1970) has no text of the form "
                                "yyyy-MM-dd'T'HH:mm:ss");
        }
        writer.encode(*text);
    });
}

std::optional<JsonProjectData> JsonProjectData::fromFilePath(const std::string& filePath) {
    try {
        std::error_code sizeError;
        const auto size = std::filesystem::file_size(filePath, sizeError);
        if (!sizeError && size > kMaximumFileSize) {
            return std::nullopt;
        }
        auto document =
            LxJsonHelper().loadFromFilePath<JsonProjectData>(filePath, readingStrategy());
        if (!document._data) {
            return std::nullopt;
        }
        return document;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<JsonProjectData> JsonProjectData::fromText(std::string_view text) {
    try {
        if (text.size() > kMaximumFileSize) {
            return std::nullopt;
        }
        auto document = platform::json::Decoder(readingStrategy()).decode<JsonProjectData>(text);
        if (!document._data) {
            return std::nullopt;
        }
        return document;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::string> JsonProjectData::jsonString() const {
    if (!_data) {
        return std::nullopt;
    }
    try {
        return LxJsonHelper().jsonString(*_data, writingStrategy(), platform::StringEncoding::utf8,
                                         true);
    } catch (...) {
        return std::nullopt;
    }
}

Date JsonProjectData::decodeJsonDate(const platform::json::Value& value) {
    const auto text = value.decode<std::string>();
    const auto date = parseJsonDate(text);
    if (!date) {
        cannotDecode(value, text);
    }
    return *date;
}

const platform::DateFormatter& JsonProjectData::jsonFullDateFormatter() {
    static const platform::DateFormatter formatter = makeJsonDateFormatter("yyyy-MM-dd'T'HH:mm:ss");
    return formatter;
}

const platform::DateFormatter& JsonProjectData::jsonDayDateFormatter() {
    static const platform::DateFormatter formatter = makeJsonDateFormatter("yyyy-MM-dd");
    return formatter;
}

JsonProjectData JsonProjectData::decodeFromText(std::string_view text,
                                                const platform::json::Decoder& decoder) {
    JsonProjectData document;
    document._data = jsonRecord::readProjectDocument(text, decoder);
    return document;
}
