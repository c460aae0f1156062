#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The process's current time zone and locale: the ones every calendar question, date text and
// number format uses. They are ICU's process defaults (taken from TZ and the locale environment
// at start-up), so code that asks ICU directly sees the same zone and locale.
namespace platform {

// The current zone's identifier ("Europe/Berlin") and the current locale's name ("en_US").
std::string currentTimeZoneIdentifier();
std::string currentLocaleIdentifier();

// Makes `zone` and `locale` the process's current time zone and locale.
// Throws `platform::Error` for a zone identifier that names no known zone or a malformed
// locale name, and changes nothing then.
// Requires: no other thread uses dates, calendars or formats during the call (start-up and
// tests only); every thread picks the change up at its next date operation.
void setCurrentTimeZoneAndLocale(std::string_view zone, std::string_view locale);

// Changes whenever the current zone or locale is changed through this header, so caches of
// calendars and formatters know when to rebuild.
std::uint64_t dateContextGeneration();

// Pins the current time zone and locale for a scope and restores the previous ones at its end.
// The test hook for every date behaviour; the same requirement as `setCurrentTimeZoneAndLocale`.
//
// Example:
//   const platform::ScopedTimeZoneAndLocale pinned("America/Sao_Paulo", "en_US");
class ScopedTimeZoneAndLocale {
public:
    ScopedTimeZoneAndLocale(std::string_view zone, std::string_view locale);
    ~ScopedTimeZoneAndLocale();

    ScopedTimeZoneAndLocale(const ScopedTimeZoneAndLocale&) = delete;
    ScopedTimeZoneAndLocale& operator=(const ScopedTimeZoneAndLocale&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

}  // namespace platform
