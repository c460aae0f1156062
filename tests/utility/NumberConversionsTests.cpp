#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unicode/locid.h>

#include <gtest/gtest.h>

#include "utility/NumberConversions.h"

namespace {

constexpr auto kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr auto kInfinity = std::numeric_limits<double>::infinity();
constexpr auto kIntMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kIntMin = std::numeric_limits<std::int64_t>::min();

// Sets the process's locale for number texts for one test and puts the previous one back.
class DefaultLocaleScope {
public:
    explicit DefaultLocaleScope(const char* name) : saved_(icu::Locale::getDefault()) {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(name), status);
        EXPECT_TRUE(U_SUCCESS(status));
    }
    ~DefaultLocaleScope() {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(saved_, status);
    }
    DefaultLocaleScope(const DefaultLocaleScope&) = delete;
    DefaultLocaleScope& operator=(const DefaultLocaleScope&) = delete;

private:
    icu::Locale saved_;
};

TEST(NumberConversions, FloatTextIsShortestRoundTripWithPointZeroForWholeValues) {
    struct Case {
        float value;
        std::string text;
    };
    const Case cases[] = {
        {8.0f, "8.0"},
        {7.5f, "7.5"},
        {0.1f, "0.1"},
        {7.99f, "7.99"},
        {-2.5f, "-2.5"},
        {123456.7f, "123456.7"},
        {0.0001f, "0.0001"},
        {0.00012f, "0.00012"},
        {1e-5f, "1e-05"},
        {16777216.0f, "16777216.0"},  // 2^24, the last plain whole value
        {16777218.0f, "1.6777218e+07"},
        {3.0e7f, "3e+07"},
        {1e10f, "1e+10"},
        {std::numeric_limits<float>::max(), "3.4028235e+38"},
        {std::numeric_limits<float>::denorm_min(), "1e-45"},
        {0.0f, "0.0"},
        {-0.0f, "-0.0"},
        {std::numeric_limits<float>::infinity(), "inf"},
        {-std::numeric_limits<float>::infinity(), "-inf"},
        {std::numeric_limits<float>::quiet_NaN(), "nan"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lx::toString(c.value), c.text);
    }
}

