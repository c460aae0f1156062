#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/FileManager.h"
#include "platform/foundation/FileSystemError.h"
#include "support/ChildProcess.h"
#include "support/FileTestHelpers.h"

namespace {

namespace fs = std::filesystem;

using test_files::expectFileSystemError;
using test_files::put;

class FileManager : public testing::Test {
protected:
    const fs::path sandbox = test_files::sandbox();
};

TEST_F(FileManager, CopyKeepsTimesPermissionsAndLinksThroughoutAFolder) {
    const fs::path source = sandbox / "source";
    fs::create_directories(source / "inner");
    put(source / "inner" / "photo.jpg");
    fs::create_symlink("inner/photo.jpg", source / "link");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    fs::last_write_time(source / "inner" / "photo.jpg", old);
    fs::permissions(source / "inner" / "photo.jpg", fs::perms(0640));
    fs::last_write_time(source / "inner", old - std::chrono::hours(1));
    fs::permissions(source / "inner", fs::perms(0750));
    fs::last_write_time(source, old - std::chrono::hours(2));

    platform::copyItem(source, sandbox / "copy");

    const fs::path copy = sandbox / "copy";
    EXPECT_EQ(fs::last_write_time(copy / "inner" / "photo.jpg"), old);
    EXPECT_EQ(fs::status(copy / "inner" / "photo.jpg").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::last_write_time(copy / "inner"), old - std::chrono::hours(1));
    EXPECT_EQ(fs::status(copy / "inner").permissions(), fs::perms(0750));
    EXPECT_EQ(fs::last_write_time(copy), old - std::chrono::hours(2));
    ASSERT_TRUE(fs::is_symlink(copy / "link"));
    EXPECT_EQ(fs::read_symlink(copy / "link"), "inner/photo.jpg");
}

TEST_F(FileManager, DanglingLinkAtTheDestinationCountsAsTaken) {
    const fs::path file = put(sandbox / "a.txt");
    fs::create_symlink(sandbox / "nowhere", sandbox / "dangling");

    expectFileSystemError([&] { platform::copyItem(file, sandbox / "dangling"); },
                          std::errc::file_exists);
    expectFileSystemError([&] { platform::moveItem(file, sandbox / "dangling"); },
                          std::errc::file_exists);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(fs::exists(sandbox / "nowhere"));
}

TEST_F(FileManager, FolderCopyIntoItselfIsRefused) {
    fs::create_directories(sandbox / "folder" / "sub");

    expectFileSystemError(
        [&] { platform::copyItem(sandbox / "folder", sandbox / "folder" / "sub" / "x"); },
        std::errc::invalid_argument);
    expectFileSystemError([&] { platform::copyItem(sandbox / "folder/", sandbox / "folder/./y"); },
                          std::errc::invalid_argument);
    EXPECT_TRUE(fs::is_empty(sandbox / "folder" / "sub"));
}

TEST_F(FileManager, FailedFolderCopyLeavesNothingBehind) {
    const fs::path source = sandbox / "source";
    fs::create_directories(source / "a");
    put(source / "a" / "file.txt");
    ASSERT_EQ(::mkfifo((source / "a" / "pipe").c_str(), 0600), 0);

    expectFileSystemError([&] { platform::copyItem(source, sandbox / "copy"); },
                          std::errc::operation_not_supported);
    EXPECT_FALSE(fs::exists(sandbox / "copy"));
}

TEST_F(FileManager, TrailingSeparatorActsOnTheLinkNotItsTarget) {
    const fs::path target = sandbox / "target";
    fs::create_directories(target);
    put(target / "keep.txt");
    fs::create_directory_symlink(target, sandbox / "link");

    platform::copyItem(sandbox / "link/", sandbox / "copied/");
    EXPECT_TRUE(fs::is_symlink(sandbox / "copied"));

    platform::removeItem(sandbox / "link/");
    EXPECT_FALSE(fs::exists(fs::symlink_status(sandbox / "link")));
    EXPECT_TRUE(fs::exists(target / "keep.txt"));
}

TEST_F(FileManager, MissingItemsAndFoldersFailToRemoveOrRead) {
    expectFileSystemError([&] { platform::removeItem(sandbox / "missing"); },
                          std::errc::no_such_file_or_directory);
    expectFileSystemError([&] { platform::removeItem(""); }, std::errc::no_such_file_or_directory);
    expectFileSystemError([&] { platform::readFileContents(sandbox); }, std::errc::is_a_directory);
    EXPECT_TRUE(fs::exists(sandbox));
}

TEST(FileManagerRemoval, RefusesTheRootAndPathsEndingInDotsByTheirTextAlone) {
    struct Case {
        const char* path;
        bool refused;
    };
    const Case cases[] = {
        {"/", true},          {"//", true},         {"/.", true},        {"/a/..", true},
        {"/../..", true},     {"/./", true},        {".", true},         {"./", true},
        {"..", true},         {"a/..", true},       {"a/b/../..", true}, {"job/../", true},
        {"/a/./b/..", true},  {"/a/b/../c", false}, {"/a", false},       {"a", false},
        {"a/b/", false},      {"/..a", false},      {"...", false},      {".hidden", false},
        {"/tmp/work", false}, {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::isRefusedForRemoval(c.path), c.refused) << '"' << c.path << '"';
    }
}

// Run against the real file system only in a child whose root is a scratch folder: were the
// guard to fail, the removal would empty that folder and nothing else.
TEST(FileManagerRemoval, RemovalsOfTheRootAndOfDotPathsTouchNothing) {
    const fs::path root = test_files::sandbox() / "root";
    fs::create_directories(root / "job" / "inner");
    put(root / "job" / "inner" / "a.txt");
    put(root / "keep.txt");

    const std::string outcome = child_process::run({.root = root}, [] {
        const std::vector<fs::path> kept = {"/job/inner/a.txt", "/keep.txt"};
        const auto lost = [&]() -> std::string {
            for (const fs::path& path : kept) {
                if (!fs::exists(path)) {
                    return path.string() + " is gone";
                }
            }
            return "";
        };
        struct Case {
            const char* currentFolder;
            const char* path;
        };
        const Case cases[] = {{"/", "/"},           {"/", "//"},     {"/", "/."},
                              {"/", "/job/.."},     {"/job", "."},   {"/", "job/.."},
                              {"/job", "inner/.."}, {"/job", "../"}, {"/job/inner", "../.."}};
        for (const Case& c : cases) {
            fs::current_path(c.currentFolder);
            const std::string where = std::string(c.path) + " from " + c.currentFolder + ": ";
            try {
                platform::removeItem(c.path);
                return where + "removeItem did not refuse";
            } catch (const platform::FileSystemError& error) {
                if (error.code() != std::errc::operation_not_permitted) {
                    return where + error.localizedDescription();
                }
            }
            if (platform::removeItemIfPresent(c.path) != std::errc::operation_not_permitted) {
                return where + "removeItemIfPresent did not refuse";
            }
            if (std::string gone = lost(); !gone.empty()) {
                return where + gone;
            }
        }
        fs::current_path("/");
        platform::removeItem("/job/inner/");
        return std::string(fs::exists("/job/inner") || !fs::exists("/keep.txt")
                               ? "a plain folder was not removed alone"
                               : "");
    });
    EXPECT_EQ(outcome, "");
    EXPECT_TRUE(fs::exists(root / "keep.txt"));
}

TEST_F(FileManager, ModificationDateIsTheItemsOwnALinkNotFollowed) {
    const fs::path file = put(sandbox / "plan.orb");
    const timespec fileTimes[2] = {{0, UTIME_OMIT}, {1'600'000'000, 250'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), fileTimes, 0), 0);
    fs::create_symlink(file, sandbox / "link");
    const timespec linkTimes[2] = {{0, UTIME_OMIT}, {1'500'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (sandbox / "link").c_str(), linkTimes, AT_SYMLINK_NOFOLLOW), 0);

    EXPECT_DOUBLE_EQ(platform::itemModificationDate(file)->unixSeconds(), 1'600'000'000.25);
    EXPECT_DOUBLE_EQ(platform::itemModificationDate(sandbox / "link")->unixSeconds(),
                     1'500'000'000);
    EXPECT_EQ(platform::itemModificationDate(sandbox / "missing"), std::nullopt);
    EXPECT_EQ(platform::itemModificationDate(""), std::nullopt);
}

TEST_F(FileManager, MoveAcrossFileSystemsCopiesThenRemoves) {
    const fs::path other = "/dev/shm";
    struct stat here {};
    struct stat there {};
    if (::stat(sandbox.c_str(), &here) != 0 || ::stat(other.c_str(), &there) != 0 ||
        here.st_dev == there.st_dev || ::access(other.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "no second writable file system at " << other;
    }
    const fs::path source = sandbox / "package";
    fs::create_directories(source);
    put(source / "project.moc", "{}");
    const fs::path target = other / ("orbin-move-test-" + std::to_string(::getpid()));
    fs::remove_all(target);

    platform::moveItem(source, target);

    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(fs::file_size(target / "project.moc"), 2u);
    fs::remove_all(target);
}

}  // namespace
