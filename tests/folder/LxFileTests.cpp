#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "folder/LxFile.h"
#include "folder/LxFolder.h"
#include "platform/foundation/FileSystemError.h"
#include "support/FileTestHelpers.h"

namespace {

namespace fs = std::filesystem;

using test_files::contentOf;
using test_files::expectFileSystemError;
using test_files::put;

class LxFileTest : public testing::Test {
protected:
    const fs::path sandbox = test_files::sandbox();
};

TEST_F(LxFileTest, PathParts) {
    struct Case {
        const char* path;
        const char* pathString;
        const char* fileName;
        const char* withoutExtension;
        const char* extension;
    };
    const Case cases[] = {
        {"/tmp/a/report.tar.gz", "/tmp/a/report.tar.gz", "report.tar.gz", "report.tar", "gz"},
        {"noext", "noext", "noext", "noext", ""},
        {"/tmp/dir/", "/tmp/dir", "dir", "dir", ""},
        {"/tmp/.hidden", "/tmp/.hidden", ".hidden", ".hidden", ""},
        {"/tmp/name.", "/tmp/name.", "name.", "name.", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const LxFile file(c.path);
        EXPECT_EQ(file.url(), c.path);
        EXPECT_EQ(file.pathString(), c.pathString);
        EXPECT_EQ(file.fileName(), c.fileName);
        EXPECT_EQ(file.fileNameWithoutExtension(), c.withoutExtension);
        EXPECT_EQ(file.fileExtension(), c.extension);
    }
}

TEST_F(LxFileTest, EqualityIsThePathTextAndTheLogFormIsAFileURL) {
    EXPECT_EQ(LxFile("/tmp/a/b"), LxFile(fs::path("/tmp/a/b")));
    EXPECT_NE(LxFile("/tmp/a/b"), LxFile("/tmp/a/b/"));
    EXPECT_EQ(LxFile("/tmp/work/my plan/project.moc").description(),
              "LxFile(_url: file:///tmp/work/my%20plan/project.moc)");
}

TEST_F(LxFileTest, CopyAndMoveNeverReplaceAnExistingItem) {
    struct Case {
        const char* name;
        bool folder;
        bool move;
    };
    const Case cases[] = {
        {"copy file", false, false},
        {"move file", false, true},
        {"copy folder", true, false},
        {"move folder", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path from = sandbox / "from";
        const fs::path to = sandbox / "to";
        fs::remove_all(from);
        fs::remove_all(to);
        if (c.folder) {
            fs::create_directories(from);
            fs::create_directories(to);  // empty: a plain rename would replace it silently
            put(from / "a.txt", "source");
        } else {
            put(from, "source");
            put(to, "destination");
        }
        const auto transfer = [&] {
            if (c.folder) {
                const LxFolder source(from, false);
                c.move ? source.move(LxFolder(to, false)) : source.copy(LxFolder(to, false));
            } else {
                c.move ? LxFile(from).move(LxFile(to)) : LxFile(from).copy(LxFile(to));
            }
        };

        expectFileSystemError(transfer, std::errc::file_exists);

        if (c.folder) {
            EXPECT_EQ(contentOf(from / "a.txt"), "source");
            EXPECT_TRUE(fs::is_empty(to));
        } else {
            EXPECT_EQ(contentOf(from), "source");
            EXPECT_EQ(contentOf(to), "destination");
        }

        fs::remove_all(to);
        transfer();
        EXPECT_EQ(contentOf(c.folder ? to / "a.txt" : to), "source");
        EXPECT_EQ(fs::exists(from), !c.move);
    }
}

TEST_F(LxFileTest, CopyKeepsTheModificationTime) {
    const fs::path from = sandbox / "photo.jpg";
    put(from, "jpeg");
    const auto old = fs::last_write_time(from) - std::chrono::hours(48);
    fs::last_write_time(from, old);

    LxFile(from).copy(sandbox / "copy.jpg");

    EXPECT_EQ(fs::last_write_time(sandbox / "copy.jpg"), old);
}

TEST_F(LxFileTest, MissingItemsFail) {
    const LxFile missing(sandbox / "missing.txt");
    EXPECT_FALSE(missing.exists());
    expectFileSystemError([&] { missing.delete_(); }, std::errc::no_such_file_or_directory);
    expectFileSystemError([&] { missing.copy(sandbox / "copy.txt"); },
                          std::errc::no_such_file_or_directory);
    expectFileSystemError([&] { missing.readData(); }, std::errc::no_such_file_or_directory);
    expectFileSystemError([&] { LxFile(sandbox / "missing" / "x.txt").write("text"); },
                          std::errc::no_such_file_or_directory);
    EXPECT_FALSE(fs::exists(sandbox / "missing"));
    EXPECT_EQ(test_files::entriesIn(sandbox), 0);
}

TEST_F(LxFileTest, EmptyPathNeverStandsForTheCurrentFolder) {
    const LxFile empty("");
    EXPECT_FALSE(empty.exists());
    expectFileSystemError([&] { empty.delete_(); }, std::errc::no_such_file_or_directory);
    EXPECT_TRUE(fs::exists(fs::current_path()));
}

TEST_F(LxFileTest, TextIsWrittenAtomicallyAndReadBackUnchanged) {
    const LxFile file(sandbox / "project.moc");
    const std::string text =
        "{\"Name\":\"Gr\xC3\xBC\xC3\x9F"
        "e \xF0\x9F\x8C\x8D\"}";

    file.write("old");
    file.write(text);

    EXPECT_EQ(file.read(), text);
    EXPECT_EQ(test_files::entriesIn(sandbox), 1);  // no temporary left beside it
    EXPECT_TRUE(file.exists());
}

TEST_F(LxFileTest, TextThatCannotBeWrittenOrReadInTheEncodingFails) {
    const LxFile file(sandbox / "notes.txt");
    file.write("old");

    expectFileSystemError([&] { file.write("\xC3\xBC", platform::StringEncoding::ascii); },
                          std::errc::illegal_byte_sequence);
    EXPECT_EQ(file.read(), "old");

    file.write(std::vector<std::uint8_t>{'a', 0xFF, 'b'});
    expectFileSystemError([&] { file.read(); }, std::errc::illegal_byte_sequence);
    EXPECT_EQ(file.read(platform::StringEncoding::isoLatin1),
              "a\xC3\xBF"
              "b");
}

TEST_F(LxFileTest, DataIsWrittenInPlaceAndReadWhole) {
    const LxFile file(sandbox / "image.jpg");
    file.write(std::vector<std::uint8_t>{});
    EXPECT_TRUE(file.exists());
    EXPECT_TRUE(file.readData().empty());

    std::vector<std::uint8_t> bytes(300 * 1024);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    file.write(bytes);
    EXPECT_EQ(file.readData(), bytes);
    file.write(std::vector<std::uint8_t>{1, 2});
    EXPECT_EQ(file.readData(), (std::vector<std::uint8_t>{1, 2}));

    expectFileSystemError([&] { LxFile(sandbox).readData(); }, std::errc::is_a_directory);
}

}  // namespace
