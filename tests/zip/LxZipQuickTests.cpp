// The accepted extensions and the quick operations, with HOME pointed at the test's sandbox so
// that "the user's Documents folder" is a scratch folder.
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileTestHelpers.h"
#include "support/ScopedEnvironment.h"
#include "zip/LxZip.h"
#include "zip/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;

using test_files::put;

std::set<std::string> namesBelow(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        names.insert(item.path().lexically_relative(folder).string());
    }
    return names;
}

class LxZipQuickTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(home);
        environment.set("HOME", home.string());
        environment.set("XDG_CONFIG_HOME", (home / ".config").string());
        fs::create_directories(sources);
        put(sources / "x.txt", "fresh");
        LxZip::zipFiles({sources / "x.txt"}, sandbox / "template.zip", std::nullopt);
    }

    // An archive holding x.txt ("fresh") under the given file name.
    fs::path archiveNamed(const std::string& name) {
        const fs::path folder = sandbox / "archives";
        fs::create_directories(folder);
        fs::copy_file(sandbox / "template.zip", folder / name);
        return folder / name;
    }

    const fs::path sandbox = test_files::sandbox();
    const fs::path home = sandbox / "home";
    const fs::path documents = home / "Documents";
    const fs::path sources = sandbox / "sources";
    ScopedEnvironment environment;
};

TEST(LxZipExtensionsTest, AcceptsZipCbzAndTheExtensionsAddedAtRunTime) {
    EXPECT_TRUE(LxZip::isValidFileExtension("zip"));
    EXPECT_TRUE(LxZip::isValidFileExtension("cbz"));
    EXPECT_FALSE(LxZip::isValidFileExtension("ZIP"));
    EXPECT_FALSE(LxZip::isValidFileExtension(".zip"));
    EXPECT_FALSE(LxZip::isValidFileExtension("tar"));

    LxZip::addCustomFileExtension("tar");
    EXPECT_TRUE(LxZip::isValidFileExtension("tar"));
    EXPECT_FALSE(LxZip::isValidFileExtension("TAR"));
    LxZip::removeCustomFileExtension("tar");
    EXPECT_FALSE(LxZip::isValidFileExtension("tar"));

    LxZip::removeCustomFileExtension("zip");
    LxZip::removeCustomFileExtension("never added");
    EXPECT_TRUE(LxZip::isValidFileExtension("zip"));
}

TEST_F(LxZipQuickTest, UnpacksIntoTheDocumentsFolderNamedAfterTheArchive) {
    struct Case {
        const char* archive;
        const char* folder;
    };
    const Case cases[] = {
        {"Archive.zip", "Archive"},
        {"a.zip.b.zip", "a.b"},
        {"README", "README"},
        {"v1.2", "v1"},   // "2" is the extension
        {".zip", "zip"},  // a hidden name has no extension, so its dot goes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        std::vector<double> progress;
        const fs::path folder =
            LxZip::quickUnzipFile(archiveNamed(c.archive),
                                  [&progress](double fraction) { progress.push_back(fraction); });
        EXPECT_EQ(fs::path(folder).lexically_normal(),
                  (documents / c.folder / "").lexically_normal());
        EXPECT_EQ(test_files::contentOf(documents / c.folder / "x.txt"), "fresh");
        EXPECT_EQ(progress.back(), 1.0);
    }
}

TEST_F(LxZipQuickTest, ReplacesFilesAlreadyUnpacked) {
    fs::create_directories(documents / "Archive");
    put(documents / "Archive" / "x.txt", "old");
    LxZip::quickUnzipFile(archiveNamed("Archive.zip"));
    EXPECT_EQ(test_files::contentOf(documents / "Archive" / "x.txt"), "fresh");
}

