#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>

#include <gtest/gtest.h>

#include "folder/LxFolder.h"
#include "platform/foundation/FileSystemError.h"
#include "support/ChildProcess.h"
#include "support/FileTestHelpers.h"
#include "support/ScopedEnvironment.h"
#include "utility/LxError.h"
#include "utility/LxFileHelper.h"

namespace {

namespace fs = std::filesystem;

class LxFolderTest : public testing::Test {
protected:
    const fs::path sandbox = test_files::sandbox();

    static void expectRefusal(const std::function<void()>& action, const std::string& message) {
        try {
            action();
            ADD_FAILURE() << "no refusal";
        } catch (const LxError& error) {
            EXPECT_EQ(error.localizedDescription(), message);
        }
    }
};

TEST_F(LxFolderTest, TemporaryFilesAreFreshNamesInThePrivateFolder) {
    struct Case {
        std::optional<std::string_view> extension;
        std::size_t length;
        const char* suffix;
    };
    const Case cases[] = {
        {std::nullopt, 36, ""}, {"", 36, ""},           {"orb", 40, ".orb"},
        {".orb", 40, ".orb"},   {"..orb", 41, "..orb"},
    };
    const LxFolder temporary = LxFolder::tmpFolder();
    std::set<std::string> names;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extension.value_or("(none)"));
        const LxFile file = LxFolder::temporaryFile(c.extension);
        const std::string name = file.fileName();
        EXPECT_EQ(name.size(), c.length);
        EXPECT_TRUE(name.ends_with(c.suffix));
        EXPECT_EQ(name.substr(0, 36).find_first_of("abcdef"), std::string::npos);
        EXPECT_EQ(fs::path(file.pathString()).parent_path(), temporary.pathString());
        EXPECT_FALSE(file.exists());
        EXPECT_TRUE(names.insert(name.substr(0, 36)).second);
    }
    EXPECT_EQ(fs::path(temporary.pathString()).parent_path(), sandbox);
    EXPECT_TRUE(fs::is_directory(temporary.url()));
}

TEST_F(LxFolderTest, SystemFoldersRefuseDeleteAndMoveButCopy) {
    const LxFolder temporary = LxFolder::tmpFolder();
    temporary.file("inside.txt").write("kept");

    expectRefusal([&] { temporary.delete_(); }, "System folder can't be deleted");
    expectRefusal([&] { temporary.move(sandbox / "moved"); }, "System folder can't be moved");
    expectRefusal([&] { temporary.move(LxFolder(sandbox / "moved", false)); },
                  "System folder can't be moved");
    EXPECT_EQ(temporary.file("inside.txt").read(), "kept");
    EXPECT_FALSE(fs::exists(sandbox / "moved"));

    temporary.copy(LxFolder(sandbox / "copied", false));
    EXPECT_EQ(LxFile(sandbox / "copied" / "inside.txt").read(), "kept");
}

TEST_F(LxFolderTest, TheSystemFlagIsTheOneGivenNeverInherited) {
    const LxFolder temporary = LxFolder::tmpFolder();

    const LxFolder work = temporary.child("work", false);
    EXPECT_FALSE(work.isSystem());
    EXPECT_FALSE(work.exists());
    work.createIfNotExist();
    EXPECT_TRUE(work.exists());
    work.delete_();
    EXPECT_FALSE(fs::exists(work.url()));

    const LxFolder pretended = temporary.child("never-made", true);
    EXPECT_TRUE(pretended.exists());
    pretended.create();
    pretended.createIfNotExist();
    EXPECT_FALSE(fs::exists(pretended.url()));
    expectRefusal([&] { pretended.delete_(); }, "System folder can't be deleted");

    const LxFolder inbox = LxFolder::inboxFolder();
    EXPECT_TRUE(inbox.isSystem());
    EXPECT_EQ(inbox.folderName(), "Inbox");
    EXPECT_EQ(inbox.url(), LxFolder::documentFolder().url() / "Inbox/");
}

TEST_F(LxFolderTest, ChildrenAreFoldersFilesAreNotAndNeitherLeavesTheFolder) {
    const LxFolder root(sandbox / "root", false);
    EXPECT_EQ(root.url().native(), (sandbox / "root/").native());
    EXPECT_EQ(root.pathString(), (sandbox / "root").native());
    EXPECT_EQ(root.folderName(), "root");

    EXPECT_EQ(root.child("Photo", false).url().native(), (sandbox / "root/Photo/").native());
    EXPECT_EQ(root.file("Photo").url().native(), (sandbox / "root/Photo").native());
    EXPECT_EQ(root.file("/etc/passwd").pathString(), (sandbox / "root/etc/passwd").native());
    EXPECT_EQ(root.file("../../x.jpg").pathString(), (sandbox / "root/x.jpg").native());
    EXPECT_EQ(root.child("..", false).pathString(), root.pathString());
}

