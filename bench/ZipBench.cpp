// Packing and unpacking a 50 MB project package: a 10 MB project document and forty 1 MB
// images that do not compress, as JPEG photos do not. Each operation runs beside Info-ZIP's
// zip/unzip on the same files and beside zlib's deflate and inflate of the same bytes in memory
// (the work no archive can avoid), so results read as ratios. Times are wall-clock times, since
// the Info-ZIP runs spend theirs in a child process.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

#include <benchmark/benchmark.h>

#include "BenchMain.h"
#include "platform/foundation/StandardFolders.h"
#include "zip/LxZip.h"

namespace fs = std::filesystem;

namespace {

constexpr int kImageCount = 40;
constexpr std::size_t kImageSize = 1 << 20;
constexpr std::size_t kDocumentSize = 10 << 20;

struct Package {
    fs::path folder;
    std::vector<fs::path> files;
    std::string bytes;  // every file's content, one after the other
    fs::path archive;
};

std::string documentText() {
    std::string text = "{\"Uid\":1,\"Root\":{\"Childs\":[";
    for (int task = 0; text.size() < kDocumentSize; ++task) {
        text += "{\"Uid\":" + std::to_string(task) + ",\"Name\":\"Task " + std::to_string(task) +
                "\",\"Start\":\"2024-03-04T08:00:00\",\"Finish\":\"2024-03-09T00:00:00\"},";
    }
    return text + "]}}";
}

const Package& package() {
    static const Package made = [] {
        Package package;
        package.folder = platform::privateTemporaryFolder() / "zip-bench";
        fs::remove_all(package.folder);
        fs::create_directories(package.folder / "files");
        std::mt19937_64 random(42);
        for (int index = 0; index <= kImageCount; ++index) {
            std::string content;
            if (index == 0) {
                content = documentText();
            } else {
                content.resize(kImageSize);
                for (char& byte : content) {
                    byte = static_cast<char>(random());
                }
            }
            const fs::path file = package.folder / "files" /
                                  (index == 0 ? "project.moc" : std::to_string(index) + ".jpg");
            std::ofstream(file, std::ios::binary) << content;
            package.files.push_back(file);
            package.bytes += content;
        }
        package.archive = package.folder / "package.orb";
        LxZip::zipFiles(package.files, package.archive, std::nullopt);
        return package;
    }();
    return made;
}

void reportBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(package().bytes.size()));
}

void runOrSkip(benchmark::State& state, const std::string& command) {
    if (std::system((command + " > /dev/null 2>&1").c_str()) != 0) {
        state.SkipWithError(("failed: " + command).c_str());
    }
}

void BM_ZipFiles(benchmark::State& state) {
    const fs::path archive = package().folder / "ours.orb";
    for (auto _ : state) {
        LxZip::zipFiles(package().files, archive, std::nullopt);
    }
    reportBytes(state);
}
BENCHMARK(BM_ZipFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InfoZipZip(benchmark::State& state) {
    const fs::path archive = package().folder / "infozip.orb";
    for (auto _ : state) {
        fs::remove(archive);
        runOrSkip(state, "cd '" + (package().folder / "files").string() + "' && zip -q -j '" +
                             archive.string() + "' *");
    }
    reportBytes(state);
}
BENCHMARK(BM_InfoZipZip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UnzipFile(benchmark::State& state) {
    const fs::path destination = package().folder / "ours";
    for (auto _ : state) {
        LxZip::unzipFile(package().archive, destination, true, std::nullopt);
    }
    reportBytes(state);
}
BENCHMARK(BM_UnzipFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InfoZipUnzip(benchmark::State& state) {
    const fs::path destination = package().folder / "infozip";
    for (auto _ : state) {
        runOrSkip(state, "unzip -q -o '" + package().archive.string() + "' -d '" +
                             destination.string() + "'");
    }
    reportBytes(state);
}
BENCHMARK(BM_InfoZipUnzip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BaselineDeflateInMemory(benchmark::State& state) {
    const std::string& bytes = package().bytes;
    std::vector<Bytef> compressed(compressBound(bytes.size()));
    for (auto _ : state) {
        uLongf size = compressed.size();
        compress2(compressed.data(), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  bytes.size(), Z_DEFAULT_COMPRESSION);
        benchmark::DoNotOptimize(size);
    }
    reportBytes(state);
}
BENCHMARK(BM_BaselineDeflateInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BaselineInflateInMemory(benchmark::State& state) {
    const std::string& bytes = package().bytes;
    std::vector<Bytef> compressed(compressBound(bytes.size()));
    uLongf compressedSize = compressed.size();
    compress2(compressed.data(), &compressedSize, reinterpret_cast<const Bytef*>(bytes.data()),
              bytes.size(), Z_DEFAULT_COMPRESSION);
    std::vector<Bytef> restored(bytes.size());
    for (auto _ : state) {
        uLongf size = restored.size();
        uncompress(restored.data(), &size, compressed.data(), compressedSize);
        benchmark::DoNotOptimize(size);
    }
    reportBytes(state);
}
BENCHMARK(BM_BaselineInflateInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The package, the archives and the unpacked copies take some 200 MB; they go with the private
// folder at the end of the run.
int main(int argc, char** argv) {
    return bench_main::runInPrivateFolder(argc, argv);
}
