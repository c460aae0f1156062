#include "platform/foundation/RegularExpression.h"

#include <cstdint>
#include <unicode/regex.h>
#include <unicode/utext.h>

#include "platform/foundation/Error.h"
#include "platform/foundation/internal/IcuText.h"

namespace platform {

struct RegularExpression::Compiled {
    std::unique_ptr<icu::RegexPattern> pattern;
};

namespace {

// ICU counts match work in ticks of about ten thousand engine steps. Honest patterns take a few
// steps per character; a pattern that backtracks without end on hostile input exceeds this
// budget quickly and fails instead of hanging.
std::int32_t timeLimit(std::size_t textLength) {
    constexpr std::size_t kBaseTicks = 100;
    constexpr std::size_t kCharactersPerTick = 100;
    return static_cast<std::int32_t>(kBaseTicks + textLength / kCharactersPerTick);
}

// A matcher runs over a UTF-8 UText so that every offset it reports is a byte offset into the
// caller's text. It holds the UText, which must outlive the matcher.
class MatchRun {
public:
    MatchRun(const icu::RegexPattern& pattern, std::string_view text) : text_(text) {
        UErrorCode status = U_ZERO_ERROR;
        utext_.adoptInstead(
            utext_openUTF8(nullptr, text.data(), internal::icuLength(text), &status));
        matcher_.reset(pattern.matcher(status));
        if (U_FAILURE(status) || !matcher_) {
            throw Error("The regular expression could not be run.");
        }
        matcher_->reset(utext_.getAlias());
        matcher_->setTimeLimit(timeLimit(text.size()), status);
    }

    // Failures of the match itself (the backtracking limit) count as no match.
    bool matchesWhole() {
        UErrorCode status = U_ZERO_ERROR;
        return matcher_->matches(status) && U_SUCCESS(status);
    }

    bool find() {
        UErrorCode status = U_ZERO_ERROR;
        return matcher_->find(status) && U_SUCCESS(status);
    }

    std::optional<std::string_view> group(std::int32_t number) const {
        UErrorCode status = U_ZERO_ERROR;
        const std::int64_t begin = matcher_->start64(number, status);
        const std::int64_t end = matcher_->end64(number, status);
        if (U_FAILURE(status) || begin < 0 || end < begin) {
            return std::nullopt;
        }
        return text_.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
    }

    std::int32_t groupCount() const { return matcher_->groupCount(); }

private:
    std::string_view text_;
    icu::LocalUTextPointer utext_;
    std::unique_ptr<icu::RegexMatcher> matcher_;
};

}  // namespace

RegularExpression::RegularExpression(std::string_view pattern, LetterCase letterCase) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError where{};
    const std::uint32_t flags = letterCase == LetterCase::ignored ? UREGEX_CASE_INSENSITIVE : 0;
    auto compiled = std::make_unique<Compiled>();
    compiled->pattern.reset(
        icu::RegexPattern::compile(internal::toUnicode(pattern), flags, where, status));
    if (U_FAILURE(status) || !compiled->pattern) {
        throw Error("The regular expression is not valid.");
    }
    compiled_ = std::move(compiled);
}

RegularExpression::~RegularExpression() = default;

bool RegularExpression::matchesWhole(std::string_view text) const {
    return MatchRun(*compiled_->pattern, text).matchesWhole();
}

std::optional<RegularExpression::Match> RegularExpression::firstMatch(std::string_view text) const {
    MatchRun run(*compiled_->pattern, text);
    if (!run.find()) {
        return std::nullopt;
    }
    Match match{run.group(0).value_or(std::string_view()), {}};
    for (std::int32_t number = 1; number <= run.groupCount(); ++number) {
        match.groups.push_back(run.group(number));
    }
    return match;
}

}  // namespace platform
