#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LxOrbinDocument/Json/DocumentTestSupport.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "platform/foundation/DateContext.h"
#include "platform/json/CodingError.h"
#include "support/UtcDate.h"

namespace {

using namespace document_test;
using platform::Date;

// The date a document holding `text` under "LstUpd" reads, or none when it is refused.
std::optional<Date> readDate(const std::string& text) {
    const auto document = readFile(R"({"LstUpd": ")" + text + R"("})");
    return document ? document->_data->lastUpdate : std::nullopt;
}

// A day in a zone, of which the comparisons with the document's formatters take every few
// minutes.
struct ZoneDay {
    const char* zone;
    const char* day;
};

// Days whose clocks change, which both reading and writing are compared on, each with more days
// of its own.
std::vector<ZoneDay> clockChangeDaysAnd(std::initializer_list<ZoneDay> more) {
    std::vector<ZoneDay> days = {
        {"Europe/Berlin", "2021-03-28"},
        {"Europe/Berlin", "2021-10-31"},
        {"America/Sao_Paulo", "2018-11-04"},
        {"America/Sao_Paulo", "2019-02-16"},
    };
    days.insert(days.end(), more);
    return days;
}

// How `date` is written into a document.
std::string writtenDate(Date date) {
    JsonProject project;
    project.lastUpdate = date;
    const std::string text = documentText(project);
    const auto start = text.find(": \"");
    return start == std::string::npos ? text : text.substr(start + 3, text.rfind('"') - start - 3);
}

TEST(JsonDocumentDates, ReadInEitherFormInTheCurrentZone) {
    struct Row {
        const char* zone;
        const char* text;
        std::optional<Date> expected;
    };
    const Row rows[] = {
        {"Europe/Berlin", "2021-03-05", utcDate(2021, 3, 4, 23)},
        {"Europe/Berlin", "2021-03-05T14:07:09", utcDate(2021, 3, 5, 13, 7, 9)},
        // Whatever follows the first 19 characters is ignored, a zone or offset too.
        {"Europe/Berlin", "2021-03-05T14:07:09Z", utcDate(2021, 3, 5, 13, 7, 9)},
        {"Europe/Berlin", "2021-03-05T14:07:09.250", utcDate(2021, 3, 5, 13, 7, 9)},
        {"Europe/Berlin", "2021-03-05T14:07:09+02:00", utcDate(2021, 3, 5, 13, 7, 9)},
        {"Europe/Berlin", "2021-03-05T14:07:09 \u00e9t\u00e9", utcDate(2021, 3, 5, 13, 7, 9)},
        // Clocks went forward at 02:00 and back at 03:00.
        {"Europe/Berlin", "2021-03-28T02:30:00", utcDate(2021, 3, 28, 1, 30)},
        {"Europe/Berlin", "2021-10-31T02:30:00", utcDate(2021, 10, 31, 0, 30)},
        // Clocks went forward at midnight: the day starts at 01:00 and stays 4 November.
        {"America/Sao_Paulo", "2018-11-04", utcDate(2018, 11, 4, 3)},
        {"America/Sao_Paulo", "2018-11-04T00:30:00", utcDate(2018, 11, 4, 3, 30)},
        {"America/Sao_Paulo", "2018-11-05", utcDate(2018, 11, 5, 2)},
        {"Europe/Berlin", "2021-03-05T14:07", std::nullopt},
        {"Europe/Berlin", "2021-03-05T14:07+01:00", std::nullopt},
        {"Europe/Berlin", "", std::nullopt},
        {"Europe/Berlin", "2021-02-30", std::nullopt},
        {"Europe/Berlin", "2021-03-05T24:00:00", std::nullopt},
        {"Europe/Berlin", "2021-3-5", std::nullopt},
        {"Europe/Berlin", "02021-03-05", std::nullopt},
        {"Europe/Berlin", " 2021-03-05", std::nullopt},
        {"Europe/Berlin", "\u0662\u0660\u0662\u0661-\u0660\u0663-\u0660\u0665", std::nullopt},
        // Nineteen characters, the last a "9" with an accent: no full form.
        {"Europe/Berlin", "2021-03-05T14:07:09\u0301", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.zone) + " " + row.text);
        const platform::ScopedTimeZoneAndLocale pinned(row.zone, "en_US");
        EXPECT_EQ(readDate(row.text), row.expected);
    }
}

