#include "platform/foundation/UnicodeText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include "platform/foundation/Error.h"
#include "platform/foundation/internal/IcuText.h"

namespace platform {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// Making a break iterator costs far more than running one, and an instance must not be shared
// between threads, so each thread keeps its own. Grapheme clusters need no locale tailoring.
icu::BreakIterator& characterBreakIterator() {
    thread_local const std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status) || !made) {
            throw Error("The Unicode character rules are unavailable.");
        }
        return made;
    }();
    return *iterator;
}

// Calls visit(scalar, end) for each scalar of `text`, where `end` is the offset after it. ICU's
// U8_NEXT steps over a whole maximal ill-formed subpart at once and answers a negative scalar.
template <class Visit>
void forEachScalar(std::string_view text, Visit&& visit) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::int32_t length = internal::icuLength(text);
    std::int32_t offset = 0;
    while (offset < length) {
        UChar32 scalar = 0;
        U8_NEXT(bytes, offset, length, scalar);
        visit(scalar, offset);
    }
}

enum class NormalForm { composed, decomposed };

icu::UnicodeString normalized(NormalForm form, const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* normalizer = form == NormalForm::composed
                                             ? icu::Normalizer2::getNFCInstance(status)
                                             : icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status) || normalizer == nullptr) {
        throw Error("The Unicode normalization data is unavailable.");
    }
    icu::UnicodeString result = normalizer->normalize(text, status);
    if (U_FAILURE(status)) {
        throw Error("The text could not be normalized.");
    }
    return result;
}

icu::UnicodeString decomposed(const icu::UnicodeString& text) {
    return normalized(NormalForm::decomposed, text);
}

// Unicode's canonical caseless match decomposes on both sides of the folding: folding can leave
// text out of canonical order (U+0345 among other marks folds to U+03B9, which is not a mark).
icu::UnicodeString caselessForm(std::string_view text) {
    icu::UnicodeString folded = decomposed(internal::toUnicode(text));
    folded.foldCase(U_FOLD_CASE_DEFAULT);
    return decomposed(folded);
}

bool asciiCaselessEqual(std::string_view lhs, std::string_view rhs) {
    const auto lower = [](char byte) {
        return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
    };
    return std::equal(lhs.begin(), lhs.end(), rhs.begin(), rhs.end(),
                      [&lower](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace

std::vector<std::size_t> characterBoundaries(std::string_view text) {
    std::vector<std::size_t> boundaries;
    // Most text on the road is plain ASCII, where every byte is a character except in the one
    // two-byte cluster CR LF; it skips ICU entirely.
    if (isAscii(text) && text.find('\r') == std::string_view::npos) {
        boundaries.resize(text.size() + 1);
        for (std::size_t offset = 0; offset <= text.size(); ++offset) {
            boundaries[offset] = offset;
        }
        return boundaries;
    }
    // A UTF-8 UText lets the iterator report byte offsets into `text` itself.
    UErrorCode status = U_ZERO_ERROR;
    icu::LocalUTextPointer utext(
        utext_openUTF8(nullptr, text.data(), internal::icuLength(text), &status));
    icu::BreakIterator& iterator = characterBreakIterator();
    iterator.setText(utext.getAlias(), status);
    if (U_FAILURE(status)) {
        throw Error("The text could not be divided into characters.");
    }
    for (std::int32_t offset = iterator.first(); offset != icu::BreakIterator::DONE;
         offset = iterator.next()) {
        boundaries.push_back(static_cast<std::size_t>(offset));
    }
    return boundaries;
}

std::u32string unicodeScalars(std::string_view text) {
    std::u32string scalars;
    forEachScalar(text, [&scalars](UChar32 scalar, std::int32_t) {
        scalars.push_back(scalar < 0 ? U'\uFFFD' : static_cast<char32_t>(scalar));
    });
    return scalars;
}

// Whole documents are checked here before they are written: ASCII is passed over a byte at a
// time, the first ill-formed sequence ends the walk, and no length limit of ICU applies.
namespace {

// Where the first byte at or after `index` that is not ASCII lies (`length` when none), looked
// for eight bytes at a time: a project document is a hundred megabytes of mostly ASCII.
std::int64_t nextNonASCII(const std::uint8_t* bytes, std::int64_t index, std::int64_t length) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    while (index + 8 <= length) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + index, sizeof word);
        if ((word & kHighBits) != 0) {
            break;
        }
        index += 8;
    }
    while (index < length && bytes[index] < 0x80) {
        ++index;
    }
    return index;
}

}  // namespace

