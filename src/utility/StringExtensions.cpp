#include "utility/StringExtensions.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "platform/foundation/Base64.h"
#include "platform/foundation/RegularExpression.h"
#include "platform/foundation/StringEncoding.h"
#include "platform/foundation/UnicodeText.h"

namespace lx {
namespace {

using platform::CharacterSet;
using platform::RegularExpression;

// A text divided into its characters, each a view into the text.
class Characters {
public:
    explicit Characters(std::string_view text)
        : text_(text), boundaries_(platform::characterBoundaries(text)) {}

    std::int64_t count() const { return static_cast<std::int64_t>(boundaries_.size()) - 1; }

    std::string_view at(std::int64_t index) const { return slice(index, index + 1); }

    // The characters from `lower` to `upper` (exclusive), both first clamped into the text.
    std::string_view slice(std::int64_t lower, std::int64_t upper) const {
        lower = std::clamp<std::int64_t>(lower, 0, count());
        upper = std::clamp<std::int64_t>(upper, 0, count());
        if (lower >= upper) {
            return {};
        }
        const auto begin = boundaries_[static_cast<std::size_t>(lower)];
        return text_.substr(begin, boundaries_[static_cast<std::size_t>(upper)] - begin);
    }

private:
    std::string_view text_;
    std::vector<std::size_t> boundaries_;
};

// A character belongs to a set when all its scalars do, so a space carrying a combining mark
// is not cut away from its mark.
bool isIn(CharacterSet set, std::string_view character) {
    const auto scalars = platform::unicodeScalars(character);
    return std::all_of(scalars.begin(), scalars.end(),
                       [set](char32_t scalar) { return platform::contains(set, scalar); });
}

// The positions of the first and last characters outside `set`; none when every one is in it.
std::optional<std::pair<std::int64_t, std::int64_t>> innerCharacters(const Characters& characters,
                                                                     CharacterSet set) {
    std::int64_t first = 0;
    while (first < characters.count() && isIn(set, characters.at(first))) {
        ++first;
    }
    if (first == characters.count()) {
        return std::nullopt;
    }
    std::int64_t last = characters.count() - 1;
    while (isIn(set, characters.at(last))) {
        --last;
    }
    return std::pair(first, last);
}

std::string trimmedBothEnds(std::string_view text, CharacterSet set) {
    const Characters characters(text);
    const auto inner = innerCharacters(characters, set);
    return inner ? std::string(characters.slice(inner->first, inner->second + 1)) : std::string();
}

// Cuts `text` at an occurrence of a non-empty `suffix` found at `at`.
std::string chompedAt(std::string_view text, std::size_t at, std::size_t suffixLength) {
    if (at == std::string_view::npos) {
        return std::string(text);
    }
    const std::size_t end = at + suffixLength;
    return std::string(end == text.size() ? text.substr(0, at) : text.substr(end));
}

// The widely published RFC 5322 general e-mail pattern in its lower-case form, "&" and "^"
// escaped inside the classes; the published text is 430 characters long.
constexpr std::string_view kEmailAddressPattern =
    R"((?:[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+(?:\.[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+)*)"
    R"(|"(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21\x23-\x5b\x5d-\x7f])"
    R"(|\\[\x01-\x09\x0b\x0c\x0e-\x7f])*")@(?:(?:[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\.)+)"
    R"([a-z0-9](?:[a-z0-9-]*[a-z0-9])?|\[(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\.){3})"
    R"((?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?|[a-z0-9-]*[a-z0-9]:)"
    R"((?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21-\x5a\x53-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])+)\]))";
static_assert(kEmailAddressPattern.size() == 430);

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

bool isBlank(std::string_view text) {
    const Characters characters(text);
    for (std::int64_t index = 0; index < characters.count(); ++index) {
        if (!platform::hasWhiteSpaceProperty(platform::unicodeScalars(characters.at(index))[0])) {
            return false;
        }
    }
    return true;
}

bool isEmpty(const std::optional<std::string>& text) {
    return !text || text->empty();
}

std::optional<std::string> nilIfEmpty(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    return std::string(text);
}

std::string emptyIfNil(const std::optional<std::string>& text) {
    return text.value_or(std::string());
}

std::string string(const std::optional<std::string>& text, std::string_view replaceEmptyBy) {
    return isEmpty(text) ? std::string(replaceEmptyBy) : *text;
}

bool isSameValue(const std::optional<std::string>& lhs, const std::optional<std::string>& rhs) {
    if (isEmpty(lhs) || isEmpty(rhs)) {
        return isEmpty(lhs) && isEmpty(rhs);
    }
    return platform::isCanonicallyEquivalent(*lhs, *rhs);
}

bool isSameValue(const std::string& text, const std::optional<std::string>& otherString) {
    return isSameValue(std::optional<std::string>(text), otherString);
}

std::string trimmed(std::string_view text) {
    return trimmedBothEnds(text, CharacterSet::whitespaces);
}

std::string trimmingSpaceAndNewLine(std::string_view text) {
    return trimmedBothEnds(text, CharacterSet::whitespacesAndNewlines);
}

std::string trimmingLeft(std::string_view text) {
    const Characters characters(text);
    const auto inner = innerCharacters(characters, CharacterSet::whitespacesAndNewlines);
    return std::string(inner ? characters.slice(inner->first, characters.count()) : text);
}

std::string trimmingRight(std::string_view text) {
    const Characters characters(text);
    const auto inner = innerCharacters(characters, CharacterSet::whitespacesAndNewlines);
    return std::string(inner ? characters.slice(0, inner->second + 1) : text);
}

std::string chompedLeftSuffix(std::string_view text, std::string_view suffix) {
    if (suffix.empty()) {
        return std::string(text);
    }
    return chompedAt(text, text.find(suffix), suffix.size());
}

std::string chompedRightSuffix(std::string_view text, std::string_view suffix) {
    if (suffix.empty()) {
        return std::string(text);
    }
    return chompedAt(text, text.rfind(suffix), suffix.size());
}

std::vector<std::string> splitted(std::string_view text, std::string_view separator) {
    if (separator.empty()) {
        return {std::string(text)};
    }
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, begin)) {
        pieces.emplace_back(text.substr(begin, at - begin));
        begin = at + separator.size();
    }
    pieces.emplace_back(text.substr(begin));
    return pieces;
}

