#include "platform/json/Writer.h"

#include <array>
#include <charconv>
#include <cmath>

#include "platform/foundation/UnicodeText.h"

namespace platform::json {
namespace {

// Bytes written as they are inside a string: printable ASCII other than the escaped ones.
bool isPlain(unsigned char byte) {
    return byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\' && byte != '/';
}

const char* shortEscape(unsigned char byte) {
    switch (byte) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '/':
            return "\\/";
        case '\b':
            return "\\b";
        case '\f':
            return "\\f";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            return nullptr;
    }
}

template <class Number>
void appendNumber(std::string& output, Number value) {
    std::array<char, 64> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    output.append(digits.data(), result.ptr);
}

// Negative zero with a fraction: "-0" reads back as the whole number 0, and the sign would be
// lost on the next writing.
template <class Floating>
void appendFloating(std::string& output, Floating value) {
    if (value == 0 && std::signbit(value)) {
        output += "-0.0";
        return;
    }
    appendNumber(output, value);
}

}  // namespace

void Writer::encodeNull() {
    output_ += "null";
}

void Writer::encode(bool value) {
    output_ += value ? "true" : "false";
}

void Writer::writeSigned(std::int64_t value) {
    appendNumber(output_, value);
}

void Writer::writeUnsigned(std::uint64_t value) {
    appendNumber(output_, value);
}

// The shortest digits of the float itself, so "0.1f" is written "0.1", not the digits of the
// double it widens to.
void Writer::encode(float value) {
    if (!std::isfinite(value)) {
        invalidValue("The number " + std::to_string(value) + " cannot be written in JSON");
    }
    appendFloating(output_, value);
}

void Writer::encode(double value) {
    if (!std::isfinite(value)) {
        invalidValue("The number " + std::to_string(value) + " cannot be written in JSON");
    }
    appendFloating(output_, value);
}

void Writer::encode(std::string_view text) {
    writeText(text);
}

void Writer::encode(Date date) {
    dates_.encode(date, *this);
}

void Writer::writeText(std::string_view text) {
    output_ += '"';
    std::size_t index = 0;
    while (index < text.size()) {
        std::size_t plainEnd = index;
        while (plainEnd < text.size() && isPlain(static_cast<unsigned char>(text[plainEnd]))) {
            ++plainEnd;
        }
        output_.append(text.substr(index, plainEnd - index));
        index = plainEnd;
        if (index == text.size()) {
            break;
        }
        const auto byte = static_cast<unsigned char>(text[index]);
        if (byte >= 0x80) {
            const std::size_t length = utf8SequenceLength(text.substr(index));
            if (length == 0) {
                invalidValue("The text is not valid UTF-8 (byte " + std::to_string(byte) +
                             " at offset " + std::to_string(index) + ")");
            }
            output_.append(text.substr(index, length));
            index += length;
        } else if (const char* escape = shortEscape(byte)) {
            output_ += escape;
            ++index;
        } else {
            static constexpr char kHex[] = "0123456789abcdef";
            output_ += "\\u00";
            output_ += kHex[byte >> 4];
            output_ += kHex[byte & 0xF];
            ++index;
        }
    }
    output_ += '"';
}

void Writer::open(char bracket) {
    if (containers_.size() >= kMaximumNestingDepth) {
        invalidValue("The value is nested more than " + std::to_string(kMaximumNestingDepth) +
                     " levels deep");
    }
    output_ += bracket;
    containers_.push_back(false);
}

void Writer::close(char bracket) {
    const bool hadItems = containers_.back();
    containers_.pop_back();
    if (hadItems && pretty_) {
        output_ += '\n';
        output_.append(2 * containers_.size(), ' ');
    }
    output_ += bracket;
}

void Writer::beginItem() {
    if (containers_.back()) {
        output_ += ',';
    }
    containers_.back() = true;
    if (pretty_) {
        output_ += '\n';
        output_.append(2 * containers_.size(), ' ');
    }
}

void Writer::writeKey(std::string_view key) {
    beginItem();
    writeText(key);
    output_ += pretty_ ? " : " : ":";
}

void Writer::invalidValue(std::string debugDescription) const {
    CodingPath path;
    path.reserve(path_.size());
    for (const PathStep& step : path_) {
        if (const auto* key = std::get_if<std::string_view>(&step)) {
            path.push_back(CodingKey::key(std::string(*key)));
        } else {
            path.push_back(CodingKey::index(std::get<std::size_t>(step)));
        }
    }
    throw EncodingError(std::move(path), std::move(debugDescription));
}

}  // namespace platform::json
