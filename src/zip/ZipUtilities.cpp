#include "zip/ZipUtilities.h"

#include <algorithm>
#include <system_error>

#include "platform/foundation/FilePath.h"

namespace {

namespace fs = std::filesystem;

// The name a path goes by in the archive. Made absolute and normal first, so "pack/", "." or
// "pack/sub/.." name the folder itself rather than giving "", "." or ".." — names a reader would
// refuse or place outside its destination.
std::optional<std::string> entryName(const fs::path& path) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored).lexically_normal();
    const std::string name = platform::lastPathComponent(absolute.empty() ? path : absolute);
    if (name.empty() || name == "/" || name == "." || name == "..") {
        return std::nullopt;
    }
    return name;
}

bool isFolder(const fs::path& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

}  // namespace

std::vector<ZipUtilities::ProcessedFilePath> ZipUtilities::collectFilePaths(
    const std::vector<fs::path>& paths) const {
    std::vector<ProcessedFilePath> files;
    for (const fs::path& path : paths) {
        if (isFolder(path)) {
            std::vector<ProcessedFilePath> inside = expandDirectory(path);
            files.insert(files.end(), inside.begin(), inside.end());
        } else {
            files.push_back({path, entryName(path)});
        }
    }
    return files;
}

std::vector<ZipUtilities::ProcessedFilePath> ZipUtilities::expandDirectory(
    const fs::path& folder) const {
    // The root folder has no name of its own; its files go in under their paths below it.
    const std::optional<std::string> folderName = entryName(folder);
    std::vector<ProcessedFilePath> files;
    std::error_code error;
    // Links to folders are not entered, so a link cannot make the walk loop.
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          error);
    for (; !error && walk != fs::recursive_directory_iterator(); walk.increment(error)) {
        const fs::path& item = walk->path();
        if (isFolder(item)) {
            continue;
        }
        const std::string below = item.lexically_relative(folder).generic_string();
        files.push_back({item, folderName ? *folderName + "/" + below : below});
    }
    std::sort(files.begin(), files.end(),
              [](const auto& lhs, const auto& rhs) { return lhs.fileName < rhs.fileName; });
    return files;
}
