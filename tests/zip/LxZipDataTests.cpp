// Archives of entries held in memory, checked by our reader and by Info-ZIP and python.
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/foundation/Calendar.h"
#include "support/FileTestHelpers.h"
#include "zip/LxZip.h"
#include "zip/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;

using zip_test::quoted;
using zip_test::run;

std::vector<std::uint8_t> bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

class LxZipDataTest : public testing::Test {
protected:
    // One line per entry as python reads it: "name size (year, month, day, hour, minute, second)".
    static std::string entriesOf(const fs::path& archive) {
        return run(std::string(zip_test::kPython) +
                   " -c 'import sys, zipfile\n"
                   "for i in zipfile.ZipFile(sys.argv[1]).infolist():"
                   " print(i.filename, i.file_size, i.date_time)' " +
                   quoted(archive))
            .output;
    }

    static void expectZipFail(const std::function<void()>& action) {
        try {
            action();
            ADD_FAILURE() << "no failure";
        } catch (const LxZipError& error) {
            EXPECT_EQ(error, LxZipError::zipFail());
        }
    }

    const fs::path sandbox = test_files::sandbox();
    const fs::path archive = sandbox / "memory.zip";
};

TEST_F(LxZipDataTest, LeavesOutEmptyEntriesAndReportsProgressByBytes) {
    const platform::Date stamp =
        platform::Calendar::current()
            .date({.year = 2024, .month = 5, .day = 6, .hour = 13, .minute = 45, .second = 10})
            .value();
    const std::vector<LxZipArchiveFile> files = {
        {"empty.txt", {}},
        {"ten.txt", bytes(std::string(10, 't')), stamp},
        {"folder/thirty.txt", bytes(std::string(30, 'h'))},
    };
    std::vector<double> progress;
    LxZip::zipData(files, archive, std::nullopt, LxZipCompression::DefaultCompression,
                   [&progress](double fraction) { progress.push_back(fraction); });

    EXPECT_EQ(progress, (std::vector<double>{0.25, 1.0, 1.0}));
    // No time stamp gives the format's zero one.
    EXPECT_EQ(entriesOf(archive),
              "ten.txt 10 (2024, 5, 6, 13, 45, 10)\n"
              "folder/thirty.txt 30 (1980, 1, 0, 0, 0, 0)\n");
    LxZip::unzipFile(archive, sandbox / "unpacked", true, std::nullopt);
    EXPECT_EQ(zip_test::filesBelow(sandbox / "unpacked"),
              (std::set<std::string>{"ten.txt=" + std::string(10, 't'),
                                     "folder/thirty.txt=" + std::string(30, 'h')}));

    const zip_test::CommandResult infoZip = run("unzip -t " + quoted(archive));
    EXPECT_EQ(infoZip.exitCode, 0) << infoZip.output;
    const zip_test::CommandResult python =
        run(std::string(zip_test::kPython) + " -m zipfile -t " + quoted(archive));
    EXPECT_EQ(python.exitCode, 0) << python.output;
}

TEST_F(LxZipDataTest, EveryCompressionLevelGivesAnArchiveThePeersAccept) {
    const std::string text(5'000, 'a');
    for (const LxZipCompression compression :
         {LxZipCompression::NoCompression, LxZipCompression::BestSpeed,
          LxZipCompression::DefaultCompression, LxZipCompression::BestCompression}) {
        SCOPED_TRACE(compression.rawValue());
        LxZip::zipData({{"a.txt", bytes(text)}}, archive, std::nullopt, compression);
        EXPECT_EQ(run("unzip -t " + quoted(archive)).exitCode, 0);
        EXPECT_EQ(
            run(std::string(zip_test::kPython) + " -m zipfile -t " + quoted(archive)).exitCode, 0);
    }
}

TEST_F(LxZipDataTest, NothingToPackGivesAnEmptyArchive) {
    std::vector<double> progress;
    LxZip::zipData({{"empty", {}}}, archive, std::nullopt, LxZipCompression::DefaultCompression,
                   [&progress](double fraction) { progress.push_back(fraction); });
    EXPECT_EQ(progress, std::vector<double>{1.0});
    EXPECT_EQ(entriesOf(archive), "");
    const zip_test::CommandResult python =
        run(std::string(zip_test::kPython) + " -m zipfile -t " + quoted(archive));
    EXPECT_EQ(python.exitCode, 0) << python.output;
}

// A failure never leaves a part of an archive, and an archive already there survives it.
TEST_F(LxZipDataTest, RefusalsAndFailuresKeepTheEarlierArchive) {
    LxZip::zipData({{"first.txt", bytes("first")}}, archive, std::nullopt);
    const std::string before = test_files::contentOf(archive);

    expectZipFail([&] { LxZip::zipData({{"a.txt", bytes("a")}}, archive, "secret"); });
    expectZipFail([&] {
        LxZip::zipData({{"a.txt", bytes("a")}, {std::string("b\0.txt", 6), bytes("b")}}, archive,
                       std::nullopt);
    });
    EXPECT_EQ(test_files::contentOf(archive), before);

    expectZipFail([&] {
        LxZip::zipData({{"a.txt", bytes("a")}}, sandbox / "missing" / "a.zip", std::nullopt);
    });
    EXPECT_FALSE(fs::exists(sandbox / "missing"));

    LxZip::zipData({{"second.txt", bytes("second")}}, archive, std::nullopt);
    EXPECT_EQ(entriesOf(archive), "second.txt 6 (1980, 1, 0, 0, 0, 0)\n");
    EXPECT_EQ(test_files::entriesIn(sandbox), 1);
}

}  // namespace
