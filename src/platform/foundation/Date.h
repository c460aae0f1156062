#pragma once

#include <chrono>
#include <compare>
#include <ostream>
#include <string>

namespace platform {

// An absolute instant: seconds since the reference date 2001-01-01 00:00:00 UTC.
//
// A date knows nothing of time zones or calendars; `Calendar` answers the calendar questions
// (day, weekday, start of day) in the process's current time zone. Copyable, cheap, any thread.
//
// Example:
//   const platform::Date later = platform::Date::now().addingTimeInterval(90.0);
class Date {
public:
    // Seconds from 1970-01-01 00:00:00 UTC to the reference date.
    static constexpr double kUnixEpochOffset = 978307200.0;

    // The reference date itself.
    constexpr Date() = default;
    constexpr explicit Date(double secondsSinceReferenceDate)
        : seconds_(secondsSinceReferenceDate) {}

    static Date now() {
        const auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
        return fromUnix(std::chrono::duration<double>(sinceUnixEpoch).count());
    }

    static constexpr Date fromUnix(double secondsSince1970) {
        return Date(secondsSince1970 - kUnixEpochOffset);
    }

    constexpr double secondsSinceReferenceDate() const { return seconds_; }
    constexpr double unixSeconds() const { return seconds_ + kUnixEpochOffset; }

    // Seconds from `other` to this date; negative when `other` is later.
    constexpr double timeIntervalSince(Date other) const { return seconds_ - other.seconds_; }
    constexpr Date addingTimeInterval(double seconds) const { return Date(seconds_ + seconds); }

    constexpr auto operator<=>(const Date&) const = default;

private:
    double seconds_ = 0.0;
};

// Seconds since 1970 (Unix time), for test failure messages and logs.
inline std::ostream& operator<<(std::ostream& out, Date date) {
    return out << "Date(unix " << std::to_string(date.unixSeconds()) << ")";
}

}  // namespace platform
