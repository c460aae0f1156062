#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/json/Records.h"
#include "platform/json/SaxParse.h"
#include "platform/json/Value.h"
#include "support/UtcDate.h"

namespace {

using namespace platform::json;
using Kind = DecodingError::Kind;

std::string kindName(Kind kind) {
    switch (kind) {
        case Kind::typeMismatch:
            return "type mismatch";
        case Kind::valueNotFound:
            return "value not found";
        case Kind::keyNotFound:
            return "key not found";
        case Kind::dataCorrupted:
            return "data corrupted";
    }
    return "?";
}

using MemberReader = std::function<std::string(const ObjectReader&)>;

// The reader the probe below applies; set by readMember for one decode call.
const MemberReader* probeReader = nullptr;

struct Probe {
    std::string result;
    static Probe decode(const Value& value) { return Probe{(*probeReader)(value.object())}; }
};

// Reads the member "v" of `json` with `read` and answers what came out, or the error's kind.
std::string readMember(const std::string& json, const MemberReader& read) {
    probeReader = &read;
    try {
        return Decoder().decode<Probe>(json).result;
    } catch (const DecodingError& error) {
        return kindName(error.kind());
    }
}

template <class T>
MemberReader as() {
    return [](const ObjectReader& object) {
        const T value = object.decode<T>("v");
        if constexpr (std::is_same_v<T, std::optional<std::string>>) {
            return value.value_or("none");
        } else if constexpr (std::is_same_v<T, std::string>) {
            return value;
        } else if constexpr (std::is_same_v<T, bool>) {
            return std::string(value ? "true" : "false");
        } else {
            return std::to_string(value);
        }
    };
}

TEST(DecoderTest, TypedReadsAreStrict) {
    struct Row {
        const char* json;
        MemberReader read;
        std::string expected;
    };
    const Row rows[] = {
        {R"({"v": 3})", as<std::int64_t>(), "3"},
        {R"({"v": 3.0})", as<std::int64_t>(), "3"},
        {R"({"v": 1e2})", as<int>(), "100"},
        {R"({"v": -9223372036854775808})", as<std::int64_t>(), "-9223372036854775808"},
        {R"({"v": 3.7})", as<std::int64_t>(), "data corrupted"},
        {R"({"v": 9223372036854775808})", as<std::int64_t>(), "data corrupted"},
        {R"({"v": 1e30})", as<std::int64_t>(), "data corrupted"},
        {R"({"v": 9007199254740991.0})", as<std::int64_t>(), "9007199254740991"},
        {R"({"v": 9007199254740993.0})", as<std::int64_t>(), "data corrupted"},
        {R"({"v": -9223372036854775809})", as<std::int64_t>(), "data corrupted"},
        {R"({"v": 18446744073709551616})", as<std::uint64_t>(), "data corrupted"},
        {R"({"v": 300})", as<std::int8_t>(), "data corrupted"},
        {R"({"v": -1})", as<std::uint32_t>(), "data corrupted"},
        {R"({"v": 18446744073709551615})", as<std::uint64_t>(), "18446744073709551615"},
        {R"({"v": "3"})", as<std::int64_t>(), "type mismatch"},
        {R"({"v": true})", as<bool>(), "true"},
        {R"({"v": 1})", as<bool>(), "type mismatch"},
        {R"({"v": "true"})", as<bool>(), "type mismatch"},
        {R"({"v": 5})", as<std::string>(), "type mismatch"},
        {R"({"v": "a\/b"})", as<std::string>(), "a/b"},
        {R"({"v": 1e39})", as<float>(), "data corrupted"},
        {R"({"v": 3.4028235e38})", as<float>(), std::to_string(3.4028235e38f)},
        {R"({"v": 1e39})", as<double>(), std::to_string(1e39)},
        {R"({"v": "1.5"})", as<double>(), "type mismatch"},
        {R"({"v": null})", as<std::string>(), "value not found"},
        {R"({"w": 1})", as<std::string>(), "key not found"},
        {R"({"v": null})", as<std::optional<std::string>>(), "none"},
        {R"({})", as<std::optional<std::string>>(), "none"},
        {R"([1])", as<std::string>(), "type mismatch"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.json);
        EXPECT_EQ(readMember(row.json, row.read), row.expected);
    }
}

TEST(DecoderTest, AnErrorNamesThePathTheValueAndTheExpectedType) {
    const std::string json = R"({"Uid":1,"Name":"Root","Work":1,"Cost":1,"Done":false,
        "Start":"2024-01-01T00:00:00Z","Childs":[
          {"Uid":2,"Name":"a","Work":1,"Cost":1,"Done":false,"Start":"2024-01-01T00:00:00Z"},
          {"Uid":"three","Name":"b","Work":1,"Cost":1,"Done":false,"Start":"2024-01-01T00:00:00Z"}
        ]})";
    try {
        static_cast<void>(Decoder().decode<TaskRecord>(json));
        FAIL() << "decoded";
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.kind(), Kind::typeMismatch);
        EXPECT_EQ(describe(error.codingPath()), "Childs[1].Uid");
        EXPECT_EQ(error.expectedType(), "Int64");
        EXPECT_NE(error.localizedDescription().find("\"three\""), std::string::npos)
            << error.localizedDescription();
    }

    try {
        static_cast<void>(Decoder().decode<TaskRecord>(R"({"Uid":1})"));
        FAIL() << "decoded";
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.kind(), Kind::keyNotFound);
        EXPECT_EQ(error.missingKey(), "Name");
        EXPECT_TRUE(error.codingPath().empty());
    }
}

