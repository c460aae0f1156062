#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "platform/json/Value.h"
#include "platform/json/Writer.h"
#include "support/FileTestHelpers.h"

// Reading and writing project documents the ways the tests compare.
namespace document_test {

inline std::filesystem::path fixture(const std::string& name) {
    return std::filesystem::path(ORBIN_FIXTURES_DIR) / name;
}

inline platform::json::Decoder documentDecoder() {
    return platform::json::Decoder(
        platform::json::DateDecodingStrategy::custom(JsonProjectData::decodeJsonDate));
}

// The document read from a file holding `text`, as packages are opened.
inline std::optional<JsonProjectData> readFile(const std::string& text) {
    const auto path = test_files::put(test_files::sandbox() / "project.moc", text);
    return JsonProjectData::fromFilePath(path.string());
}

// The streaming reader, the one documents are opened with.
inline std::optional<JsonProject> readStreaming(std::string_view text) {
    return documentDecoder().decode<JsonProjectData>(text)._data;
}

// The records' own reading from a parsed document.
inline std::optional<JsonProject> readParsed(std::string_view text) {
    return documentDecoder().decode<std::optional<JsonProject>>(text);
}

// The document text of `project`, or "<none>".
inline std::string documentText(const JsonProject& project) {
    JsonProjectData document;
    document._data = project;
    return document.jsonString().value_or("<none>");
}

// A record as compact JSON, for comparing records without dates.
template <class T>
std::string compactText(const T& record) {
    return platform::json::Encoder().encode(record);
}

}  // namespace document_test
