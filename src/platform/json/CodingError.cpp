#include "platform/json/CodingError.h"

namespace platform::json {
namespace {

std::string located(const std::string& what, const CodingPath& path) {
    return path.empty() ? what : what + " at \"" + describe(path) + "\"";
}

}  // namespace

std::string CodingKey::stringValue() const {
    return index_ ? "Index " + std::to_string(*index_) : name_;
}

std::string describe(const CodingPath& path) {
    if (path.empty()) {
        return "the top level";
    }
    std::string text;
    for (const CodingKey& step : path) {
        if (const auto index = step.intValue()) {
            text += "[" + std::to_string(*index) + "]";
        } else {
            text += (text.empty() ? "" : ".") + step.stringValue();
        }
    }
    return text;
}

DecodingError::DecodingError(Kind kind, CodingPath codingPath, std::string debugDescription,
                             std::optional<std::string> expectedType)
    : Error(located(debugDescription, codingPath)),
      kind_(kind),
      codingPath_(std::move(codingPath)),
      debugDescription_(std::move(debugDescription)),
      expectedType_(std::move(expectedType)) {}

DecodingError DecodingError::keyNotFound(std::string key, CodingPath codingPath) {
    DecodingError error(Kind::keyNotFound, std::move(codingPath),
                        "No value for the key \"" + key + "\"");
    error.missingKey_ = std::move(key);
    return error;
}

DecodingError DecodingError::notJson(std::string parserReport) {
    DecodingError error(Kind::dataCorrupted, {}, "The data is not valid JSON: " + parserReport);
    error.underlyingError_ = std::move(parserReport);
    return error;
}

EncodingError::EncodingError(CodingPath codingPath, std::string debugDescription)
    : Error(located(debugDescription, codingPath)),
      codingPath_(std::move(codingPath)),
      debugDescription_(std::move(debugDescription)) {}

}  // namespace platform::json
