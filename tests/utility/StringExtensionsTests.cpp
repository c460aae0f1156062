#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "utility/StringExtensions.h"

namespace {

using OptionalText = std::optional<std::string>;

const OptionalText kNone;

TEST(StringExtensions, BlankFollowsTheWhiteSpacePropertyOfEachCharacter) {
    struct Case {
        std::string text;
        bool blank;
    };
    const Case cases[] = {
        {"", true},
        {" \t\n", true},
        {"\u00A0", true},            // no-break space
        {"\u2028\r\n\u3000", true},  // line separator, CR LF, ideographic space
        {" a ", false},
        {"\u200B", false},  // zero width space is no white space
        {" \u0301", true},  // a space carrying a mark is still a space
        {"\xFF", false},    // a bad byte reads as U+FFFD
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lx::isBlank(c.text), c.blank);
        EXPECT_EQ(lx::isBlank(OptionalText(c.text)), c.blank);
    }
    EXPECT_TRUE(lx::isBlank(kNone));
}

TEST(StringExtensions, EmptyAndAbsentHelpers) {
    EXPECT_TRUE(lx::isEmpty(kNone));
    EXPECT_TRUE(lx::isEmpty(OptionalText("")));
    EXPECT_FALSE(lx::isEmpty(OptionalText(" ")));

    EXPECT_EQ(lx::nilIfEmpty(""), kNone);
    EXPECT_EQ(lx::nilIfEmpty(" "), " ");
    EXPECT_EQ(lx::nilIfEmpty(kNone), kNone);
    EXPECT_EQ(lx::nilIfEmpty(OptionalText("")), kNone);
    EXPECT_EQ(lx::nilIfEmpty(OptionalText("a")), "a");

    EXPECT_EQ(lx::emptyIfNil(kNone), "");
    EXPECT_EQ(lx::emptyIfNil(OptionalText("a")), "a");

    EXPECT_EQ(lx::string(kNone, "x"), "x");
    EXPECT_EQ(lx::string(OptionalText(""), "x"), "x");
    EXPECT_EQ(lx::string(OptionalText(" "), "x"), " ");
}

TEST(StringExtensions, SameValueTreatsAbsentAsEmptyAndComparesCanonically) {
    struct Case {
        OptionalText lhs;
        OptionalText rhs;
        bool same;
    };
    const Case cases[] = {
        {kNone, kNone, true}, {kNone, "", true},
        {"", kNone, true},    {"", "", true},
        {"a", kNone, false},  {kNone, "a", false},
        {"", "a", false},     {"a", "a", true},
        {"a", "A", false},    {"caf\u00e9", "cafe\u0301", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lhs.value_or("<none>") + " / " + c.rhs.value_or("<none>"));
        EXPECT_EQ(lx::isSameValue(c.lhs, c.rhs), c.same);
        if (c.lhs) {
            EXPECT_EQ(lx::isSameValue(*c.lhs, c.rhs), c.same);
        }
    }
}

TEST(StringExtensions, TrimmingKeepsOrDropsLineBreaksByItsSet) {
    struct Case {
        std::string text;
        std::string trimmed;
        std::string trimmingSpaceAndNewLine;
        std::string trimmingLeft;
        std::string trimmingRight;
    };
    const Case cases[] = {
        {"  a b \n", "a b \n", "a b", "a b \n", "  a b"},
        {"\u00A0\ta\t\u3000", "a", "a", "a\t\u3000", "\u00A0\ta"},
        {"\n x \n", "\n x \n", "x", "x \n", "\n x"},
        {"\r\nx\u2028", "\r\nx\u2028", "x", "x\u2028", "\r\nx"},
        {"   ", "", "", "   ", "   "},  // all white: the one-sided trims keep it
        {"", "", "", "", ""},
        {" \u0301x ", " \u0301x", " \u0301x", " \u0301x ", " \u0301x"},  // never splits a mark off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(lx::trimmed(c.text), c.trimmed);
        EXPECT_EQ(lx::trimmingSpaceAndNewLine(c.text), c.trimmingSpaceAndNewLine);
        EXPECT_EQ(lx::trimmingLeft(c.text), c.trimmingLeft);
        EXPECT_EQ(lx::trimmingRight(c.text), c.trimmingRight);
    }
}

