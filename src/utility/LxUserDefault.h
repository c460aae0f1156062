#pragma once

#include <concepts>
#include <cstdint>
#include <exception>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/defaults/UserDefaults.h"
#include "utility/LxJsonHelper.h"
#include "utility/LxLazyValues.h"
#include "utility/RawRepresentable.h"

// Settings kept in the user defaults (platform::UserDefaults), one key per setting.
//
// `LxUserDefaultStorable<T>` tells how a type is read from and written to the store. It is
// given for text, whole numbers, doubles (also the graphics float), Booleans, raw-value types
// (lx::RawRepresentable, stored as their raw value) and every other JSON-codable type (stored
// as pretty JSON data with ISO 8601 dates). A type that is both raw-representable and codable
// is stored by its raw value. Reads answer none when the key is absent or holds something that
// does not convert (platform::UserDefaults says what converts), never 0 or false.

template <class T>
struct LxUserDefaultStorable;

namespace lx::internal {

// A kind the store holds as it is, read with the store's typed read for it.
template <class T, std::optional<T> (platform::UserDefaults::*read)(std::string_view) const>
struct StoredAsItIs {
    static std::optional<T> loadFromUserDefaults(std::string_view key,
                                                 const platform::UserDefaults& from) {
        return (from.*read)(key);
    }
    static void saveToUserDefaults(platform::UserDefaults& to, std::string_view key,
                                   const T& value) {
        to.set(key, value);
    }
};

}  // namespace lx::internal

template <>
struct LxUserDefaultStorable<std::string>
    : lx::internal::StoredAsItIs<std::string, &platform::UserDefaults::string> {};

template <std::signed_integral T>
struct LxUserDefaultStorable<T> {
    static std::optional<T> loadFromUserDefaults(std::string_view key,
                                                 const platform::UserDefaults& from) {
        const auto value = from.integer(key);
        if (!value || *value < std::numeric_limits<T>::min() ||
            *value > std::numeric_limits<T>::max()) {
            return std::nullopt;
        }
        return static_cast<T>(*value);
    }
    static void saveToUserDefaults(platform::UserDefaults& to, std::string_view key, T value) {
        to.set(key, static_cast<std::int64_t>(value));
    }
};

template <>
struct LxUserDefaultStorable<double>
    : lx::internal::StoredAsItIs<double, &platform::UserDefaults::double_> {};

template <>
struct LxUserDefaultStorable<bool>
    : lx::internal::StoredAsItIs<bool, &platform::UserDefaults::bool_> {};

namespace lx::internal {

template <class T>
concept StoredDirectly = std::same_as<T, std::string> || std::same_as<T, double> ||
    std::same_as<T, bool> || std::signed_integral<T>;

template <class T>
concept StoredByRawValue = RawRepresentable<T> && !StoredDirectly<T>;

template <class T>
concept StoredAsJson =
    platform::json::Encodable<T> && platform::json::Decodable<T> && !RawRepresentable<T> &&
    !StoredDirectly<T>;

}  // namespace lx::internal

template <lx::internal::StoredByRawValue T>
struct LxUserDefaultStorable<T> {
    using RawValue = typename lx::RawValueTraits<T>::RawValue;

    static std::optional<T> loadFromUserDefaults(std::string_view key,
                                                 const platform::UserDefaults& from) {
        const auto raw = LxUserDefaultStorable<RawValue>::loadFromUserDefaults(key, from);
        return raw ? lx::RawValueTraits<T>::fromRawValue(*raw) : std::nullopt;
    }
    static void saveToUserDefaults(platform::UserDefaults& to, std::string_view key,
                                   const T& value) {
        LxUserDefaultStorable<RawValue>::saveToUserDefaults(to, key,
                                                            lx::RawValueTraits<T>::rawValue(value));
    }
};

