#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"
#include "utility/DateExtensions.h"
#include "utility/LxUniqueIdentifier.h"

namespace {

TEST(LxUniqueIdentifier, SharedIsOneInstance) {
    EXPECT_EQ(&LxUniqueIdentifier::shared(), &LxUniqueIdentifier::shared());
}

TEST(LxUniqueIdentifier, UuidStringsAreDistinctUpperCaseVersion4) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::string uuid = LxUniqueIdentifier::shared().uuidString();
        SCOPED_TRACE(uuid);
        ASSERT_EQ(uuid.size(), 36u);
        for (std::size_t position = 0; position < uuid.size(); ++position) {
            const bool hyphenPlace =
                position == 8 || position == 13 || position == 18 || position == 23;
            const char c = uuid[position];
            ASSERT_TRUE(hyphenPlace ? c == '-' : (std::isdigit(c) || (c >= 'A' && c <= 'F')));
        }
        ASSERT_EQ(uuid[14], '4');
        ASSERT_NE(std::string("89AB").find(uuid[19]), std::string::npos);
        ASSERT_TRUE(seen.insert(uuid).second);
    }
}

TEST(LxUniqueIdentifier, TimeStringUsesATwelveHourClockWithoutMarker) {
    // One afternoon hour in a pinned zone: 15:xx must read as hour 03.
    platform::ScopedTimeZoneAndLocale berlin("Europe/Berlin", "en_US");
    std::string text;
    std::string expectedDay;
    int hour24 = -1;
    // A day or hour boundary between the reads is rare; try again until none falls between.
    for (std::string dayAfter = "x"; expectedDay != dayAfter;) {
        const platform::Date before = platform::Date::now();
        text = LxUniqueIdentifier::shared().timeString();
        expectedDay = lx::toString(before, "yyyyMMdd");
        dayAfter = lx::toString(platform::Date::now(), "yyyyMMdd");
        hour24 = std::stoi(lx::toString(before, "HH"));
    }
    ASSERT_EQ(text.size(), 14u) << text;
    EXPECT_TRUE(std::ranges::all_of(text, [](char c) { return std::isdigit(c) != 0; })) << text;
    EXPECT_EQ(text.substr(0, 8), expectedDay);
    const int hour12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
    EXPECT_EQ(std::stoi(text.substr(8, 2)), hour12) << text;
}

}  // namespace
