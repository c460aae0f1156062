#include "utility/DataConversions.h"

#include "platform/foundation/UnicodeText.h"

namespace lx {
namespace {

std::string_view charactersOf(const std::vector<std::uint8_t>& data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

}  // namespace

std::optional<std::string> toString(const std::vector<std::uint8_t>& data,
                                    platform::StringEncoding encoding) {
    return platform::decodeText(data, encoding);
}

std::string toUTF8String(const std::vector<std::uint8_t>& data) {
    return platform::repairedUTF8(charactersOf(data));
}

std::optional<std::vector<std::uint8_t>> toData(std::string_view text,
                                                platform::StringEncoding encoding) {
    return platform::encodeText(text, encoding);
}

std::vector<std::uint8_t> toUTF8Data(std::string_view text) {
    const std::string repaired = platform::repairedUTF8(text);
    return {repaired.begin(), repaired.end()};
}

}  // namespace lx
