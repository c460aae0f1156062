#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileTestHelpers.h"
#include "support/LogCapture.h"
#include "zip/LargestAllocation.h"
#include "zip/LxZip.h"
#include "zip/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;

using test_files::contentOf;
using test_files::put;
using zip_test::CraftedEntry;
using zip_test::writeArchive;

constexpr std::uint32_t kRegularFile = 0100000;
constexpr std::uint32_t kFolder = 0040000;
constexpr std::uint32_t kSymbolicLink = 0120000;

std::uint32_t unixMode(std::uint32_t mode) {
    return mode << 16;
}

// Every path below `folder`, links not followed.
std::set<std::string> everythingBelow(const fs::path& folder) {
    std::set<std::string> paths;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
        paths.insert(item.path().string());
    }
    return paths;
}

class LxZipReadingTest : public testing::Test {
protected:
    // Fails the test unless unpacking throws unzipFail.
    void expectUnzipFail(const fs::path& archivePath, bool overwrite = true,
                         const std::optional<std::string>& password = std::nullopt) {
        try {
            LxZip::unzipFile(archivePath, destination, overwrite, password);
            ADD_FAILURE() << "no failure";
        } catch (const LxZipError& error) {
            EXPECT_EQ(error, LxZipError::unzipFail());
        }
    }

    // True when nothing but finished files is in the destination: no temporary is left.
    bool noTemporaryLeft() const {
        if (!fs::exists(destination)) {
            return true;
        }
        for (const std::string& path : everythingBelow(destination)) {
            if (path.ends_with(".tmp")) {
                return false;
            }
        }
        return true;
    }

    const fs::path sandbox = test_files::sandbox();
    const fs::path archive = sandbox / "in.zip";
    const fs::path destination = sandbox / "work" / "dest";
};

