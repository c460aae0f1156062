#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unicode/utf8.h>
#include <vector>

// Unicode answers about UTF-8 text: where its characters (extended grapheme clusters) begin,
// its scalars, white-space membership and canonical comparisons. Backed by ICU.
//
// Text is taken as UTF-8 bytes. Each ill-formed sequence (a maximal subpart, as Unicode
// recommends) reads as one U+FFFD, so no input makes these functions fail, loop or read
// outside the text. Safe to call from any thread.
// Requires: texts shorter than 2 GiB; a longer one throws `platform::Error`.
//
// Example:
//   platform::characterBoundaries("ae\u0301");            // {0, 1, 4}: "a", then "e" + U+0301
//   platform::isCaselessMatch("J\u00dcRGEN", "j\u00fcrgen");  // true
namespace platform {

// The byte offsets at which the characters of `text` begin, then text.size(): n characters
// give n + 1 offsets, the empty text {0}.
std::vector<std::size_t> characterBoundaries(std::string_view text);

// The Unicode scalars of `text`.
std::u32string unicodeScalars(std::string_view text);

bool isValidUTF8(std::string_view bytes);

// The length of the well-formed UTF-8 sequence `bytes` starts with (1 for ASCII); 0 when they
// start with none (empty, a stray continuation byte, a cut, overlong or surrogate form).
// Inline: the JSON writer asks it for every character outside ASCII of a whole document.
inline std::size_t utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) {
        return 0;
    }
    // A sequence is at most four bytes; ICU looks no further than the length it is given.
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(bytes.size(), 4));
    std::int32_t end = 0;
    UChar32 scalar = 0;
    U8_NEXT(data, end, length, scalar);
    return scalar < 0 ? 0 : static_cast<std::size_t>(end);
}

// Appends `text` with every control a terminal would act on written as "\xNN" (hex digits in
// capitals): the C0 controls U+0000 to U+001F and U+007F (line feed and tab kept when
// `keepLayout`), a byte 0x80 to 0x9F outside a well-formed UTF-8 character, and both bytes of
// U+0080 to U+009F. Every other character, and every other byte, stays as it is.
void appendWithoutControls(std::string& out, std::string_view text, bool keepLayout);

// `bytes` with each ill-formed sequence replaced by U+FFFD; well-formed parts stay as they are.
std::string repairedUTF8(std::string_view bytes);

// Whether `scalar` has the Unicode White_Space property: spaces, tabs, line and paragraph
// breaks, no-break spaces. Zero-width characters (U+200B, U+FEFF) do not.
bool hasWhiteSpaceProperty(char32_t scalar);

// Foundation's named sets of scalars.
enum class CharacterSet {
    whitespaces,             // general category Zs and U+0009; no line breaks
    whitespacesAndNewlines,  // whitespaces, U+000A to U+000D, U+0085, U+2028 and U+2029
};

bool contains(CharacterSet set, char32_t scalar);

// Canonical equivalence: the same scalars once both are decomposed (NFD), so a precomposed
// "\u00e9" equals "e" + U+0301.
bool isCanonicallyEquivalent(std::string_view lhs, std::string_view rhs);

// Canonical caseless match (Unicode's D145): the same after decomposition, full case folding
// and decomposition again, so "\u00c4rger" matches "\u00e4RGER".
bool isCaselessMatch(std::string_view lhs, std::string_view rhs);

// A text that two texts share exactly when they are a caseless match (their canonical caseless
// form in UTF-8), for finding caseless matches by lookup instead of comparing every pair.
std::string caselessKey(std::string_view text);

// The order of the scalars of the two texts' composed (NFC) forms, compared one by one:
// canonically equivalent texts are equivalent, and case counts ("B" before "a").
std::weak_ordering compareCanonically(std::string_view lhs, std::string_view rhs);

// The text in lower case by Unicode's default full case mapping, the same in every locale
// ("\u00c9LAN" gives "\u00e9lan").
std::string lowercased(std::string_view text);

}  // namespace platform