TEST(DecoderTest, RoundTripOfARecordTree) {
    TaskRecord child{
        2,           "Child/1", "n\u00e9", 0.1f, 1234.5678, true, utcDate(2030, 12, 31, 23, 59, 59),
        std::nullopt};
    const TaskRecord root{1,    "Root", std::nullopt,        3.4028235e38f,
                          -0.0, false,  utcDate(1990, 1, 1), std::vector<TaskRecord>{child, child}};
    for (const Formatting formatting : {Formatting::compact, Formatting::pretty}) {
        const std::string text = Encoder(DateEncodingStrategy::iso8601(), formatting).encode(root);
        EXPECT_EQ(Decoder().decode<TaskRecord>(text), root) << text;
    }
}

TEST(DecoderTest, FragmentsArraysAndMalformedText) {
    const Decoder decoder;
    EXPECT_EQ(decoder.decode<std::optional<TaskRecord>>("null"), std::nullopt);
    EXPECT_EQ(decoder.decode<int>(" 3 "), 3);
    EXPECT_EQ(decoder.decode<std::vector<int>>("[1,2]"), (std::vector<int>{1, 2}));
    const std::vector<std::uint8_t> bytes{'[', ']'};
    EXPECT_TRUE(decoder.decode<std::vector<int>>(bytes).empty());

    struct Row {
        const char* name;
        std::string text;
    };
    const Row rows[] = {
        {"empty", ""},
        {"trailing text", "[1] x"},
        {"bad literal", "[tru]"},
        {"invalid UTF-8 in a string", "[\"\xc3\"]"},
        {"number overflow", "[1e999]"},
        {"nested too deeply",
         std::string(kMaximumNestingDepth + 1, '[') + std::string(kMaximumNestingDepth + 1, ']')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            static_cast<void>(decoder.decode<std::optional<std::vector<int>>>(row.text));
            ADD_FAILURE() << "decoded";
        } catch (const DecodingError& error) {
            EXPECT_EQ(error.kind(), Kind::dataCorrupted);
        }
    }
    EXPECT_NO_THROW(
        ParsedJson(std::string(kMaximumNestingDepth, '[') + std::string(kMaximumNestingDepth, ']')))
        << "the limit itself is allowed";
}

TEST(DecoderTest, ObjectWhereAnArrayIsExpectedIsATypeMismatch) {
    try {
        static_cast<void>(Decoder().decode<std::vector<TaskRecord>>(R"({"Uid":1})"));
        FAIL() << "decoded";
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.kind(), Kind::typeMismatch);
    }
}

// Counts the members of the top-level object while the text streams past, keeping nothing.
struct MemberCount {
    std::size_t members = 0;

    static MemberCount decodeFromText(std::string_view text, const Decoder&) {
        struct Counter : nlohmann::json_sax<nlohmann::json> {
            std::size_t depth = 0;
            std::size_t members = 0;
            bool null() override { return true; }
            bool boolean(bool) override { return true; }
            bool number_integer(number_integer_t) override { return true; }
            bool number_unsigned(number_unsigned_t) override { return true; }
            bool number_float(number_float_t, const string_t&) override { return true; }
            bool string(string_t&) override { return true; }
            bool binary(binary_t&) override { return true; }
            bool start_object(std::size_t) override {
                ++depth;
                return true;
            }
            bool key(string_t&) override {
                members += depth == 1 ? 1 : 0;
                return true;
            }
            bool end_object() override {
                --depth;
                return true;
            }
            bool start_array(std::size_t) override {
                ++depth;
                return true;
            }
            bool end_array() override {
                --depth;
                return true;
            }
            bool parse_error(std::size_t, const std::string&,
                             const nlohmann::detail::exception&) override {
                return false;
            }
        } counter;
        saxParse(text, counter);
        return MemberCount{counter.members};
    }
};

TEST(DecoderTest, ATypeMayReadItselfFromTheTextWithTheDepthLimitKept) {
    EXPECT_EQ(Decoder().decode<MemberCount>(R"({"a":{"b":1,"c":2},"d":[{"e":3}]})").members, 2u);
    EXPECT_THROW(static_cast<void>(
                     Decoder().decode<MemberCount>(std::string(kMaximumNestingDepth + 1, '[') +
                                                   std::string(kMaximumNestingDepth + 1, ']'))),
                 DecodingError);
    EXPECT_THROW(static_cast<void>(Decoder().decode<MemberCount>("{\"a\":")), DecodingError);
}

}  // namespace
