#include "utility/NumberConversions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/foundation/Date.h"
#include "platform/foundation/NumberFormatting.h"

namespace lx {
namespace {

// Converting a floating-point value outside the target range to an integer is undefined
// behaviour in C++; saturating keeps a wild value from becoming any number at all.
std::int64_t saturatedInt(double wholeValue) {
    constexpr double kTwoToThe63 = 9223372036854775808.0;
    if (std::isnan(wholeValue)) {
        return 0;
    }
    if (wholeValue >= kTwoToThe63) {
        return std::numeric_limits<std::int64_t>::max();
    }
    if (wholeValue < -kTwoToThe63) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return static_cast<std::int64_t>(wholeValue);
}

// Shortest round-trip digits come from std::to_chars; the layout around them follows the
// number texts people already see from the original platform: "8.0", "0.0001", "1e-05",
// "16777216.0", "3e+07".
template <std::floating_point F>
std::string shortestText(F value, F largestPlainMagnitude) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    const std::string sign = std::signbit(value) ? "-" : "";
    if (value == 0) {
        return sign + "0.0";
    }
    std::array<char, 64> buffer{};
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                       std::abs(value), std::chars_format::scientific);
    // "d.ddde+XX" or "de-XX": the digits without the point, then the power of ten of the first.
    const std::string_view scientific(buffer.data(), written.ptr);
    const std::size_t exponentMark = scientific.find('e');
    std::string digits(1, scientific[0]);
    if (exponentMark > 1) {
        digits += scientific.substr(2, exponentMark - 2);
    }
    const std::string_view exponentText = scientific.substr(exponentMark + 1);
    int exponent = 0;
    std::from_chars(exponentText.data() + 1, exponentText.data() + exponentText.size(), exponent);
    if (exponentText[0] == '-') {
        exponent = -exponent;
    }

    if (exponent < -4 || std::abs(value) > largestPlainMagnitude) {
        std::string text = sign + digits[0];
        if (digits.size() > 1) {
            text += '.' + digits.substr(1);
        }
        const int magnitude = std::abs(exponent);
        return text + (exponent < 0 ? "e-" : "e+") + (magnitude < 10 ? "0" : "") +
               toString(magnitude);
    }
    if (exponent < 0) {
        return sign + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= wholeDigits) {
        return sign + digits + std::string(wholeDigits - digits.size(), '0') + ".0";
    }
    return sign + digits.substr(0, wholeDigits) + '.' + digits.substr(wholeDigits);
}

std::optional<std::int32_t> fractionDigits(std::optional<std::int64_t> limit,
                                           std::int64_t smallestApplied) {
    if (!limit || *limit < smallestApplied) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(*limit, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::optional<std::int64_t> parseInt(std::string_view text) {
    // from_chars takes a "-" but no "+", and reads only as far as it can: both are checked here.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

std::string createUnitsString(std::int64_t value, std::string_view unit) {
    std::string text = toString(value) + ' ' + std::string(unit);
    if (value >= 2) {
        text += 's';
    }
    return text;
}

std::optional<std::string> spellout(std::int64_t value) {
    return platform::spelledOut(value);
}

std::int64_t toInt(double value) {
    return saturatedInt(std::trunc(value));
}

std::int64_t toFloorInt(double value) {
    return saturatedInt(std::floor(value));
}

std::int64_t toCeilInt(double value) {
    return saturatedInt(std::ceil(value));
}

std::int64_t toInt(float value) {
    return toInt(static_cast<double>(value));
}

double ceiled(double value) {
    return std::ceil(value);
}

float toFloat(double value) {
    return static_cast<float>(value);
}

double toDouble(double value) {
    return value;
}

double toCGFloat(double value) {
    return value;
}

double toDouble(float value) {
    return value;
}

double toCGFloat(float value) {
    return value;
}

std::string toString(float value) {
    return shortestText(value, 16777216.0f);
}

std::string toString(double value) {
    return shortestText(value, 9007199254740992.0);
}

std::string toDecimalString(double value, std::optional<std::int64_t> minimumFractionDigits,
                            std::optional<std::int64_t> maximumFractionDigits) {
    if (!minimumFractionDigits && !maximumFractionDigits) {
        return toString(value);
    }
    return platform::decimalText(value, fractionDigits(minimumFractionDigits, 0),
                                 fractionDigits(maximumFractionDigits, 1))
        .value_or(std::string());
}

bool hasPassed(double timestamp, double since) {
    return platform::Date::now().secondsSinceReferenceDate() - timestamp > since;
}

}  // namespace lx
