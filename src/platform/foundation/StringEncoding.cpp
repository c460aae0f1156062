#include "platform/foundation/StringEncoding.h"

#include <cstdint>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/utf8.h>

#include "platform/foundation/Error.h"
#include "platform/foundation/UnicodeText.h"
#include "platform/foundation/internal/IcuText.h"

namespace platform {
namespace {

const char* converterName(StringEncoding encoding) {
    switch (encoding) {
        case StringEncoding::utf8:
            return "UTF-8";
        case StringEncoding::ascii:
            return "US-ASCII";
        case StringEncoding::isoLatin1:
            return "ISO-8859-1";
    }
    throw Error("Unknown string encoding.");
}

// ICU's converters substitute by default; the stop callbacks turn every unmappable or illegal
// character into an error instead, so nothing is converted lossily.
icu::LocalUConverterPointer strictConverter(StringEncoding encoding) {
    UErrorCode status = U_ZERO_ERROR;
    icu::LocalUConverterPointer converter(ucnv_open(converterName(encoding), &status));
    ucnv_setToUCallBack(converter.getAlias(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                        &status);
    ucnv_setFromUCallBack(converter.getAlias(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr,
                          nullptr, &status);
    if (U_FAILURE(status)) {
        throw Error("The string encoding is unavailable.");
    }
    return converter;
}

}  // namespace

std::optional<std::string> decodeText(std::span<const std::uint8_t> bytes,
                                      StringEncoding encoding) {
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    auto converter = strictConverter(encoding);
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString text(raw.data(), internal::icuLength(raw), converter.getAlias(),
                                  status);
    if (U_FAILURE(status) || text.isBogus()) {
        return std::nullopt;
    }
    return internal::toUTF8(text);
}

std::optional<std::vector<std::uint8_t>> encodeText(std::string_view text,
                                                    StringEncoding encoding) {
    // A document of 100 MB is written this way; well-formed UTF-8 is its own UTF-8 form, and
    // a trip through UTF-16 would cost more than writing the file.
    if (encoding == StringEncoding::utf8 && isValidUTF8(text)) {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    }
    const icu::UnicodeString unicode = internal::toUnicode(text);
    auto converter = strictConverter(encoding);
    UErrorCode status = U_ZERO_ERROR;
    const std::int32_t length = ucnv_fromUChars(converter.getAlias(), nullptr, 0,
                                                unicode.getBuffer(), unicode.length(), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    status = U_ZERO_ERROR;
    ucnv_fromUChars(converter.getAlias(), reinterpret_cast<char*>(bytes.data()), length,
                    unicode.getBuffer(), unicode.length(), &status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace platform
