#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/json/CodingError.h"
#include "platform/json/DateStrategy.h"

// Writing values as JSON text, straight into the output without building a document first.
namespace platform::json {

class Writer;

namespace internal {

template <class T>
        struct EncodableTrait : std::bool_constant < std::integral<T> ||
    std::floating_point<T> || std::convertible_to<const T&, std::string_view> ||
    std::same_as<T, Date> || requires(const T& value, Writer& writer) {
    value.encode(writer);
} > {};
template <class T>
struct EncodableTrait<std::optional<T>> : EncodableTrait<T> {};
template <class T>
struct EncodableTrait<std::vector<T>> : EncodableTrait<T> {};

// Whole numbers other than Booleans, which are written as true and false.
template <class T>
concept WholeNumber = std::integral<T> && !std::same_as<T, bool>;

}  // namespace internal

// What can be written: Booleans, whole and floating numbers, text, dates, optionals (none is
// null) and vectors (arrays) of these, and every type with a member
// `void encode(platform::json::Writer&) const` that writes exactly one value.
template <class T>
concept Encodable = internal::EncodableTrait<std::remove_cvref_t<T>>::value;

class ObjectWriter;
class ArrayWriter;

// Writes one JSON value; a record's `encode` receives it.
//
// Text must be UTF-8 and is written as it is, except that '"', '\', '/' and control characters
// are escaped ("/" as "\/"). Floating numbers are written with the fewest digits that read back
// as the same number (a float as a float), negative zero as "-0.0" (so that it reads back as a
// floating number with its sign); non-finite ones are an EncodingError, as is
// nesting deeper than kMaximumNestingDepth. Object keys keep the order in which they are
// written. Errors name the path of keys to the bad value.
//
// Example:
//   void encode(platform::json::Writer& writer) const {
//       writer.encodeObject([&](platform::json::ObjectWriter& object) {
//           object.encode("Uid", id);
//           object.encode("Name", name);    // an absent optional writes no key
//       });
//   }
class Writer {
public:
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void encodeNull();
    void encode(bool value);
    template <internal::WholeNumber I>
    void encode(I value) {
        if constexpr (std::is_signed_v<I>) {
            writeSigned(static_cast<std::int64_t>(value));
        } else {
            writeUnsigned(static_cast<std::uint64_t>(value));
        }
    }
    void encode(float value);
    void encode(double value);
    void encode(std::string_view text);
    void encode(const char* text) { encode(std::string_view(text)); }
    void encode(const std::string& text) { encode(std::string_view(text)); }
    // As the date strategy of the encode call writes it.
    void encode(Date date);

    template <class T>
    void encode(const std::optional<T>& value) {
        if (value) {
            encode(*value);
        } else {
            encodeNull();
        }
    }

    template <class T>
    void encode(const std::vector<T>& values);

    template <class T>
    requires requires(const T& value, Writer& writer) { value.encode(writer); }
    void encode(const T& value) { value.encode(*this); }

    template <std::invocable<ObjectWriter&> F>
    void encodeObject(F&& members);
    template <std::invocable<ArrayWriter&> F>
    void encodeArray(F&& elements);

    // Stops the encoding with an EncodingError at the value being written.
    [[noreturn]] void invalidValue(std::string debugDescription) const;

private:
    friend class Encoder;
    friend class ObjectWriter;
    friend class ArrayWriter;

    // A key is kept as a view: it lives as long as the call that writes its value.
    using PathStep = std::variant<std::string_view, std::size_t>;

    Writer(std::string& output, bool pretty, const DateEncodingStrategy& dates)
        : output_(output), pretty_(pretty), dates_(dates) {}

    void writeSigned(std::int64_t value);
    void writeUnsigned(std::uint64_t value);
    void writeText(std::string_view text);
    void open(char bracket);
    void close(char bracket);
    // Before each member or element: the comma and, when pretty, the line and indentation.
    void beginItem();
    void writeKey(std::string_view key);

