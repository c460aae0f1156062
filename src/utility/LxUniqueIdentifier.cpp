#include "utility/LxUniqueIdentifier.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sys/random.h>

#include "platform/foundation/Date.h"
#include "utility/DateExtensions.h"
#include "utility/LxError.h"

namespace {

std::array<std::uint8_t, 16> randomBytes() {
    std::array<std::uint8_t, 16> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw LxError::failure(std::string("No random bytes from the system: ") +
                                   std::strerror(errno));
        }
        filled += static_cast<std::size_t>(got);
    }
    return bytes;
}

}  // namespace

LxUniqueIdentifier& LxUniqueIdentifier::shared() {
    static LxUniqueIdentifier instance;
    return instance;
}

std::string LxUniqueIdentifier::uuidString() const {
    std::array<std::uint8_t, 16> bytes = randomBytes();
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant

    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text += '-';
        }
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string LxUniqueIdentifier::timeString() const {
    // "hh" is the 12-hour clock without a marker: 13:05 and 01:05 give the same text.
    return lx::toString(platform::Date::now(), "yyyyMMddhhmmss");
}
