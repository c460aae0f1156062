#include <cctype>
#include <ctime>
#include <set>
#include <string>

#include <gtest/gtest.h>

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
    std::string text;
    std::time_t before = 0;
    std::time_t after = 1;
    // A second boundary between the reads is rare; try again until none falls between.
    while (before != after) {
        before = std::time(nullptr);
        text = LxUniqueIdentifier::shared().timeString();
        after = std::time(nullptr);
    }
    std::tm local{};
    localtime_r(&before, &local);
    const int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    char expected[32];
    std::snprintf(expected, sizeof expected, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, hour12, local.tm_min, local.tm_sec);
    EXPECT_EQ(text, expected);
}

}  // namespace
