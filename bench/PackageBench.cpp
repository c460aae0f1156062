// Opening and saving project packages of 1k, 10k and 100k tasks with twenty member photos, each
// beside its floors in the same run. The old floor: for opening, inflating "project.moc" with
// zlib and a SAX parse of it with nlohmann's parser that keeps nothing (beside it the same parse
// with RapidJSON's reader, which documents are read with); for saving, a plain nlohmann dump of
// the same document and zlib's deflate. The limit floor (BenchLimitFloor.h): libdeflate and
// simdjson On-Demand for opening, RapidJSON's PrettyWriter and libdeflate for saving.
//
// The package figures time both floors once after each open or save and report the figure as a
// multiple of each (x_old_floor, x_limit_floor). At 100k tasks opening should stay within 3x
// the limit floor and saving within 1.8x, both growing linearly with the tasks (10x the tasks,
// at most 10.5x the time).
//
// Opening also reports its peak heap (every operator new counted, as bytes live at once) as a
// multiple of the document's size.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>
#include <zlib.h>

#include <benchmark/benchmark.h>

#include "BenchDeflate.h"
#include "BenchDocuments.h"
#include "BenchLimitFloor.h"
#include "BenchMain.h"
#include "BenchRatios.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Manager/OrbinDocumentManager.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "folder/LxFolder.h"
#include "platform/foundation/StandardFolders.h"
#include "zip/LxZip.h"

namespace fs = std::filesystem;

namespace {

std::atomic<std::int64_t> liveHeapBytes{0};
std::atomic<std::int64_t> peakHeapBytes{0};

void* countedAllocation(std::size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        return nullptr;
    }
    const auto usable = static_cast<std::int64_t>(malloc_usable_size(memory));
    const auto live = liveHeapBytes.fetch_add(usable) + usable;
    std::int64_t peak = peakHeapBytes.load();
    while (live > peak && !peakHeapBytes.compare_exchange_weak(peak, live)) {
    }
    return memory;
}

void countedRelease(void* memory) noexcept {
    if (memory != nullptr) {
        liveHeapBytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(memory)));
        std::free(memory);
    }
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* memory = countedAllocation(size)) {
        return memory;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return countedAllocation(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return countedAllocation(size);
}
void operator delete(void* memory) noexcept {
    countedRelease(memory);
}
void operator delete[](void* memory) noexcept {
    countedRelease(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    countedRelease(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    countedRelease(memory);
}

namespace {

constexpr int kPhotoSize = 4096;

struct Package {
    std::string text;  // the document
    fs::path archive;
};

fs::path benchFolder() {
    return platform::privateTemporaryFolder() / "package-bench";
}

// A fresh, empty working folder.
LxFolder workingFolder(const std::string& name) {
    const fs::path path = benchFolder() / name;
    fs::remove_all(path);
    fs::create_directories(path);
    return LxFolder(path, false);
}

const Package& package(std::int64_t tasks) {
    static std::map<std::int64_t, Package> packages;
    Package& made = packages[tasks];
    if (made.text.empty()) {
        const JsonProjectData document = bench_documents::makeDocument(tasks);
        made.text = document.jsonString().value();
        const LxFolder source = workingFolder("source-" + std::to_string(tasks));
        std::vector<fs::path> files{source.url() / "project.moc"};
        std::ofstream(files.front(), std::ios::binary) << made.text;
        for (const JsonPeople& member : *document._data->peoples) {
            files.push_back(source.url() / (*member.photoId + ".jpg"));
            std::ofstream(files.back(), std::ios::binary) << std::string(kPhotoSize, '\x5A');
        }
        made.archive = benchFolder() / ("bench-" + std::to_string(tasks) + ".orb");
        LxZip::zipFiles(files, made.archive, std::nullopt);
    }
    return made;
}

void reportDocumentBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(package(state.range(0)).text.size()));
}

// The old floor of opening: zlib's inflate and nlohmann's SAX parse keeping nothing.
class OldOpenFloor {
public:
    explicit OldOpenFloor(const std::string& text)
        : compressed_(deflated(text)), restored_(text.size()) {}

    bool run() {
        uLongf size = restored_.size();
        uncompress(restored_.data(), &size, compressed_.data(), compressed_.size());
        return nlohmann::json::accept(restored_.begin(),
                                      restored_.begin() + static_cast<std::ptrdiff_t>(size));
    }

private:
    std::vector<Bytef> compressed_;
    std::vector<Bytef> restored_;
};

// The old floor of saving: nlohmann's dump of the document and zlib's deflate.
class OldSaveFloor {
public:
    explicit OldSaveFloor(const std::string& text) : parsed_(nlohmann::json::parse(text)) {}

    std::size_t run() const { return deflated(parsed_.dump(2)).size(); }

private:
    nlohmann::json parsed_;
};

void BM_OpenPackage(benchmark::State& state) {
    const Package& opened = package(state.range(0));
    const OrbinDocumentManager documents;
    OldOpenFloor oldFloor(opened.text);
    const bench_limit_floor::Deflated limitDeflated =
        bench_limit_floor::libdeflateDeflated(opened.text);
    bench_limit_floor::OpenFloor limitFloor(limitDeflated, opened.text.size());
    bench_ratios::SideBySide sides;
    double peakRatio = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const LxFolder folder = workingFolder("open");
        const std::int64_t before = liveHeapBytes.load();
        peakHeapBytes.store(before);
        state.ResumeTiming();

        std::shared_ptr<OrbProject> project;
        sides.figure([&] { project = documents.load(LxFile(opened.archive), folder); });
        benchmark::DoNotOptimize(project);

        state.PauseTiming();
        project.reset();
        peakRatio = std::max(peakRatio, static_cast<double>(peakHeapBytes.load() - before) /
                                            static_cast<double>(opened.text.size()));
        sides.oldFloor([&] { benchmark::DoNotOptimize(oldFloor.run()); });
        sides.limitFloor([&] { benchmark::DoNotOptimize(limitFloor.run()); });
        state.ResumeTiming();
    }
    sides.report(state);
    state.counters["peak_heap_x_document"] = peakRatio;
    state.counters["document_MB"] = static_cast<double>(opened.text.size()) / (1 << 20);
    reportDocumentBytes(state);
}

void BM_OpenFloorInflate(benchmark::State& state) {
    const std::string& text = package(state.range(0)).text;
    const std::vector<Bytef> compressed = deflated(text);
    std::vector<Bytef> restored(text.size());
    for (auto _ : state) {
        uLongf size = restored.size();
        uncompress(restored.data(), &size, compressed.data(), compressed.size());
        benchmark::DoNotOptimize(size);
    }
    reportDocumentBytes(state);
}

void BM_OpenFloorSaxParse(benchmark::State& state) {
    const std::string& text = package(state.range(0)).text;
    for (auto _ : state) {
        // The parser with a handler that keeps nothing.
        benchmark::DoNotOptimize(nlohmann::json::accept(text));
    }
    reportDocumentBytes(state);
}

// The parser documents are read with, with the flags they are read with, keeping nothing.
void BM_OpenFloorRapidSaxParse(benchmark::State& state) {
    const std::string& text = package(state.range(0)).text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench_documents::rapidSaxParseKeepingNothing(text));
    }
    reportDocumentBytes(state);
}

