#include "platform/foundation/DateContext.h"

#include <atomic>
#include <unicode/locid.h>
#include <unicode/timezone.h>

#include "platform/foundation/Error.h"
#include "platform/foundation/internal/IcuBridge.h"

namespace platform {

namespace {

// Starts above 0 so that a cache stamped 0 is always stale.
std::atomic<std::uint64_t> generation{1};

std::unique_ptr<icu::TimeZone> knownZone(std::string_view identifier) {
    std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(internal::toUnicode(identifier)));
    // ICU answers an unknown identifier with the "Etc/Unknown" zone (GMT) instead of failing;
    // a misspelt zone would silently turn every local date into UTC.
    if (zone == nullptr || *zone == icu::TimeZone::getUnknown()) {
        throw Error("Unknown time zone: " + std::string(identifier));
    }
    return zone;
}

icu::Locale wellFormedLocale(std::string_view identifier) {
    const icu::Locale locale(std::string(identifier).c_str());
    if (locale.isBogus()) {
        throw Error("Malformed locale name: " + std::string(identifier));
    }
    return locale;
}

// False when ICU could not take the locale (out of memory); nothing changes then.
bool install(std::unique_ptr<icu::TimeZone> zone, const icu::Locale& locale) noexcept {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(locale, status);
    if (U_FAILURE(status)) {
        return false;
    }
    icu::TimeZone::adoptDefault(zone.release());
    generation.fetch_add(1, std::memory_order_acq_rel);
    return true;
}

}  // namespace

std::string currentTimeZoneIdentifier() {
    const std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    icu::UnicodeString identifier;
    zone->getID(identifier);
    return internal::toUtf8(identifier);
}

std::string currentLocaleIdentifier() {
    return icu::Locale::getDefault().getName();
}

void setCurrentTimeZoneAndLocale(std::string_view zone, std::string_view locale) {
    auto newZone = knownZone(zone);
    if (!install(std::move(newZone), wellFormedLocale(locale))) {
        throw Error("The locale could not be set: " + std::string(locale));
    }
}

std::uint64_t dateContextGeneration() {
    return generation.load(std::memory_order_acquire);
}

struct ScopedTimeZoneAndLocale::Saved {
    std::unique_ptr<icu::TimeZone> zone;
    icu::Locale locale;
};

ScopedTimeZoneAndLocale::ScopedTimeZoneAndLocale(std::string_view zone, std::string_view locale)
    : saved_(new Saved{std::unique_ptr<icu::TimeZone>(icu::TimeZone::createDefault()),
                       icu::Locale::getDefault()}) {
    setCurrentTimeZoneAndLocale(zone, locale);
}

ScopedTimeZoneAndLocale::~ScopedTimeZoneAndLocale() {
    install(std::move(saved_->zone), saved_->locale);
}

}  // namespace platform
