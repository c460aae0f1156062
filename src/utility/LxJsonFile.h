#pragma once

#include <string>

#include "utility/LxJsonHelper.h"

// A value loaded from a JSON file when made, that can be written back as text or to a file.
//
// Example:
//   const LxJsonFile<Settings> file("/path/settings.json");
//   file.save("/path/copy.json");
template <class T>
requires platform::json::Encodable<T> && platform::json::Decodable<T>
class LxJsonFile {
public:
    // Throws what LxJsonHelper::loadFromFilePath throws.
    explicit LxJsonFile(const std::string& fromJsonFile,
                        const LxJsonHelper::DateDecodingStrategy& dateDecodingStrategy =
                            LxJsonHelper::DateDecodingStrategy::iso8601())
        : data_(LxJsonHelper().loadFromFilePath<T>(fromJsonFile, dateDecodingStrategy)) {}

    const T& data() const { return data_; }

    std::string jsonString(const LxJsonHelper::DateEncodingStrategy& dateEncodingStrategy =
                               LxJsonHelper::DateEncodingStrategy::iso8601(),
                           platform::StringEncoding encoding = platform::StringEncoding::utf8,
                           bool prettyPrint = true) const {
        return LxJsonHelper().jsonString(data_, dateEncodingStrategy, encoding, prettyPrint);
    }

    void save(const std::string& to,
              const LxJsonHelper::DateEncodingStrategy& dateEncodingStrategy =
                  LxJsonHelper::DateEncodingStrategy::iso8601(),
              bool prettyPrint = true) const {
        LxJsonHelper().save(data_, to, dateEncodingStrategy, prettyPrint);
    }

private:
    T data_;
};
