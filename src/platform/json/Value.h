#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/json/CodingError.h"
#include "platform/json/DateStrategy.h"

// Reading values from JSON text: strict typed access to a parsed document.
namespace platform::json {

class Value;
class Decoder;

namespace internal {

template <class T>
        struct DecodableTrait : std::bool_constant < std::integral<T> ||
    std::floating_point<T> || std::same_as<T, std::string> || std::same_as<T, Date> ||
    requires(const Value& value) {
    { T::decode(value) } -> std::same_as<T>;
} > {};
template <class T>
struct DecodableTrait<std::optional<T>> : DecodableTrait<T> {};
template <class T>
struct DecodableTrait<std::vector<T>> : DecodableTrait<T> {};

template <class T>
inline constexpr bool isOptional = false;
template <class T>
inline constexpr bool isOptional<std::optional<T>> = true;

template <class T>
inline constexpr bool isVector = false;
template <class T>
inline constexpr bool isVector<std::vector<T>> = true;

}  // namespace internal

// What can be read: Booleans, whole and floating numbers, text, dates, optionals (null is none)
// and vectors (arrays) of these, and every type with a static member
// `T decode(const platform::json::Value&)`.
template <class T>
concept Decodable = internal::DecodableTrait<T>::value;

// A type that reads itself from the JSON text, for example with saxParse (SaxParse.h), instead
// of from a parsed document: `static T decodeFromText(std::string_view, const Decoder&)`.
template <class T>
concept TextDecodable = requires(std::string_view text, const Decoder& decoder) {
    { T::decodeFromText(text, decoder) } -> std::same_as<T>;
};

template <class T>
concept DecodableFromText = Decodable<T> || TextDecodable<T>;

class ObjectReader;
class ArrayReader;

// One value of a parsed document, read strictly: each typed read accepts only its own kind of
// JSON value and throws DecodingError, naming the path to the value, for anything else.
//
// - Bool: only true and false (not 0 or 1).
// - Whole numbers: JSON numbers with an integral value inside the type's range ("3" and "3.0",
//   not "3.7" or "300" for an int8); the others are data-corrupted errors.
// - float: any number whose magnitude a float can hold; double: any number.
// - Text: only strings. Dates: as the decode call's date strategy reads them.
// - std::optional<T>: null is none. std::vector<T>: an array of T.
//
// A Value is a view: it is valid during the decode call that handed it out.
//
// Example:
//   static Member decode(const platform::json::Value& value) {
//       const auto object = value.object();
//       return Member{object.decode<std::int64_t>("Uid"),
//                     object.decode<std::optional<std::string>>("Name")};
//   }
class Value {
public:
    bool isNull() const;

    template <Decodable T>
    T decode() const;

    ObjectReader object() const;
    ArrayReader array() const;

    // The parsed value itself, for readers that walk the document directly.
    const nlohmann::json& json() const { return *node_; }

    // Where this value is in the document (computed on demand; meant for errors).
    CodingPath codingPath() const;

    // Stops the decoding with a data-corrupted DecodingError at this value.
    [[noreturn]] void dataCorrupted(std::string debugDescription) const;

private:
    friend class Decoder;
    friend class ObjectReader;
    friend class ArrayReader;

    // What every value of one decode call shares.
    struct Context {
        const nlohmann::json* root;
        const DateDecodingStrategy* dates;
    };

    Value(const nlohmann::json& node, const Context& context) : node_(&node), context_(&context) {}

    [[noreturn]] void typeMismatch(const std::string& expected) const;
    [[noreturn]] void valueNotFound(const std::string& expected) const;
    bool decodeBool() const;
    std::int64_t decodeSigned(std::int64_t min, std::int64_t max, const std::string& type) const;
    std::uint64_t decodeUnsigned(std::uint64_t max, const std::string& type) const;
    float decodeFloat() const;
    double decodeDouble() const;
    std::string decodeString() const;
    Date decodeDate() const;

    // The name errors give the type: "Int64", "Float", "String".
    template <class T>
    static std::string typeName() {
        if constexpr (std::same_as<T, bool>) {
            return "Bool";
        } else if constexpr (std::integral<T>) {
            return (std::is_signed_v<T> ? "Int" : "UInt") + std::to_string(8 * sizeof(T));
        } else if constexpr (std::same_as<T, float>) {
            return "Float";
        } else if constexpr (std::floating_point<T>) {
            return "Double";
        } else if constexpr (std::same_as<T, std::string>) {
            return "String";
        } else if constexpr (std::same_as<T, Date>) {
            return "Date";
        } else {
            return "a value";
        }
    }

    const nlohmann::json* node_;
    const Context* context_;
};

// The members of one JSON object, looked up by key.
class ObjectReader {
public:
    bool contains(std::string_view key) const;

