// Large files are deflated in chunks on several threads: what is written must read back the
// same with ours and with independent readers at every size around the chunks' edges, come out
// the same every time, stay within a few chunks of memory, and fail whole.
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>
#include <zlib.h>

#include <gtest/gtest.h>

#include "support/ChildProcess.h"
#include "support/FileTestHelpers.h"
#include "zip/LargestAllocation.h"
#include "zip/LxZip.h"
#include "zip/ZipTestSupport.h"

namespace {

namespace fs = std::filesystem;

using test_files::contentOf;
using test_files::put;
using zip_test::quoted;
using zip_test::run;

// The size of the chunks the writer deflates side by side.
constexpr std::size_t kChunk = std::size_t{1} << 20;
// More chunks than are ever in flight at once, so every slot is taken again.
constexpr std::size_t kManyChunks = 21 * kChunk + 12'345;

std::string incompressible(std::size_t size) {
    std::mt19937_64 random(size);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

// Text like a plan's document, whose repeats reach back across every chunk's start.
std::string documentLike(std::size_t size) {
    std::string text;
    text.reserve(size + 100);
    for (std::int64_t task = 0; text.size() < size; ++task) {
        text += "{\"Uid\": " + std::to_string(task) + ", \"Name\": \"Task " +
                std::to_string(task * 7919 % 100'003) + "\"}, ";
    }
    text.resize(size);
    return text;
}

std::string oneByteRepeated(std::size_t size) {
    return std::string(size, 'x');
}

std::uint32_t crcOf(const std::string& bytes) {
    return static_cast<std::uint32_t>(crc32(
        0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// Each entry as python's zipfile inflates it: "name size crc" lines.
std::string pythonsReading(const fs::path& archive) {
    const zip_test::CommandResult reading =
        run(std::string(zip_test::kPython) +
            " -c 'import sys, zipfile, zlib\n"
            "with zipfile.ZipFile(sys.argv[1]) as archive:\n"
            "    for name in archive.namelist():\n"
            "        data = archive.read(name)\n"
            "        print(name, len(data), zlib.crc32(data))' " +
            quoted(archive));
    EXPECT_EQ(reading.exitCode, 0) << reading.output;
    return reading.output;
}

void expectInfoZipAccepts(const fs::path& archive) {
    const zip_test::CommandResult tested = run("unzip -t " + quoted(archive));
    EXPECT_EQ(tested.exitCode, 0) << tested.output;
    EXPECT_NE(tested.output.find("No errors detected"), std::string::npos) << tested.output;
}

class LxZipChunkedWritingTest : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(files); }

    const fs::path sandbox = test_files::sandbox();
    const fs::path files = sandbox / "files";
    const fs::path archive = sandbox / "out.zip";
};

TEST_F(LxZipChunkedWritingTest, EverySizeAroundTheChunksReadsBackTheSameEverywhere) {
    const std::size_t sizes[] = {0,          1,          kChunk - 1, kChunk,     kChunk + 1,
                                 4 * kChunk - 1, 4 * kChunk, 4 * kChunk + 1, 5 * kChunk,
                                 kManyChunks};
    struct Kind {
        const char* trace;
        std::string (*content)(std::size_t);
    };
    const Kind kinds[] = {
        {"incompressible", incompressible},
        {"document-like", documentLike},
        {"one byte repeated", oneByteRepeated},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.trace);
        fs::remove_all(files);
        fs::create_directories(files);
        std::vector<fs::path> paths;
        std::string expectedReading;
        for (const std::size_t size : sizes) {
            const std::string name = "size-" + std::to_string(size);
            const std::string bytes = kind.content(size);
            paths.push_back(put(files / name, bytes));
            expectedReading += name + " " + std::to_string(size) + " " +
                               std::to_string(crcOf(bytes)) + "\n";
        }

        LxZip::zipFiles(paths, archive, std::nullopt);

        EXPECT_EQ(pythonsReading(archive), expectedReading);
        expectInfoZipAccepts(archive);
        const fs::path unpacked = sandbox / "unpacked";
        fs::remove_all(unpacked);
        LxZip::unzipFile(archive, unpacked, true, std::nullopt);
        EXPECT_TRUE(zip_test::filesBelow(unpacked) == zip_test::filesBelow(files));
    }
}

TEST_F(LxZipChunkedWritingTest, EveryLevelReadsBackTheSame) {
    const std::string bytes = documentLike(kManyChunks);
    const fs::path document = put(files / "project.moc", bytes);
    const std::string expectedReading =
        "project.moc " + std::to_string(bytes.size()) + " " + std::to_string(crcOf(bytes)) + "\n";
    for (const LxZipCompression compression :
         {LxZipCompression::NoCompression, LxZipCompression::BestSpeed,
          LxZipCompression::DefaultCompression, LxZipCompression::BestCompression}) {
        SCOPED_TRACE(compression.rawValue());
        LxZip::zipFiles({document}, archive, std::nullopt, compression);
        EXPECT_EQ(pythonsReading(archive), expectedReading);
        expectInfoZipAccepts(archive);
    }
}

// A chunk reaches back into the one before it: a block that does not compress, repeated over
// many chunks, costs its bytes once, as in a single deflate stream, not once per chunk.
TEST_F(LxZipChunkedWritingTest, RepeatsReachBackAcrossTheChunksStarts) {
    const std::string block = incompressible(16 * 1024);
    std::string bytes;
    while (bytes.size() < kManyChunks) {
        bytes += block;
    }
    const fs::path repeated = put(files / "repeated.bin", bytes);

    LxZip::zipFiles({repeated}, archive, std::nullopt);

    const std::size_t singleStream = zip_test::rawDeflated(bytes).size();
    EXPECT_LT(fs::file_size(archive), singleStream + singleStream / 10);
}

TEST_F(LxZipChunkedWritingTest, TheSameFilesGiveTheSameBytes) {
    const fs::path document = put(files / "project.moc", documentLike(kManyChunks));
    const fs::path photo = put(files / "7.jpg", incompressible(6 * kChunk + 99));
    std::vector<std::string> archives;
    for (int run = 0; run < 3; ++run) {
        LxZip::zipFiles({document, photo}, archive, std::nullopt);
        archives.push_back(contentOf(archive));
    }
    EXPECT_TRUE(archives[0] == archives[1]);
    EXPECT_TRUE(archives[0] == archives[2]);
}

// The calling thread holds the chunks in flight, never the file.
TEST_F(LxZipChunkedWritingTest, ALargeFileIsPackedWithinAFewChunksOfMemory) {
    const fs::path document = put(files / "project.moc", documentLike(24 * kChunk));
    std::size_t largest = 0;
    {
        const zip_test::LargestAllocation allocation;
        LxZip::zipFiles({document}, archive, std::nullopt, LxZipCompression::DefaultCompression,
                        {}, LxZip::ReadBack::byReceiver);
        largest = allocation.bytes();
    }
    EXPECT_LT(largest, 3 * kChunk);
    EXPECT_EQ(LxZip::verifiedEntries(archive).size(), 1U);
}

TEST_F(LxZipChunkedWritingTest, AFailureAfterALargeEntryLeavesNoArchive) {
    const fs::path document = put(files / "project.moc", documentLike(kManyChunks));
    const fs::path locked = put(files / "locked.jpg", incompressible(5 * kChunk));
    ASSERT_EQ(::mkfifo((files / "pipe").c_str(), 0600), 0);
    const fs::path out = sandbox / "out";
    fs::create_directories(out);
    child_process::handToUnprivilegedChild(sandbox, files);
    child_process::handToUnprivilegedChild(sandbox, out);
    fs::permissions(locked, fs::perms::none);

    struct Case {
        const char* trace;
        std::vector<fs::path> paths;
        child_process::Setting setting;
        // The largest file the child may write, as on a disk that fills up; none when unlimited.
        rlim_t fileSizeLimit = RLIM_INFINITY;
    };
    const Case cases[] = {
        {"a pipe after it", {document, files / "pipe"}, {}},
        {"an unreadable file after it", {document, locked}, {.unprivileged = true}},
        {"a disk that fills up while it is written", {document}, {}, kChunk / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.trace);
        const std::string outcome = child_process::run(c.setting, [&] {
            const struct rlimit limit = {c.fileSizeLimit, c.fileSizeLimit};
            if (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR ||
                ::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                return std::string("could not limit the file size");
            }
            try {
                LxZip::zipFiles(c.paths, out / "packed.zip", std::nullopt);
                return std::string("packed");
            } catch (const LxZipError& error) {
                if (error != LxZipError::zipFail()) {
                    return error.description();
                }
            }
            return fs::is_empty(out) ? std::string() : std::string("left a file behind");
        });
        EXPECT_EQ(outcome, "");
    }
    fs::permissions(locked, fs::perms::owner_all);
}

}  // namespace
