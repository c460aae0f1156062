#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/json/Records.h"
#include "platform/json/Value.h"
#include "platform/json/Writer.h"
#include "support/UtcDate.h"

namespace {

using namespace platform::json;

TaskRecord sampleTree() {
    TaskRecord child{2,
                     "Design/Build",
                     std::nullopt,
                     0.1f,
                     2.5,
                     true,
                     utcDate(2024, 5, 11, 8, 30),
                     std::vector<TaskRecord>{}};
    return TaskRecord{1,    "Root", "\"quoted\"\n\u00e9", 8.0f,
                      1e-5, false,  utcDate(2024, 5, 1),  std::vector<TaskRecord>{child}};
}

TEST(WriterTest, CompactTextKeepsTheKeyOrderAndEscapesSlashes) {
    EXPECT_EQ(Encoder().encode(sampleTree()),
              R"({"Uid":1,"Name":"Root","Note":"\"quoted\"\n)"
              "\u00e9"
              R"(","Work":8,"Cost":1e-05,"Done":false,"Start":"2024-05-01T00:00:00Z",)"
              R"("Childs":[{"Uid":2,"Name":"Design\/Build","Work":0.1,"Cost":2.5,"Done":true,)"
              R"("Start":"2024-05-11T08:30:00Z","Childs":[]}]})");
}

TEST(WriterTest, PrettyTextPutsOneMemberOnEachLine) {
    TaskRecord leaf{3, "a/b", std::nullopt, 1.5f, 0, false, utcDate(2024, 1, 1), std::nullopt};
    EXPECT_EQ(Encoder(DateEncodingStrategy::iso8601(), Formatting::pretty)
                  .encode(std::vector<TaskRecord>{leaf}),
              "[\n"
              "  {\n"
              "    \"Uid\" : 3,\n"
              "    \"Name\" : \"a\\/b\",\n"
              "    \"Work\" : 1.5,\n"
              "    \"Cost\" : 0,\n"
              "    \"Done\" : false,\n"
              "    \"Start\" : \"2024-01-01T00:00:00Z\"\n"
              "  }\n"
              "]");
}

TEST(WriterTest, FragmentsAndControlCharacters) {
    const Encoder encoder;
    EXPECT_EQ(encoder.encode(std::optional<int>()), "null");
    EXPECT_EQ(encoder.encode(-42), "-42");
    EXPECT_EQ(encoder.encode(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615");
    EXPECT_EQ(encoder.encode(std::string("\x01\t\x7f")), "\"\\u0001\\t\x7f\"");
    EXPECT_EQ(encoder.encode(std::vector<int>{}), "[]");
}

// Written floating numbers read back as the same floating numbers, the sign of zero included:
// "-0" would read back as the whole number 0.
TEST(WriterTest, FloatingNumbersReadBackAsThemselves) {
    const Encoder encoder;
    const Decoder decoder;
    for (const double value : {-0.0, 0.0, 0.1, -2.5, 1e300, 5e-324, 8.0}) {
        SCOPED_TRACE(value);
        const std::string text = encoder.encode(value);
        const auto read = decoder.decode<double>(text);
        EXPECT_EQ(read, value);
        EXPECT_EQ(std::signbit(read), std::signbit(value));
        EXPECT_EQ(encoder.encode(read), text);
    }
    for (const float value : {-0.0f, 0.1f, 3.4028235e38f}) {
        SCOPED_TRACE(value);
        const auto read = decoder.decode<float>(encoder.encode(value));
        EXPECT_EQ(read, value);
        EXPECT_EQ(std::signbit(read), std::signbit(value));
    }
    EXPECT_EQ(encoder.encode(-0.0f), "-0.0");
    EXPECT_EQ(encoder.encode(8.0), "8");
}

TEST(WriterTest, ValuesJsonCannotHoldAreErrorsThatNameTheirPath) {
    struct Row {
        const char* name;
        TaskRecord record;
        const char* path;
    };
    TaskRecord nanWork = sampleTree();
    (*nanWork.childs)[0].work = std::nanf("");
    TaskRecord infiniteCost = sampleTree();
    infiniteCost.cost = std::numeric_limits<double>::infinity();
    TaskRecord badText = sampleTree();
    (*badText.childs)[0].name = "caf\xc3";  // cut inside a character
    TaskRecord surrogate = sampleTree();
    surrogate.name = "\xed\xa0\x80";  // an encoded surrogate is not UTF-8
    const Row rows[] = {
        {"not-a-number float", nanWork, "Childs[0].Work"},
        {"infinite double", infiniteCost, "Cost"},
        {"truncated character", badText, "Childs[0].Name"},
        {"surrogate", surrogate, "Name"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            static_cast<void>(Encoder().encode(row.record));
            ADD_FAILURE() << "encoded";
        } catch (const EncodingError& error) {
            EXPECT_EQ(describe(error.codingPath()), row.path);
        }
    }
}

TEST(WriterTest, NestingBeyondTheLimitIsAnError) {
    TaskRecord deep{0, "leaf", std::nullopt, 0, 0, false, {}, std::nullopt};
    for (std::size_t level = 0; level < kMaximumNestingDepth; ++level) {
        deep = TaskRecord{0, "", std::nullopt, 0, 0, false, {}, std::vector<TaskRecord>{deep}};
    }
    EXPECT_THROW(static_cast<void>(Encoder().encode(deep)), EncodingError);
}

}  // namespace
