#include "network/RxUrlError.h"

#include "platform/json/CodingError.h"

namespace lx {

namespace {

std::string location(const platform::json::CodingPath& path) {
    std::string joined;
    for (const auto& key : path) {
        if (!joined.empty()) {
            joined += '.';
        }
        joined += key.stringValue();
    }
    return joined;
}

// Where the decoding failed: the error beneath it (the parser's report on text that is not
// JSON) when there is one, else the path to the value.
std::string reason(const platform::json::DecodingError& error) {
    using Kind = platform::json::DecodingError::Kind;
    const std::string where = error.underlyingError().value_or(location(error.codingPath()));
    switch (error.kind()) {
        case Kind::typeMismatch:
        case Kind::valueNotFound:
            return error.debugDescription() + " (type: " + error.expectedType().value_or("") +
                   ", " + where + ")";
        case Kind::keyNotFound:
            return error.debugDescription() + " (key: " + error.missingKey().value_or("") + ", " +
                   where + ")";
        case Kind::dataCorrupted:
            return error.debugDescription() + " - (" + where + ")";
    }
    return error.localizedDescription();
}

}  // namespace

RxUrlError decodingErrorReason(const platform::AnyError& error) {
    if (const auto* decoding = error.as<platform::json::DecodingError>()) {
        return RxUrlError::parserError(reason(*decoding));
    }
    return RxUrlError::apiError(error.localizedDescription());
}

}  // namespace lx
