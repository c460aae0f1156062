#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <optional>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Running a part of a test in a forked child process, where what it does to the process (its
// user, its root folder, its memory) cannot reach the test runner.
//
// The body answers "" when all held and otherwise what went wrong; the parent gets that text,
// or why the child could not run or did not finish. Tests run as root in CI: a body that needs
// permissions to bind runs as an unprivileged user, and a body that removes paths such as "/"
// runs in a private mount namespace chrooted into a scratch folder, where the worst a fault can
// do is empty that folder.
//
// Example:
//   EXPECT_EQ(child_process::run({.unprivileged = true}, [&] {
//       return fetchSubFolders(folder).empty() ? "" : "listed an unreadable folder";
//   }), "");
namespace child_process {

// The unprivileged account (and group) of Debian's "nobody".
inline constexpr uid_t kNobody = 65534;

struct Setting {
    // The folder the child sees as "/", inside a mount namespace of its own. Needs root.
    std::optional<std::filesystem::path> root = std::nullopt;
    // The child runs as kNobody (user and group), set after the root; a test runner that is
    // not root is unprivileged already and stays who it is.
    bool unprivileged = false;
};

// Lets the unprivileged child of a test run by root reach `folder` in the test's sandbox and
// own it: the sandbox becomes traversable (never listable) for others, and `folder` with
// everything below it is given to kNobody. Nothing to do for a runner that is not root.
inline void handToUnprivilegedChild(const std::filesystem::path& sandbox,
                                    const std::filesystem::path& folder) {
    if (::geteuid() != 0) {
        return;
    }
    std::filesystem::permissions(sandbox, std::filesystem::perms(0711));
    (void)::lchown(folder.c_str(), kNobody, kNobody);
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        (void)::lchown(item.path().c_str(), kNobody, kNobody);
    }
}

namespace internal {

// Placed in a scratch root before the child enters it: a child that does not find it there
// has not changed its root and runs nothing.
inline constexpr const char* kRootMarker = "/.child-process-root";

inline std::string failedStep(const char* step) {
    return std::string("could not ") + step + ": " + std::strerror(errno);
}

// Only the mount namespace is unshared: the child keeps the test runner's user and processes.
inline std::string enter(const Setting& setting) {
    if (setting.root) {
        if (::unshare(CLONE_NEWNS) != 0) {
            return failedStep("enter a mount namespace");
        }
        // Mounts made inside must not reach the system's namespace.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return failedStep("make the mounts private");
        }
        if (::chroot(setting.root->c_str()) != 0 || ::chdir("/") != 0) {
            return failedStep("change the root folder");
        }
        if (::access(kRootMarker, F_OK) != 0) {
            return "the root folder is not the scratch folder";
        }
    }
    if (setting.unprivileged && ::geteuid() == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            return failedStep("drop privileges");
        }
    }
    return "";
}

inline void writeAll(int descriptor, const std::string& text) {
    for (std::size_t written = 0; written < text.size();) {
        const ssize_t count = ::write(descriptor, text.data() + written, text.size() - written);
        if (count <= 0 && errno != EINTR) {
            return;
        }
        written += count > 0 ? static_cast<std::size_t>(count) : 0;
    }
}

}  // namespace internal

// Runs `body` in a child set up as `setting` says, and answers what it answered ("" for all
// held), or why it could not run or ended without answering (a signal, an exit).
inline std::string run(const Setting& setting, const std::function<std::string()>& body) {
    if (setting.root) {
        const std::filesystem::path marker =
            *setting.root / std::filesystem::path(internal::kRootMarker).filename();
        if (std::FILE* file = std::fopen(marker.c_str(), "w")) {
            std::fclose(file);
        }
    }
    int channel[2];
    if (::pipe(channel) != 0) {
        return internal::failedStep("make a pipe");
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return internal::failedStep("fork");
    }
    if (child == 0) {
        ::close(channel[0]);
        std::string answer = internal::enter(setting);
        if (answer.empty()) {
            try {
                answer = body();
            } catch (const std::exception& error) {
                answer = std::string("threw: ") + error.what();
            }
        }
        internal::writeAll(channel[1], answer.empty() ? std::string("ok") : "failed: " + answer);
        ::_exit(0);  // no static destructors, no test framework teardown in the child
    }
    ::close(channel[1]);
    std::string received;
    char buffer[4096];
    for (ssize_t count; (count = ::read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        received.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (received == "ok") {
        return "";
    }
    if (received.starts_with("failed: ")) {
        return received.substr(8);
    }
    if (WIFSIGNALED(status)) {
        return "the child ended by signal " + std::to_string(WTERMSIG(status));
    }
    return "the child ended without an answer";
}

}  // namespace child_process
