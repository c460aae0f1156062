#include "platform/foundation/StandardFolders.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <string>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/foundation/FileManager.h"
#include "platform/foundation/FileSystemError.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value != '/') {
        return std::nullopt;
    }
    return fs::path(value);
}

std::optional<fs::path> accountHome() {
    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        const int error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (1u << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || found == nullptr || found->pw_dir == nullptr || *found->pw_dir != '/') {
            return std::nullopt;
        }
        return fs::path(found->pw_dir);
    }
}

fs::path xdgFolder(const char* variable, const char* fallbackBelowHome) {
    return absoluteVariable(variable).value_or(homeFolder() / fallbackBelowHome);
}

// One value of user-dirs.dirs: a double-quoted text in which a backslash takes the next
// character as it is.
std::optional<std::string> quotedValue(std::string_view text) {
    if (text.empty() || text.front() != '"') {
        return std::nullopt;
    }
    std::string value;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            return value;
        }
        if (c == '\\' && i + 1 < text.size()) {
            ++i;
        }
        value += text[i];
    }
    return std::nullopt;
}

// The file is a shell fragment that the desktop sources; its values are either "$HOME/..." or
// an absolute path, and the last assignment of a key wins.
std::optional<fs::path> userDirsEntry(std::string_view key) {
    std::ifstream file(configHome() / "user-dirs.dirs");
    std::optional<fs::path> found;
    std::string line;
    while (std::getline(file, line)) {
        std::string_view text = line;
        text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
        if (!text.starts_with(key) || text.substr(key.size()).find('=') != 0) {
            continue;
        }
        const std::optional<std::string> value = quotedValue(text.substr(key.size() + 1));
        if (!value) {
            continue;
        }
        static constexpr std::string_view kHome = "$HOME";
        const std::string_view path = *value;
        if (path.starts_with(kHome) && (path.size() == kHome.size() || path[kHome.size()] == '/')) {
            found = homeFolder().native() + std::string(path.substr(kHome.size()));
        } else if (path.starts_with('/')) {
            found = fs::path(path);
        }
    }
    return found;
}

bool isPrivateFolder(const fs::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & 07777) == 0700;
}

}  // namespace

fs::path homeFolder() {
    if (std::optional<fs::path> home = absoluteVariable("HOME")) {
        return *home;
    }
    if (std::optional<fs::path> home = accountHome()) {
        return *home;
    }
    return temporaryFolder();
}

fs::path temporaryFolder() {
    return absoluteVariable("TMPDIR").value_or("/tmp");
}

fs::path configHome() {
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

fs::path dataHome() {
    return xdgFolder("XDG_DATA_HOME", ".local/share");
}

fs::path cacheHome() {
    return xdgFolder("XDG_CACHE_HOME", ".cache");
}

fs::path userFolder(UserFolder folder) {
    const bool documents = folder == UserFolder::documents;
    return userDirsEntry(documents ? "XDG_DOCUMENTS_DIR" : "XDG_DOWNLOAD_DIR")
        .value_or(homeFolder() / (documents ? "Documents" : "Downloads"));
}

namespace {

// The folders this process made, each with the descriptor that holds its lock; the lock tells
// other processes that the folder is in use, and goes when the process does, however it ends.
struct PrivateFolders {
    std::mutex mutex;
    fs::path madeIn;
    fs::path current;
    std::vector<std::pair<fs::path, int>> made;
};

PrivateFolders& privateFolders() {
    static PrivateFolders* folders = new PrivateFolders();  // outlives every static destructor
    return *folders;
}

constexpr std::string_view kPrivateFolderPrefix = "orbin-combine-";

// The process id in a name "orbin-combine-<pid>-XXXXXX"; none for any other name.
std::optional<pid_t> ownerOfFolderName(std::string_view name) {
    if (!name.starts_with(kPrivateFolderPrefix)) {
        return std::nullopt;
    }
    name.remove_prefix(kPrivateFolderPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != 6 || dash > 9 ||
        !std::all_of(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(dash),
                     [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return static_cast<pid_t>(std::stol(std::string(name.substr(0, dash))));
}

bool isRunning(pid_t process) {
    return ::kill(process, 0) == 0 || errno != ESRCH;
}

int lockedFolder(const fs::path& folder) {
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor >= 0 && ::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

}  // namespace

fs::path privateTemporaryFolder() {
    // The shared /tmp is readable by every local user; unpacked projects must not be.
    PrivateFolders& folders = privateFolders();
    const fs::path base = temporaryFolder();
    const std::lock_guard lock(folders.mutex);
    if (!folders.current.empty() && folders.madeIn == base && isPrivateFolder(folders.current)) {
        return folders.current;
    }
    // The process id in the name lets a later start tell a crashed process's folder from one
    // still in use; the lock below is what it relies on, the id covers the moment before it.
    const fs::path pattern =
        base / (std::string(kPrivateFolderPrefix) + std::to_string(::getpid()) + "-XXXXXX");
    std::string name = pattern.native();
    if (::mkdtemp(name.data()) == nullptr) {
        throw FileSystemError::fromErrno("Could not create", pattern);
    }
    // A umask that takes the owner's bits would leave a folder even we cannot use.
    if (::chmod(name.c_str(), 0700) != 0) {
        throw FileSystemError::fromErrno("Could not create", name);
    }
    folders.made.emplace_back(name, lockedFolder(name));
    folders.madeIn = base;
    folders.current = name;
    return folders.current;
}

void removePrivateTemporaryFolders() noexcept {
    PrivateFolders& folders = privateFolders();
    const std::lock_guard lock(folders.mutex);
    for (const auto& [folder, descriptor] : folders.made) {
        (void)removeItemIfPresent(folder);
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
    folders.made.clear();
    folders.current.clear();
}

void removeAbandonedTemporaryFolders() noexcept {
    std::error_code error;
    const fs::path base = temporaryFolder();
    std::vector<fs::path> abandoned;
    for (fs::directory_iterator item(base, error); !error && item != fs::directory_iterator();
         item.increment(error)) {
        const std::optional<pid_t> owner = ownerOfFolderName(item->path().filename().native());
        if (owner && *owner != ::getpid() && !isRunning(*owner) && isPrivateFolder(item->path())) {
            abandoned.push_back(item->path());
        }
    }
    for (const fs::path& folder : abandoned) {
        // Held by a live process elsewhere (another process namespace sharing the folder):
        // still in use.
        const int descriptor = lockedFolder(folder);
        if (descriptor < 0) {
            continue;
        }
        (void)removeItemIfPresent(folder);
        ::close(descriptor);
    }
}

}  // namespace platform
