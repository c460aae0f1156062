#pragma once

#include <string>
#include <string_view>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utypes.h>

#include "platform/foundation/Date.h"

// Conversions between our values and ICU's, shared by the date layer's sources only.
namespace platform::internal {

inline icu::UnicodeString toUnicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

inline std::string toUtf8(const icu::UnicodeString& text) {
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

// The locale with the Gregorian calendar, whatever calendar the locale prefers (Thai, for one,
// prefers the Buddhist calendar).
inline icu::Locale gregorianLocale(icu::Locale locale) {
    UErrorCode status = U_ZERO_ERROR;
    locale.setKeywordValue("calendar", "gregorian", status);
    return locale;
}

inline icu::Locale currentGregorianLocale() {
    return gregorianLocale(icu::Locale::getDefault());
}

// ICU counts milliseconds since 1970.
inline UDate toUDate(Date date) {
    return date.unixSeconds() * 1000.0;
}

inline Date fromUDate(UDate milliseconds) {
    return Date::fromUnix(milliseconds / 1000.0);
}

}  // namespace platform::internal
