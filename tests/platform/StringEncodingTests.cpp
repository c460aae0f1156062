#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/StringEncoding.h"

namespace {

using platform::StringEncoding;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

// Well-formed text is written as it is; each ill-formed sequence becomes U+FFFD, the same
// whether or not the text is well-formed elsewhere.
TEST(StringEncoding, Utf8TextIsWrittenAsItsOwnBytes) {
    struct Row {
        std::string text;
        std::string written;
    };
    const std::string replacement = "\xEF\xBF\xBD";
    const Row rows[] = {
        {"", ""},
        {"plain ASCII", "plain ASCII"},
        {std::string("nul\0inside", 10), std::string("nul\0inside", 10)},
        {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
         "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"a\xFF"
         "b",
         "a" + replacement + "b"},
        {"\xC0\xAF", replacement + replacement},
        {"\xED\xA0\x80", replacement + replacement + replacement},
        {"\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},
        {"\xE2\x82", replacement},
        {"\xC3\xA9\xE2\x82", "\xC3\xA9" + replacement},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(platform::encodeText(row.text, StringEncoding::utf8), bytesOf(row.written));
    }
}

TEST(StringEncoding, OtherEncodingsRefuseWhatTheyCannotHold) {
    EXPECT_EQ(platform::encodeText("caf\xC3\xA9", StringEncoding::isoLatin1), bytesOf("caf\xE9"));
    EXPECT_EQ(platform::encodeText("caf\xC3\xA9", StringEncoding::ascii), std::nullopt);
    EXPECT_EQ(platform::decodeText(bytesOf("caf\xE9"), StringEncoding::isoLatin1), "caf\xC3\xA9");
    EXPECT_EQ(platform::decodeText(bytesOf("a\xFF"), StringEncoding::utf8), std::nullopt);
}

}  // namespace
