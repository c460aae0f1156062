#include <compare>
#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/UnicodeText.h"

namespace {

using platform::CharacterSet;

TEST(UnicodeText, CharacterBoundariesFollowGraphemeClusters) {
    struct Case {
        std::string text;
        std::vector<std::size_t> boundaries;
    };
    const Case cases[] = {
        {"", {0}},
        {"ab", {0, 1, 2}},
        {"a\r\nb", {0, 1, 3, 4}},                                  // CR LF is one character
        {"ae\u0301x", {0, 1, 4, 5}},                               // e + combining acute
        {"\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7", {0, 8, 16}},  // two flags
        {"\U0001F469\u200D\U0001F4BB!", {0, 11, 12}},              // an emoji ZWJ sequence
        {"\u00e9\u0323", {0, 4}},                                  // precomposed letter with a mark
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(platform::characterBoundaries(c.text), c.boundaries);
    }
}

TEST(UnicodeText, IllFormedSequencesReadAsOneReplacementEach) {
    struct Case {
        std::string bytes;
        std::u32string scalars;
        std::vector<std::size_t> boundaries;
    };
    const Case cases[] = {
        {"a\xFF", U"a\uFFFD", {0, 1, 2}},
        {"\xE2\x82", U"\uFFFD", {0, 2}},                        // a cut-off three-byte sequence
        {"\xF0\x80\x80", U"\uFFFD\uFFFD\uFFFD", {0, 1, 2, 3}},  // overlong: no valid prefix
        {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD", {0, 1, 2, 3}},  // an encoded surrogate
        {"\x80\xBF"
         "b",
         U"\uFFFD\uFFFDb",
         {0, 1, 2, 3}},  // stray continuation bytes
        {std::string("a\0b", 3), std::u32string(U"a\0b", 3), {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(platform::unicodeScalars(c.bytes), c.scalars);
        EXPECT_EQ(platform::characterBoundaries(c.bytes), c.boundaries);
    }
}

TEST(UnicodeText, RepairReplacesOnlyTheIllFormedParts) {
    EXPECT_EQ(platform::repairedUTF8("a\xFF"
                                     "b\xE2\x82"),
              "a\uFFFDb\uFFFD");
    EXPECT_EQ(platform::repairedUTF8("\xF0\x9F\x98"), "\uFFFD");
    EXPECT_EQ(platform::repairedUTF8("\u00e9\uFFFD"), "\u00e9\uFFFD");
    EXPECT_TRUE(platform::isValidUTF8("\u00e9\uFFFD\U0001F600"));
    EXPECT_TRUE(platform::isValidUTF8(""));
    EXPECT_FALSE(platform::isValidUTF8("\xC0\xAF"));
    EXPECT_FALSE(platform::isValidUTF8("abc\xF4\x90\x80\x80"));  // beyond U+10FFFF
}

// ASCII is passed over several bytes at a time: a sequence is judged wherever it lies, at any
// distance from the start and from the end.
TEST(UnicodeText, EverySequenceIsJudgedWhereverItLies) {
    for (std::size_t before = 0; before < 20; ++before) {
        for (std::size_t after : {0, 1, 7, 8, 9}) {
            const std::string prefix(before, 'a');
            const std::string suffix(after, 'z');
            SCOPED_TRACE(std::to_string(before) + " before, " + std::to_string(after) + " after");
            EXPECT_TRUE(platform::isValidUTF8(prefix + "\u00e9" + suffix));
            EXPECT_TRUE(platform::isValidUTF8(prefix + "\U0001F600" + suffix));
            EXPECT_FALSE(platform::isValidUTF8(prefix + "\x80" + suffix));
            EXPECT_FALSE(platform::isValidUTF8(prefix + "\xC0\xAF" + suffix));
            EXPECT_FALSE(platform::isValidUTF8(prefix + "\xED\xA0\x80" + suffix));  // a surrogate
            EXPECT_FALSE(platform::isValidUTF8(prefix + "\xE2\x82" + suffix));
        }
    }
}

TEST(UnicodeText, TheSequenceAtTheStartIsMeasuredOnlyWhenWellFormed) {
    const struct {
        std::string bytes;
        std::size_t length;
    } cases[] = {
        {"", 0},
        {"a\xC3\xA9", 1},
        {"\xC3\xA9x", 2},
        {"\xC2\x9B", 2},
        {"\xE2\x82\xAC", 3},
        {"\xF0\x9F\x93\xA8\xF0", 4},
        {"\x9B", 0},              // a continuation byte alone
        {"\xE2\x82", 0},          // cut short
        {"\xC0\x9B", 0},          // overlong
        {"\xED\xA0\x80", 0},      // a surrogate
        {"\xF4\x90\x80\x80", 0},  // beyond U+10FFFF
        {"\xFF", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(platform::utf8SequenceLength(c.bytes), c.length);
    }
}

TEST(UnicodeText, WhiteSpacePropertyAndFoundationSets) {
    struct Case {
        char32_t scalar;
        bool whiteSpace;
        bool inWhitespaces;
        bool inWhitespacesAndNewlines;
    };
    const Case cases[] = {
        {U' ', true, true, true},         {U'\t', true, true, true},
        {U'\u00A0', true, true, true},    {U'\u3000', true, true, true},
        {U'\n', true, false, true},       {U'\r', true, false, true},
        {U'\v', true, false, true},       {U'\u0085', true, false, true},
        {U'\u2028', true, false, true},   {U'\u2029', true, false, true},
        {U'\u200B', false, false, false}, {U'\uFEFF', false, false, false},
        {U'a', false, false, false},      {U'\uFFFD', false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<unsigned>(c.scalar));
        EXPECT_EQ(platform::hasWhiteSpaceProperty(c.scalar), c.whiteSpace);
        EXPECT_EQ(platform::contains(CharacterSet::whitespaces, c.scalar), c.inWhitespaces);
        EXPECT_EQ(platform::contains(CharacterSet::whitespacesAndNewlines, c.scalar),
                  c.inWhitespacesAndNewlines);
    }
}

TEST(UnicodeText, CanonicalAndCaselessComparisons) {
    struct Case {
        std::string lhs;
        std::string rhs;
        bool equivalent;
        bool caseless;
    };
    const Case cases[] = {
        {"Anna", "Anna", true, true},
        {"Anna", "aNNA", false, true},
        {"Anna", "Ann", false, false},
        {"\u00e9", "e\u0301", true, true},
        {"\u00c4rger", "\u00e4RGER", false, true},
        {"J\u00dcRGEN", "ju\u0308rgen", false, true},
        {"\u1e69", "s\u0307\u0323", true, true},  // marks in another canonical order
        {"\u03a3\u039f\u03a3", "\u03c3\u03bf\u03c2", false, true},  // final sigma folds too
        {"\u00e9", "e", false, false},
        {"\u0130", "i", false, false},     // dotted capital I keeps its dot
        {"a\xFF", "a\uFFFD", true, true},  // a bad byte reads as U+FFFD
        {"k", "\u212a", false, true},      // the Kelvin sign folds to ASCII
        {"STRASSE", "stra\u00dfe", false, true},
        {"Ann", "ann ", false, false},
        {"", "", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lhs + " / " + c.rhs);
        EXPECT_EQ(platform::isCanonicallyEquivalent(c.lhs, c.rhs), c.equivalent);
        EXPECT_EQ(platform::isCaselessMatch(c.lhs, c.rhs), c.caseless);
        EXPECT_EQ(platform::caselessKey(c.lhs) == platform::caselessKey(c.rhs), c.caseless);
    }
}

TEST(UnicodeText, CanonicalOrderComparesComposedScalarsCaseSensitively) {
    struct Case {
        std::string lhs;
        std::string rhs;
        std::weak_ordering order;
    };
    const Case cases[] = {
        {"B", "a", std::weak_ordering::less},  // capitals first
        {"Anna", "Anna", std::weak_ordering::equivalent},
        {"Ann", "Anna", std::weak_ordering::less},
        {"\u00e9", "e\u0301", std::weak_ordering::equivalent},
        {"e\u0301", "f", std::weak_ordering::greater},  // composes to U+00E9
        {"z", "\u00e9", std::weak_ordering::less},
        {"\u00e9", "\xC3", std::weak_ordering::less},  // U+00E9 before a bad byte's U+FFFD
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lhs + " / " + c.rhs);
        EXPECT_EQ(platform::compareCanonically(c.lhs, c.rhs), c.order);
    }
}

TEST(UnicodeText, LowercasedUsesTheDefaultMappingInEveryLocale) {
    EXPECT_EQ(platform::lowercased("Kato VEY"), "kato vey");
    EXPECT_EQ(platform::lowercased("\u00c9LAN"), "\u00e9lan");
    EXPECT_EQ(platform::lowercased("\u0130"), "i\u0307");  // no Turkish tailoring
    EXPECT_EQ(platform::lowercased("\u03a3"), "\u03c3");
    EXPECT_EQ(platform::lowercased(""), "");
}

}  // namespace
