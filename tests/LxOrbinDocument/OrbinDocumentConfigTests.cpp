#include <gtest/gtest.h>

#include "LxOrbinDocument/Model/Project/OrbinDocumentConfig.h"
#include "platform/foundation/DateContext.h"
#include "support/UtcDate.h"
#include "utility/DateExtensions.h"
#include "utility/DateUnits.h"

namespace {

using platform::Date;

TEST(OrbinDocumentConfig, SpansAHundredYearsEachWayFromLocalMidnight) {
    struct Case {
        const char* zone;
        Date now;
        Date mindate;
        Date maxdate;
    };
    const Case cases[] = {
        {"UTC", utcDate(2026, 12, 6, 15, 30), utcDate(1926, 12, 6), utcDate(2126, 12, 6)},
        // Local midnight of 2026-12-06 in Berlin is 23:00 UTC the evening before.
        {"Europe/Berlin", utcDate(2026, 12, 6, 0, 30), utcDate(1926, 12, 5, 23),
         utcDate(2126, 12, 5, 23)},
        {"UTC", utcDate(2000, 2, 29, 12), utcDate(1900, 2, 28), utcDate(2100, 2, 28)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        const platform::ScopedTimeZoneAndLocale pinned(c.zone, "en_US");
        const OrbinDocumentConfig range = OrbinDocumentConfig::make(c.now);
        EXPECT_EQ(range._mindate, c.mindate);
        EXPECT_EQ(range._maxdate, c.maxdate);
    }
}

TEST(OrbinDocumentConfig, RangeIsHalfOpenOnTheFullInstant) {
    const OrbinDocumentConfig range = OrbinDocumentConfig::make(utcDate(2026, 12, 6, 9));
    EXPECT_TRUE(range.contains(utcDate(1926, 12, 6)));
    EXPECT_FALSE(range.contains(utcDate(1926, 12, 6) - LxSeconds(1)));
    EXPECT_TRUE(range.contains(utcDate(2126, 12, 5, 23, 59, 59)));
    EXPECT_FALSE(range.contains(utcDate(2126, 12, 6)));
}

TEST(OrbinDocumentConfig, SharedIsComputedOnceAroundToday) {
    const OrbinDocumentConfig& first = OrbinDocumentConfig::shared();
    const Date today = lx::toDayOnly(Date::now());
    EXPECT_TRUE(first.contains(today));
    EXPECT_EQ(lx::years(today, first._mindate), 100);

    // Another zone gives another local midnight, but the range made first stays.
    const platform::ScopedTimeZoneAndLocale pinned("Pacific/Kiritimati", "en_US");
    EXPECT_EQ(&OrbinDocumentConfig::shared(), &first);
    EXPECT_EQ(OrbinDocumentConfig::shared()._mindate, first._mindate);
    EXPECT_EQ(OrbinDocumentConfig::shared()._maxdate, first._maxdate);
}

}  // namespace
