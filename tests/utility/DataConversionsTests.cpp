#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "utility/DataConversions.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::StringEncoding;

TEST(DataConversions, ReadingBytesIsStrictExceptForTheUtf8Repair) {
    struct Case {
        Bytes data;
        StringEncoding encoding;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {{}, StringEncoding::utf8, ""},
        {{0x4A, 0xC3, 0xBC}, StringEncoding::utf8, "J\u00fc"},
        {{0x61, 0xFF}, StringEncoding::utf8, std::nullopt},
        {{0xED, 0xA0, 0x80}, StringEncoding::utf8, std::nullopt},  // an encoded surrogate
        {{0x41, 0x00, 0x42}, StringEncoding::ascii, std::string("A\0B", 3)},
        {{0x41, 0xE9}, StringEncoding::ascii, std::nullopt},
        {{0x41, 0xE9}, StringEncoding::isoLatin1, "A\u00e9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.data));
        EXPECT_EQ(lx::toString(c.data, c.encoding), c.text);
    }
    EXPECT_EQ(lx::toUTF8String({0x61, 0xFF}), "a\uFFFD");
    EXPECT_EQ(lx::toUTF8String({0xE2, 0x82, 0x61}), "\uFFFDa");
    EXPECT_EQ(lx::toUTF8String({0x4A, 0xC3, 0xBC}), "J\u00fc");
}

TEST(DataConversions, WritingTextRefusesCharactersTheEncodingLacks) {
    struct Case {
        std::string text;
        StringEncoding encoding;
        std::optional<Bytes> data;
    };
    const Case cases[] = {
        {"", StringEncoding::ascii, Bytes{}},
        {"J\u00fc", StringEncoding::utf8, Bytes{0x4A, 0xC3, 0xBC}},
        {"J\u00fc", StringEncoding::isoLatin1, Bytes{0x4A, 0xFC}},
        {"J\u00fc", StringEncoding::ascii, std::nullopt},
        {"\u20ac", StringEncoding::isoLatin1, std::nullopt},
        {"a\xFF", StringEncoding::isoLatin1, std::nullopt},  // U+FFFD has no Latin-1 form
        {"a\xFF", StringEncoding::utf8, Bytes{0x61, 0xEF, 0xBF, 0xBD}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(lx::toData(c.text, c.encoding), c.data);
    }
    EXPECT_EQ(lx::toUTF8Data("J\u00fc"), (Bytes{0x4A, 0xC3, 0xBC}));
    EXPECT_EQ(lx::toUTF8Data("a\xFF"), (Bytes{0x61, 0xEF, 0xBF, 0xBD}));
}

}  // namespace
