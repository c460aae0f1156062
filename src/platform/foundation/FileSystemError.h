#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/foundation/Error.h"

namespace platform {

// A failed call of the operating system's file system, with the path it concerned.
//
// The readable text names the operation, the path and the system's reason:
//   Could not write "/home/anna/plan.orb": No space left on device
class FileSystemError : public Error {
public:
    FileSystemError(std::string_view operation, const std::filesystem::path& path,
                    std::error_code code);

    // From the current `errno`.
    static FileSystemError fromErrno(std::string_view operation, const std::filesystem::path& path);

    const std::error_code& code() const noexcept { return code_; }
    const std::filesystem::path& path() const noexcept { return path_; }

private:
    std::error_code code_;
    std::filesystem::path path_;
};

}  // namespace platform
