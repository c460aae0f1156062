#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/json/Value.h"
#include "support/ChildProcess.h"

namespace {

using platform::json::Decoder;
using platform::json::DecodingError;
using platform::json::Value;

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Any array, of anything.
struct AnyArray {
    std::size_t size = 0;
    static AnyArray decode(const Value& value) { return AnyArray{value.array().size()}; }
};

// `element` repeated, comma-separated, in an array of about `size` bytes.
std::string arrayOf(const std::string& element, std::size_t size) {
    std::string text = "[";
    text.reserve(size + element.size() + 2);
    while (text.size() < size) {
        text += element;
        text += ',';
    }
    text.back() = ']';
    return text;
}

// The process's peak resident memory since the last reset, in bytes.
std::size_t peakResidentBytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmHWM:")) {
            return std::stoul(line.substr(6)) * 1024;
        }
    }
    return 0;
}

void resetPeakResidentBytes() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

TEST(JsonMemoryBound, TextsOfTinyValuesAreRefusedOrdinaryOnesRead) {
    struct Case {
        const char* trace;
        std::string text;
        bool read;
    };
    const std::string record =
        R"({"id":123456,"name":"Task name here","start":"2024-01-01T00:00:00Z","done":false})";
    const Case cases[] = {
        {"empty objects", arrayOf("{}", 4 * kMiB), false},
        {"empty arrays", arrayOf("[]", 4 * kMiB), false},
        {"empty texts", arrayOf(R"("")", 4 * kMiB), false},
        {"objects of one null", arrayOf(R"({"":null})", 4 * kMiB), false},
        {"records", arrayOf(record, 4 * kMiB), true},
        {"numbers", arrayOf("1234567", 4 * kMiB), true},
        {"long texts", arrayOf('"' + std::string(200, 'x') + '"', 4 * kMiB), true},
        {"small and dense", arrayOf("{}", kMiB / 4), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        try {
            EXPECT_GT(Decoder().decode<AnyArray>(c.text).size, 0u);
            EXPECT_TRUE(c.read);
        } catch (const DecodingError& error) {
            EXPECT_FALSE(c.read) << error.localizedDescription();
            EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
            EXPECT_TRUE(error.debugDescription().starts_with("The data would take more than "))
                << error.debugDescription();
        }
    }
}

// Measured in a child of its own, so that the peak is this decode's alone.
TEST(JsonMemoryBound, ARefusedTextOfThirtyTwoMebibytesTakesABoundedPeak) {
    const std::string outcome = child_process::run({}, [] {
        const std::string text = arrayOf("{}", 32 * kMiB);
        resetPeakResidentBytes();
        [[maybe_unused]] const std::size_t before = peakResidentBytes();
        try {
            static_cast<void>(Decoder().decode<AnyArray>(text));
            return std::string("the text was read");
        } catch (const DecodingError&) {
        }
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        // The sanitizers' own bookkeeping of each allocation would count here.
        if (const std::size_t peak = peakResidentBytes() - before; peak > 8 * text.size()) {
            return "the decode took " + std::to_string(peak / kMiB) + " MiB at its peak";
        }
#endif
        return std::string();
    });
    EXPECT_EQ(outcome, "");
}

}  // namespace