TEST(StringExtensions, ChompedCutsAtTheFirstOrLastOccurrence) {
    struct Case {
        std::string text;
        std::string suffix;
        std::string left;
        std::string right;
    };
    const Case cases[] = {
        {"abc", "bc", "a", "a"},
        {"abcabc", "b", "cabc", "c"},
        {"key=value", "=", "value", "value"},
        {"name.txt", ".txt", "name", "name"},
        {"abc", "x", "abc", "abc"},
        {"abc", "", "abc", "abc"},
        {"abc", "abc", "", ""},
        {"", "a", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.suffix);
        EXPECT_EQ(lx::chompedLeftSuffix(c.text, c.suffix), c.left);
        EXPECT_EQ(lx::chompedRightSuffix(c.text, c.suffix), c.right);
    }
}

TEST(StringExtensions, SplittedKeepsEmptyPiecesAndEndsOnAnEmptySeparator) {
    struct Case {
        std::string text;
        std::string separator;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {",3,50", ",", {"", "3", "50"}},
        {"3;50;", ";", {"3", "50", ""}},
        {"", ",", {""}},
        {"abc", ",", {"abc"}},
        {"a, b, c", ", ", {"a", "b", "c"}},
        {"a,,b", ",", {"a", "", "b"}},
        {"abc", "", {"abc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.separator);
        EXPECT_EQ(lx::splitted(c.text, c.separator), c.pieces);
    }
}

TEST(StringExtensions, PositionsCountCharactersAndClampToTheText) {
    const std::string date = "2021-03-04T10:00:00";
    const std::string accented = "ae\u0301x";  // the second character is two scalars
    EXPECT_EQ(lx::substringToIndex(date, 9), "2021-03-04");
    EXPECT_EQ(lx::substringToIndex("ab", 0), "a");
    EXPECT_EQ(lx::subscript(accented, 1), "e\u0301");
    EXPECT_EQ(lx::subscript(accented, 1, 3), "e\u0301x");
    EXPECT_EQ(lx::substringToIndex(accented, 1), "ae\u0301");
    EXPECT_EQ(lx::substringFromIndex(accented, 1), "e\u0301x");

    struct Case {
        std::int64_t n;
        std::string at;
        std::string toIndex;
        std::string fromIndex;
    };
    const Case cases[] = {
        {INT64_MIN, "", "", accented}, {-1, "", "", accented}, {0, "a", "a", accented},
        {2, "x", accented, "x"},       {3, "", accented, ""},  {4, "", accented, ""},
        {INT64_MAX, "", accented, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(lx::subscript(accented, c.n), c.at);
        EXPECT_EQ(lx::substringToIndex(accented, c.n), c.toIndex);
        EXPECT_EQ(lx::substringFromIndex(accented, c.n), c.fromIndex);
    }
    EXPECT_EQ(lx::subscript(accented, -5, 2), "ae\u0301");
    EXPECT_EQ(lx::subscript(accented, 2, 99), "x");
    EXPECT_EQ(lx::subscript(accented, 2, 1), "");
    EXPECT_EQ(lx::subscript("", 0), "");
    EXPECT_EQ(lx::substringToIndex("", 0), "");
}

TEST(StringExtensions, LeftPaddingCountsCharacters) {
    struct Case {
        std::string text;
        std::int64_t length;
        std::string pad;
        bool clip;
        std::string padded;
    };
    const Case cases[] = {
        {"42", 5, "0", false, "00042"},
        {"1234567", 5, "0", false, "1234567"},
        {"1234567", 5, "0", true, "34567"},
        {"12345", 5, "0", true, "12345"},
        {"\u00e9e\u0301", 3, "\u00b7", false, "\u00b7\u00e9e\u0301"},
        {"ae\u0301x", 2, " ", true, "e\u0301x"},
        {"ab", 0, "0", true, ""},
        {"ab", -3, "0", false, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lx::leftPadding(c.text, c.length, c.pad, c.clip), c.padded);
    }
}

TEST(StringExtensions, CaseInsensitiveSameFoldsBeyondAscii) {
    struct Case {
        std::string lhs;
        std::string rhs;
        bool same;
    };
    const Case cases[] = {
        {"Anna", "aNNA", true},
        {"\u00c4rger", "\u00e4RGER", true},
        {"J\u00dcRGEN", "j\u00fcrgen", true},
        {"\u00e9", "E\u0301", true},
        {"\u00c5SA", "\u00e5sa", true},
        {"EUR", "eur", true},
        {"EUR", "USD", false},
        {"Anna", "Anna ", false},
        {"\u00e9", "e", false},
        {"", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lhs + " / " + c.rhs);
        EXPECT_EQ(lx::isCaseInsensitiveSame(c.lhs, c.rhs), c.same);
        EXPECT_EQ(lx::caseInsensitiveKey(c.lhs) == lx::caseInsensitiveKey(c.rhs), c.same);
    }
}

TEST(StringExtensions, ValidEmailMatchesTheWholeTextIgnoringCase) {
    struct Case {
        std::string text;
        bool valid;
    };
    const Case cases[] = {
        {"anna@example.com", true},
        {"Anna.Berg+plans@Example.CO.uk", true},
        {"\"quoted\\ name\"@example.com", true},
        {"\"quoted name\"@example.com", false},  // a space in quotes needs its backslash
        {"ops@[192.168.0.1]", true},
        {"a&b^c@example.org", true},
        {"anna@example", false},  // the domain needs a dot
        {"anna@example.com ", false},
        {"anna example.com", false},
        {"anna@@example.com", false},
        {".anna@example.com", false},
        {"anna@-example.com", false},
        {"ops@[300.168.0.1]", false},
        {"", false},
        {"j\u00fcrgen@example.com", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lx::isValidEmail(c.text), c.valid);
    }
    std::string longLocalPart;
    for (int i = 0; i < 200000; ++i) {
        longLocalPart += "a.";
    }
    EXPECT_FALSE(lx::isValidEmail(longLocalPart + "@"));
}

TEST(StringExtensions, IsEmailAsksWhetherTheFirstLinkIsAnAddress) {
    EXPECT_TRUE(lx::isEmail("anna@example.com"));
    EXPECT_TRUE(lx::isEmail("write to mailto:anna@example.com today"));
    EXPECT_FALSE(lx::isEmail("https://example.com/?to=anna@example.com"));
    EXPECT_FALSE(lx::isEmail("www.example.com"));
    EXPECT_FALSE(lx::isEmail("no link here"));
    EXPECT_FALSE(lx::isEmail(""));
}

TEST(StringExtensions, Base64OfUtf8Text) {
    EXPECT_EQ(lx::encodeToBase64Encoding("J\u00fcrgen"), "SsO8cmdlbg==");
    EXPECT_EQ(lx::decodeFromBase64Encoding("SsO8cmdlbg=="), "J\u00fcrgen");
    EXPECT_EQ(lx::decodeFromBase64Encoding("SsO8\r\ncmdlbg=="), "J\u00fcrgen");
    EXPECT_EQ(lx::decodeFromBase64Encoding(""), "");
    EXPECT_EQ(lx::decodeFromBase64Encoding("/w=="), std::nullopt);  // the byte 0xFF
    EXPECT_EQ(lx::decodeFromBase64Encoding("SsO8cmdlbg"), std::nullopt);

    const std::string longText(100, 'x');
    const std::string encoded = lx::encodeToBase64Encoding(longText);
    EXPECT_EQ(encoded.find("\r\n"), 64u);
    EXPECT_EQ(lx::decodeFromBase64Encoding(encoded), longText);
}

}  // namespace
