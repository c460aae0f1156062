#pragma once

#include <string>

#include "utility/LxJsonHelper.h"

// The JSON operations as calls on the values themselves; each does exactly what the
// LxJsonHelper operation of the same name does, with the same defaults and errors.
//
// Example:
//   lx::save(settings, path);
//   const auto copy = lx::loadFromJsonFile<Settings>(path);
namespace lx {

template <platform::json::Decodable T>
T loadFromJsonFile(const std::string& path,
                   const LxJsonHelper::DateDecodingStrategy& dateDecodingStrategy =
                       LxJsonHelper::DateDecodingStrategy::iso8601()) {
    return LxJsonHelper().loadFromFilePath<T>(path, dateDecodingStrategy);
}

template <platform::json::Decodable T>
T loadFromJsonData(const LxJsonHelper::Data& data,
                   const LxJsonHelper::DateDecodingStrategy& dateDecodingStrategy =
                       LxJsonHelper::DateDecodingStrategy::iso8601()) {
    return LxJsonHelper().load<T>(data, dateDecodingStrategy);
}

template <platform::json::Encodable T>
std::string jsonString(const T& value,
                       const LxJsonHelper::DateEncodingStrategy& dateEncodingStrategy =
                           LxJsonHelper::DateEncodingStrategy::iso8601(),
                       platform::StringEncoding encoding = platform::StringEncoding::utf8,
                       bool prettyPrint = true) {
    return LxJsonHelper().jsonString(value, dateEncodingStrategy, encoding, prettyPrint);
}

template <platform::json::Encodable T>
LxJsonHelper::Data jsonData(const T& value,
                            const LxJsonHelper::DateEncodingStrategy& dateEncodingStrategy =
                                LxJsonHelper::DateEncodingStrategy::iso8601(),
                            bool prettyPrint = true) {
    return LxJsonHelper().jsonData(value, dateEncodingStrategy, prettyPrint);
}

// One value, or a vector of values as an array.
template <platform::json::Encodable T>
void save(const T& value, const std::string& to,
          const LxJsonHelper::DateEncodingStrategy& dateEncodingStrategy =
              LxJsonHelper::DateEncodingStrategy::iso8601(),
          bool prettyPrint = true) {
    LxJsonHelper().save(value, to, dateEncodingStrategy, prettyPrint);
}

}  // namespace lx
