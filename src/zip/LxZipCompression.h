#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// How hard an archive's entries are deflated. A value: compare and hash it by case.
//
// Example:
//   const auto compression = LxZipCompression::fromRawValue(3);   // BestCompression
//   compression->deflateLevel();                                  // 9
class LxZipCompression {
public:
    enum Case : std::int64_t {
        NoCompression = 0,
        BestSpeed = 1,
        DefaultCompression = 2,
        BestCompression = 3,
    };

    constexpr LxZipCompression(Case value) : value_(value) {}

    // The case with that raw value; none for any number but 0 to 3.
    static constexpr std::optional<LxZipCompression> fromRawValue(std::int64_t rawValue) {
        if (rawValue < NoCompression || rawValue > BestCompression) {
            return std::nullopt;
        }
        return static_cast<Case>(rawValue);
    }

    constexpr std::int64_t rawValue() const { return value_; }
    constexpr Case value() const { return value_; }

    // The zlib level: 0, 1, -1 (zlib's default) or 9.
    constexpr int deflateLevel() const {
        constexpr int kLevels[] = {0, 1, -1, 9};
        return kLevels[value_];
    }

    constexpr bool operator==(const LxZipCompression&) const = default;

private:
    Case value_;
};

template <>
struct std::hash<LxZipCompression> {
    std::size_t operator()(LxZipCompression compression) const noexcept {
        return std::hash<std::int64_t>{}(compression.rawValue());
    }
};
