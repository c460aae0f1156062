#include "zip/ZipUtilities.h"

#include <algorithm>
#include <system_error>

#include "LxLog/Log.h"
#include "platform/foundation/FilePath.h"
#include "zip/LxZipError.h"

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
    // Links to folders are not entered, so a link cannot make the walk loop. Nothing is skipped:
    // an archive without the part that could not be read would pass for a whole one.
    fs::recursive_directory_iterator walk(folder, error);
    fs::path reached = folder;
    while (!error && walk != fs::recursive_directory_iterator()) {
        reached = walk->path();
        if (!isFolder(reached)) {
            const std::string below = reached.lexically_relative(folder).generic_string();
            files.push_back({reached, folderName ? *folderName + "/" + below : below});
        }
        walk.increment(error);
    }
    if (error) {
        Log::warning("Refusing to pack \"" + Log::escaped(folder.string()) + "\": \"" +
                     Log::escaped(reached.string()) + "\" cannot be read (" + error.message() +
                     ")");
        throw LxZipError::zipFail();
    }
    std::sort(files.begin(), files.end(),
              [](const auto& lhs, const auto& rhs) { return lhs.fileName < rhs.fileName; });
    return files;
}
