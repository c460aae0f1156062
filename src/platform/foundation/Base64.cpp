#include "platform/foundation/Base64.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace platform {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t kLineLength = 64;
constexpr std::int8_t kNotInAlphabet = -1;

constexpr std::array<std::int8_t, 256> makeSextets() {
    std::array<std::int8_t, 256> sextets{};
    sextets.fill(kNotInAlphabet);
    for (std::size_t index = 0; index < kAlphabet.size(); ++index) {
        sextets[static_cast<unsigned char>(kAlphabet[index])] = static_cast<std::int8_t>(index);
    }
    return sextets;
}

constexpr std::array<std::int8_t, 256> kSextets = makeSextets();

}  // namespace

std::string base64Encode(std::span<const std::uint8_t> bytes) {
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4 * (kLineLength + 2) / kLineLength);
    std::size_t lineFill = 0;
    const auto put = [&](char character) {
        if (lineFill == kLineLength) {
            encoded += "\r\n";
            lineFill = 0;
        }
        encoded += character;
        ++lineFill;
    };
    for (std::size_t offset = 0; offset < bytes.size(); offset += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - offset);
        std::uint32_t group = std::uint32_t{bytes[offset]} << 16;
        if (count > 1) {
            group |= std::uint32_t{bytes[offset + 1]} << 8;
        }
        if (count > 2) {
            group |= bytes[offset + 2];
        }
        for (std::size_t sextet = 0; sextet < 4; ++sextet) {
            put(sextet <= count ? kAlphabet[(group >> (18 - 6 * sextet)) & 0x3F] : '=');
        }
    }
    return encoded;
}

std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text) {
    std::vector<std::uint8_t> decoded;
    decoded.reserve(text.size() / 4 * 3);
    std::uint32_t group = 0;
    std::size_t sextets = 0;
    std::size_t padding = 0;
    for (const char character : text) {
        if (character == '=') {
            ++padding;
            continue;
        }
        const std::int8_t value = kSextets[static_cast<unsigned char>(character)];
        if (value == kNotInAlphabet) {
            continue;
        }
        if (padding > 0) {
            return std::nullopt;
        }
        group = (group << 6) | static_cast<std::uint32_t>(value);
        if (++sextets % 4 == 0) {
            decoded.push_back(static_cast<std::uint8_t>(group >> 16));
            decoded.push_back(static_cast<std::uint8_t>(group >> 8));
            decoded.push_back(static_cast<std::uint8_t>(group));
            group = 0;
        }
    }
    const std::size_t tail = sextets % 4;
    // A last group of one sextet cannot hold a byte; two or three need exactly the padding that
    // completes the group.
    if (tail == 1 || (tail == 0 && padding != 0) || (tail != 0 && tail + padding != 4)) {
        return std::nullopt;
    }
    if (tail >= 2) {
        group <<= 6 * (4 - tail);
        decoded.push_back(static_cast<std::uint8_t>(group >> 16));
    }
    if (tail == 3) {
        decoded.push_back(static_cast<std::uint8_t>(group >> 8));
    }
    return decoded;
}

}  // namespace platform
