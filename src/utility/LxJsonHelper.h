#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/StringEncoding.h"
#include "platform/json/DateStrategy.h"
#include "platform/json/Value.h"
#include "platform/json/Writer.h"
#include "utility/LxError.h"

// Stateless JSON loading and saving of values (platform/json/ is the coder underneath).
//
// Every call makes its own encoder or decoder with the date strategy passed (ISO 8601 unless
// another is given) and, for the encoders, pretty printing unless `prettyPrint` is false; calls
// share nothing, so any thread may make any number at once. Keys keep the order in which a
// value writes them; "/" is written "\/".
//
// Errors: `LxError` with the fixed messages below for a blank or missing path and for text
// that cannot be converted to or from the encoding; platform::json::DecodingError and
// EncodingError from the coder; platform::FileSystemError from reading and writing files
// (a path that names a folder is a read error). Nothing is logged.
//
// Saving encodes the whole value first and then replaces the file atomically: a value that
// cannot be encoded fails with "Failed to convert object to data before saving to \"<path>\""
// and leaves the file untouched, and a failed write leaves the old file as it was.
//
// Example:
//   const auto project = LxJsonHelper().loadFromFilePath<std::optional<JsonProject>>(
//       path, LxJsonHelper::DateDecodingStrategy::custom(decodeJsonDate));
struct LxJsonHelper {
    using Data = std::vector<std::uint8_t>;
    using DateDecodingStrategy = platform::json::DateDecodingStrategy;
    using DateEncodingStrategy = platform::json::DateEncodingStrategy;
    using StringEncoding = platform::StringEncoding;

    template <class T>
    T load(const Data& data, const DateDecodingStrategy& dateDecodingStrategy =
                                 DateDecodingStrategy::iso8601()) const {
        return platform::json::Decoder(dateDecodingStrategy).decode<T>(data);
    }

    // Fails with "file \"<path>\" is not exists" for a blank path or one where nothing exists.
    template <class T>
    T loadFromFilePath(const std::string& path, const DateDecodingStrategy& dateDecodingStrategy =
                                                    DateDecodingStrategy::iso8601()) const {
        return platform::json::Decoder(dateDecodingStrategy).decode<T>(readJsonFile(path));
    }

    // Fails with "Failed to encoding json string using encoding \"<name>\"" for text that has
    // no form in `encoding`.
    template <class T>
    T load(std::string_view jsonString,
           const DateDecodingStrategy& dateDecodingStrategy = DateDecodingStrategy::iso8601(),
           StringEncoding encoding = StringEncoding::utf8) const {
        return platform::json::Decoder(dateDecodingStrategy)
            .decode<T>(textToBytes(jsonString, encoding));
    }

    // The same for a JSON array of T.
    template <class T>
    std::vector<T> loadArray(const Data& data, const DateDecodingStrategy& dateDecodingStrategy =
                                                   DateDecodingStrategy::iso8601()) const {
        return load<std::vector<T>>(data, dateDecodingStrategy);
    }
    template <class T>
    std::vector<T> loadArrayFromFilePath(
        const std::string& path,
        const DateDecodingStrategy& dateDecodingStrategy = DateDecodingStrategy::iso8601()) const {
        return loadFromFilePath<std::vector<T>>(path, dateDecodingStrategy);
    }
    template <class T>
    std::vector<T> loadArray(
        std::string_view jsonString,
        const DateDecodingStrategy& dateDecodingStrategy = DateDecodingStrategy::iso8601(),
        StringEncoding encoding = StringEncoding::utf8) const {
        return load<std::vector<T>>(jsonString, dateDecodingStrategy, encoding);
    }

    // Fails with "Failed to convert object to json string using encoding \"<name>\"" when the
    // text has no form in `encoding`.
    template <platform::json::Encodable T>
    std::string jsonString(
        const T& object,
        const DateEncodingStrategy& dateEncodingStrategy = DateEncodingStrategy::iso8601(),
        StringEncoding encoding = StringEncoding::utf8, bool prettyPrint = true) const {
        return bytesToText(encode(object, dateEncodingStrategy, prettyPrint), encoding);
    }

    template <platform::json::Encodable T>
    Data jsonData(
        const T& object,
        const DateEncodingStrategy& dateEncodingStrategy = DateEncodingStrategy::iso8601(),
        bool prettyPrint = true) const {
        const std::string bytes = encode(object, dateEncodingStrategy, prettyPrint);
        return Data(bytes.begin(), bytes.end());
    }

    // One value, or a vector of values as an array.
    template <platform::json::Encodable T>
    void save(const T& object, const std::string& toFile,
              const DateEncodingStrategy& dateEncodingStrategy = DateEncodingStrategy::iso8601(),
              bool prettyPrint = true) const {
        std::string bytes;
        try {
            bytes = encode(object, dateEncodingStrategy, prettyPrint);
        } catch (const std::exception&) {
            throw LxError::failure("Failed to convert object to data before saving to \"" + toFile +
                                   "\"");
        }
        writeJsonFile(toFile, bytes);
    }

private:
    template <class T>
    static std::string encode(const T& object, const DateEncodingStrategy& dateEncodingStrategy,
                              bool prettyPrint) {
        return platform::json::Encoder(dateEncodingStrategy,
                                       prettyPrint ? platform::json::Formatting::pretty
                                                   : platform::json::Formatting::compact)
            .encode(object);
    }

    static Data readJsonFile(const std::string& path);
    static void writeJsonFile(const std::string& path, const std::string& bytes);
    static std::string textToBytes(std::string_view text, StringEncoding encoding);
    static std::string bytesToText(std::string bytes, StringEncoding encoding);
};

namespace lx {

// How messages name an encoding: "Unicode (UTF-8)", "Western (ASCII)".
std::string localizedName(platform::StringEncoding encoding);

}  // namespace lx
