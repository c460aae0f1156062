#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Operations on UTF-8 text and optional text, shared by the whole system. None of them logs or
// throws, short of a text of 2 GiB or more, which the Unicode layer refuses with
// `platform::Error`.
//
// Positions and counts are in characters (extended grapheme clusters), so "e" + U+0301 is one
// character; equality is canonical Unicode equivalence. An ill-formed UTF-8 sequence counts as
// one character U+FFFD; results cut from a text keep its bytes as they were. Positions outside
// the text are clamped to it, and a single position outside it gives the empty text: no
// operation reads past either end.
//
// Example:
//   lx::trimmed("  Anna \n");                         // "Anna \n": line breaks stay
//   lx::substringToIndex("2021-03-04T10:00:00", 9);   // "2021-03-04"
//   lx::isCaseInsensitiveSame("J\u00dcRGEN", "j\u00fcrgen");  // true
namespace lx {

// Only an optional string itself: a string literal or std::nullopt picks no optional overload.
template <class T>
concept OptionalString = std::same_as<T, std::optional<std::string>>;

// Blank, empty and absent.

// True when every character is white space (the Unicode White_Space property of its first
// scalar: spaces, tabs, line breaks, no-break spaces); the empty text is blank.
bool isBlank(std::string_view text);
bool isBlank(const OptionalString auto& text) {
    return !text || isBlank(std::string_view(*text));
}

bool isEmpty(const std::optional<std::string>& text);

// None for the empty text; a blank, non-empty text stays.
std::optional<std::string> nilIfEmpty(std::string_view text);
std::optional<std::string> nilIfEmpty(const OptionalString auto& text) {
    return text ? nilIfEmpty(std::string_view(*text)) : std::nullopt;
}

std::string emptyIfNil(const std::optional<std::string>& text);

// The text when it is present and not empty; else `replaceEmptyBy`.
std::string string(const std::optional<std::string>& text, std::string_view replaceEmptyBy);

// Equality where an absent text equals an empty one; present texts are equal when canonically
// equivalent.
bool isSameValue(const std::optional<std::string>& lhs, const std::optional<std::string>& rhs);
bool isSameValue(const std::string& text, const std::optional<std::string>& otherString);

// Trimming and cutting.

// Without leading and trailing spaces and tabs; line breaks at either end stay.
std::string trimmed(std::string_view text);

// Without leading and trailing white space and line breaks.
std::string trimmingSpaceAndNewLine(std::string_view text);

// From the first character that is not white space or a line break to the end; a text with no
// such character comes back unchanged.
std::string trimmingLeft(std::string_view text);

// From the start to the last character that is not white space or a line break; a text with no
// such character comes back unchanged.
std::string trimmingRight(std::string_view text);

// Cuts at the first (left) or last (right) literal occurrence of `suffix`: the text before it
// when it ends the text, else the text after it; unchanged when it does not occur or is empty.
// chompedLeftSuffix("key=value", "=") is "value"; chompedRightSuffix("name.txt", ".txt") "name".
std::string chompedLeftSuffix(std::string_view text, std::string_view suffix);
std::string chompedRightSuffix(std::string_view text, std::string_view suffix);

// The pieces between the occurrences of `separator`, empty pieces kept: k occurrences give
// k + 1 pieces. The empty text gives one empty piece; an empty separator the whole text.
std::vector<std::string> splitted(std::string_view text, std::string_view separator);

// Character positions, counted from 0.

// The character at position n; empty when n is outside the text.
std::string subscript(std::string_view text, std::int64_t n);

// The characters from position `lower` up to, not including, `upper`.
std::string subscript(std::string_view text, std::int64_t lower, std::int64_t upper);

// The first n + 1 characters: up to and including position n.
std::string substringToIndex(std::string_view text, std::int64_t n);

// The characters from position n to the end.
std::string substringFromIndex(std::string_view text, std::int64_t n);

// A text shorter than `toLength` characters gets `withPad` (one character) repeated in front up
// to that length; a longer one stays, or with `clipIfLonger` keeps its last `toLength`
// characters.
std::string leftPadding(std::string_view text, std::int64_t toLength, std::string_view withPad,
                        bool clipIfLonger);

// Comparison, e-mail and Base64.

// Equal without regard to case: canonical caseless match, with full case folding.
bool isCaseInsensitiveSame(std::string_view text, std::string_view string);
// Equal for two texts exactly when `isCaseInsensitiveSame` holds for them: a key for lookups.
std::string caseInsensitiveKey(std::string_view text);

// Whether the first link-like thing in the text (a URL with a scheme, a "www." host or an
// e-mail address) is an e-mail address, as a link detector would report it.
bool isEmail(std::string_view text);

// Whether the whole text matches the RFC 5322 general e-mail pattern, ignoring case.
bool isValidEmail(std::string_view text);

// The text's UTF-8 bytes in Base64, lines of 64 characters joined by CR LF.
std::string encodeToBase64Encoding(std::string_view text);

// Base64 text decoded (characters outside the alphabet skipped) and read as UTF-8; none when it
// does not decode or is not valid UTF-8.
std::optional<std::string> decodeFromBase64Encoding(std::string_view text);

}  // namespace lx
