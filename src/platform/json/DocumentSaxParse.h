#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <rapidjson/error/en.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/foundation/UnicodeText.h"
#include "platform/json/SaxParse.h"

namespace platform::json {

namespace internal {

// Whether `text` holds the UTF-8 form of a UTF-16 surrogate (U+D800 to U+DFFF), which only a
// lone "\uDC00"-style escape can put there once the bytes themselves are validated.
inline bool holdsSurrogate(std::string_view text) {
    for (const char* at = static_cast<const char*>(std::memchr(text.data(), '\xED', text.size()));
         at != nullptr;) {
        const auto offset = static_cast<std::size_t>(at - text.data());
        if (offset + 1 < text.size() && static_cast<unsigned char>(at[1]) >= 0xA0) {
            return true;
        }
        at = static_cast<const char*>(std::memchr(at + 1, '\xED', text.size() - offset - 1));
    }
    return false;
}

// Whether `text` holds an escape that may stand for a surrogate ("\uD800" to "\uDFFF"): only
// then can a string of it hold one, so only then are its strings looked at. An escaped
// backslash before a "u" counts as well; it only costs the look.
inline bool mayEscapeSurrogate(std::string_view text) {
    for (std::size_t at = text.find("\\u"); at != std::string_view::npos;
         at = text.find("\\u", at + 2)) {
        if (at + 2 < text.size() && (text[at + 2] == 'd' || text[at + 2] == 'D')) {
            return true;
        }
    }
    return false;
}

// The power of ten of the first significant digit of the JSON number `text`, none when every
// digit is zero. For a number that parses to no finite double: above zero it is too large,
// otherwise too small to be seen.
inline std::optional<long long> leadingPowerOfTen(std::string_view text) {
    const std::size_t exponentAt = std::min(text.find_first_of("eE"), text.size());
    const std::string_view significand = text.substr(0, exponentAt);
    const std::size_t firstDigit = significand.find_first_of("123456789");
    if (firstDigit == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t point = std::min(significand.find('.'), significand.size());
    long long exponent = 0;
    if (exponentAt < text.size()) {
        std::string_view written = text.substr(exponentAt + 1);
        if (!written.empty() && written.front() == '+') {
            written.remove_prefix(1);
        }
        const auto [end, error] =
            std::from_chars(written.data(), written.data() + written.size(), exponent);
        if (error == std::errc::result_out_of_range) {
            exponent = written.front() == '-' ? std::numeric_limits<int>::min()
                                              : std::numeric_limits<int>::max();
        }
    }
    const auto position = static_cast<long long>(firstDigit);
    const auto pointAt = static_cast<long long>(point);
    return exponent + (position < pointAt ? pointAt - position - 1 : pointAt - position);
}

// Hands the events of RapidJSON's reader on to a handler of nlohmann::json's SAX interface,
// with the numbers sorted as nlohmann sorts them (not negative: unsigned) and each string
// checked for the one ill-formed UTF-8 that RapidJSON makes itself.
template <class Handler>
class RapidJsonEvents {
public:
    using Ch = char;
    using Json = nlohmann::json;

    RapidJsonEvents(Handler& handler, const rapidjson::MemoryStream& stream, bool checkSurrogates)
        : handler_(handler), stream_(stream), checkSurrogates_(checkSurrogates) {}

    bool Null() { return handler_.null(); }
    bool Bool(bool value) { return handler_.boolean(value); }
    bool Int(int value) { return Int64(value); }
    bool Uint(unsigned value) { return handler_.number_unsigned(value); }
    bool Int64(std::int64_t value) {
        return value < 0 ? handler_.number_integer(value)
                         : handler_.number_unsigned(static_cast<std::uint64_t>(value));
    }
    bool Uint64(std::uint64_t value) { return handler_.number_unsigned(value); }
    bool Double(double value) { return handler_.number_float(value, noText_); }
    // RapidJSON checks the number's grammar; the value is ours to read, correctly rounded, since
    // its own full-precision reading works on an undefined count of leading zeros when every
    // digit is zero ("0E-49").
    bool RawNumber(const Ch* text, rapidjson::SizeType length, bool) {
        const std::string_view number(text, length);
        // Not find_first_of, which looks each digit up in the set with a call of its own.
        if (std::none_of(number.begin(), number.end(),
                         [](char c) { return c == '.' || c == 'e' || c == 'E'; })) {
            if (const auto integer = wholeNumber(number)) {
                return *integer;
            }
        }
        double value = 0;
        const auto [end, error] = std::from_chars(text, text + length, value);
        if (error == std::errc::result_out_of_range) {
            if (internal::leadingPowerOfTen(number).value_or(0) > 0) {
                throwNotJsonAt("Number too big to be stored in double.", stream_.Tell());
            }
            value = number.front() == '-' ? -0.0 : 0.0;
        }
        return Double(value);
    }
    bool String(const Ch* text, rapidjson::SizeType length, bool) {
        assign(text, length);
        return handler_.string(text_);
    }
    bool StartObject() { return handler_.start_object(std::numeric_limits<std::size_t>::max()); }
    bool Key(const Ch* text, rapidjson::SizeType length, bool) {
        assign(text, length);
        return handler_.key(text_);
    }
    bool EndObject(rapidjson::SizeType) { return handler_.end_object(); }
    bool StartArray() { return handler_.start_array(std::numeric_limits<std::size_t>::max()); }
    bool EndArray(rapidjson::SizeType) { return handler_.end_array(); }

private:
    // Hands on a whole number that fits 64 bits, as RapidJSON would; none for one to read as a
    // double.
    std::optional<bool> wholeNumber(std::string_view number) {
        const char* const first = number.data();
        const char* const last = number.data() + number.size();
        if (number.front() == '-') {
            std::int64_t value = 0;
            if (std::from_chars(first, last, value).ec == std::errc()) {
                return Int64(value);
            }
            return std::nullopt;
        }
        std::uint64_t value = 0;
        if (std::from_chars(first, last, value).ec == std::errc()) {
            return Uint64(value);
        }
        return std::nullopt;
    }

    void assign(const Ch* text, rapidjson::SizeType length) {
        text_.assign(text, length);
        if (checkSurrogates_ && holdsSurrogate(text_)) {
            throwNotJsonAt("The surrogate U+DC00..U+DFFF is not after U+D800..U+DBFF.",
                           stream_.Tell());
        }
    }

    Handler& handler_;
    const rapidjson::MemoryStream& stream_;
    const bool checkSurrogates_;
    Json::string_t text_;
    const Json::string_t noText_;
};

}  // namespace internal

// saxParse (SaxParse.h) for whole project documents: the same handler interface, the same
// strictness (RFC 8259 numbers read correctly rounded, well-formed UTF-8, nesting at most
// kMaximumNestingDepth deep, one whole value and nothing after it, a UTF-8 byte-order mark
// before it skipped) and the same DecodingErrors, over RapidJSON's reader, which parses such
// text about three times as fast. Only the parser's own words in a not-JSON error differ, and a
// NUL byte is refused wherever it is (saxParse takes one after the value as the end).
//
// Requires: Handler is copyable. RapidJSON refuses some numbers that a double holds ("0e400",
// a whole part of 311 digits) before handing them on; a text with one is read again from its
// start by saxParse, with the handler as it was before the first reading.
template <class Handler>
bool saxParseDocument(std::string_view text, Handler& handler) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    const std::size_t skipped = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    text.remove_prefix(skipped);
    // An empty view may have no data at all, which memchr must not be given.
    const void* nul = text.empty() ? nullptr : std::memchr(text.data(), '\0', text.size());
    if (nul != nullptr) {
        internal::throwNotJsonAt(
            "Invalid character NUL.",
            skipped + static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    }
    const Handler unread = handler;
    rapidjson::MemoryStream stream(text.data(), text.size());
    internal::DepthLimitedSax<Handler> limited(handler);
    internal::RapidJsonEvents<internal::DepthLimitedSax<Handler>> events(
        limited, stream, internal::mayEscapeSurrogate(text));
    rapidjson::Reader reader;
    // RapidJSON validating the encoding byte by byte as it reads strings costs it a tenth of
    // its time. Text that is well-formed UTF-8 throughout, as documents are, cannot fail that
    // check, so only other text is read with it (and gets its error at its place).
    constexpr unsigned kFlags = rapidjson::kParseNumbersAsStringsFlag;
    const rapidjson::ParseResult result =
        isValidUTF8(text)
            ? reader.Parse<kFlags>(stream, events)
            : reader.Parse<kFlags | rapidjson::kParseValidateEncodingFlag>(stream, events);
    if (result.IsError()) {
        if (result.Code() == rapidjson::kParseErrorTermination) {
            return false;
        }
        if (result.Code() == rapidjson::kParseErrorNumberTooBig) {
            handler = unread;
            return saxParse(text, handler);
        }
        internal::throwNotJsonAt(rapidjson::GetParseError_En(result.Code()),
                                 skipped + result.Offset());
    }
    return true;
}

}  // namespace platform::json
