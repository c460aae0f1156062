#include "folder/LxIOItem.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The paths of the entries of one kind directly inside `folder`. Each entry's kind is read
// without following links, so a link never passes for the file or folder it points to; a
// failure at any point gives no list at all rather than a part of one.
std::vector<fs::path> entriesOf(const fs::path& folder, fs::file_type kind) {
    std::error_code error;
    if (!fs::is_directory(fs::status(folder, error)) || error) {
        return {};
    }
    fs::directory_iterator entries(folder, error);
    std::vector<fs::path> found;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::path& path = entries->path();
        if (path.filename().native().starts_with('.')) {
            continue;
        }
        std::error_code kindError;
        if (entries->symlink_status(kindError).type() == kind && !kindError) {
            found.push_back(path);
        }
    }
    return error ? std::vector<fs::path>{} : found;
}

platform::Date dateOf(const struct statx_timestamp& time) {
    return platform::Date::fromUnix(static_cast<double>(time.tv_sec) +
                                    static_cast<double>(time.tv_nsec) / 1e9);
}

std::optional<std::string> accountName(uid_t uid) {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    while (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (found == nullptr || found->pw_name == nullptr) {
        return std::nullopt;
    }
    return std::string(found->pw_name);
}

}  // namespace

namespace lxio {

std::vector<LxFile> subFilesOf(const fs::path& folder) {
    std::vector<LxFile> files;
    for (fs::path& path : entriesOf(folder, fs::file_type::regular)) {
        files.emplace_back(std::move(path));
    }
    return files;
}

std::vector<LxFolder> subFoldersOf(const fs::path& folder) {
    std::vector<LxFolder> folders;
    for (fs::path& path : entriesOf(folder, fs::file_type::directory)) {
        folders.emplace_back(std::move(path), false);
    }
    return folders;
}

std::optional<LxFileFolderItemAttributes> attributesOf(const fs::path& path) {
    struct statx about {};
    if (path.empty() || ::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW,
                                STATX_BASIC_STATS | STATX_BTIME, &about) != 0) {
        return std::nullopt;
    }
    LxFileFolderItemAttributes attributes;
    if (about.stx_mask & STATX_MTIME) {
        attributes.modificationTime = dateOf(about.stx_mtime);
    }
    if (about.stx_mask & STATX_BTIME) {
        attributes.creationTime = dateOf(about.stx_btime);
    }
    if (about.stx_mask & STATX_SIZE) {
        attributes.fileSize = static_cast<std::int64_t>(about.stx_size);
    }
    if (about.stx_mask & STATX_UID) {
        attributes.owner = accountName(about.stx_uid);
    }
    return attributes;
}

}  // namespace lxio
