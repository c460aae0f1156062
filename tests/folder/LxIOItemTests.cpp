#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "folder/LxIOItem.h"
#include "support/ChildProcess.h"
#include "support/FileTestHelpers.h"
#include "utility/LxError.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> namesOf(const std::vector<LxFile>& files) {
    std::set<std::string> names;
    for (const LxFile& file : files) {
        names.insert(file.fileName());
    }
    return names;
}

std::set<std::string> namesOf(const std::vector<LxFolder>& folders) {
    std::set<std::string> names;
    for (const LxFolder& folder : folders) {
        names.insert(folder.folderName());
    }
    return names;
}

class LxIOItemTest : public testing::Test {
protected:
    const fs::path sandbox = test_files::sandbox();
};

// A folder with what a listing must tell apart: a plain file, a hidden file and a hidden folder,
// a folder with a file inside, links to a file and to a folder, a dangling link and a pipe.
TEST_F(LxIOItemTest, ListingKeepsOneLevelOfPlainFilesAndFolders) {
    const fs::path root = sandbox / "listing";
    fs::create_directories(root / "sub");
    fs::create_directories(root / ".hiddenFolder");
    test_files::put(root / "a.txt");
    test_files::put(root / ".hidden");
    test_files::put(root / "sub" / "b.txt");
    fs::create_symlink(root / "a.txt", root / "link-to-a.txt");
    fs::create_directory_symlink(root / "sub", root / "link-to-sub");
    fs::create_symlink(root / "missing", root / "dangling");
    ASSERT_EQ(::mkfifo((root / "pipe").c_str(), 0600), 0);

    const LxFolder folder(root, true);
    EXPECT_EQ(namesOf(fetchSubFiles(folder)), std::set<std::string>{"a.txt"});
    const std::vector<LxFolder> folders = fetchSubFolders(folder);
    EXPECT_EQ(namesOf(folders), std::set<std::string>{"sub"});
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_FALSE(folders[0].isSystem());
    EXPECT_EQ(fetchSubFiles(folders[0]).size(), 1u);

    // A link to a folder is listed through like the folder itself.
    EXPECT_EQ(namesOf(fetchSubFiles(LxFolder(root / "link-to-sub", false))),
              std::set<std::string>{"b.txt"});
}

TEST_F(LxIOItemTest, WhatIsNoReadableFolderListsNothing) {
    fs::create_directories(sandbox / "empty");
    test_files::put(sandbox / "plain.txt");
    const fs::path locked = sandbox / "locked";
    fs::create_directories(locked);
    test_files::put(locked / "inside.txt");
    fs::permissions(locked, fs::perms::none);

    for (const fs::path& path :
         {sandbox / "empty", sandbox / "missing", sandbox / "plain.txt", fs::path()}) {
        SCOPED_TRACE(path.string());
        const LxFolder folder(path, false);
        EXPECT_TRUE(fetchSubFiles(folder).empty());
        EXPECT_TRUE(fetchSubFolders(folder).empty());
    }
    // Root reads it anyway: the locked folder is listed by an unprivileged user.
    child_process::handToUnprivilegedChild(sandbox, locked);
    EXPECT_EQ(child_process::run({.unprivileged = true},
                                 [&] {
                                     const LxFolder folder(locked, false);
                                     return fetchSubFiles(folder).empty() &&
                                                    fetchSubFolders(folder).empty()
                                                ? ""
                                                : "the locked folder was listed";
                                 }),
              "");
    fs::permissions(locked, fs::perms::owner_all);
}

TEST_F(LxIOItemTest, AttributesOfFilesFoldersAndLinks) {
    const fs::path path = test_files::put(sandbox / "ten.txt", "0123456789");
    const auto modified = fs::file_time_type::clock::now() - std::chrono::hours(50);
    fs::last_write_time(path, modified);
    const std::string owner = ::getpwuid(::getuid())->pw_name;

    const auto file = attributes(LxFile(path));
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->fileSize, 10);
    EXPECT_EQ(file->owner, owner);
    ASSERT_TRUE(file->modificationTime.has_value());
    const auto expected =
        std::chrono::duration<double>(std::chrono::file_clock::to_sys(modified).time_since_epoch());
    EXPECT_NEAR(file->modificationTime->unixSeconds(), expected.count(), 1e-3);
    struct statx about {};
    ASSERT_EQ(::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &about), 0);
    // Only file systems that record a birth time report one (tmpfs may not).
    EXPECT_EQ(file->creationTime.has_value(), (about.stx_mask & STATX_BTIME) != 0);

    const auto folder = attributes(LxFolder(sandbox, false));
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(folder->owner, owner);
    EXPECT_TRUE(folder->modificationTime.has_value());
    EXPECT_TRUE(folder->fileSize.has_value());

    // A link's own attributes, not its target's.
    fs::create_symlink("ten.txt", sandbox / "link");
    const auto link = attributes(LxFile(sandbox / "link"));
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->fileSize, 7);

    EXPECT_FALSE(attributes(LxFile(sandbox / "missing")).has_value());
    EXPECT_FALSE(attributes(LxFile("")).has_value());
}

// Wraps the temporary folder, as a type of the program's own would.
class WrappedTemporaryFolder : public LxCompositeFolder<WrappedTemporaryFolder> {
public:
    LxFolder folder() const { return LxFolder::tmpFolder(); }
};

class WrappedFolder : public LxCompositeFolder<WrappedFolder> {
public:
    explicit WrappedFolder(fs::path path) : path_(std::move(path)) {}
    LxFolder folder() const { return LxFolder(path_, false); }

private:
    fs::path path_;
};

static_assert(LxIOFolder<WrappedTemporaryFolder>);

TEST_F(LxIOItemTest, CompositeFolderBehavesAsTheFolderItWraps) {
    const WrappedTemporaryFolder temporary;
    EXPECT_TRUE(temporary.exists());
    EXPECT_TRUE(temporary.isSystem());
    EXPECT_EQ(temporary.pathString(), LxFolder::tmpFolder().pathString());
    try {
        temporary.delete_();
        ADD_FAILURE() << "a system folder was deleted";
    } catch (const LxError& error) {
        EXPECT_EQ(error.localizedDescription(), "System folder can't be deleted");
    }
    EXPECT_TRUE(fs::is_directory(temporary.url()));

    const WrappedFolder work(sandbox / "work");
    EXPECT_FALSE(work.exists());
    work.createIfNotExist();
    EXPECT_TRUE(work.exists());
    work.file("a.txt").write("a");
    work.child("sub", false).create();
    EXPECT_EQ(namesOf(fetchSubFiles(work)), std::set<std::string>{"a.txt"});
    EXPECT_EQ(namesOf(fetchSubFolders(work)), std::set<std::string>{"sub"});
    EXPECT_TRUE(attributes(work).has_value());
    work.move(sandbox / "moved");
    EXPECT_FALSE(work.exists());
    EXPECT_TRUE(fs::exists(sandbox / "moved" / "a.txt"));
}

}  // namespace
