#include "platform/foundation/NumberFormatting.h"

#include <memory>
#include <unicode/fieldpos.h>
#include <unicode/numfmt.h>
#include <unicode/rbnf.h>

#include "platform/foundation/internal/IcuText.h"

namespace platform {

std::optional<std::string> spelledOut(std::int64_t value) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::RuleBasedNumberFormat formatter(icu::URBNF_SPELLOUT, icu::Locale::getDefault(),
                                               status);
    icu::UnicodeString text;
    icu::FieldPosition ignored;
    formatter.format(value, text, ignored, status);
    if (U_FAILURE(status) || text.isEmpty()) {
        return std::nullopt;
    }
    return internal::toUTF8(text);
}

std::optional<std::string> decimalText(double value,
                                       std::optional<std::int32_t> minimumFractionDigits,
                                       std::optional<std::int32_t> maximumFractionDigits) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::NumberFormat> formatter(
        icu::NumberFormat::createInstance(icu::Locale::getDefault(), UNUM_DECIMAL, status));
    if (U_FAILURE(status) || !formatter) {
        return std::nullopt;
    }
    if (minimumFractionDigits) {
        formatter->setMinimumFractionDigits(*minimumFractionDigits);
    }
    if (maximumFractionDigits) {
        formatter->setMaximumFractionDigits(*maximumFractionDigits);
    }
    icu::UnicodeString text;
    icu::FieldPosition ignored;
    formatter->format(value, text, ignored, status);
    if (U_FAILURE(status) || text.isEmpty()) {
        return std::nullopt;
    }
    return internal::toUTF8(text);
}

}  // namespace platform
