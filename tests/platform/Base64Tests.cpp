#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/Base64.h"

namespace {

std::vector<std::uint8_t> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

std::string repeated(std::string_view text, int times) {
    std::string result;
    for (int i = 0; i < times; ++i) {
        result += text;
    }
    return result;
}

TEST(Base64, EncodesWithPaddingInLinesOf64JoinedByCrLf) {
    const std::string fullLine = repeated("YWFh", 16);  // 48 times "a"
    struct Case {
        std::string input;
        std::string encoded;
    };
    const Case cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"\xFF\xFE\xFD", "//79"},
        {std::string(48, 'a'), fullLine},
        {std::string(49, 'a'), fullLine + "\r\nYQ=="},
        {std::string(96, 'a'), fullLine + "\r\n" + fullLine},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(platform::base64Encode(bytes(c.input)), c.encoded);
    }
}

TEST(Base64, DecodesSkippingForeignCharactersAndRefusesBadLengthOrPadding) {
    struct Case {
        std::string text;
        std::optional<std::string> decoded;
    };
    const Case cases[] = {
        {"", ""},
        {"Zm9vYg==", "foob"},
        {"Zm9v\r\nYg==", "foob"},
        {" Zm 9v*Yg ==\n", "foob"},
        {"//79", "\xFF\xFE\xFD"},
        {"Zm8=", "fo"},
        {"Zm9vYg", std::nullopt},    // padding missing
        {"Zm9vY", std::nullopt},     // one sextet cannot make a byte
        {"Zm9vYg=", std::nullopt},   // padding short
        {"Zm9v====", std::nullopt},  // padding without a group
        {"Zg==Zg==", std::nullopt},  // text after the padding
        {"Y===", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto decoded = platform::base64Decode(c.text);
        EXPECT_EQ(decoded.has_value(), c.decoded.has_value());
        if (decoded && c.decoded) {
            EXPECT_EQ(*decoded, bytes(*c.decoded));
        }
    }
}

TEST(Base64, RoundTripsEveryByteValue) {
    std::vector<std::uint8_t> all;
    for (int value = 0; value < 256; ++value) {
        all.push_back(static_cast<std::uint8_t>(value));
    }
    EXPECT_EQ(platform::base64Decode(platform::base64Encode(all)), all);
}

}  // namespace
