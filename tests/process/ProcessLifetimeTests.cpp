// The application's private temporary folder lives as long as its process: removed when the
// application quits or is interrupted, and, when a process died without removing it, by the
// next start.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "process/ProcessTestSupport.h"

namespace {

namespace fs = std::filesystem;
using test_files::contentOf;
using test_files::put;

// A folder as a crashed process leaves it: private, with a working folder inside.
fs::path leftoverFolder(const std::string& name) {
    const fs::path folder = test_files::sandbox() / name;
    fs::create_directories(folder / "work");
    put(folder / "work" / "project.moc", "{}");
    fs::permissions(folder, fs::perms(0700));
    return folder;
}

// A process id that no process has: one that has just ended.
pid_t endedProcess() {
    const pid_t process = process_test::start({"true"});
    process_test::wait(process);
    return process;
}

std::vector<std::string> privateFoldersOf(pid_t process) {
    std::vector<std::string> folders;
    const std::string prefix = "orbin-combine-" + std::to_string(process) + "-";
    for (const auto& item : fs::directory_iterator(test_files::sandbox())) {
        if (item.path().filename().string().starts_with(prefix)) {
            folders.push_back(item.path().string());
        }
    }
    return folders;
}

// The folder the application makes at start-up, waited for within a bound: `watch` is an
// inotify descriptor watching the sandbox, set up before the start.
std::optional<fs::path> awaitPrivateFolder(int watch, pid_t process) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        const std::vector<std::string> folders = privateFoldersOf(process);
        if (!folders.empty()) {
            return fs::path(folders.front());
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{watch, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            return std::nullopt;
        }
        char events[4096];
        [[maybe_unused]] const ssize_t ignored = ::read(watch, events, sizeof events);
    }
}

class ProcessLifetimeTest : public testing::Test {
protected:
    // What every start finds: the folder of a process that died, and folders that are not
    // such leftovers (a live process's, an unrelated one, one of another form).
    void SetUp() override {
        dead = leftoverFolder("orbin-combine-" + std::to_string(endedProcess()) + "-AbC123");
        live = leftoverFolder("orbin-combine-" + std::to_string(::getpid()) + "-XyZ789");
        unrelated = leftoverFolder("orbin-combine-keep");
    }

    void expectOnlyTheLeftoverRemoved() {
        EXPECT_FALSE(fs::exists(dead));
        EXPECT_EQ(contentOf(live / "work" / "project.moc"), "{}");
        EXPECT_EQ(contentOf(unrelated / "work" / "project.moc"), "{}");
    }

    std::vector<std::string> applicationEnvironment() const {
        const std::string sandbox = test_files::sandbox().string();
        return {"QT_QPA_PLATFORM=offscreen", "HOME=" + sandbox,
                "XDG_CONFIG_HOME=" + sandbox + "/config", "XDG_DATA_HOME=" + sandbox + "/data",
                "XDG_CACHE_HOME=" + sandbox + "/cache"};
    }

    fs::path dead;
    fs::path live;
    fs::path unrelated;
};

TEST_F(ProcessLifetimeTest, AnInterruptedApplicationRemovesItsFolderAndStartRemovesLeftovers) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        if (signal != SIGTERM) {
            SetUp();
        }
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(::inotify_add_watch(watch, test_files::sandbox().c_str(), IN_CREATE), 0);
        const pid_t application = process_test::start({ORBIN_APPLICATION}, applicationEnvironment(),
                                                      test_files::sandbox() / "output.txt");
        ASSERT_GT(application, 0);
        const std::optional<fs::path> folder = awaitPrivateFolder(watch, application);
        ::close(watch);
        if (!folder) {
            ::kill(application, SIGKILL);
            process_test::wait(application);
            FAIL() << "no private folder; output: "
                   << contentOf(test_files::sandbox() / "output.txt");
        }
        EXPECT_EQ(fs::status(*folder).permissions(), fs::perms::owner_all);
        expectOnlyTheLeftoverRemoved();

        ::kill(application, signal);
        const process_test::Ending ending = process_test::wait(application);
        EXPECT_EQ(ending.signal, signal) << "ends as the signal would have ended it";
        EXPECT_FALSE(fs::exists(*folder));
    }
}

// The lines the process printed once there are `count` whole ones, waited for within a bound:
// `watch` is an inotify descriptor watching the sandbox, set up before the start.
std::vector<std::string> awaitLines(int watch, const fs::path& output, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    for (;;) {
        std::vector<std::string> lines;
        std::string text = fs::exists(output) ? contentOf(output) : "";
        for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n')) {
            lines.push_back(text.substr(0, end));
            text.erase(0, end + 1);
        }
        if (lines.size() >= count) {
            return lines;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{watch, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
            return lines;
        }
        char events[4096];
        [[maybe_unused]] const ssize_t ignored = ::read(watch, events, sizeof events);
    }
}

// A save in the middle of its write when the process is ended: by a signal (SIGHUP: the
// terminal closed) or by exit(), as Qt ends it when the display connection breaks. Neither the
// partial temporary beside the user's file nor the private folder stays, and the file is as it
// was.
TEST_F(ProcessLifetimeTest, AnEndedProcessLeavesNoPartialFileBesideTheUsersFile) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, 0}) {
        SCOPED_TRACE(signal == 0 ? std::string("exit()") : std::to_string(signal));
        const fs::path target = put(test_files::sandbox() / "plan.orb", "earlier");
        const fs::path output = test_files::sandbox() / "output.txt";
        fs::remove(output);
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(::inotify_add_watch(watch, test_files::sandbox().c_str(), IN_MODIFY), 0);
        const pid_t probe = process_test::start(
            {process_test::kProbe, "interrupted", target.string(), signal == 0 ? "exit" : "wait"},
            {}, output);
        ASSERT_GT(probe, 0);
        const std::vector<std::string> lines = awaitLines(watch, output, 2);
        ::close(watch);
        if (lines.size() < 2) {
            ::kill(probe, SIGKILL);
            process_test::wait(probe);
            FAIL() << "the probe did not start writing; output: " << contentOf(output);
        }
        const fs::path temporary = lines[0];
        const fs::path folder = lines[1];
        if (signal != 0) {
            EXPECT_TRUE(fs::exists(temporary)) << temporary;
            ::kill(probe, signal);
        }
        const process_test::Ending ending = process_test::wait(probe);
        if (signal != 0) {
            EXPECT_EQ(ending.signal, signal) << "ends as the signal would have ended it";
        } else {
            EXPECT_EQ(ending.exitCode, 1);
        }
        EXPECT_FALSE(fs::exists(temporary)) << temporary;
        EXPECT_FALSE(fs::exists(folder)) << folder;
        EXPECT_EQ(contentOf(target), "earlier");
    }
}

// The probe starts and quits the way main() does, with the folder in use until it returns.
TEST_F(ProcessLifetimeTest, AQuittingProcessRemovesItsFolder) {
    const fs::path output = test_files::sandbox() / "output.txt";
    const process_test::Ending ending =
        process_test::run({process_test::kProbe, "lifetime"}, {}, output);
    EXPECT_TRUE(ending.succeeded());
    std::string folder = contentOf(output);
    ASSERT_TRUE(folder.ends_with("\n")) << folder;
    folder.pop_back();
    EXPECT_TRUE(folder.starts_with((test_files::sandbox() / "orbin-combine-").string())) << folder;
    EXPECT_FALSE(fs::exists(folder));
    expectOnlyTheLeftoverRemoved();
}

}  // namespace
