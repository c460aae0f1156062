#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "platform/json/CodingError.h"
#include "platform/json/DocumentSaxParse.h"

namespace {

using Number = std::variant<std::int64_t, std::uint64_t, double>;

// Keeps the numbers of a document and ignores the rest.
struct NumberRecorder {
    using Json = nlohmann::json;
    std::vector<Number> numbers;

    bool null() { return true; }
    bool boolean(bool) { return true; }
    bool number_integer(Json::number_integer_t value) {
        numbers.emplace_back(std::int64_t{value});
        return true;
    }
    bool number_unsigned(Json::number_unsigned_t value) {
        numbers.emplace_back(std::uint64_t{value});
        return true;
    }
    bool number_float(Json::number_float_t value, const Json::string_t&) {
        numbers.emplace_back(value);
        return true;
    }
    bool string(Json::string_t&) { return true; }
    bool binary(Json::binary_t&) { return true; }
    bool start_object(std::size_t) { return true; }
    bool key(Json::string_t&) { return true; }
    bool end_object() { return true; }
    bool start_array(std::size_t) { return true; }
    bool end_array() { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
        return false;
    }
};

Number parsed(const std::string& number) {
    NumberRecorder recorder;
    EXPECT_TRUE(platform::json::saxParseDocument("[" + number + "]", recorder)) << number;
    EXPECT_EQ(recorder.numbers.size(), 1u) << number;
    return recorder.numbers.empty() ? Number{} : recorder.numbers.front();
}

// Whole numbers that fit 64 bits stay whole (not negative: unsigned); everything else is the
// correctly rounded double, zero with its sign whatever its exponent, and too small to be seen
// is zero.
TEST(DocumentSaxParse, ReadsNumbersAsWrittenAndCorrectlyRounded) {
    struct Case {
        std::string text;
        Number expected;
    };
    const std::vector<Case> cases = {
        {"0", std::uint64_t{0}},
        {"-0", std::uint64_t{0}},
        {"42", std::uint64_t{42}},
        {"-42", std::int64_t{-42}},
        {"18446744073709551615", std::numeric_limits<std::uint64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        {"18446744073709551616", 18446744073709551616.0},
        {"-9223372036854775809", -9223372036854775809.0},
        {"0.1", 0.1},
        {"-0.0", -0.0},
        {"0E-49", 0.0},
        {"1E+2", 100.0},
        {"2.2250738585072011e-308", 2.2250738585072011e-308},
        {"9007199254740993", std::uint64_t{9007199254740993}},
        {"9007199254740993.0", 9007199254740992.0},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"1e-400", 0.0},
        {"-123.456e-999", -0.0},
        // Zero whatever its exponent, and a whole part longer than any double's, in range.
        {"0e400", 0.0},
        {"0e309", 0.0},
        {"-0.0E+99999", -0.0},
        {"1" + std::string(310, '0') + "e-300", 1e10},
        {"-1" + std::string(310, '0') + ".5e-310", -1.0},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.text);
        const Number number = parsed(row.text);
        ASSERT_EQ(number.index(), row.expected.index());
        if (const auto* value = std::get_if<double>(&number)) {
            const double expected = std::get<double>(row.expected);
            EXPECT_EQ(*value, expected);
            EXPECT_EQ(std::signbit(*value), std::signbit(expected));
        } else {
            EXPECT_EQ(number, row.expected);
        }
    }
}

TEST(DocumentSaxParse, ANumberBeyondEveryDoubleIsNoJson) {
    const std::string texts[] = {"1e309",
                                 "-1.5E+400",
                                 "12345678901234567890e300",
                                 "1e99999999999999999999",
                                 "1" + std::string(310, '0'),
                                 "[1, 0e400, 1e400]"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        NumberRecorder recorder;
        EXPECT_THROW(platform::json::saxParseDocument("[" + text + "]", recorder),
                     platform::json::DecodingError);
    }
}

// Well-formed text is read without RapidJSON's own check of the encoding; text that is not is
// read with it, so its ill-formed byte is refused wherever it lies, in a key or a value, and
// every well-formed sequence is read as it is.
TEST(DocumentSaxParse, IllFormedUTF8IsRefusedWhereverItLies) {
    for (std::size_t padding = 0; padding < 12; ++padding) {
        const std::string before(padding, 'a');
        SCOPED_TRACE(padding);
        NumberRecorder recorder;
        EXPECT_TRUE(platform::json::saxParseDocument(
            "{\"" + before + "\u00e9\": \"" + before + "\U0001F600\", \"n\": 1}", recorder));
        EXPECT_EQ(recorder.numbers, std::vector<Number>{std::uint64_t{1}});
        for (const char* bad : {"\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
            EXPECT_THROW(
                platform::json::saxParseDocument("{\"k\": \"" + before + bad + "\"}", recorder),
                platform::json::DecodingError);
            EXPECT_THROW(
                platform::json::saxParseDocument("{\"" + before + bad + "\": 1}", recorder),
                platform::json::DecodingError);
        }
    }
}

// Other tools write a UTF-8 byte-order mark before the document; only there is it skipped.
TEST(DocumentSaxParse, SkipsAByteOrderMarkBeforeTheDocument) {
    NumberRecorder recorder;
    EXPECT_TRUE(platform::json::saxParseDocument("\xEF\xBB\xBF [7]", recorder));
    EXPECT_EQ(recorder.numbers, std::vector<Number>{std::uint64_t{7}});
    for (const char* text : {"\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF[7]", " \xEF\xBB\xBF[7]",
                             "[7]\xEF\xBB\xBF", "\xEF\xBB[7]"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(platform::json::saxParseDocument(text, recorder),
                     platform::json::DecodingError);
    }
}

// A number RapidJSON does not hand on makes the text be read again from its start: what the
// handler saw of the first reading is gone.
TEST(DocumentSaxParse, ATextReadAgainReachesTheHandlerOnce) {
    NumberRecorder recorder;
    EXPECT_TRUE(platform::json::saxParseDocument("[1, 2, 0e400, 3]", recorder));
    EXPECT_EQ(recorder.numbers,
              (std::vector<Number>{std::uint64_t{1}, std::uint64_t{2}, 0.0, std::uint64_t{3}}));
}

}  // namespace
