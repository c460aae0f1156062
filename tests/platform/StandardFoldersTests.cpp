#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/foundation/FileSystemError.h"
#include "platform/foundation/StandardFolders.h"
#include "support/FileTestHelpers.h"
#include "support/ScopedEnvironment.h"

namespace {

namespace fs = std::filesystem;

// A scratch home with no XDG variables set, so every answer comes from the home folder and the
// files the test writes.
class StandardFolders : public testing::Test {
protected:
    StandardFolders() {
        fs::create_directories(home);
        environment.set("HOME", home.string());
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            environment.unset(name);
        }
    }

    void writeUserDirs(const fs::path& configFolder, const std::string& content) {
        fs::create_directories(configFolder);
        test_files::put(configFolder / "user-dirs.dirs", content);
    }

    const fs::path sandbox = test_files::sandbox();
    const fs::path home = sandbox / "home";
    ScopedEnvironment environment;
};

TEST_F(StandardFolders, XdgVariablesWinWhenAbsolute) {
    EXPECT_EQ(platform::configHome(), home / ".config");
    EXPECT_EQ(platform::dataHome(), home / ".local/share");
    EXPECT_EQ(platform::cacheHome(), home / ".cache");

    environment.set("XDG_CONFIG_HOME", "/elsewhere/config");
    environment.set("XDG_DATA_HOME", "/elsewhere/data");
    environment.set("XDG_CACHE_HOME", "relative/cache");
    EXPECT_EQ(platform::configHome(), "/elsewhere/config");
    EXPECT_EQ(platform::dataHome(), "/elsewhere/data");
    EXPECT_EQ(platform::cacheHome(), home / ".cache");

    environment.set("XDG_CACHE_HOME", "");
    EXPECT_EQ(platform::cacheHome(), home / ".cache");
}

TEST_F(StandardFolders, UserDirsFileNamesTheDocumentsFolder) {
    struct Case {
        const char* line;
        fs::path expected;
    };
    const Case cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", home / "Docs"},
        {"  XDG_DOCUMENTS_DIR=\"/srv/shared docs\"", "/srv/shared docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Papers\\\"\"", home / "My \"Papers\""},
        {"XDG_DOCUMENTS_DIR=\"relative/Docs\"", home / "Documents"},
        {"XDG_DOCUMENTS_DIR=\"$HOMEWORK/Docs\"", home / "Documents"},
        {"XDG_DOCUMENTS_DIR=$HOME/Unquoted", home / "Documents"},
        {"# XDG_DOCUMENTS_DIR=\"$HOME/Commented\"", home / "Documents"},
        {"XDG_DOCUMENTS_DIRS=\"$HOME/Other\"", home / "Documents"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/First\"\nXDG_DOCUMENTS_DIR=\"$HOME/Last\"", home / "Last"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        writeUserDirs(home / ".config", std::string("XDG_DOWNLOAD_DIR=\"$HOME/DL\"\n") + c.line);
        EXPECT_EQ(platform::userFolder(platform::UserFolder::documents), c.expected);
        EXPECT_EQ(platform::userFolder(platform::UserFolder::downloads), home / "DL");
    }
}

TEST_F(StandardFolders, UserDirsFileIsReadFromTheConfigHome) {
    EXPECT_EQ(platform::userFolder(platform::UserFolder::documents), home / "Documents");
    EXPECT_EQ(platform::userFolder(platform::UserFolder::downloads), home / "Downloads");

    const fs::path config = sandbox / "config";
    writeUserDirs(config, "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    environment.set("XDG_CONFIG_HOME", config.string());
    EXPECT_EQ(platform::userFolder(platform::UserFolder::documents), home / "Dokumente");
}

TEST_F(StandardFolders, HomeComesFromTheUserDatabaseWithoutHome) {
    environment.unset("HOME");
    const fs::path fromDatabase = platform::homeFolder();
    EXPECT_TRUE(fromDatabase.is_absolute()) << fromDatabase;
    environment.set("HOME", "not/absolute");
    EXPECT_EQ(platform::homeFolder(), fromDatabase);
}

TEST(PrivateTemporaryFolder, IsOursAloneAndInsideTmpdir) {
    const fs::path sandbox = test_files::sandbox();
    const fs::path folder = platform::privateTemporaryFolder();

    EXPECT_EQ(folder.parent_path(), sandbox);
    struct stat status {};
    ASSERT_EQ(::lstat(folder.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 07777, 0700u);
    EXPECT_EQ(status.st_uid, ::geteuid());
    EXPECT_EQ(platform::privateTemporaryFolder(), folder);
}

TEST(PrivateTemporaryFolder, FollowsTmpdirAndIsRemadeWhenGone) {
    const fs::path first = platform::privateTemporaryFolder();

    const fs::path otherTmp = test_files::sandbox() / "other";
    fs::create_directories(otherTmp);
    {
        ScopedEnvironment environment;
        environment.set("TMPDIR", otherTmp.string());
        EXPECT_EQ(platform::privateTemporaryFolder().parent_path(), otherTmp);
    }
    const fs::path again = platform::privateTemporaryFolder();
    EXPECT_NE(again, first);
    EXPECT_TRUE(fs::is_directory(again));

    fs::remove(again);
    fs::create_directory(again);  // the same name, but open to others: no longer private
    fs::permissions(again, fs::perms(0755));
    const fs::path remade = platform::privateTemporaryFolder();
    EXPECT_NE(remade, again);
    EXPECT_EQ(fs::status(remade).permissions(), fs::perms::owner_all);
}

TEST(PrivateTemporaryFolder, UnusableTmpdirFailsInsteadOfSharingTmp) {
    ScopedEnvironment environment;
    environment.set("TMPDIR", "/nonexistent-orbin-folder");
    EXPECT_THROW(platform::privateTemporaryFolder(), platform::FileSystemError);
}

}  // namespace
