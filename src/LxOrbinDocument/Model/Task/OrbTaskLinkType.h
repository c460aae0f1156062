#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// How a project links its tasks. A value: compare and hash it by case.
//
// Example:
//   const auto type = OrbTaskLinkType::fromRawValue(1).value_or(OrbTaskLinkType::finishToStart);
//   if (type == OrbTaskLinkType::linkingList) { ... }
class OrbTaskLinkType {
public:
    enum Case : std::int64_t {
        finishToStart = 0,
        linkingList = 1,
    };

    constexpr OrbTaskLinkType(Case value) : value_(value) {}

    // The case with that raw value; none for any number but 0 and 1.
    static constexpr std::optional<OrbTaskLinkType> fromRawValue(std::int64_t rawValue) {
        switch (rawValue) {
            case finishToStart:
                return finishToStart;
            case linkingList:
                return linkingList;
            default:
                return std::nullopt;
        }
    }

    constexpr std::int64_t rawValue() const { return value_; }
    constexpr Case value() const { return value_; }

    constexpr bool operator==(const OrbTaskLinkType&) const = default;

private:
    Case value_;
};

template <>
struct std::hash<OrbTaskLinkType> {
    std::size_t operator()(OrbTaskLinkType type) const noexcept {
        return std::hash<std::int64_t>{}(type.rawValue());
    }
};