bool isValidUTF8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int64_t>(text.size());
    for (std::int64_t index = 0; index < length;) {
        if (bytes[index] < 0x80) {
            index = nextNonASCII(bytes, index, length);
            continue;
        }
        UChar32 scalar = 0;
        U8_NEXT(bytes, index, length, scalar);
        if (scalar < 0) {
            return false;
        }
    }
    return true;
}

namespace {

bool isC0Control(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

void appendHexEscape(std::string& out, char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

}  // namespace

// Bytes 0x80 to 0x9F are the C1 controls of an 8-bit terminal (0x9B opens a sequence as ESC [
// does), and U+0080 to U+009F the same controls to a UTF-8 one; any other character a
// well-formed sequence encodes stays readable as it is.
void appendWithoutControls(std::string& out, std::string_view text, bool keepLayout) {
    for (std::size_t index = 0; index < text.size();) {
        const char c = text[index];
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            const bool layout = keepLayout && (c == '\n' || c == '\t');
            if (isC0Control(c) && !layout) {
                appendHexEscape(out, c);
            } else {
                out += c;
            }
            ++index;
            continue;
        }
        const std::size_t length = utf8SequenceLength(text.substr(index));
        if (length == 0) {
            if (byte <= 0x9F) {
                appendHexEscape(out, c);
            } else {
                out += c;
            }
            ++index;
        } else if (byte == 0xC2 && static_cast<unsigned char>(text[index + 1]) <= 0x9F) {
            appendHexEscape(out, c);
            appendHexEscape(out, text[index + 1]);
            index += length;
        } else {
            out.append(text.substr(index, length));
            index += length;
        }
    }
}

std::string repairedUTF8(std::string_view bytes) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string repaired;
    repaired.reserve(bytes.size());
    std::size_t begin = 0;
    forEachScalar(bytes, [&](UChar32 scalar, std::int32_t end) {
        const auto next = static_cast<std::size_t>(end);
        if (scalar < 0) {
            repaired.append(kReplacement);
        } else {
            repaired.append(bytes.substr(begin, next - begin));
        }
        begin = next;
    });
    return repaired;
}

bool hasWhiteSpaceProperty(char32_t scalar) {
    return u_isUWhiteSpace(static_cast<UChar32>(scalar));
}

bool contains(CharacterSet set, char32_t scalar) {
    const auto category = u_charType(static_cast<UChar32>(scalar));
    if (category == U_SPACE_SEPARATOR || scalar == U'\t') {
        return true;
    }
    if (set == CharacterSet::whitespaces) {
        return false;
    }
    return category == U_LINE_SEPARATOR || category == U_PARAGRAPH_SEPARATOR ||
           (scalar >= U'\n' && scalar <= U'\r') || scalar == U'\u0085';
}

bool isCanonicallyEquivalent(std::string_view lhs, std::string_view rhs) {
    if (lhs == rhs) {
        return true;
    }
    if (isAscii(lhs) && isAscii(rhs)) {
        return false;
    }
    return decomposed(internal::toUnicode(lhs)) == decomposed(internal::toUnicode(rhs));
}

bool isCaselessMatch(std::string_view lhs, std::string_view rhs) {
    // ASCII is its own decomposition and folds by lowering A to Z; member names usually are.
    if (isAscii(lhs) && isAscii(rhs)) {
        return asciiCaselessEqual(lhs, rhs);
    }
    return caselessForm(lhs) == caselessForm(rhs);
}

// ASCII's caseless form is the text with A to Z lowered, the same bytes ICU would give.
std::string caselessKey(std::string_view text) {
    if (isAscii(text)) {
        std::string key(text);
        for (char& byte : key) {
            if (byte >= 'A' && byte <= 'Z') {
                byte = static_cast<char>(byte - 'A' + 'a');
            }
        }
        return key;
    }
    return internal::toUTF8(caselessForm(text));
}

std::weak_ordering compareCanonically(std::string_view lhs, std::string_view rhs) {
    // UTF-8 bytes sort as their scalars do, so composed texts compare as bytes; ASCII is
    // already composed.
    if (isAscii(lhs) && isAscii(rhs)) {
        return lhs <=> rhs;
    }
    const std::string left =
        internal::toUTF8(normalized(NormalForm::composed, internal::toUnicode(lhs)));
    const std::string right =
        internal::toUTF8(normalized(NormalForm::composed, internal::toUnicode(rhs)));
    return left <=> right;
}

std::string lowercased(std::string_view text) {
    icu::UnicodeString lower = internal::toUnicode(text);
    lower.toLower(icu::Locale::getRoot());
    return internal::toUTF8(lower);
}

}  // namespace platform