TEST(NumberConversions, DoubleTextSwitchesToExponentAbove2To53) {
    struct Case {
        double value;
        std::string text;
    };
    const Case cases[] = {
        {0.1, "0.1"},
        {0.30000000000000004, "0.30000000000000004"},
        {123.456, "123.456"},
        {-1.5, "-1.5"},
        {1e15, "1000000000000000.0"},
        {9007199254740992.0, "9007199254740992.0"},  // 2^53
        {9007199254740994.0, "9.007199254740994e+15"},
        {1e16, "1e+16"},
        {1e100, "1e+100"},
        {1e-5, "1e-05"},
        {5e-324, "5e-324"},
        {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
        {-0.0, "-0.0"},
        {-kInfinity, "-inf"},
        {kNaN, "nan"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lx::toString(c.value), c.text);
    }
}

TEST(NumberConversions, WholeNumberTextsAndUnits) {
    EXPECT_EQ(lx::toString(8), "8");
    EXPECT_EQ(lx::toString(std::int64_t{-42}), "-42");
    EXPECT_EQ(lx::toString(kIntMin), "-9223372036854775808");

    struct Case {
        std::int64_t value;
        std::string unit;
        std::string text;
    };
    const Case cases[] = {
        {0, "day", "0 day"},   {1, "day", "1 day"},   {2, "day", "2 days"},
        {-3, "day", "-3 day"}, {1, "item", "1 item"}, {2, "item", "2 items"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lx::createUnitsString(c.value, c.unit), c.text);
    }
}

TEST(NumberConversions, ParseIntReadsStrictDecimalTextOnly) {
    struct Case {
        std::string text;
        std::optional<std::int64_t> value;
    };
    const Case cases[] = {
        {"8766", 8766},
        {"+5", 5},
        {"-3", -3},
        {"007", 7},
        {"9223372036854775807", kIntMax},
        {"-9223372036854775808", kIntMin},
        {"9223372036854775808", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt},
        {" 5", std::nullopt},
        {"5\n", std::nullopt},
        {"5x", std::nullopt},
        {"0x10", std::nullopt},
        {"1.0", std::nullopt},
        {"\xEF\xBC\x95", std::nullopt},  // a full-width digit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lx::parseInt(c.text), c.value);
    }
}

TEST(NumberConversions, SaturatingAddHoldsAtTheEndsOfTheRange) {
    EXPECT_EQ(lx::saturatingAdd(40, 2), 42);
    EXPECT_EQ(lx::saturatingAdd(-40, -2), -42);
    EXPECT_EQ(lx::saturatingAdd(kIntMax, 1), kIntMax);
    EXPECT_EQ(lx::saturatingAdd(kIntMax, kIntMax), kIntMax);
    EXPECT_EQ(lx::saturatingAdd(kIntMin, -1), kIntMin);
    EXPECT_EQ(lx::saturatingAdd(kIntMax, kIntMin), -1);
}

TEST(NumberConversions, FloatToWholeRoundsAsNamedAndSaturatesOutsideTheRange) {
    struct Case {
        double value;
        std::int64_t truncated;
        std::int64_t floor;
        std::int64_t ceil;
    };
    const Case cases[] = {
        {-1.5, -1, -2, -1},
        {1.5, 1, 1, 2},
        {-0.0, 0, 0, 0},
        {1e300, kIntMax, kIntMax, kIntMax},
        {-1e300, kIntMin, kIntMin, kIntMin},
        {9223372036854775808.0, kIntMax, kIntMax, kIntMax},  // 2^63, one past the top
        {-9223372036854775808.0, kIntMin, kIntMin, kIntMin},
        {kInfinity, kIntMax, kIntMax, kIntMax},
        {kNaN, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(lx::toInt(c.value), c.truncated);
        EXPECT_EQ(lx::toFloorInt(c.value), c.floor);
        EXPECT_EQ(lx::toCeilInt(c.value), c.ceil);
        EXPECT_EQ(lx::toInt(static_cast<float>(c.value)), c.truncated);
    }
    EXPECT_EQ(lx::ceiled(2.000001), 3.0);
}

TEST(NumberConversions, ConversionsBetweenNumberTypesRoundToNearestEven) {
    EXPECT_EQ(lx::toFloat(std::int64_t{16777217}), 16777216.0f);
    EXPECT_EQ(lx::toDouble(std::int64_t{9007199254740993}), 9007199254740992.0);
    EXPECT_EQ(lx::toCGFloat(kIntMax), 9223372036854775808.0);
    EXPECT_EQ(lx::toFloat(0.1), 0.1f);
    EXPECT_EQ(lx::toDouble(0.1f), static_cast<double>(0.1f));
    EXPECT_EQ(lx::toCGFloat(7.5f), 7.5);
    EXPECT_TRUE(std::isinf(lx::toFloat(1e300)));
}

TEST(NumberConversions, SpelloutUsesTheCurrentLocale) {
    {
        const DefaultLocaleScope english("en_US");
        EXPECT_EQ(lx::spellout(42), "forty-two");
        EXPECT_EQ(lx::spellout(0), "zero");
        EXPECT_EQ(lx::spellout(-7), "minus seven");
    }
    const DefaultLocaleScope french("fr_FR");
    EXPECT_EQ(lx::spellout(42), "quarante-deux");
}

TEST(NumberConversions, DecimalStringAppliesTheGivenLimitsInTheLocaleStyle) {
    const DefaultLocaleScope english("en_US");
    struct Case {
        double value;
        std::optional<std::int64_t> minimum;
        std::optional<std::int64_t> maximum;
        std::string text;
    };
    const Case cases[] = {
        {1234.5, std::nullopt, std::nullopt, "1234.5"},  // as toString: no grouping
        {8.0, std::nullopt, std::nullopt, "8.0"},
        {1234.5, 0, std::nullopt, "1,234.5"},
        {1234.5678, std::nullopt, 2, "1,234.57"},
        {1.23456, 0, std::nullopt, "1.235"},  // the style's own maximum of three
        {1.5, 2, std::nullopt, "1.50"},
        {0.125, std::nullopt, 2, "0.12"},  // half to even
        {0.375, std::nullopt, 2, "0.38"},
        {2.5, -1, std::nullopt, "2.5"},   // a negative minimum is not applied
        {2.25, std::nullopt, 0, "2.25"},  // neither is a maximum of 0
        {1.5, 4, 2, "1.50"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lx::toDecimalString(c.value, c.minimum, c.maximum), c.text);
    }
    EXPECT_NO_THROW(lx::toDecimalString(1.5, kIntMax, kIntMax));

    const DefaultLocaleScope german("de_DE");
    EXPECT_EQ(lx::toDecimalString(1234.5, 0, std::nullopt), "1.234,5");
}

double nowSinceReferenceDate() {
    constexpr double kUnixEpochToReferenceDate = 978307200.0;
    const std::chrono::duration<double> sinceUnixEpoch =
        std::chrono::system_clock::now().time_since_epoch();
    return sinceUnixEpoch.count() - kUnixEpochToReferenceDate;
}

TEST(NumberConversions, HasPassedMeasuresFromTheReferenceDate) {
    const double now = nowSinceReferenceDate();
    EXPECT_TRUE(lx::hasPassed(now - 11, 10));
    EXPECT_FALSE(lx::hasPassed(now - 5, 10));
    EXPECT_FALSE(lx::hasPassed(now + 60, 0));
}

}  // namespace
