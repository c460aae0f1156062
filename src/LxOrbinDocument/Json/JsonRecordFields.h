#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/json/Value.h"
#include "platform/json/Writer.h"

// The key tables of the project document's records, and reading and writing driven by them.
//
// A record lists its fields once, in key order, as `static constexpr auto fields()` returning a
// tuple of `jsonRecord::field("Key", &Record::member)`; every member is a std::optional. Reading
// and writing (here and in the document reader) both walk that one list, so they cannot disagree
// on a key. An absent member writes no key; an absent key and null both read as absent; keys
// that are not in the list are ignored. Values are read as strictly as platform::json reads
// them: a wrong type or a number that does not fit fails with the path to the value.
//
// Example:
//   struct JsonTaskUrl {
//       std::optional<std::string> title;
//
//       static constexpr auto fields() {
//           return std::tuple{jsonRecord::field("title", &JsonTaskUrl::title)};
//       }
//       void encode(platform::json::Writer& writer) const { jsonRecord::encode(*this, writer); }
//       static JsonTaskUrl decode(const platform::json::Value& value) {
//           return jsonRecord::decode<JsonTaskUrl>(value);
//       }
//   };
namespace jsonRecord {

template <class Record, class Member>
struct Field {
    using MemberType = Member;
    std::string_view key;
    Member Record::*member;
};

template <class Record, class Member>
constexpr Field<Record, Member> field(std::string_view key, Member Record::*member) {
    return {key, member};
}

template <class T>
concept Record = requires {
    T::fields();
};

template <Record R>
inline constexpr auto fieldsOf = R::fields();

template <Record R>
inline constexpr std::size_t fieldCount =
    std::tuple_size_v<std::remove_cv_t<decltype(fieldsOf<R>)>>;

inline constexpr std::size_t kUnknownField = static_cast<std::size_t>(-1);

template <std::size_t N>
constexpr bool allDistinct(const std::array<std::string_view, N>& keys) {
    for (std::size_t index = 0; index < N; ++index) {
        for (std::size_t other = index + 1; other < N; ++other) {
            if (keys[index] == keys[other]) {
                return false;
            }
        }
    }
    return true;
}

// The position of `key` in the record's list; kUnknownField for a key the record does not have.
// Documents list a record's keys in the order of its list, so the field after `previous` (the
// field of the key before, or kUnknownField) is tried first.
template <Record R>
std::size_t fieldIndex(std::string_view key, std::size_t previous = kUnknownField) {
    static constexpr auto keys = std::apply(
        [](const auto&... fields) {
            return std::array<std::string_view, sizeof...(fields)>{fields.key...};
        },
        fieldsOf<R>);
    static_assert(allDistinct(keys), "a record's keys name one field each");
    if (const std::size_t next = previous + 1; next < keys.size() && keys[next] == key) {
        return next;
    }
    for (std::size_t index = 0; index < keys.size(); ++index) {
        if (keys[index] == key) {
            return index;
        }
    }
    return kUnknownField;
}

// Calls `visit` with the field at `index` of the record's list.
template <Record R, class Visit>
void withField(std::size_t index, Visit&& visit) {
    std::apply(
        [&](const auto&... fields) {
            std::size_t at = 0;
            static_cast<void>(((at++ == index ? (visit(fields), true) : false) || ...));
        },
        fieldsOf<R>);
}

template <Record R>
void encode(const R& record, platform::json::Writer& writer) {
    writer.encodeObject([&record](platform::json::ObjectWriter& object) {
        std::apply(
            [&](const auto&... fields) { (object.encode(fields.key, record.*fields.member), ...); },
            fieldsOf<R>);
    });
}

// As encode(), except that the field `replaced` is written by `writeReplaced(object, key)`
// in its place in the key order, instead of from the record; it writes no key or one member.
template <Record R, class M, class WriteReplaced>
void encodeReplacing(const R& record, M R::*replaced, WriteReplaced&& writeReplaced,
                     platform::json::Writer& writer) {
    writer.encodeObject([&](platform::json::ObjectWriter& object) {
        const auto encodeField = [&](const auto& field) {
            if constexpr (std::is_same_v<decltype(field.member), M R::*>) {
                if (field.member == replaced) {
                    writeReplaced(object, field.key);
                    return;
                }
            }
            object.encode(field.key, record.*field.member);
        };
        std::apply([&](const auto&... fields) { (encodeField(fields), ...); }, fieldsOf<R>);
    });
}

// Reads the keys in the order of the list; the first that fails stops the reading.
template <Record R>
R decode(const platform::json::Value& value) {
    const auto object = value.object();
    R record;
    std::apply(
        [&](const auto&... fields) {
            ((record.*fields.member =
                  object.decode<typename std::remove_cvref_t<decltype(fields)>::MemberType>(
                      fields.key)),
             ...);
        },
        fieldsOf<R>);
    return record;
}

}  // namespace jsonRecord
