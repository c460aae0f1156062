#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/foundation/Error.h"
#include "platform/foundation/RegularExpression.h"

namespace {

using platform::RegularExpression;

TEST(RegularExpression, WholeMatchAndLetterCase) {
    const RegularExpression sensitive("[a-z]+@[a-z]+");
    const RegularExpression ignoring("[a-z]+@[a-z]+", RegularExpression::LetterCase::ignored);

    EXPECT_TRUE(sensitive.matchesWhole("anna@example"));
    EXPECT_FALSE(sensitive.matchesWhole("Anna@example"));
    EXPECT_FALSE(sensitive.matchesWhole("anna@example!"));
    EXPECT_TRUE(ignoring.matchesWhole("Anna@EXAMPLE"));
    EXPECT_FALSE(ignoring.matchesWhole(""));
}

TEST(RegularExpression, FirstMatchReportsByteRangesOfTheSearchedText) {
    const RegularExpression pattern("(\\d+)|(\u00e9+)");
    const std::string text = "caf\u00e9\u00e9 42";

    const auto first = pattern.firstMatch(text);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->text, "\u00e9\u00e9");
    EXPECT_EQ(first->groups.size(), 2u);
    EXPECT_EQ(first->groups[0], std::nullopt);
    EXPECT_EQ(first->groups[1], "\u00e9\u00e9");
    EXPECT_EQ(first->text.data(), text.data() + 3);
    EXPECT_FALSE(RegularExpression("x").firstMatch("abc").has_value());
}

TEST(RegularExpression, RunawayMatchFailsAsNoMatchWhileLongHonestInputStillMatches) {
    // Nested quantifiers take exponential time on a near miss: 30 characters would run for
    // half a minute without the work budget.
    const RegularExpression nested("(a+)+$");
    EXPECT_FALSE(nested.matchesWhole(std::string(30, 'a') + "!"));
    EXPECT_FALSE(nested.firstMatch(std::string(100000, 'a') + "!").has_value());
    // One backtracking state per character overflows the engine's heap stack: no match either.
    EXPECT_FALSE(RegularExpression("(?:a|b)*").matchesWhole(std::string(1000000, 'a')));

    EXPECT_TRUE(RegularExpression("[ab]*").matchesWhole(std::string(1000000, 'a')));
}

TEST(RegularExpression, InvalidPatternThrows) {
    EXPECT_THROW(RegularExpression("(unclosed"), platform::Error);
}

}  // namespace
