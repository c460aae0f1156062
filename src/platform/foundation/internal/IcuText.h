#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unicode/stringpiece.h>
#include <unicode/unistr.h>

#include "platform/foundation/Error.h"

// Shared by the ICU-backed sources of platform/foundation; not part of the platform's interface.
namespace platform::internal {

// ICU measures text with 32-bit lengths. A longer text is refused rather than silently cut short.
inline std::int32_t icuLength(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Error("The text is too long to process.");
    }
    return static_cast<std::int32_t>(text.size());
}

// ICU replaces each ill-formed UTF-8 sequence with U+FFFD here.
inline icu::UnicodeString toUnicode(std::string_view utf8) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), icuLength(utf8)));
}

inline std::string toUTF8(const icu::UnicodeString& text) {
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

}  // namespace platform::internal
