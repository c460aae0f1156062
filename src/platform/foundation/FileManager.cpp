#include "platform/foundation/FileManager.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

#include "platform/foundation/FilePath.h"
#include "platform/foundation/FileSystemError.h"
#include "platform/foundation/internal/FileDescriptors.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCopy = "Could not copy";
constexpr std::string_view kMove = "Could not move";

// A trailing "/" would make the system resolve a symbolic link and act on its target: a removal
// of "link/" would empty the folder the link points to.
fs::path systemPath(const fs::path& path) {
    return pathWithoutTrailingSeparators(path);
}

[[noreturn]] void fail(std::string_view operation, const fs::path& path, std::error_code code) {
    throw FileSystemError(operation, path, code);
}

[[noreturn]] void fail(std::string_view operation, const fs::path& path, std::errc code) {
    fail(operation, path, std::make_error_code(code));
}

// 0 when an item (a dangling link included) is at `path`, else the system's reason.
int absenceReason(const fs::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? 0 : errno;
}

void failIfTaken(std::string_view operation, const fs::path& path) {
    if (absenceReason(path) == 0) {
        fail(operation, path, std::errc::file_exists);
    }
}

class ScopedDescriptor {
public:
    explicit ScopedDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~ScopedDescriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    ScopedDescriptor(const ScopedDescriptor&) = delete;
    ScopedDescriptor& operator=(const ScopedDescriptor&) = delete;

    int get() const { return descriptor_; }

    // Closing reports late write errors, which some file systems only give here.
    int close() { return ::close(std::exchange(descriptor_, -1)); }

private:
    int descriptor_;
};

// Removes what a copy made unless the copy completed, so a failed copy leaves nothing behind.
class PartialCopy {
public:
    explicit PartialCopy(fs::path path) : path_(std::move(path)) {}
    ~PartialCopy() {
        if (!completed_) {
            (void)removeItemIfPresent(path_);
        }
    }
    PartialCopy(const PartialCopy&) = delete;
    PartialCopy& operator=(const PartialCopy&) = delete;

    void completed() { completed_ = true; }

private:
    fs::path path_;
    bool completed_ = false;
};

// Package entries carry their time stamps from these modification times.
void copyModificationTime(const fs::path& from, const fs::path& to) {
    std::error_code code;
    const fs::file_time_type time = fs::last_write_time(from, code);
    if (!code) {
        fs::last_write_time(to, time, code);
    }
    if (code) {
        fail(kCopy, to, code);
    }
}

// The library creates the target before it copies the bytes and leaves it behind when the copy
// fails half-way (a full disk, a read error, a refused mode): the target is ours to remove from
// the moment it is made, and an item already at its name is never touched.
void copyFile(const fs::path& from, const fs::path& to) {
    failIfTaken(kCopy, to);
    PartialCopy copy(to);
    std::error_code code;
    fs::copy_file(from, to, fs::copy_options::none, code);
    if (code == std::errc::file_exists) {
        copy.completed();  // made by someone else in the meantime; theirs, not ours to remove
    }
    if (code) {
        fail(kCopy, from, code);
    }
    copyModificationTime(from, to);
    copy.completed();
}

void copySymbolicLink(const fs::path& from, const fs::path& to) {
    std::error_code code;
    fs::copy_symlink(from, to, code);
    if (code) {
        fail(kCopy, from, code);
    }
}

// Copies an item that is not a folder. Devices, pipes and sockets are refused: reading a pipe
// would wait for a writer that may never come.
void copyLeaf(fs::file_type type, const fs::path& from, const fs::path& to) {
    switch (type) {
        case fs::file_type::regular:
            copyFile(from, to);
            break;
        case fs::file_type::symlink:
            copySymbolicLink(from, to);
            break;
        default:
            fail(kCopy, from, std::errc::operation_not_supported);
    }
}

void makeCopyFolder(const fs::path& to) {
    // Owner-only until the copy is complete; the source's permissions come last, because a
    // read-only source folder would otherwise refuse its own contents.
    if (::mkdir(to.c_str(), 0700) != 0) {
        fail(kCopy, to, std::error_code(errno, std::generic_category()));
    }
}

void failIfInside(const fs::path& to, const fs::path& folder) {
    std::error_code code;
    const fs::path source = fs::canonical(folder, code);
    if (code) {
        fail(kCopy, folder, code);
    }
    const fs::path target = fs::weakly_canonical(to, code);
    if (code) {
        fail(kCopy, to, code);
    }
    // Copying into itself would walk into what it has just made.
    if (std::mismatch(source.begin(), source.end(), target.begin(), target.end()).first ==
        source.end()) {
        fail(kCopy, to, std::errc::invalid_argument);
    }
}

// Walks the folder with the library's iterator, which keeps its own stack: however deep the
// folder, the copy uses no recursion.
void copyFolder(const fs::path& from, const fs::path& to) {
    failIfInside(to, from);
    makeCopyFolder(to);
    PartialCopy copy(to);

    std::vector<std::pair<fs::path, fs::path>> folders{{from, to}};
    std::error_code code;
    for (fs::recursive_directory_iterator entry(from, code), end;; entry.increment(code)) {
        if (code) {
            fail(kCopy, from, code);
        }
        if (entry == end) {
            break;
        }
        const fs::path target = to / entry->path().lexically_relative(from);
        const fs::file_type type = entry->symlink_status(code).type();
        if (code) {
            fail(kCopy, entry->path(), code);
        }
        if (type == fs::file_type::directory) {
            makeCopyFolder(target);
            folders.emplace_back(entry->path(), target);
        } else {
            copyLeaf(type, entry->path(), target);
        }
    }
    // Inner folders first: filling a folder would change its time stamp again.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        const fs::perms permissions = fs::status(folder->first, code).permissions();
        if (!code) {
            fs::permissions(folder->second, permissions, code);
        }
        if (code) {
            fail(kCopy, folder->second, code);
        }
        copyModificationTime(folder->first, folder->second);
    }
    copy.completed();
}

