#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// Writes `bytes` as the whole content of the file at `path`, all or nothing.
//
// The bytes go to a new temporary sibling, are flushed to disk and only then renamed over
// `path`, so a reader sees the old content or the new, never a part; a failure leaves any
// old file as it was and no temporary behind. A new file gets the usual permissions (0666 less
// the umask); a replaced file keeps its own.
//
// Throws platform::FileSystemError when any step fails.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace platform
