#pragma once

#include <string>

// The source of fresh identifiers: random UUIDs that name projects' version tokens and the
// temporary folders and files of every process.
//
// `uuidString()` draws all 122 random bits from the operating system's entropy, so identifiers
// of concurrent processes never collide; it throws `LxError` when the system cannot deliver
// random bytes. Both operations may be called from any thread.
//
// Example:
//   const auto folder = temporaryRoot / LxUniqueIdentifier::shared().uuidString();
class LxUniqueIdentifier {
public:
    static LxUniqueIdentifier& shared();

    LxUniqueIdentifier(const LxUniqueIdentifier&) = delete;
    LxUniqueIdentifier& operator=(const LxUniqueIdentifier&) = delete;

    // A new random (version 4) UUID: 36 characters, upper-case hexadecimal groups of 8-4-4-4-12
    // joined by hyphens.
    std::string uuidString() const;

    // The current local time as "yyyyMMddhhmmss", with the hour on a 12-hour clock (01 to 12)
    // and no AM/PM marker: 13:05:09 and 01:05:09 of one day give the same text.
    std::string timeString() const;

private:
    LxUniqueIdentifier() = default;
};
