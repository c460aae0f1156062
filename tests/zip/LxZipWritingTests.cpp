#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/DateContext.h"
#include "support/ChildProcess.h"
#include "support/FileTestHelpers.h"
#include "zip/LxZip.h"
#include "zip/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;

using test_files::contentOf;
using test_files::put;
using zip_test::quoted;
using zip_test::run;

// Each entry as python's zipfile reads it: "name|(y, m, d, h, min, s)|method|flags".
std::vector<std::string> entriesOf(const fs::path& archive) {
    const zip_test::CommandResult listing =
        run(std::string(zip_test::kPython) +
            " -c 'import sys, zipfile\n"
            "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
            "    print(f\"{i.filename}|{i.date_time}|{i.compress_type}|{i.flag_bits}\")' " +
            quoted(archive));
    EXPECT_EQ(listing.exitCode, 0) << listing.output;
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t end; (end = listing.output.find('\n', start)) != std::string::npos;
         start = end + 1) {
        entries.push_back(listing.output.substr(start, end - start));
    }
    return entries;
}

std::vector<std::string> namesOf(const fs::path& archive) {
    std::vector<std::string> names;
    for (const std::string& entry : entriesOf(archive)) {
        names.push_back(entry.substr(0, entry.find('|')));
    }
    return names;
}

