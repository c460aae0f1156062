#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/FileTestHelpers.h"
#include "utility/LxFileHelper.h"

namespace {

namespace fs = std::filesystem;
using test_files::contentOf;
using test_files::put;
using test_files::sandbox;

TEST(LxFileHelperTest, LegalFileNameReplacesEachOfTheNineCharactersByOneUnderscore) {
    struct Case {
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {"/\\", "__"},
        {"a/b\\c?d%e*f|g\"h<i>j", "a_b_c_d_e_f_g_h_i_j"},
        {"Q3: plan (draft) \u00e4\u00f6\u00fc.orb", "Q3: plan (draft) \u00e4\u00f6\u00fc.orb"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LxFileHelper::creatingLegalFileName(c.source), c.expected) << c.source;
    }
}

TEST(LxFileHelperTest, BlankPathsNeitherExistNorAreDeleted) {
    // A blank name that is a real file: the answer must come from the blank test, not the disk.
    const fs::path blank = sandbox() / "   ";
    put(blank);
    const fs::path previous = fs::current_path();
    fs::current_path(sandbox());
    for (const std::string path : {"", "   ", "\t\n"}) {
        EXPECT_FALSE(LxFileHelper::exists(path)) << '"' << path << '"';
        EXPECT_FALSE(LxFileHelper::delete_(path)) << '"' << path << '"';
    }
    fs::current_path(previous);
    EXPECT_TRUE(fs::exists(blank));
}

TEST(LxFileHelperTest, ExistsAndDeleteFilesAndWholeFolders) {
    const fs::path file = put(sandbox() / "plan.orb");
    const fs::path folder = sandbox() / "work";
    fs::create_directories(folder / "inner");
    put(folder / "inner" / "project.moc");

    EXPECT_TRUE(LxFileHelper::exists(file));
    EXPECT_TRUE(LxFileHelper::exists(folder));
    EXPECT_TRUE(LxFileHelper::delete_(folder));
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(LxFileHelper::delete_(file));
    EXPECT_FALSE(LxFileHelper::exists(file));
    EXPECT_FALSE(LxFileHelper::delete_(file)) << "nothing left to delete";
}

TEST(LxFileHelperTest, CopyNeverReplacesOrMergesIntoAnExistingItem) {
    const fs::path source = sandbox() / "source";
    fs::create_directories(source);
    put(source / "a.txt", "new a");
    put(source / "b.txt", "new b");
    const fs::path target = sandbox() / "target";
    fs::create_directories(target);
    put(target / "a.txt", "old a");
    const fs::path file = put(sandbox() / "file.txt", "new file");
    const fs::path takenFile = put(sandbox() / "taken.txt", "old file");

    EXPECT_FALSE(LxFileHelper::copy(source, target));
    EXPECT_EQ(contentOf(target / "a.txt"), "old a");
    EXPECT_FALSE(fs::exists(target / "b.txt")) << "the folders were merged";
    EXPECT_FALSE(LxFileHelper::copy(file, takenFile));
    EXPECT_EQ(contentOf(takenFile), "old file");
    EXPECT_FALSE(LxFileHelper::copy(sandbox() / "missing", sandbox() / "copy"));

    EXPECT_TRUE(LxFileHelper::copy(source, sandbox() / "copy"));
    EXPECT_EQ(contentOf(sandbox() / "copy" / "b.txt"), "new b");
    EXPECT_EQ(contentOf(source / "a.txt"), "new a");
}

TEST(LxFileHelperTest, ExtensionAndNameFollowThePathsLastComponent) {
    struct Case {
        std::string path;
        std::string extension;
        std::optional<std::string> name;
    };
    const Case cases[] = {
        {"/tmp/plans/project.orb", "orb", "project"},
        {"archive.tar.gz", "gz", "archive.tar"},
        {"dir/sub/", "", "sub"},
        {"/tmp/plans.d/readme", "", "readme"},
        {"", "", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(LxFileHelper::fileExtension(c.path), c.extension);
        EXPECT_EQ(LxFileHelper::fileNameWithoutExtension(c.path), c.name);
    }
}

TEST(LxFileHelperTest, LastUpdateDateIsTheItemsModificationTime) {
    const fs::path file = put(sandbox() / "plan.orb");
    const timespec times[2] = {{0, UTIME_OMIT}, {1'600'000'000, 250'000'000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0) << errno;

    const auto date = LxFileHelper::lastUpdateDate(file);
    ASSERT_TRUE(date.has_value());
    EXPECT_DOUBLE_EQ(date->unixSeconds(), 1'600'000'000.25);
    EXPECT_EQ(LxFileHelper::lastUpdateDate(sandbox() / "missing"), std::nullopt);
    EXPECT_EQ(LxFileHelper::lastUpdateDate(""), std::nullopt);
}

}  // namespace
