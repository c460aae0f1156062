#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/FileSystemError.h"
#include "support/FileTestHelpers.h"

namespace {

namespace fs = std::filesystem;

using test_files::contentOf;
using test_files::entriesIn;
using test_files::sandbox;

TEST(AtomicFile, NewFileGetsTheContentAndTheUsualPermissions) {
    const mode_t previousMask = ::umask(022);
    const fs::path path = sandbox() / "project.moc";
    const std::string big(5 * 1024 * 1024, 'x');

    platform::writeFileAtomically(path, big);
    ::umask(previousMask);

    EXPECT_EQ(contentOf(path), big);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0644));
    EXPECT_EQ(entriesIn(sandbox()), 1);
}

TEST(AtomicFile, ReplacingKeepsTheOldFilesPermissions) {
    const fs::path path = sandbox() / "notes.txt";
    platform::writeFileAtomically(path, "old");
    fs::permissions(path, fs::perms(0640));

    platform::writeFileAtomically(path, "new");

    EXPECT_EQ(contentOf(path), "new");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
}

TEST(AtomicFile, FailureLeavesTheOldContentAndNoTemporary) {
    // A folder in the way makes the final rename fail after the bytes were written.
    const fs::path occupied = sandbox() / "occupied";
    fs::create_directories(occupied / "inside");
    EXPECT_THROW(platform::writeFileAtomically(occupied, "replacement"), platform::FileSystemError);
    EXPECT_TRUE(fs::is_directory(occupied / "inside"));
    EXPECT_EQ(entriesIn(sandbox()), 1);

    const fs::path missingFolder = sandbox() / "missing" / "file.txt";
    try {
        platform::writeFileAtomically(missingFolder, "x");
        ADD_FAILURE() << "writing into a missing folder succeeded";
    } catch (const platform::FileSystemError& error) {
        EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
        EXPECT_NE(error.localizedDescription().find(missingFolder.string()), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(missingFolder.parent_path()));
}

TEST(AtomicFileWriter, PiecesAppearTogetherOnlyOnCommit) {
    const fs::path path = sandbox() / "photo.jpg";
    platform::writeFileAtomically(path, "old");
    {
        platform::AtomicFileWriter unfinished(path);
        unfinished.write("part");
        EXPECT_EQ(contentOf(path), "old");
    }
    EXPECT_EQ(contentOf(path), "old");
    EXPECT_EQ(entriesIn(sandbox()), 1);

    platform::AtomicFileWriter writer(path);
    writer.write("new ");
    writer.write("photo");
    writer.setPermissions(0600);
    writer.commit(platform::AtomicFileWriter::Durability::unflushed);
    EXPECT_EQ(contentOf(path), "new photo");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0600));
    EXPECT_EQ(entriesIn(sandbox()), 1);
}

// A copy bigger than one piece replaces the old file whole; a copy that cannot finish leaves the
// old file (or folder) untouched and nothing beside it.
TEST(AtomicFile, ACopyReplacesWholeOrNotAtAll) {
    const fs::path out = sandbox() / "out";
    fs::create_directory(out);
    const fs::path package =
        test_files::put(sandbox() / "package.orb", std::string(3 * 1024 * 1024 + 7, 'p'));
    const fs::path saved = test_files::put(out / "saved.orb", "the user's file");

    platform::copyFileAtomically(package, saved);
    EXPECT_EQ(contentOf(saved), contentOf(package));
    EXPECT_EQ(entriesIn(out), 1);

    test_files::put(saved, "the user's file");
    test_files::expectFileSystemError(
        [&] { platform::copyFileAtomically(sandbox() / "missing.orb", saved); },
        std::errc::no_such_file_or_directory);
    test_files::expectFileSystemError([&] { platform::copyFileAtomically(out, saved); },
                                      std::errc::is_a_directory);
    fs::create_directories(out / "folder" / "inside");
    test_files::expectFileSystemError(
        [&] { platform::copyFileAtomically(package, out / "folder"); }, std::errc::is_a_directory);
    EXPECT_EQ(contentOf(saved), "the user's file");
    EXPECT_TRUE(fs::is_directory(out / "folder" / "inside"));
    EXPECT_EQ(entriesIn(out), 2);
}

// The check sees the complete copy before it replaces anything; a copy it refuses goes.
TEST(AtomicFile, ACheckedCopyReplacesOnlyOnceTheCheckPasses) {
    const fs::path out = sandbox() / "out";
    fs::create_directory(out);
    const std::string bytes(2 * 1024 * 1024 + 3, 'p');
    const fs::path package = test_files::put(sandbox() / "package.orb", bytes);
    const fs::path saved = test_files::put(out / "saved.orb", "the user's file");

    std::string checked;
    EXPECT_THROW(platform::copyFileAtomically(package, saved,
                                              [&](const fs::path& copy) {
                                                  checked = contentOf(copy);
                                                  EXPECT_EQ(contentOf(saved), "the user's file");
                                                  throw std::runtime_error("damaged");
                                              }),
                 std::runtime_error);
    EXPECT_EQ(checked, bytes);
    EXPECT_EQ(contentOf(saved), "the user's file");
    EXPECT_EQ(entriesIn(out), 1) << "no copy left behind";

    platform::copyFileAtomically(package, saved, [](const fs::path&) {});
    EXPECT_EQ(contentOf(saved), bytes);
    EXPECT_EQ(entriesIn(out), 1);
}

}  // namespace
