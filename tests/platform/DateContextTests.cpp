#include <unicode/locid.h>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"
#include "platform/foundation/Error.h"

namespace {

TEST(DateContext, EveryTestStartsInUtcAndEnglish) {
    EXPECT_EQ(platform::currentTimeZoneIdentifier(), "UTC");
    EXPECT_EQ(platform::currentLocaleIdentifier(), "en_US");
}

TEST(DateContext, ScopedZoneAndLocaleAreIcusDefaultsAndAreRestored) {
    const auto before = platform::dateContextGeneration();
    {
        const platform::ScopedTimeZoneAndLocale pinned("America/Sao_Paulo", "pt_BR");
        EXPECT_EQ(platform::currentTimeZoneIdentifier(), "America/Sao_Paulo");
        // What code asking ICU directly (number formats) sees.
        EXPECT_STREQ(icu::Locale::getDefault().getName(), "pt_BR");
        EXPECT_NE(platform::dateContextGeneration(), before);
        {
            const platform::ScopedTimeZoneAndLocale nested("Europe/Berlin", "de_DE");
            EXPECT_EQ(platform::currentTimeZoneIdentifier(), "Europe/Berlin");
        }
        EXPECT_EQ(platform::currentTimeZoneIdentifier(), "America/Sao_Paulo");
        EXPECT_EQ(platform::currentLocaleIdentifier(), "pt_BR");
    }
    EXPECT_EQ(platform::currentTimeZoneIdentifier(), "UTC");
    EXPECT_EQ(platform::currentLocaleIdentifier(), "en_US");
}

TEST(DateContext, AnUnknownZoneIsRefusedAndChangesNothing) {
    const auto before = platform::dateContextGeneration();
    EXPECT_THROW(platform::ScopedTimeZoneAndLocale("Europe/Berlinn", "de_DE"), platform::Error);
    EXPECT_THROW(platform::setCurrentTimeZoneAndLocale("", "de_DE"), platform::Error);
    EXPECT_EQ(platform::currentTimeZoneIdentifier(), "UTC");
    EXPECT_EQ(platform::currentLocaleIdentifier(), "en_US");
    EXPECT_EQ(platform::dateContextGeneration(), before);
}

}  // namespace
