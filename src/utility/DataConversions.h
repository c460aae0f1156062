#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/StringEncoding.h"

// Conversions between UTF-8 text and byte buffers (`std::vector<std::uint8_t>`). None of them
// throws, short of 2 GiB or more, which the Unicode layer refuses with `platform::Error`.
//
// Example:
//   lx::toUTF8String({0x61, 0xFF});                                 // "a\uFFFD"
//   lx::toString({0x61, 0xFF}, platform::StringEncoding::utf8);     // none
namespace lx {

// The bytes read as text in `encoding`; none when they are not valid in it.
std::optional<std::string> toString(const std::vector<std::uint8_t>& data,
                                    platform::StringEncoding encoding);

// The bytes read as UTF-8, each ill-formed sequence replaced by U+FFFD: there is always a text.
std::string toUTF8String(const std::vector<std::uint8_t>& data);

// The text in `encoding` without lossy conversion; none when a character has no form in it.
std::optional<std::vector<std::uint8_t>> toData(std::string_view text,
                                                platform::StringEncoding encoding);

// The text's UTF-8 bytes; an ill-formed sequence in it becomes U+FFFD, as everywhere else.
std::vector<std::uint8_t> toUTF8Data(std::string_view text);

}  // namespace lx
