#pragma once

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <unistd.h>

#include "platform/foundation/FileSystemError.h"

// Shared by the file sources of platform/foundation; not part of the platform's interface.
namespace platform::internal {

// Writes every byte, resuming after short writes and interruptions; `path` names the file in
// the error.
inline void writeAll(int descriptor, std::string_view bytes, const std::filesystem::path& path) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileSystemError::fromErrno("Could not write", path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace platform::internal
