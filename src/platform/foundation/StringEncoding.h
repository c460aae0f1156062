#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Conversion between UTF-8 text and bytes in a named encoding, strict in both directions.
namespace platform {

enum class StringEncoding { utf8, ascii, isoLatin1 };

// `bytes` read as text in `encoding`, as UTF-8; none when they are not valid in it.
std::optional<std::string> decodeText(std::span<const std::uint8_t> bytes, StringEncoding encoding);

// UTF-8 `text` written in `encoding`; none when one of its characters has no form there. An
// ill-formed sequence of `text` counts as U+FFFD.
std::optional<std::vector<std::uint8_t>> encodeText(std::string_view text, StringEncoding encoding);

}  // namespace platform