void setModificationTime(const fs::path& path, std::time_t unixSeconds) {
    const struct timespec times[2] = {{unixSeconds, 0}, {unixSeconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

class LxZipWritingTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(work / "img");
        fs::create_directories(work / "other");
        fs::create_directories(work / "pack" / "sub");
        fs::create_directories(work / "empty");
        fs::create_directories(work / "hollow" / "a" / "b");
        put(work / "project.moc", "{\"Uid\":1}");
        put(work / "img" / "42.jpg", "jpeg 42");
        put(work / "other" / "42.jpg", "another 42");
        put(work / "pack" / "a.txt", "a");
        put(work / "pack" / "sub" / "b.txt", "b");
    }

    const fs::path work = test_files::sandbox() / "w";
    const fs::path archive = test_files::sandbox() / "out.zip";
};

TEST_F(LxZipWritingTest, EntryNames) {
    struct Case {
        const char* trace;
        std::vector<fs::path> paths;
        std::vector<std::string> names;
    };
    const std::vector<std::string> packNames = {"pack/a.txt", "pack/sub/b.txt"};
    const Case cases[] = {
        {"plain files are flat",
         {work / "project.moc", work / "img/42.jpg"},
         {"project.moc", "42.jpg"}},
        {"a folder keeps its name", {work / "pack"}, packNames},
        {"a folder in folder form", {work / "pack/"}, packNames},
        {"a folder reached through ..", {work / "pack/sub/.."}, packNames},
        {"empty folders add nothing", {work / "empty", work / "hollow"}, {}},
        {"same names stay in order",
         {work / "img/42.jpg", work / "other/42.jpg"},
         {"42.jpg", "42.jpg"}},
        {"a file before a folder",
         {work / "project.moc", work / "pack"},
         {"project.moc", "pack/a.txt", "pack/sub/b.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        LxZip::zipFiles(c.paths, archive, std::nullopt);
        EXPECT_EQ(namesOf(archive), c.names);
    }
}

TEST_F(LxZipWritingTest, EntriesCarryTheLocalModificationTimeWithinTheFormatsRange) {
    const platform::ScopedTimeZoneAndLocale berlin("Europe/Berlin", "de_DE");
    setModificationTime(work / "project.moc", 1704063598);  // 2023-12-31 23:59:58 in Berlin
    setModificationTime(work / "img/42.jpg", 0);            // 1970, before zip time began

    LxZip::zipFiles({work / "project.moc", work / "img/42.jpg"}, archive, std::nullopt);

    const std::vector<std::string> entries = entriesOf(archive);
    ASSERT_EQ(entries.size(), 2U);
    EXPECT_EQ(entries[0], "project.moc|(2023, 12, 31, 23, 59, 58)|8|0");
    EXPECT_EQ(entries[1], "42.jpg|(1980, 1, 1, 0, 0, 0)|8|0");
}

TEST_F(LxZipWritingTest, CompressionChoosesTheDeflateLevel) {
    // minizip records the level class in flag bits 1 and 2; every entry stays deflated.
    struct Case {
        LxZipCompression compression;
        const char* methodAndFlags;
    };
    const Case cases[] = {
        {LxZipCompression::NoCompression, "|8|0"},
        {LxZipCompression::BestSpeed, "|8|6"},
        {LxZipCompression::DefaultCompression, "|8|0"},
        {LxZipCompression::BestCompression, "|8|2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.compression.rawValue());
        LxZip::zipFiles({work / "project.moc"}, archive, std::nullopt, c.compression);
        const std::vector<std::string> entries = entriesOf(archive);
        ASSERT_EQ(entries.size(), 1U);
        EXPECT_TRUE(entries[0].ends_with(c.methodAndFlags)) << entries[0];
    }
}

TEST_F(LxZipWritingTest, ProgressIsTheShareOfBytesAfterEachFileThenOne) {
    put(work / "quarter", std::string(100, 'q'));
    put(work / "rest", std::string(300, 'r'));
    std::vector<double> fractions;
    LxZip::zipFiles({work / "quarter", work / "rest"}, archive, std::nullopt,
                    LxZipCompression::DefaultCompression,
                    [&](double fraction) { fractions.push_back(fraction); });
    EXPECT_EQ(fractions, (std::vector<double>{0.25, 1.0, 1.0}));

    put(work / "nothing", "");
    fractions.clear();
    LxZip::zipFiles({work / "nothing"}, archive, std::nullopt, LxZipCompression::DefaultCompression,
                    [&](double fraction) { fractions.push_back(fraction); });
    EXPECT_EQ(fractions, (std::vector<double>{0.0, 1.0}));
}

TEST_F(LxZipWritingTest, AFailureKeepsTheEarlierArchiveAndLeavesNoTemporary) {
    ASSERT_EQ(::mkfifo((work / "pipe").c_str(), 0600), 0);
    LxZip::zipFiles({work / "project.moc"}, archive, std::nullopt);
    const std::string earlier = contentOf(archive);

    struct Case {
        const char* trace;
        std::vector<fs::path> paths;
        fs::path target;
        std::optional<std::string> password;
    };
    const Case cases[] = {
        {"a missing file after a good one",
         {work / "pack", work / "missing.jpg"},
         archive,
         std::nullopt},
        {"a pipe, which would never end", {work / "pipe"}, archive, std::nullopt},
        {"a password: encryption is not offered", {work / "project.moc"}, archive, "secret"},
        {"a missing destination folder",
         {work / "project.moc"},
         test_files::sandbox() / "missing" / "out.zip",
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        try {
            LxZip::zipFiles(c.paths, c.target, c.password);
            ADD_FAILURE() << "no failure";
        } catch (const LxZipError& error) {
            EXPECT_EQ(error, LxZipError::zipFail());
        }
        EXPECT_EQ(contentOf(archive), earlier);
        EXPECT_EQ(test_files::entriesIn(test_files::sandbox()), 2);  // w and out.zip
    }
}

// Permissions do not bind root: the packing runs as an unprivileged user, which may read all
// but the locked folder.
TEST_F(LxZipWritingTest, AnUnreadableFolderInTheWalkFailsThePackingAndLeavesNoArchive) {
    fs::create_directories(work / "pack" / "locked");
    put(work / "pack" / "locked" / "secret.txt", "unseen");
    fs::create_directories(work / "closed");
    put(work / "closed" / "inside.txt", "unseen");
    fs::create_directories(work / "out");
    child_process::handToUnprivilegedChild(test_files::sandbox(), work);
    fs::permissions(work / "pack" / "locked", fs::perms::none);
    fs::permissions(work / "closed", fs::perms::none);

    const std::string outcome = child_process::run({.unprivileged = true}, [&] {
        struct Case {
            const char* trace;
            std::function<void(const fs::path&)> pack;
        };
        const Case cases[] = {
            {"a locked sub-folder",
             [&](const fs::path& to) { LxZip::zipFiles({work / "pack"}, to, std::nullopt); }},
            {"a locked folder itself",
             [&](const fs::path& to) { LxZip::zipFiles({work / "closed"}, to, std::nullopt); }},
            {"a locked folder after a good file",
             [&](const fs::path& to) {
                 LxZip::zipFiles({work / "project.moc", work / "pack"}, to, std::nullopt);
             }},
        };
        for (const Case& c : cases) {
            const fs::path to = work / "out" / "packed.zip";
            try {
                c.pack(to);
                return std::string(c.trace) + ": packed";
            } catch (const LxZipError& error) {
                if (error != LxZipError::zipFail()) {
                    return std::string(c.trace) + ": " + error.description();
                }
            }
            if (!fs::is_empty(work / "out")) {
                return std::string(c.trace) + ": something was left in the output folder";
            }
        }
        return std::string();
    });
    fs::permissions(work / "pack" / "locked", fs::perms::owner_all);
    fs::permissions(work / "closed", fs::perms::owner_all);
    EXPECT_EQ(outcome, "");
}

TEST_F(LxZipWritingTest, RoundTripGivesTheSameFiles) {
    std::string binary;
    for (std::size_t i = 0; i < 300'000; ++i) {
        binary += static_cast<char>((i * 7919) % 251);
    }
    put(work / "pack" / "sub" / "big.bin", binary);
    put(work / "pack" / "empty.txt", "");
    put(work / "pack" / ".hidden", "h");

    LxZip::zipFiles({work / "project.moc", work / "pack"}, archive, std::nullopt);
    const fs::path out = test_files::sandbox() / "unpacked";
    LxZip::unzipFile(archive, out, true, std::nullopt);

    std::set<std::string> expected = zip_test::filesBelow(work / "pack");
    std::set<std::string> unpackedPack = zip_test::filesBelow(out / "pack");
    EXPECT_EQ(unpackedPack, expected);
    EXPECT_EQ(contentOf(out / "project.moc"), "{\"Uid\":1}");
    EXPECT_EQ(test_files::entriesIn(out), 2);
}

}  // namespace
