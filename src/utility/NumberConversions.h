#pragma once

#include <array>
#include <charconv>
#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

// Conversions between whole numbers (signed 64-bit), 32-bit and 64-bit floating point and number
// texts. A graphics float (CGFloat) is a double here. None of them throws.
//
// Float and double texts are the shortest digits that read back as the same value; whole values
// keep ".0", and magnitudes below 1e-4 or above 2^24 (float) / 2^53 (double) use the exponent
// form with at least two exponent digits.
//
// Example:
//   lx::toString(8.0f);     // "8.0"
//   lx::toString(0.1f);     // "0.1"
//   lx::toString(1e-5);     // "1e-05"
//   lx::toFloorInt(-1.5);   // -2
namespace lx {

// Whole numbers. Templates so that a plain int picks these and not the floating-point overloads.

template <std::signed_integral T>
constexpr double toCGFloat(T value) {
    return static_cast<double>(value);
}

template <std::signed_integral T>
constexpr float toFloat(T value) {
    return static_cast<float>(value);
}

template <std::signed_integral T>
constexpr double toDouble(T value) {
    return static_cast<double>(value);
}

// Decimal digits, with "-" when negative and no grouping.
template <std::signed_integral T>
std::string toString(T value) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

// The whole number a decimal text names: an optional "+" or "-", then one or more digits 0-9 and
// nothing else (no spaces); none for any other text and for numbers beyond the 64-bit range.
std::optional<std::int64_t> parseInt(std::string_view text);

// lhs + rhs, held at the nearest end of the 64-bit range instead of overflowing.
constexpr std::int64_t saturatingAdd(std::int64_t lhs, std::int64_t rhs) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(lhs, rhs, &sum)) {
        return rhs > 0 ? std::numeric_limits<std::int64_t>::max()
                       : std::numeric_limits<std::int64_t>::min();
    }
    return sum;
}

// The number, a space and the unit, with "s" after the unit from 2 on: "1 day", "0 day",
// "-3 day", "2 days".
std::string createUnitsString(std::int64_t value, std::string_view unit);

// The number in words in the current locale ("forty-two" in English); none when the locale's
// formatter gives nothing.
std::optional<std::string> spellout(std::int64_t value);

// Floating point to whole numbers. Values whose result is outside the 64-bit range saturate to
// its nearest end, and NaN gives 0.

std::int64_t toInt(double value);       // toward zero
std::int64_t toFloorInt(double value);  // down
std::int64_t toCeilInt(double value);   // up
std::int64_t toInt(float value);        // toward zero

// Rounded up, still a graphics float.
double ceiled(double value);

// Between floating-point types: narrowing rounds to the nearest float; widening is exact.
float toFloat(double value);
double toDouble(double value);
double toCGFloat(double value);
double toDouble(float value);
double toCGFloat(float value);

std::string toString(float value);
std::string toString(double value);

// Both limits absent: toString(value). Otherwise the current locale's decimal style (grouping,
// at most three fraction digits, half-even rounding) with the minimum applied when >= 0 and the
// maximum when > 0; the empty text when the formatter gives nothing.
std::string toDecimalString(double value, std::optional<std::int64_t> minimumFractionDigits,
                            std::optional<std::int64_t> maximumFractionDigits);

// Whether more than `since` seconds have passed from `timestamp` (seconds since 2001-01-01
// 00:00:00 UTC) to now; exactly `since` seconds is not enough.
bool hasPassed(double timestamp, double since);

}  // namespace lx
