#include "utility/LxJsonHelper.h"

#include <span>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileManager.h"
#include "utility/StringExtensions.h"

std::string lx::localizedName(platform::StringEncoding encoding) {
    switch (encoding) {
        case platform::StringEncoding::utf8:
            return "Unicode (UTF-8)";
        case platform::StringEncoding::ascii:
            return "Western (ASCII)";
        case platform::StringEncoding::isoLatin1:
            return "Western (ISO Latin 1)";
    }
    return "Unknown";
}

LxJsonHelper::Data LxJsonHelper::readJsonFile(const std::string& path) {
    if (lx::isBlank(path) || !platform::itemExists(path)) {
        throw LxError::failure("file \"" + path + "\" is not exists");
    }
    return platform::readFileContents(path);
}

void LxJsonHelper::writeJsonFile(const std::string& path, const std::string& bytes) {
    platform::writeFileAtomically(path, bytes);
}

// Text in this system is UTF-8 already, so UTF-8 needs no conversion; the parser refuses
// ill-formed sequences inside strings itself.
std::string LxJsonHelper::textToBytes(std::string_view text, StringEncoding encoding) {
    if (encoding == StringEncoding::utf8) {
        return std::string(text);
    }
    const auto bytes = platform::encodeText(text, encoding);
    if (!bytes) {
        throw LxError::failure("Failed to encoding json string using encoding \"" +
                               lx::localizedName(encoding) + "\"");
    }
    return std::string(bytes->begin(), bytes->end());
}

// The encoder writes only well-formed UTF-8, so UTF-8 output is handed on as it is.
std::string LxJsonHelper::bytesToText(std::string bytes, StringEncoding encoding) {
    if (encoding == StringEncoding::utf8) {
        return bytes;
    }
    const auto text = platform::decodeText(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), encoding);
    if (!text) {
        throw LxError::failure("Failed to convert object to json string using encoding \"" +
                               lx::localizedName(encoding) + "\"");
    }
    return *text;
}