TEST_F(LxZipReadingTest, HostileNamesAreRefusedAndNothingLandsOutside) {
    struct Case {
        std::string name;
        const char* trace;
    };
    const Case cases[] = {
        {"../e1", "parent folder"},
        {"..\\e2", "parent folder with a backslash"},
        {"a/../../e3", "parent folder deeper in"},
        {"a/..", "the destination itself through .."},
        {"/abs/e4", "absolute"},
        {"\\abs\\e5", "absolute with backslashes"},
        {"./", "the destination itself"},
        {std::string("ok\0/../../e6", 12), "a NUL hiding the rest"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        fs::remove_all(sandbox / "work");
        fs::create_directories(destination);
        writeArchive(archive,
                     {{.name = "first.txt", .data = "fine"}, {.name = c.name, .data = "x"}});
        const std::set<std::string> before = everythingBelow(sandbox);

        const LogCapture log;
        expectUnzipFail(archive);

        EXPECT_TRUE(log.contains("Refusing the zip entry"));
        std::set<std::string> after = everythingBelow(sandbox);
        after.erase((destination / "first.txt").string());
        EXPECT_EQ(after, before);
    }
}

TEST_F(LxZipReadingTest, HarmlessNamesStayInside) {
    writeArchive(archive, {{.name = "ok/./b", .data = "b"},
                           {.name = "dir\\file.txt", .data = "f"},
                           {.name = "docs/", .externalAttributes = unixMode(kFolder | 0755)},
                           {.name = "deep/er/c.txt", .data = "c"},
                           {.name = "empty.txt"}});
    LxZip::unzipFile(archive, destination, true, std::nullopt);

    EXPECT_EQ(zip_test::filesBelow(destination),
              (std::set<std::string>{"ok/b=b", "dir/file.txt=f", "deep/er/c.txt=c", "empty.txt="}));
    EXPECT_TRUE(fs::is_directory(destination / "docs"));
}

TEST_F(LxZipReadingTest, DamagedArchivesFailWithoutAFileUnderTheEntrysName) {
    writeArchive(archive, {{.name = "a.txt", .data = "some text"}});
    const std::string valid = contentOf(archive);
    const auto crcOfTheWholeData = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(std::string(100'000, 'a').data()), 100'000));

    struct Case {
        const char* trace;
        std::string archiveBytes;
        const char* entry;
    };
    const Case cases[] = {
        {"CRC does not match",
         zip_test::craftedArchive({{.name = "a.txt", .data = "some text", .crc = 12345}}), "a.txt"},
        {"truncated", valid.substr(0, valid.size() - 10), "a.txt"},
        {"not an archive", "just some text, no zip at all", "a.txt"},
        {"no entries", zip_test::craftedArchive({}), "a.txt"},
        {"declared longer than stored",
         zip_test::craftedArchive({{.name = "a.txt", .data = "some text", .uncompressedSize = 20}}),
         "a.txt"},
        {"not deflate data",
         zip_test::craftedArchive({{.name = "a.txt", .data = "not deflate", .method = 8}}),
         "a.txt"},
        {"a method other than stored or deflate",
         zip_test::craftedArchive({{.name = "a.txt", .data = "BZh9", .method = 12}}), "a.txt"},
        {"encrypted", zip_test::craftedArchive({{.name = "a.txt", .data = "xx", .flags = 1}}),
         "a.txt"},
        {"a folder entry with bytes", zip_test::craftedArchive({{.name = "d/", .data = "x"}}), "d"},
        {"a file where a folder entry was",
         zip_test::craftedArchive({{.name = "a/"}, {.name = "a"}}), "a/x"},
        {"inflates to more than declared",
         zip_test::craftedArchive({{.name = "a.txt",
                                    .data = zip_test::rawDeflated(std::string(100'000, 'a')),
                                    .method = 8,
                                    .crc = crcOfTheWholeData,
                                    .uncompressedSize = 100}}),
         "a.txt"},
        {"more than a package could hold",
         zip_test::craftedArchive(
             {{.name = "a.txt", .data = "tiny", .uncompressedSize = 0xF0000000}}),
         "a.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        fs::remove_all(sandbox / "work");
        put(archive, c.archiveBytes);

        expectUnzipFail(archive);

        EXPECT_FALSE(fs::exists(destination / c.entry));
        EXPECT_TRUE(noTemporaryLeft());
    }
}

TEST_F(LxZipReadingTest, OverwriteDecidesWhetherAnExistingFileIsReplaced) {
    writeArchive(archive,
                 {{.name = "a.txt", .data = "first"}, {.name = "a.txt", .data = "second"}});
    for (const bool overwrite : {false, true}) {
        SCOPED_TRACE(overwrite);
        fs::remove_all(sandbox / "work");
        fs::create_directories(destination);
        put(destination / "a.txt", "old");
        std::vector<fs::path> written;
        std::vector<double> fractions;

        LxZip::unzipFile(
            archive, destination, overwrite, std::nullopt,
            [&](double fraction) { fractions.push_back(fraction); },
            [&](const fs::path& file) { written.push_back(file); });

        EXPECT_EQ(contentOf(destination / "a.txt"), overwrite ? "second" : "old");
        EXPECT_EQ(written.size(), overwrite ? 2U : 0U);
        EXPECT_EQ(fractions.size(), 3U);  // skipped entries still count as done
    }
}

TEST_F(LxZipReadingTest, StoredPermissionsAreAppliedWhenTheyLetTheOwnerRead) {
    const mode_t previousMask = ::umask(022);
    writeArchive(archive,
                 {{.name = "rw-r--r--", .externalAttributes = unixMode(kRegularFile | 0644)},
                  {.name = "rw-------", .externalAttributes = unixMode(kRegularFile | 0600)},
                  {.name = "setuid", .externalAttributes = unixMode(kRegularFile | 04755)},
                  {.name = "group-only", .externalAttributes = unixMode(kRegularFile | 0044)},
                  {.name = "no-mode"},
                  {.name = "locked/", .externalAttributes = unixMode(kFolder | 0555)},
                  {.name = "locked/inside.txt", .data = "in"}});
    LxZip::unzipFile(archive, destination, true, std::nullopt);
    ::umask(previousMask);

    const auto permissionsOf = [&](const char* name) {
        return fs::status(destination / name).permissions();
    };
    EXPECT_EQ(permissionsOf("rw-r--r--"), fs::perms(0644));
    EXPECT_EQ(permissionsOf("rw-------"), fs::perms(0600));
    EXPECT_EQ(permissionsOf("setuid"), fs::perms(0755));
    EXPECT_EQ(permissionsOf("group-only"), fs::perms(0644));
    EXPECT_EQ(permissionsOf("no-mode"), fs::perms(0644));
    // The read-only folder still received its file.
    EXPECT_EQ(permissionsOf("locked"), fs::perms(0555));
    EXPECT_EQ(contentOf(destination / "locked" / "inside.txt"), "in");
}

TEST_F(LxZipReadingTest, ProgressFollowsTheArchiveAndTheCallbackGetsEachPath) {
    writeArchive(archive, {{.name = "a b.txt", .data = "twelve bytes"}});
    std::vector<double> fractions;
    std::vector<fs::path> written;

    LxZip::unzipFile(
        archive, destination, true, std::nullopt,
        [&](double fraction) { fractions.push_back(fraction); },
        [&](const fs::path& file) { written.push_back(file); });

    EXPECT_EQ(fractions,
              (std::vector<double>{12.0 / static_cast<double>(fs::file_size(archive)), 1.0}));
    EXPECT_EQ(written, (std::vector<fs::path>{destination / "a b.txt"}));
}

TEST_F(LxZipReadingTest, AMissingArchiveOrAFolderCreatesNothing) {
    try {
        LxZip::unzipFile(sandbox / "missing.zip", destination, true, std::nullopt);
        ADD_FAILURE() << "no failure";
    } catch (const LxZipError& error) {
        EXPECT_EQ(error, LxZipError::fileNotFound());
    }
    fs::create_directories(sandbox / "folder.zip");
    expectUnzipFail(sandbox / "folder.zip");
    EXPECT_FALSE(fs::exists(sandbox / "work"));
}

TEST_F(LxZipReadingTest, LinksAreNeitherCreatedNorFollowed) {
    const fs::path outside = sandbox / "outside";
    fs::create_directories(outside);
    put(outside / "secret", "keep");
    fs::create_directories(destination);
    fs::create_directory_symlink(outside, destination / "escape");
    fs::create_symlink(outside / "secret", destination / "linked.txt");

    // A link entry is skipped; the file after it is unpacked.
    writeArchive(archive, {{.name = "link",
                            .data = "/etc/passwd",
                            .externalAttributes = unixMode(kSymbolicLink | 0777)},
                           {.name = "linked.txt", .data = "new"}});
    const LogCapture log;
    LxZip::unzipFile(archive, destination, true, std::nullopt);
    EXPECT_TRUE(log.contains("it is a symbolic link"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(destination / "link")));
    // The link in the destination was replaced, not written through.
    EXPECT_FALSE(fs::is_symlink(destination / "linked.txt"));
    EXPECT_EQ(contentOf(destination / "linked.txt"), "new");
    EXPECT_EQ(contentOf(outside / "secret"), "keep");

    // A link already in the destination does not lead an entry outside.
    writeArchive(archive, {{.name = "escape/planted", .data = "x"}});
    expectUnzipFail(archive);
    EXPECT_EQ(test_files::entriesIn(outside), 1);
}

TEST_F(LxZipReadingTest, APasswordOpensOnlyWhatIsNotEncrypted) {
    // This minizip cannot decrypt, so an encrypted entry fails even with its password.
    writeArchive(archive, {{.name = "plain.txt", .data = "plain"}});
    LxZip::unzipFile(archive, destination, true, "päss");
    EXPECT_EQ(contentOf(destination / "plain.txt"), "plain");

    writeArchive(archive, {{.name = "secret.txt", .data = "xx", .flags = 1}});
    expectUnzipFail(archive, true, "secret");
    EXPECT_FALSE(fs::exists(destination / "secret.txt"));
}

}  // namespace

namespace {

// A 1 MiB stream of zeros deflates to about a kilobyte; named by many entries, it is a bomb.
std::vector<CraftedEntry> entriesSharingOneStream(int count) {
    const std::string zeros(1 << 20, '\0');
    std::vector<CraftedEntry> entries;
    for (int index = 0; index < count; ++index) {
        CraftedEntry entry{std::to_string(1000 + index) + ".jpg", zip_test::rawDeflated(zeros), 8};
        entry.crc = static_cast<std::uint32_t>(crc32(
            0, reinterpret_cast<const Bytef*>(zeros.data()), static_cast<uInt>(zeros.size())));
        entry.uncompressedSize = static_cast<std::uint32_t>(zeros.size());
        if (index > 0) {
            entry.directoryOffset = 0;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

// A stored entry whose data holds a whole second entry, which the directory also lists.
std::vector<CraftedEntry> entryInsideAnothersData() {
    const CraftedEntry inner{"inner.jpg", "payload"};
    const std::string innerRecord = zip_test::localRecord(inner);
    CraftedEntry hidden = inner;
    hidden.directoryOffset = static_cast<std::uint32_t>(30 + std::string("outer.jpg").size() + 4);
    return {{"outer.jpg", "pad:" + innerRecord}, hidden};
}

}  // namespace

// Entries that share bytes of the file are refused before anything is written, however
// harmless each looks alone: 64 names for one 1 MiB stream would write 64 MiB.
TEST_F(LxZipReadingTest, OverlappingEntriesAreRefusedBeforeAnythingIsWritten) {
    const struct {
        const char* name;
        std::vector<CraftedEntry> entries;
    } cases[] = {
        {"one stream, many names", entriesSharingOneStream(64)},
        {"an entry inside another's data", entryInsideAnothersData()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(destination);
        writeArchive(archive, c.entries);
        const LogCapture log;
        expectUnzipFail(archive);
        EXPECT_FALSE(fs::exists(destination));
        EXPECT_TRUE(log.contains("The archive's entries overlap; it is not unpacked"));
    }
}

TEST_F(LxZipReadingTest, TheSameEntriesSideBySideStillUnpack) {
    const std::vector<CraftedEntry> apart = {{"a.jpg", "one"}, {"b.jpg", "two"}};
    writeArchive(archive, apart);
    LxZip::unzipFile(archive, destination, true, std::nullopt);
    EXPECT_EQ(zip_test::filesBelow(destination), (std::set<std::string>{"a.jpg=one", "b.jpg=two"}));
}

// An entry beyond its own bound is refused on its declaration; one whose declaration lies
// within does not get past it either, since minizip stops at the declared size and the CRC then
// fails. Entries without a bound keep the archive-wide one.
TEST_F(LxZipReadingTest, EntrySizeLimitsRefuseAnEntryBeyondItsBound) {
    const std::string big(5000, 'x');
    const LxZip::EntrySizeLimit limit =
        [](const LxZip::EntryDeclaration& entry) -> std::optional<std::uint64_t> {
        if (entry.name == "small/doc.txt") {
            return 100;
        }
        return std::nullopt;
    };
    const struct {
        const char* name;
        std::vector<CraftedEntry> entries;
        bool unpacks;
    } cases[] = {
        {"declared beyond the bound", {{"small\\doc.txt", big}}, false},
        {"inflating beyond a small declaration",
         {{"small/doc.txt", zip_test::rawDeflated(big), 8, 0, 0,
           static_cast<std::uint32_t>(
               crc32(0, reinterpret_cast<const Bytef*>(big.data()), static_cast<uInt>(big.size()))),
           100}},
         false},
        {"within the bound", {{"small/doc.txt", std::string(100, 'y')}}, true},
        {"no bound of its own", {{"other.txt", big}}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(destination);
        writeArchive(archive, c.entries);
        if (c.unpacks) {
            LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, limit);
            EXPECT_EQ(zip_test::filesBelow(destination).size(), 1U);
        } else {
            try {
                LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, limit);
                ADD_FAILURE() << "unpacked";
            } catch (const LxZipError& error) {
                EXPECT_EQ(error, LxZipError::unzipFail());
            }
            EXPECT_TRUE(!fs::exists(destination) || zip_test::filesBelow(destination).empty());
            EXPECT_TRUE(noTemporaryLeft());
        }
    }
}

// The limit is asked once for each entry, in order, with the bytes the entry is stored in,
// before anything is written; so a budget the entries share stops the archive before it starts.
TEST_F(LxZipReadingTest, EntrySizeLimitsAreAskedOnceForEachEntryBeforeAnythingIsWritten) {
    const std::string repeated(4000, 'r');
    writeArchive(
        archive,
        {{"a.txt", "one"},
         {"b.txt", zip_test::rawDeflated(repeated), 8, 0, 0,
          static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(repeated.data()),
                                           static_cast<uInt>(repeated.size()))),
          static_cast<std::uint32_t>(repeated.size())},
         {"c.txt", "three"}});
    std::vector<std::pair<std::string, std::uint64_t>> asked;
    std::uint64_t budget = 4005;
    const LxZip::EntrySizeLimit sharedBudget = [&](const LxZip::EntryDeclaration& entry) {
        asked.emplace_back(entry.name, entry.storedSize);
        const std::uint64_t left = budget;
        budget -= std::min(budget, entry.size);
        return std::optional<std::uint64_t>(left);
    };
    try {
        LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, sharedBudget);
        ADD_FAILURE() << "unpacked";
    } catch (const LxZipError& error) {
        EXPECT_EQ(error, LxZipError::unzipFail());
    }
    ASSERT_EQ(asked.size(), 3U);
    EXPECT_EQ(asked[0], (std::pair<std::string, std::uint64_t>{"a.txt", 3}));
    EXPECT_EQ(asked[1].first, "b.txt");
    EXPECT_LT(asked[1].second, 100U);
    EXPECT_EQ(asked[2].first, "c.txt");
    EXPECT_TRUE(!fs::exists(destination) || zip_test::filesBelow(destination).empty());

    asked.clear();
    budget = 5000;
    LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, sharedBudget);
    EXPECT_EQ(asked.size(), 3U);
    EXPECT_EQ(zip_test::filesBelow(destination).size(), 3U);
}

// A kept entry is held instead of written, across the steps it grows by, the last of its name;
// the others are written as ever, and an entry whose file is there and stays is not asked about.
TEST_F(LxZipReadingTest, AKeptEntryIsHeldInsteadOfWritten) {
    std::string large;
    for (int line = 0; large.size() < (std::size_t{5} << 20) / 2; ++line) {
        large += "line " + std::to_string(line) + "\n";
    }
    writeArchive(archive, {{.name = "doc.txt", .data = "first"},
                           {.name = "photo.jpg", .data = "jpeg"},
                           {.name = "./doc.txt", .data = large}});
    std::string copy = "stale";
    std::vector<std::string> asked;
    LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, {},
                     [&](const std::string& name) -> std::string* {
                         asked.push_back(name);
                         return name.ends_with("doc.txt") ? &copy : nullptr;
                     });
    EXPECT_EQ(asked, (std::vector<std::string>{"doc.txt", "photo.jpg", "./doc.txt"}));
    EXPECT_EQ(copy, large);
    EXPECT_FALSE(fs::exists(destination / "doc.txt"));
    EXPECT_EQ(contentOf(destination / "photo.jpg"), "jpeg");

    asked.clear();
    LxZip::unzipFile(archive, destination, false, std::nullopt, {}, {}, {},
                     [&](const std::string& name) -> std::string* {
                         asked.push_back(name);
                         return nullptr;
                     });
    EXPECT_EQ(asked, (std::vector<std::string>{"doc.txt"}));
    EXPECT_EQ(contentOf(destination / "doc.txt"), "first");
}

// A copy is only there once its entry matched its CRC and size: a damaged entry leaves it empty.
TEST_F(LxZipReadingTest, ADamagedEntryLeavesItsCopyEmpty) {
    writeArchive(archive, {{.name = "doc.txt", .data = "some text", .crc = 0x12345678}});
    std::string copy = "stale";
    try {
        LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, {},
                         [&copy](const std::string&) { return &copy; });
        ADD_FAILURE() << "unpacked";
    } catch (const LxZipError& error) {
        EXPECT_EQ(error, LxZipError::unzipFail());
    }
    EXPECT_TRUE(copy.empty());
    EXPECT_FALSE(fs::exists(destination / "doc.txt"));
    EXPECT_TRUE(noTemporaryLeft());
}

