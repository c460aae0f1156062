#include "platform/foundation/PercentEncoding.h"

namespace platform {

namespace {

bool keepsUnencoded(unsigned char byte, UrlPart part) {
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= '0' && byte <= '9')) {
        return true;
    }
    const std::string_view kept = part == UrlPart::path ? "-._~!$&'()*+,;=:@/" : "-._~";
    return kept.find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace

std::string percentEncoded(std::string_view text, UrlPart part) {
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (keepsUnencoded(byte, part)) {
            encoded += character;
        } else {
            encoded += '%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 0x0f];
        }
    }
    return encoded;
}

}  // namespace platform