// "...zip" would name Documents/.. (the home folder) and "..zip" Documents itself; nothing may
// be unpacked over either.
TEST_F(LxZipQuickTest, RefusesNamesThatGiveNoFolderOfTheirOwn) {
    fs::create_directories(documents);
    put(home / "x.txt", "home's own");
    const std::set<std::string> before = namesBelow(home);
    for (const char* name : {"...zip", "..zip", "..."}) {
        SCOPED_TRACE(name);
        const fs::path archive = archiveNamed(name);
        try {
            LxZip::quickUnzipFile(archive);
            ADD_FAILURE() << "unpacked";
        } catch (const LxZipError& error) {
            EXPECT_EQ(error, LxZipError::unzipFail());
        }
    }
    EXPECT_EQ(namesBelow(home), before);
    EXPECT_EQ(test_files::contentOf(home / "x.txt"), "home's own");
}

// What is already at the archive's folder name: a real folder is reused, anything else refused
// before a byte is written, the link and what it points to left as they were.
TEST_F(LxZipQuickTest, RefusesALinkOrAFileAtTheFolderName) {
    fs::create_directories(documents);
    const fs::path elsewhere = sandbox / "elsewhere";
    fs::create_directories(elsewhere);
    struct Case {
        const char* trace;
        std::string name;
        std::function<void(const fs::path&)> plant;
    };
    const Case cases[] = {
        {"a link to a folder outside", "Linked",
         [&](const fs::path& at) { fs::create_directory_symlink(elsewhere, at); }},
        {"a dangling link", "Dangling",
         [&](const fs::path& at) { fs::create_symlink(sandbox / "nowhere", at); }},
        {"a file", "Plain", [](const fs::path& at) { put(at, "a file"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        c.plant(documents / c.name);
        try {
            LxZip::quickUnzipFile(archiveNamed(c.name + ".zip"));
            ADD_FAILURE() << "unpacked";
        } catch (const LxZipError& error) {
            EXPECT_EQ(error, LxZipError::unzipFail());
        }
        EXPECT_TRUE(fs::exists(fs::symlink_status(documents / c.name)));
    }
    EXPECT_TRUE(fs::is_empty(elsewhere));
    EXPECT_FALSE(fs::exists(sandbox / "nowhere"));
    EXPECT_EQ(test_files::contentOf(documents / "Plain"), "a file");
}

TEST_F(LxZipQuickTest, EveryUnpackingFailureIsUnzipFail) {
    const fs::path notAnArchive = put(sandbox / "archives.txt.zip", "plain text");
    for (const fs::path& path : {sandbox / "missing.zip", notAnArchive}) {
        SCOPED_TRACE(path.string());
        try {
            LxZip::quickUnzipFile(path);
            ADD_FAILURE() << "unpacked";
        } catch (const LxZipError& error) {
            EXPECT_EQ(error, LxZipError::unzipFail());
        }
    }
}

TEST_F(LxZipQuickTest, PacksIntoTheDocumentsFolderAndReplacesAnEarlierArchive) {
    ASSERT_FALSE(fs::exists(documents));
    std::vector<double> progress;
    const fs::path archive =
        LxZip::quickZipFiles({sources / "x.txt"}, "backup",
                             [&progress](double fraction) { progress.push_back(fraction); });
    EXPECT_EQ(archive, documents / "backup.zip");
    EXPECT_EQ(progress, (std::vector<double>{1.0, 1.0}));

    put(sources / "y.txt", "second");
    LxZip::quickZipFiles({sources / "y.txt"}, "backup");
    LxZip::unzipFile(archive, sandbox / "unpacked", true, std::nullopt);
    EXPECT_EQ(zip_test::filesBelow(sandbox / "unpacked"), std::set<std::string>{"y.txt=second"});

    // Errors of the packing pass through, and the archive there stays.
    try {
        LxZip::quickZipFiles({sources / "missing.txt"}, "backup");
        ADD_FAILURE() << "packed";
    } catch (const LxZipError& error) {
        EXPECT_EQ(error, LxZipError::zipFail());
    }
    EXPECT_TRUE(fs::exists(archive));
}

}  // namespace