// Every quarter of an hour of days whose clocks change, leap days and the first Gregorian
// year, read from a document and by the document's two formatters themselves.
TEST(JsonDocumentDates, ReadAsTheDocumentFormattersReadThem) {
    const std::vector<ZoneDay> rows = clockChangeDaysAnd({
        {"UTC", "2024-02-29"},
        {"UTC", "2100-02-29"},
        {"UTC", "1583-01-01"},
        {"UTC", "1582-10-10"},
    });
    const platform::json::Decoder decoder = documentDecoder();
    const auto read = [&decoder](const std::string& text) -> std::optional<Date> {
        try {
            return decoder.decode<Date>("\"" + text + "\"");
        } catch (const platform::json::DecodingError&) {
            return std::nullopt;
        }
    };
    for (const ZoneDay& row : rows) {
        const platform::ScopedTimeZoneAndLocale pinned(row.zone, "en_US");
        SCOPED_TRACE(std::string(row.zone) + " " + row.day);
        EXPECT_EQ(read(row.day), JsonProjectData::jsonDayDateFormatter().parse(row.day));
        for (int minutes = 0; minutes < 24 * 60; minutes += 15) {
            char text[32];
            std::snprintf(text, sizeof text, "%sT%02d:%02d:07", row.day, minutes / 60,
                          minutes % 60);
            SCOPED_TRACE(text);
            EXPECT_EQ(read(text), JsonProjectData::jsonFullDateFormatter().parse(text));
        }
    }
}

TEST(JsonDocumentDates, AnUnreadableDateIsNamedWhole) {
    try {
        static_cast<void>(readStreaming(R"({"Root": {"Start": "2021-03-05T14:07+01:00"}})"));
        FAIL() << "read";
    } catch (const platform::json::DecodingError& error) {
        EXPECT_EQ(error.kind(), platform::json::DecodingError::Kind::dataCorrupted);
        EXPECT_EQ(platform::json::describe(error.codingPath()), "Root.Start");
        EXPECT_EQ(error.debugDescription(), "Cannot decode date string 2021-03-05T14:07+01:00");
    }
    EXPECT_EQ(readFile(R"({"LstUpd": 20210305})"), std::nullopt);
    const auto absent = readFile(R"({"LstUpd": null, "Root": {"Start": null}})");
    ASSERT_TRUE(absent);
    EXPECT_EQ(absent->_data->lastUpdate, std::nullopt);
    EXPECT_EQ(absent->_data->root->start, std::nullopt);
}

