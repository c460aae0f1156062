#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"

// One entry of an archive whose content is held in memory rather than in a file, for
// LxZip::zipData(): its name in the archive, its bytes and the time stamp it carries (none gives
// the format's zero stamp).
//
// Example:
//   const LxZipArchiveFile notes{"notes.txt", bytesOf(text), platform::Date::now()};
struct LxZipArchiveFile {
    std::string filename;
    std::vector<std::uint8_t> data;
    std::optional<platform::Date> modifiedTime = std::nullopt;

    bool operator==(const LxZipArchiveFile&) const = default;
};
