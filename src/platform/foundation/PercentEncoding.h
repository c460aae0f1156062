#pragma once

#include <string>
#include <string_view>

namespace platform {

// Which characters of a URL part stay as they are when it is percent-encoded; every other byte
// is written "%XX" with upper-case hex digits.
enum class UrlPart {
    // Letters, digits and "-._~": a query item's name or value, so that "&", "=", "+", "#"
    // and spaces in it can never split or end the query.
    queryItem,
    // Those and "/!$&'()*+,;=:@": a path, whose slashes keep separating its segments.
    path,
};

std::string percentEncoded(std::string_view text, UrlPart part);

}  // namespace platform