    std::string& output_;
    const bool pretty_;
    const DateEncodingStrategy& dates_;
    // Per open object or array: whether it has an item yet.
    std::vector<bool> containers_;
    std::vector<PathStep> path_;
};

// The members of one object being written, in the order they are written.
class ObjectWriter {
public:
    ObjectWriter(const ObjectWriter&) = delete;
    ObjectWriter& operator=(const ObjectWriter&) = delete;

    // Writes `key` and `value`; an absent optional writes nothing, not even the key.
    template <class T>
    void encode(std::string_view key, const T& value) {
        if constexpr (requires { value.has_value(); }) {
            if (!value.has_value()) {
                return;
            }
            encode(key, *value);
        } else {
            member(key, [&] { writer_.encode(value); });
        }
    }

    template <std::invocable<ObjectWriter&> F>
    void encodeObject(std::string_view key, F&& members) {
        member(key, [&] { writer_.encodeObject(std::forward<F>(members)); });
    }
    template <std::invocable<ArrayWriter&> F>
    void encodeArray(std::string_view key, F&& elements) {
        member(key, [&] { writer_.encodeArray(std::forward<F>(elements)); });
    }

private:
    friend class Writer;
    explicit ObjectWriter(Writer& writer) : writer_(writer) {}

    template <class WriteValue>
    void member(std::string_view key, WriteValue&& writeValue) {
        writer_.writeKey(key);
        writer_.path_.emplace_back(key);
        writeValue();
        writer_.path_.pop_back();
    }

    Writer& writer_;
};

// The elements of one array being written, in order.
class ArrayWriter {
public:
    ArrayWriter(const ArrayWriter&) = delete;
    ArrayWriter& operator=(const ArrayWriter&) = delete;

    template <class T>
    void encode(const T& value) {
        element([&] { writer_.encode(value); });
    }

    template <std::invocable<ObjectWriter&> F>
    void encodeObject(F&& members) {
        element([&] { writer_.encodeObject(std::forward<F>(members)); });
    }

private:
    friend class Writer;
    explicit ArrayWriter(Writer& writer) : writer_(writer) {}

    template <class WriteValue>
    void element(WriteValue&& writeValue) {
        writer_.beginItem();
        writer_.path_.emplace_back(count_++);
        writeValue();
        writer_.path_.pop_back();
    }

    Writer& writer_;
    std::size_t count_ = 0;
};

template <class T>
void Writer::encode(const std::vector<T>& values) {
    encodeArray([&values](ArrayWriter& array) {
        for (const T& value : values) {
            array.encode(value);
        }
    });
}

template <std::invocable<ObjectWriter&> F>
void Writer::encodeObject(F&& members) {
    open('{');
    ObjectWriter object(*this);
    std::invoke(std::forward<F>(members), object);
    close('}');
}

template <std::invocable<ArrayWriter&> F>
void Writer::encodeArray(F&& elements) {
    open('[');
    ArrayWriter array(*this);
    std::invoke(std::forward<F>(elements), array);
    close(']');
}

// Turns values into JSON text. Each call is independent; any thread, any number at once.
//
// Example:
//   const std::string text = Encoder(DateEncodingStrategy::iso8601(), Formatting::pretty)
//                                .encode(project);
enum class Formatting {
    compact,  // no white space at all
    pretty,   // one member or element per line, indented by two spaces, "key" : value
};

class Encoder {
public:
    explicit Encoder(DateEncodingStrategy dates = DateEncodingStrategy::iso8601(),
                     Formatting formatting = Formatting::compact)
        : dates_(std::move(dates)), formatting_(formatting) {}

    // The whole text, or an EncodingError (nothing partial is ever handed out). The text is
    // written into room for `expectedSize` bytes taken at once, and grows beyond it as needed.
    template <Encodable T>
    std::string encode(const T& value, std::size_t expectedSize = 0) const {
        std::string output;
        output.reserve(expectedSize);
        Writer writer(output, formatting_ == Formatting::pretty, dates_);
        writer.encode(value);
        return output;
    }

private:
    DateEncodingStrategy dates_;
    Formatting formatting_;
};

}  // namespace platform::json
