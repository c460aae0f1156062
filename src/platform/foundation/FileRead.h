#pragma once

#include <filesystem>
#include <string>

namespace platform {

// The whole content of the file at `path`, as bytes.
//
// Throws platform::FileSystemError when the file cannot be opened or read, and for a path that
// names a folder (the system's "Is a directory"), so a folder never reads as empty content.
std::string readFile(const std::filesystem::path& path);

}  // namespace platform