    // The value of `key`. A missing key is a key-not-found error and null a value-not-found
    // error, except for std::optional<T>, where both give none.
    template <Decodable T>
    T decode(std::string_view key) const {
        if constexpr (internal::isOptional<T>) {
            return decodeIfPresent<typename T::value_type>(key);
        } else {
            const Value member = value(key);
            if (member.isNull()) {
                member.valueNotFound(Value::typeName<T>());
            }
            return member.decode<T>();
        }
    }

    // None when the key is missing or null.
    template <Decodable T>
    std::optional<T> decodeIfPresent(std::string_view key) const {
        const std::optional<Value> member = valueIfPresent(key);
        if (!member || member->isNull()) {
            return std::nullopt;
        }
        return member->decode<T>();
    }

    // The keys of the object, in the parsed document's order.
    std::vector<std::string> keys() const;

    // The member's value; a missing key is a key-not-found error.
    Value value(std::string_view key) const;
    std::optional<Value> valueIfPresent(std::string_view key) const;

private:
    friend class Value;
    explicit ObjectReader(const Value& object) : object_(object) {}

    Value object_;
};

// The elements of one JSON array, by position.
class ArrayReader {
public:
    std::size_t size() const { return size_; }
    Value operator[](std::size_t index) const;

    template <Decodable T>
    std::vector<T> decodeAll() const {
        std::vector<T> values;
        values.reserve(size_);
        for (std::size_t index = 0; index < size_; ++index) {
            values.push_back((*this)[index].template decode<T>());
        }
        return values;
    }

private:
    friend class Value;
    ArrayReader(const Value& array, std::size_t size) : array_(array), size_(size) {}

    Value array_;
    std::size_t size_;
};

template <Decodable T>
T Value::decode() const {
    if constexpr (std::same_as<T, bool>) {
        return decodeBool();
    } else if constexpr (std::integral<T> && std::is_signed_v<T>) {
        return static_cast<T>(decodeSigned(std::numeric_limits<T>::min(),
                                           std::numeric_limits<T>::max(), typeName<T>()));
    } else if constexpr (std::integral<T>) {
        return static_cast<T>(decodeUnsigned(std::numeric_limits<T>::max(), typeName<T>()));
    } else if constexpr (std::same_as<T, float>) {
        return decodeFloat();
    } else if constexpr (std::floating_point<T>) {
        return static_cast<T>(decodeDouble());
    } else if constexpr (std::same_as<T, std::string>) {
        return decodeString();
    } else if constexpr (std::same_as<T, Date>) {
        return decodeDate();
    } else if constexpr (internal::isOptional<T>) {
        if (isNull()) {
            return std::nullopt;
        }
        return decode<typename T::value_type>();
    } else if constexpr (internal::isVector<T>) {
        return array().template decodeAll<typename T::value_type>();
    } else {
        return T::decode(*this);
    }
}

// A document parsed from JSON text, nested at most kMaximumNestingDepth deep and taking at most
// eight times the text's size in memory, plus 16 MiB for small texts. A text whose document
// would take more (tiny values only: "[{},{},...]" takes some 33 times its size) is refused as
// it is read, before memory runs out; ordinary documents take two to eight times their text.
class ParsedJson {
public:
    // Throws DecodingError (data corrupted) for text that is not one whole JSON value and for
    // one whose document would exceed the memory bound.
    explicit ParsedJson(std::string_view text);
    ~ParsedJson();
    ParsedJson(const ParsedJson&) = delete;
    ParsedJson& operator=(const ParsedJson&) = delete;

    const nlohmann::json& root() const { return *root_; }

private:
    std::unique_ptr<nlohmann::json> root_;
};

// Turns JSON text into values. Each call is independent; any thread, any number at once.
// Top-level fragments ("null", "3") are accepted; `decode<std::optional<T>>` reads a top-level
// null as none. Every failure is a DecodingError.
//
// Example:
//   const auto project = Decoder(myDates).decode<std::optional<JsonProject>>(text);
class Decoder {
public:
    explicit Decoder(DateDecodingStrategy dates = DateDecodingStrategy::iso8601())
        : dates_(std::move(dates)) {}

    template <DecodableFromText T>
    T decode(std::string_view text) const {
        if constexpr (TextDecodable<T>) {
            return T::decodeFromText(text, *this);
        } else {
            const ParsedJson document(text);
            return decodeParsed<T>(document.root());
        }
    }

    template <DecodableFromText T>
    T decode(const std::vector<std::uint8_t>& data) const {
        return decode<T>(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    }

    // From a value parsed already; paths in errors start at `parsed`.
    template <Decodable T>
    T decodeParsed(const nlohmann::json& parsed) const {
        const Value::Context context{&parsed, &dates_};
        return Value(parsed, context).decode<T>();
    }

    const DateDecodingStrategy& dateDecodingStrategy() const { return dates_; }

private:
    DateDecodingStrategy dates_;
};

}  // namespace platform::json
