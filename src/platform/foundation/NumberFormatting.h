#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Number texts in the process's current locale (ICU's default locale), each made by a fresh
// formatter, so a change of locale shows in the next call.
namespace platform {

// `value` spelled out in words ("forty-two" in English); none when the locale has no rules.
std::optional<std::string> spelledOut(std::int64_t value);

// `value` in the locale's decimal style: its decimal and grouping separators, at most three
// fraction digits unless a limit says otherwise, rounded half to even. Each limit that is given
// is applied, the minimum first. None when the formatter cannot make the text.
std::optional<std::string> decimalText(double value,
                                       std::optional<std::int32_t> minimumFractionDigits,
                                       std::optional<std::int32_t> maximumFractionDigits);

}  // namespace platform
