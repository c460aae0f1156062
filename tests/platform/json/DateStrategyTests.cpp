#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/json/Value.h"
#include "platform/json/Writer.h"
#include "support/UtcDate.h"

namespace {

using namespace platform::json;
using platform::Date;

struct Stamp {
    Date at;

    void encode(Writer& writer) const {
        writer.encodeObject([&](ObjectWriter& object) { object.encode("At", at); });
    }
    static Stamp decode(const Value& value) { return Stamp{value.object().decode<Date>("At")}; }
};

TEST(DateStrategyTest, Iso8601RoundTripIsExactToTheSecond) {
    const Date date = utcDate(2024, 2, 29, 23, 59, 58).addingTimeInterval(0.75);
    const std::string text = Encoder().encode(Stamp{date});
    EXPECT_EQ(text, R"({"At":"2024-02-29T23:59:58Z"})");
    EXPECT_EQ(Decoder().decode<Stamp>(text).at, utcDate(2024, 2, 29, 23, 59, 58));

    const Date early = utcDate(1969, 12, 31, 23, 59, 59).addingTimeInterval(0.5);
    EXPECT_EQ(Encoder().encode(Stamp{early}), R"({"At":"1969-12-31T23:59:59Z"})");
}

TEST(DateStrategyTest, Iso8601ReadsOffsetsAndRefusesEverythingElse) {
    struct Row {
        const char* text;
        std::optional<Date> expected;
    };
    const Row rows[] = {
        {"2024-05-11T08:30:00Z", utcDate(2024, 5, 11, 8, 30)},
        {"2024-05-11T10:30:00+02:00", utcDate(2024, 5, 11, 8, 30)},
        {"2024-05-11T03:00:00-05:30", utcDate(2024, 5, 11, 8, 30)},
        {"2024-02-30T00:00:00Z", std::nullopt},
        {"2024-05-11 08:30:00Z", std::nullopt},
        {"2024-05-11T08:30:00.5Z", std::nullopt},
        {"2024-05-11T08:30:00", std::nullopt},
        {"2024-05-11T24:00:00Z", std::nullopt},
        {"2024-05-11T08:30:00+0200", std::nullopt},
        {"2024-05-11", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::string json = std::string(R"({"At":")") + row.text + "\"}";
        try {
            const Date date = Decoder().decode<Stamp>(json).at;
            EXPECT_EQ(std::optional<Date>(date), row.expected);
        } catch (const DecodingError& error) {
            EXPECT_FALSE(row.expected.has_value()) << error.localizedDescription();
            EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
            EXPECT_EQ(describe(error.codingPath()), "At");
        }
    }
}

TEST(DateStrategyTest, Iso8601RefusesDatesWithoutAText) {
    EXPECT_THROW(static_cast<void>(Encoder().encode(Stamp{Date(std::nan(""))})), EncodingError);
    EXPECT_THROW(static_cast<void>(Encoder().encode(Stamp{utcDate(10000, 1, 1)})), EncodingError);
}

TEST(DateStrategyTest, FormattedUsesTheFormatterInTheCurrentZone) {
    const platform::ScopedTimeZoneAndLocale berlin("Europe/Berlin", "en_US");
    const auto formatter = std::make_shared<const platform::DateFormatter>("yyyy-MM-dd'T'HH:mm:ss");
    const Encoder encoder(DateEncodingStrategy::formatted(formatter));
    const Decoder decoder(DateDecodingStrategy::formatted(formatter));

    const std::string text = encoder.encode(Stamp{utcDate(2024, 7, 1, 10)});
    EXPECT_EQ(text, R"({"At":"2024-07-01T12:00:00"})");
    EXPECT_EQ(decoder.decode<Stamp>(text).at, utcDate(2024, 7, 1, 10));
    EXPECT_THROW(static_cast<void>(decoder.decode<Stamp>(R"({"At":"2024-07-01"})")), DecodingError);
}

TEST(DateStrategyTest, CustomStrategiesWriteAndReadAnyValue) {
    const Encoder encoder(DateEncodingStrategy::custom(
        [](Date date, Writer& writer) { writer.encode(date.unixSeconds()); }));
    const Decoder decoder(DateDecodingStrategy::custom([](const Value& value) {
        const double seconds = value.decode<double>();
        if (seconds < 0) {
            value.dataCorrupted("before 1970");
        }
        return Date::fromUnix(seconds);
    }));
    EXPECT_EQ(encoder.encode(Stamp{Date::fromUnix(86400.5)}), R"({"At":86400.5})");
    EXPECT_EQ(decoder.decode<Stamp>(R"({"At":86400.5})").at, Date::fromUnix(86400.5));
    try {
        static_cast<void>(decoder.decode<Stamp>(R"({"At":-1})"));
        FAIL() << "decoded";
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
        EXPECT_EQ(error.debugDescription(), "before 1970");
    }
}

}  // namespace