void BM_SavePackage(benchmark::State& state) {
    const OrbinDocumentManager documents;
    const LxFolder folder = workingFolder("save");
    const std::string& text = package(state.range(0)).text;
    const std::shared_ptr<OrbProject> project =
        documents.load(LxFile(package(state.range(0)).archive), folder);
    const LxFile target(benchFolder() / "saved.orb");
    const OldSaveFloor oldFloor(text);
    bench_limit_floor::SaveFloor limitFloor(text);
    bench_ratios::SideBySide sides;
    for (auto _ : state) {
        sides.figure([&] {
            documents.saveProject(*project, folder);
            documents.orbFile(*project, folder, target);
        });
        state.PauseTiming();
        sides.oldFloor([&] { benchmark::DoNotOptimize(oldFloor.run()); });
        sides.limitFloor([&] { benchmark::DoNotOptimize(limitFloor.run()); });
        state.ResumeTiming();
    }
    sides.report(state);
    reportDocumentBytes(state);
}

void BM_SaveFloorDump(benchmark::State& state) {
    const nlohmann::json parsed = nlohmann::json::parse(package(state.range(0)).text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(parsed.dump(2));
    }
    reportDocumentBytes(state);
}

void BM_SaveFloorDeflate(benchmark::State& state) {
    const std::string& text = package(state.range(0)).text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(deflated(text));
    }
    reportDocumentBytes(state);
}

void BM_OpenLimitFloor(benchmark::State& state) {
    const std::string& text = package(state.range(0)).text;
    const bench_limit_floor::Deflated limitDeflated = bench_limit_floor::libdeflateDeflated(text);
    bench_limit_floor::OpenFloor floor(limitDeflated, text.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(floor.run());
    }
    reportDocumentBytes(state);
}

void BM_SaveLimitFloor(benchmark::State& state) {
    bench_limit_floor::SaveFloor floor(package(state.range(0)).text);
    for (auto _ : state) {
        benchmark::DoNotOptimize(floor.run());
    }
    reportDocumentBytes(state);
}

// Every size after a warm-up and over several runs, as the combine is measured: the first runs
// of a process take their memory fresh from the system, and at 100k, where one run fills the
// measuring time, they would be the whole figure.
void taskCounts(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(1000)
        ->Arg(10000)
        ->Arg(100000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinWarmUpTime(3.0)
        ->MinTime(3.0);
}

BENCHMARK(BM_OpenPackage)->Apply(taskCounts);
BENCHMARK(BM_OpenFloorInflate)->Apply(taskCounts);
BENCHMARK(BM_OpenFloorSaxParse)->Apply(taskCounts);
BENCHMARK(BM_OpenFloorRapidSaxParse)->Apply(taskCounts);
BENCHMARK(BM_OpenLimitFloor)->Apply(taskCounts);
BENCHMARK(BM_SavePackage)->Apply(taskCounts);
BENCHMARK(BM_SaveFloorDump)->Apply(taskCounts);
BENCHMARK(BM_SaveFloorDeflate)->Apply(taskCounts);
BENCHMARK(BM_SaveLimitFloor)->Apply(taskCounts);

}  // namespace

// Packages, documents and working folders take some 500 MB at the largest size; they go with
// the private folder at the end of the run.
int main(int argc, char** argv) {
    return bench_main::runInPrivateFolder(argc, argv);
}
