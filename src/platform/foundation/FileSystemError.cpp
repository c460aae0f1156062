#include "platform/foundation/FileSystemError.h"

#include <cerrno>

namespace platform {

FileSystemError::FileSystemError(std::string_view operation, const std::filesystem::path& path,
                                 std::error_code code)
    : Error(std::string(operation) + " \"" + path.string() + "\": " + code.message()),
      code_(code),
      path_(path) {}

FileSystemError FileSystemError::fromErrno(std::string_view operation,
                                           const std::filesystem::path& path) {
    return FileSystemError(operation, path, std::error_code(errno, std::generic_category()));
}

}  // namespace platform