std::string subscript(std::string_view text, std::int64_t n) {
    const Characters characters(text);
    if (n < 0 || n >= characters.count()) {
        return {};
    }
    return std::string(characters.at(n));
}

std::string subscript(std::string_view text, std::int64_t lower, std::int64_t upper) {
    return std::string(Characters(text).slice(lower, upper));
}

std::string substringToIndex(std::string_view text, std::int64_t n) {
    const Characters characters(text);
    // n + 1 would overflow for the largest n; every n from count on means the whole text.
    return std::string(characters.slice(0, n >= characters.count() ? characters.count() : n + 1));
}

std::string substringFromIndex(std::string_view text, std::int64_t n) {
    const Characters characters(text);
    return std::string(characters.slice(n, characters.count()));
}

std::string leftPadding(std::string_view text, std::int64_t toLength, std::string_view withPad,
                        bool clipIfLonger) {
    const Characters characters(text);
    const std::int64_t length = std::max<std::int64_t>(toLength, 0);
    if (characters.count() >= length) {
        return std::string(clipIfLonger
                               ? characters.slice(characters.count() - length, characters.count())
                               : text);
    }
    std::string padded;
    for (std::int64_t missing = length - characters.count(); missing > 0; --missing) {
        padded += withPad;
    }
    padded += text;
    return padded;
}

bool isCaseInsensitiveSame(std::string_view text, std::string_view string) {
    return platform::isCaselessMatch(text, string);
}

std::string caseInsensitiveKey(std::string_view text) {
    return platform::caselessKey(text);
}

bool isEmail(std::string_view text) {
    // No link detector on this platform: the first link-like token stands in for the detector's
    // first match, and only an address (with or without "mailto:") counts as e-mail.
    static const RegularExpression kFirstLink(
        R"((?:mailto:)?([a-z0-9._%+-]+@[a-z0-9-]+(?:\.[a-z0-9-]+)*\.[a-z]{2,}))"
        R"(|[a-z][a-z0-9+.-]*://[^\s]+)"
        R"(|www\.[a-z0-9-]+(?:\.[a-z0-9-]+)+)",
        RegularExpression::LetterCase::ignored);
    const auto match = kFirstLink.firstMatch(text);
    return match && match->groups[0].has_value();
}

bool isValidEmail(std::string_view text) {
    static const RegularExpression kAddress(kEmailAddressPattern,
                                            RegularExpression::LetterCase::ignored);
    return kAddress.matchesWhole(text);
}

std::string encodeToBase64Encoding(std::string_view text) {
    return platform::base64Encode(bytesOf(text));
}

std::optional<std::string> decodeFromBase64Encoding(std::string_view text) {
    const auto bytes = platform::base64Decode(text);
    if (!bytes) {
        return std::nullopt;
    }
    return platform::decodeText(*bytes, platform::StringEncoding::utf8);
}

}  // namespace lx