// A deflated entry that is kept is inflated whole into its declared size; it must hold exactly
// that and match its CRC, or nothing is kept and no file is left.
TEST_F(LxZipReadingTest, AKeptDeflatedEntryHoldsExactlyWhatItDeclares) {
    std::string text;
    for (int line = 0; text.size() < 300'000; ++line) {
        text += "task " + std::to_string(line) + " lays the foundations\n";
    }
    const auto crcOf = [](const std::string& bytes) {
        return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()),
                                                static_cast<uInt>(bytes.size())));
    };
    const auto size = static_cast<std::uint32_t>(text.size());
    struct Case {
        const char* what;
        std::uint32_t declared;
        std::uint32_t crc;
        bool unpacks;
    };
    for (const Case& lie : {Case{"honest", size, crcOf(text), true},
                            Case{"one byte short", size - 1, crcOf(text), false},
                            Case{"one byte long", size + 1, crcOf(text), false},
                            Case{"twice as long", 2 * size, crcOf(text), false},
                            Case{"a wrong CRC", size, crcOf(text) ^ 1U, false}}) {
        SCOPED_TRACE(lie.what);
        fs::remove_all(destination);
        writeArchive(archive, {{.name = "doc.txt",
                                .data = zip_test::rawDeflated(text),
                                .method = 8,
                                .crc = lie.crc,
                                .uncompressedSize = lie.declared}});
        std::string copy = "stale";
        bool unpacked = true;
        try {
            LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, {},
                             [&copy](const std::string&) { return &copy; });
        } catch (const LxZipError& error) {
            EXPECT_EQ(error, LxZipError::unzipFail());
            unpacked = false;
        }
        EXPECT_EQ(unpacked, lie.unpacks);
        EXPECT_TRUE(copy == (lie.unpacks ? text : std::string()));
        EXPECT_FALSE(fs::exists(destination / "doc.txt"));
        EXPECT_TRUE(noTemporaryLeft());
    }
}