template <lx::internal::StoredAsJson T>
struct LxUserDefaultStorable<T> {
    // Data that does not decode reads as none; the decoding error is dropped.
    static std::optional<T> loadFromUserDefaults(std::string_view key,
                                                 const platform::UserDefaults& from) {
        const auto data = from.data(key);
        if (!data) {
            return std::nullopt;
        }
        try {
            return LxJsonHelper().load<T>(*data);
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    // A value that does not encode leaves the store as it was, and nothing is reported.
    static void saveToUserDefaults(platform::UserDefaults& to, std::string_view key,
                                   const T& value) {
        LxJsonHelper::Data data;
        try {
            data = LxJsonHelper().jsonData(value);
        } catch (const std::exception&) {
            return;
        }
        to.set(key, std::move(data));
    }
};

namespace lx {

template <class T>
concept UserDefaultStorable = requires(const platform::UserDefaults& from,
                                       platform::UserDefaults& to, const T& value) {
    { LxUserDefaultStorable<T>::loadFromUserDefaults("", from) } -> std::same_as<std::optional<T>>;
    LxUserDefaultStorable<T>::saveToUserDefaults(to, "", value);
};

}  // namespace lx

// One setting under one key: read from the store once, when made (the default when the store
// has none), then the last value set through it. Every set writes through to the store. A
// value type: copies share the store, not the value. The store must outlive the wrapper.
//
// Example:
//   LxUserDefault<double> width("view_width", 320.0);
//   width.setWrappedValue(400.0);
template <lx::UserDefaultStorable T>
class LxUserDefault : public lx::internal::ModifiableWrappedValue<LxUserDefault<T>, T> {
public:
    LxUserDefault(std::string key, T defaultValue,
                  platform::UserDefaults& userDefaults = platform::UserDefaults::standard())
        : userDefaults_(&userDefaults),
          key_(std::move(key)),
          default_(std::move(defaultValue)),
          value_(LxUserDefaultStorable<T>::loadFromUserDefaults(key_, userDefaults)
                     .value_or(default_)) {}

    const T& wrappedValue() const { return value_; }

    void setWrappedValue(T value) {
        value_ = std::move(value);
        LxUserDefaultStorable<T>::saveToUserDefaults(*userDefaults_, key_, value_);
    }

private:
    platform::UserDefaults* userDefaults_;
    std::string key_;
    T default_;
    T value_;
};

// One optional setting under one key: none when the store has none. Setting none removes the
// key from the store.
template <lx::UserDefaultStorable T>
class LxOptionalUserDefault
    : public lx::internal::ModifiableWrappedValue<LxOptionalUserDefault<T>, std::optional<T>> {
public:
    explicit LxOptionalUserDefault(
        std::string key, platform::UserDefaults& userDefaults = platform::UserDefaults::standard())
        : userDefaults_(&userDefaults),
          key_(std::move(key)),
          value_(LxUserDefaultStorable<T>::loadFromUserDefaults(key_, userDefaults)) {}

    const std::optional<T>& wrappedValue() const { return value_; }

    void setWrappedValue(std::optional<T> value) {
        value_ = std::move(value);
        if (value_) {
            LxUserDefaultStorable<T>::saveToUserDefaults(*userDefaults_, key_, *value_);
        } else {
            userDefaults_->removeObject(key_);
        }
    }

private:
    platform::UserDefaults* userDefaults_;
    std::string key_;
    std::optional<T> value_;
};

// Makes settings of one group, under keys prefixed with the group's name: "view" and "width"
// give "view_width". `Group` derives from this and has `std::string groupPrefix() const`.
//
// Example:
//   struct ViewSettings : LxUserDefaultGroup<ViewSettings> {
//       std::string groupPrefix() const { return "view"; }
//   };
//   auto width = ViewSettings().create(320.0, "width");
template <class Group>
class LxUserDefaultGroup {
public:
    template <lx::UserDefaultStorable T>
    LxUserDefault<T> create(
        T defaultValue, std::string_view key,
        platform::UserDefaults& userDefaults = platform::UserDefaults::standard()) const {
        return LxUserDefault<T>(groupKey(key), std::move(defaultValue), userDefaults);
    }

    template <lx::UserDefaultStorable T>
    LxOptionalUserDefault<T> create(
        std::string_view key,
        platform::UserDefaults& userDefaults = platform::UserDefaults::standard()) const {
        return LxOptionalUserDefault<T>(groupKey(key), userDefaults);
    }

private:
    std::string groupKey(std::string_view key) const {
        return static_cast<const Group&>(*this).groupPrefix() + "_" + std::string(key);
    }
};