TEST_F(LxFolderTest, CreationIsSilentAndIdempotent) {
    const LxFolder nested(sandbox / "a" / "b" / "c", false);
    nested.create();
    nested.create();
    nested.createIfNotExist();
    EXPECT_TRUE(fs::is_directory(nested.url()));

    test_files::put(sandbox / "taken");
    const LxFolder blocked(sandbox / "taken", false);
    blocked.create();
    blocked.createIfNotExist();
    EXPECT_TRUE(blocked.exists());  // the file answers
    EXPECT_TRUE(fs::is_regular_file(sandbox / "taken"));
}

// Permissions do not bind root, so the attempt runs as an unprivileged user.
TEST_F(LxFolderTest, CreationWithoutPermissionIsDropped) {
    const fs::path locked = sandbox / "locked";
    fs::create_directories(locked);
    child_process::handToUnprivilegedChild(sandbox, locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);

    const LxFolder inside(locked / "work", false);
    EXPECT_EQ(child_process::run({.unprivileged = true},
                                 [&] {
                                     inside.create();
                                     return inside.exists() ? "the folder was made" : "";
                                 }),
              "");
    EXPECT_FALSE(fs::exists(locked / "work"));
    fs::permissions(locked, fs::perms::owner_all);
}

// Each removal of the root or of a path ending in "." or ".." is refused and leaves the files
// there. Run only in a child whose root is a scratch folder, the worst a fault could remove.
TEST_F(LxFolderTest, RemovalsOfTheRootAndOfDotPathsAreRefused) {
    const fs::path root = sandbox / "root";
    fs::create_directories(root / "job");
    test_files::put(root / "job" / "a.txt");

    const std::string outcome = child_process::run({.root = root}, [] {
        fs::current_path("/job");
        for (const char* path : {"/", "//", "/.", "/job/..", ".", "../job/.", "..", "./"}) {
            const std::string where = std::string(path) + ": ";
            if (LxFileHelper::delete_(path)) {
                return where + "LxFileHelper answered true";
            }
            for (const auto& remove : std::initializer_list<std::function<void()>>{
                     [&] { LxFile(path).delete_(); }, [&] { LxFolder(path, false).delete_(); }}) {
                try {
                    remove();
                    return where + "a removal did not refuse";
                } catch (const platform::FileSystemError& error) {
                    if (error.code() != std::errc::operation_not_permitted) {
                        return where + error.localizedDescription();
                    }
                }
            }
            if (!fs::exists("/job/a.txt")) {
                return where + "the file is gone";
            }
        }
        return std::string();
    });
    EXPECT_EQ(outcome, "");
    EXPECT_TRUE(fs::exists(root / "job" / "a.txt"));
}

TEST_F(LxFolderTest, EmptyPathIsNeverTheCurrentFolder) {
    const LxFolder empty("", false);
    EXPECT_TRUE(empty.url().empty());
    EXPECT_FALSE(empty.exists());
    EXPECT_THROW(empty.delete_(), platform::FileSystemError);
    EXPECT_EQ(empty.file("x").url(), "x");
}

TEST_F(LxFolderTest, StandardFoldersFollowTheUsersSettings) {
    const fs::path home = sandbox / "home";
    fs::create_directories(home / ".config");
    test_files::put(home / ".config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
    ScopedEnvironment environment;
    environment.set("HOME", home.string());
    environment.unset("XDG_CONFIG_HOME");
    environment.set("XDG_DATA_HOME", (sandbox / "data").string());
    environment.set("XDG_CACHE_HOME", (sandbox / "cache").string());

    struct Case {
        const char* name;
        LxFolder folder;
        fs::path expected;
    };
    const Case cases[] = {
        {"documents", LxFolder::documentFolder(), home / "Papiere/"},
        {"inbox", LxFolder::inboxFolder(), home / "Papiere/Inbox/"},
        {"library", LxFolder::libraryFolder(), home / ".local/"},
        {"application support", LxFolder::applicationSupportFolder(), sandbox / "data/"},
        {"caches", LxFolder::cacheFolder(), sandbox / "cache/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.folder.url(), c.expected);
        EXPECT_TRUE(c.folder.isSystem());
        EXPECT_TRUE(c.folder.exists());
        EXPECT_FALSE(fs::exists(c.expected));
    }
}

}  // namespace