// Across file systems a move is a copy and a removal. When the removal fails the copy stays:
// deleting it could lose what the removal had already taken from the source.
void moveAcrossFileSystems(const fs::path& from, const fs::path& to) {
    copyItem(from, to);
    if (const std::error_code code = removeItemIfPresent(from)) {
        fail(kMove, from, code);
    }
}

}  // namespace

bool itemExists(const fs::path& path) noexcept {
    std::error_code ignored;
    return fs::exists(systemPath(path), ignored);
}

void copyItem(const fs::path& from, const fs::path& to) {
    const fs::path source = systemPath(from);
    const fs::path target = systemPath(to);
    // The library's folder copy merges into an existing folder; a copy never does.
    failIfTaken(kCopy, target);
    std::error_code code;
    const fs::file_type type = fs::symlink_status(source, code).type();
    if (code) {
        fail(kCopy, source, code);
    }
    if (type == fs::file_type::directory) {
        copyFolder(source, target);
    } else {
        copyLeaf(type, source, target);
    }
}

void moveItem(const fs::path& from, const fs::path& to) {
    const fs::path source = systemPath(from);
    const fs::path target = systemPath(to);
    // A plain rename replaces an existing file or empty folder without a word.
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return;
    }
    const int error = errno;
    if (error == EXDEV) {
        moveAcrossFileSystems(source, target);
        return;
    }
    // File systems without the no-replace flag: the check leaves a small window only.
    if (error == EINVAL || error == ENOSYS || error == EOPNOTSUPP) {
        failIfTaken(kMove, target);
        if (::rename(source.c_str(), target.c_str()) == 0) {
            return;
        }
        fail(kMove, source, std::error_code(errno, std::generic_category()));
    }
    fail(kMove, source, std::error_code(error, std::generic_category()));
}

bool isRefusedForRemoval(const fs::path& path) noexcept {
    try {
        const fs::path given = systemPath(path);
        if (given.empty()) {
            return false;  // names nothing, so a removal finds nothing there
        }
        if (const fs::path last = given.filename(); last == "." || last == "..") {
            return true;
        }
        std::error_code unknownCurrentFolder;
        fs::path absolute = fs::absolute(given, unknownCurrentFolder);
        if (unknownCurrentFolder) {
            absolute = given;
        }
        const fs::path normal = absolute.lexically_normal();
        return normal.has_root_directory() && normal.relative_path().empty();
    } catch (...) {
        return true;  // a path that cannot even be looked at is not removed
    }
}

// The one place a recursive removal happens: a path that names the root would otherwise empty
// every folder the user may write to before it meets one it may not.
std::error_code removeItemIfPresent(const fs::path& path) noexcept {
    try {
        const fs::path target = systemPath(path);
        if (isRefusedForRemoval(target)) {
            return std::make_error_code(std::errc::operation_not_permitted);
        }
        std::error_code code;
        fs::remove_all(target, code);
        return code;
    } catch (...) {
        return std::make_error_code(std::errc::not_enough_memory);
    }
}

void removeItem(const fs::path& path) {
    const fs::path target = systemPath(path);
    if (isRefusedForRemoval(target)) {
        fail("Could not remove", target, std::errc::operation_not_permitted);
    }
    // The library's removal answers "nothing removed" for a missing item; a removal fails.
    if (const int reason = absenceReason(target); reason != 0) {
        fail("Could not remove", target, std::error_code(reason, std::generic_category()));
    }
    if (const std::error_code code = removeItemIfPresent(target)) {
        fail("Could not remove", target, code);
    }
}

std::optional<Date> itemModificationDate(const fs::path& path) noexcept {
    struct stat status {};
    if (path.empty() || ::lstat(systemPath(path).c_str(), &status) != 0) {
        return std::nullopt;
    }
    return Date::fromUnix(static_cast<double>(status.st_mtim.tv_sec) +
                          static_cast<double>(status.st_mtim.tv_nsec) / 1e9);
}

void createFolder(const fs::path& path) {
    const fs::path target = systemPath(path);
    std::error_code code;
    fs::create_directories(target, code);
    if (code) {
        fail("Could not create", target, code);
    }
}

std::vector<std::uint8_t> readFileContents(const fs::path& path) {
    const fs::path source = systemPath(path);
    ScopedDescriptor file(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        throw FileSystemError::fromErrno("Could not read", source);
    }
    // A folder opens for reading and fails only on the first read.
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        throw FileSystemError::fromErrno("Could not read", source);
    }
    if (S_ISDIR(status.st_mode)) {
        fail("Could not read", source, std::errc::is_a_directory);
    }

    std::vector<std::uint8_t> bytes;
    if (S_ISREG(status.st_mode)) {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    std::uint8_t buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileSystemError::fromErrno("Could not read", source);
        }
        if (got == 0) {
            return bytes;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

void writeFileContents(const fs::path& path, std::span<const std::uint8_t> bytes) {
    const fs::path target = systemPath(path);
    ScopedDescriptor file(::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        throw FileSystemError::fromErrno("Could not write", target);
    }
    internal::writeAll(file.get(),
                       std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                       target);
    if (file.close() != 0) {
        throw FileSystemError::fromErrno("Could not write", target);
    }
}

}  // namespace platform
