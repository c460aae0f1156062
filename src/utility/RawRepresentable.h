#pragma once

#include <concepts>
#include <optional>
#include <type_traits>
#include <utility>

// Types that stand for values of another type (their raw values) and can be made back from
// them where a case has that raw value.
namespace lx {

// How a type maps to its raw values. A type with a member `rawValue()` and a static member
// `fromRawValue(raw)` answering an optional has them without further ado (the model's value
// enumerations, OrbTaskLinkType); specialise this for other types, plain enumerations included:
//
//   template <> struct lx::RawValueTraits<Layout> {
//       using RawValue = std::int64_t;
//       static RawValue rawValue(Layout layout) { return static_cast<RawValue>(layout); }
//       static std::optional<Layout> fromRawValue(RawValue raw);  // none when no case has it
//   };
template <class T>
struct RawValueTraits {};

template <class T>
requires requires(const T& value) {
    { T::fromRawValue(value.rawValue()) } -> std::same_as<std::optional<T>>;
}
struct RawValueTraits<T> {
    using RawValue = std::remove_cvref_t<decltype(std::declval<const T&>().rawValue())>;
    static RawValue rawValue(const T& value) { return value.rawValue(); }
    static std::optional<T> fromRawValue(const RawValue& raw) { return T::fromRawValue(raw); }
};

template <class T>
concept RawRepresentable = requires(const T& value,
                                    const typename RawValueTraits<T>::RawValue& raw) {
    {
        RawValueTraits<T>::rawValue(value)
        } -> std::convertible_to<typename RawValueTraits<T>::RawValue>;
    { RawValueTraits<T>::fromRawValue(raw) } -> std::same_as<std::optional<T>>;
};

}  // namespace lx
