#pragma once

#include <concepts>
#include <optional>

// Types, usually enumerations, that stand for values of another type (their raw values) and
// can be made back from them where a case has that raw value.
namespace lx {

// Specialise for a type to give it raw values:
//
//   template <> struct lx::RawValueTraits<LinkType> {
//       using RawValue = std::int64_t;
//       static RawValue rawValue(LinkType type) { return static_cast<RawValue>(type); }
//       static std::optional<LinkType> fromRawValue(RawValue raw);   // none when no case has it
//   };
template <class T>
struct RawValueTraits;

template <class T>
concept RawRepresentable = requires(const T& value,
                                    const typename RawValueTraits<T>::RawValue& raw) {
    {
        RawValueTraits<T>::rawValue(value)
        } -> std::convertible_to<typename RawValueTraits<T>::RawValue>;
    { RawValueTraits<T>::fromRawValue(raw) } -> std::same_as<std::optional<T>>;
};

}  // namespace lx
