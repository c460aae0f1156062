#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Base64 coding of bytes with the standard alphabet of RFC 4648, as Foundation's data offers it.
namespace platform {

// `bytes` in Base64 with closing "=" padding, in lines of 64 characters joined by CR LF (no line
// break after the last line).
std::string base64Encode(std::span<const std::uint8_t> bytes);

// The bytes of Base64 `text`. Characters outside the alphabet other than "=" are skipped; none
// when what remains is not whole four-character groups, the last one padded with "=" as needed,
// or goes on after its padding.
std::optional<std::vector<std::uint8_t>> base64Decode(std::string_view text);

}  // namespace platform
