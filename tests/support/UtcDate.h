#pragma once

#include <chrono>

#include "platform/foundation/Date.h"

// The instant of a UTC wall-clock time, computed without ICU so that date tests compare the
// calendar layer against an independent answer.
inline platform::Date utcDate(int year, unsigned month, unsigned day, int hour = 0, int minute = 0,
                              int second = 0) {
    using namespace std::chrono;
    const sys_seconds instant = sys_days{std::chrono::year{year} / month / day} + hours{hour} +
                                minutes{minute} + seconds{second};
    return platform::Date::fromUnix(static_cast<double>(instant.time_since_epoch().count()));
}