// A kept copy reserves as its bytes arrive: an entry that declares far more than it holds fails
// without its declared size ever being asked for, and an honest entry's copy, grown on its
// way, never asks for more than the entry holds (and the string's terminator).
TEST_F(LxZipReadingTest, AKeptCopyReservesWhatArrivesNotWhatIsDeclared) {
    std::string copy;
    const auto keep = [&copy](const std::string&) { return &copy; };

    constexpr std::uint32_t kDeclared = std::uint32_t{512} << 20;
    writeArchive(archive, {{.name = "doc.txt", .data = "short", .uncompressedSize = kDeclared}});
    {
        const zip_test::LargestAllocation largest;
        try {
            LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, {}, keep);
            ADD_FAILURE() << "unpacked";
        } catch (const LxZipError& error) {
            EXPECT_EQ(error, LxZipError::unzipFail());
        }
        EXPECT_LT(largest.bytes(), kDeclared / 8);
    }
    EXPECT_TRUE(copy.empty());
    EXPECT_FALSE(fs::exists(destination / "doc.txt"));

    const std::string large((std::size_t{33} << 20) + 5, 'z');
    CraftedEntry deflated{.name = "doc.txt", .data = zip_test::rawDeflated(large), .method = 8};
    deflated.crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(large.data()), static_cast<uInt>(large.size())));
    deflated.uncompressedSize = static_cast<std::uint32_t>(large.size());
    writeArchive(archive, {deflated});
    {
        const zip_test::LargestAllocation largest;
        LxZip::unzipFile(archive, destination, true, std::nullopt, {}, {}, {}, keep);
        // At least the copy itself is seen, so the watch is counting.
        EXPECT_GE(largest.bytes(), large.size());
        EXPECT_LE(largest.bytes(), large.size() + 1);
    }
    EXPECT_TRUE(copy == large);
    EXPECT_FALSE(fs::exists(destination / "doc.txt"));
}