TEST(JsonDocumentDates, WrittenAsLocalWallClockToTheSecond) {
    struct Row {
        const char* zone;
        Date date;
        const char* expected;
    };
    const Row rows[] = {
        {"Europe/Berlin", utcDate(2021, 1, 15, 11), "2021-01-15T12:00:00"},
        {"Europe/Berlin", utcDate(2021, 7, 15, 10), "2021-07-15T12:00:00"},
        {"Europe/Berlin", utcDate(2021, 3, 28, 1, 30), "2021-03-28T03:30:00"},
        {"America/Sao_Paulo", utcDate(2018, 11, 4, 3), "2018-11-04T01:00:00"},
        {"UTC", utcDate(2021, 3, 5, 14, 7, 9).addingTimeInterval(0.75), "2021-03-05T14:07:09"},
        {"UTC", Date::fromUnix(-0.25), "1969-12-31T23:59:59"},
        {"UTC", utcDate(9999, 12, 31, 23, 59, 59), "9999-12-31T23:59:59"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        const platform::ScopedTimeZoneAndLocale pinned(row.zone, "en_US");
        EXPECT_EQ(writtenDate(row.date), row.expected);
    }
}

// The writer takes the calendar's fields instead of the formatter's text; every seven and a
// half minutes of days whose clocks change, of the calendar reform and of the first and last
// years, the two agree.
TEST(JsonDocumentDates, WrittenAsTheDocumentFormatterWritesThem) {
    const std::vector<ZoneDay> rows = clockChangeDaysAnd({
        {"Europe/Berlin", "1582-10-04"},
        {"Europe/Berlin", "1582-10-15"},
        {"Europe/Berlin", "0001-01-02"},
        {"America/Sao_Paulo", "9999-12-31"},
        {"UTC", "1500-02-29"},
    });
    for (const ZoneDay& row : rows) {
        const platform::ScopedTimeZoneAndLocale pinned(row.zone, "en_US");
        SCOPED_TRACE(std::string(row.zone) + " " + row.day);
        const auto dayStart = JsonProjectData::jsonDayDateFormatter().parse(row.day);
        ASSERT_TRUE(dayStart);
        for (int step = 0; step < 24 * 8; ++step) {
            const Date date = dayStart->addingTimeInterval(step * 450.0 + 0.5);
            SCOPED_TRACE(date.unixSeconds());
            EXPECT_EQ(writtenDate(date), JsonProjectData::jsonFullDateFormatter().format(date));
        }
    }
}

// A document that opens must save: no date is read that has no text to be written as.
TEST(JsonDocumentDates, OnlyDatesOfTheYearsOneTo9999AreReadAndWritten) {
    for (const char* zone : {"Europe/Berlin", "America/Sao_Paulo", "Pacific/Kiritimati"}) {
        const platform::ScopedTimeZoneAndLocale pinned(zone, "en_US");
        SCOPED_TRACE(zone);
        for (const char* text : {"0001-01-01T00:00:00", "0001-01-03T00:00:00",
                                 "9999-12-31T23:59:59", "1582-10-20T00:00:00"}) {
            const auto date = readDate(text);
            ASSERT_TRUE(date) << text;
            EXPECT_EQ(writtenDate(*date), text);
        }
        EXPECT_EQ(readDate("0000-12-31"), std::nullopt);
        EXPECT_EQ(readDate("0000-01-01T00:00:00"), std::nullopt);
        const auto first = readDate("0001-01-01");
        ASSERT_TRUE(first);
        EXPECT_EQ(writtenDate(first->addingTimeInterval(-1.0)), "<none>");
    }
    const platform::ScopedTimeZoneAndLocale utc("UTC", "en_US");
    EXPECT_EQ(writtenDate(utcDate(9999, 12, 31, 23, 59, 59).addingTimeInterval(1.0)), "<none>");
}

TEST(JsonDocumentDates, WrittenTextReadsBackToTheSameText) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    for (const char* text : {"0999-05-06T07:08:09", "2021-10-31T02:30:00", "2021-03-05T00:00:00"}) {
        SCOPED_TRACE(text);
        const auto date = readDate(text);
        ASSERT_TRUE(date);
        EXPECT_EQ(writtenDate(*date), text);
    }
}

TEST(JsonDocumentDates, ADocumentMovedToAnotherZoneKeepsItsWallClock) {
    const Date written = utcDate(2021, 3, 5, 13, 7, 9);
    std::string text;
    {
        const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
        text = writtenDate(written);
    }
    const platform::ScopedTimeZoneAndLocale pinned("America/Sao_Paulo", "en_US");
    EXPECT_EQ(readDate(text), utcDate(2021, 3, 5, 17, 7, 9));
}

TEST(JsonDocumentDates, DigitsStayAsciiInEveryLocale) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "ar_EG");
    EXPECT_EQ(writtenDate(utcDate(2021, 3, 5, 13, 7, 9)), "2021-03-05T14:07:09");
    EXPECT_EQ(readDate("2021-03-05T14:07:09"), utcDate(2021, 3, 5, 13, 7, 9));
}

}  // namespace
