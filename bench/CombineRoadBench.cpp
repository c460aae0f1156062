// Combining ten project packages of 1k and 10k tasks each the whole way, as the application
// does: each package dropped on the engine (opened into a working folder, validated, listed),
// then one combine on a worker thread that builds, saves and packs the combined project.
//
// The floor, in the same run, is what no such road can avoid: for each source, inflating its
// "project.moc" and a SAX parse of it that keeps nothing; for the output, a plain dump of the
// combined document and deflating it. The goal is within 3x the floor, and 10x the tasks at
// most 12x the time.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include <zlib.h>

#include <benchmark/benchmark.h>

#include "BenchDeflate.h"
#include "BenchDocuments.h"
#include "BenchMain.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "app/manager/AppEvents.h"
#include "app/manager/CombineManager.h"
#include "app/manager/OrbinCombineDocuments.h"
#include "folder/LxFile.h"
#include "platform/dispatch/MainQueue.h"
#include "platform/dispatch/Quiescence.h"
#include "platform/foundation/DateContext.h"
#include "platform/foundation/StandardFolders.h"
#include "platform/reactive/AnyCancellable.h"
#include "zip/LxZip.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSources = 10;
constexpr int kPhotoSize = 4096;

fs::path benchFolder() {
    return platform::privateTemporaryFolder() / "combine-road-bench";
}

std::string readFile(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// One source package per size, with its document's text, and the document of the combine of
// ten of them, found by combining once.
struct Road {
    fs::path archive;
    std::string sourceText;
    std::string combinedText;
};

// Everything the engine left in the temporary folder: working folders and combined packages.
void removeEngineItems() {
    for (const auto& entry : fs::directory_iterator(platform::privateTemporaryFolder())) {
        if (entry.path() != benchFolder()) {
            fs::remove_all(entry.path());
        }
    }
}

// Drops every source on a fresh engine, waiting for each to be reported, and combines on a
// worker thread. None when a source was refused or the combine failed.
std::optional<LxFile> combineRoad(const fs::path& archive) {
    const AppEvents events;
    const auto engine =
        CombineManager::create(events, std::make_shared<const OrbinCombineDocuments>());
    int dismissals = 0;
    const platform::reactive::AnyCancellable dismissed =
        events.hudDismissingRequest()->subject().sink([&](auto) { ++dismissals; });
    for (int number = 0; number < kSources; ++number) {
        const int before = dismissals;
        engine->addSourceProject(archive);
        if (!platform::dispatch::runUntil([&] { return dismissals > before; },
                                          std::chrono::minutes(1))) {
            return std::nullopt;
        }
        platform::dispatch::runUntilIdle();
    }
    if (engine->source()->projects().size() != kSources) {
        return std::nullopt;
    }
    std::optional<LxFile> package;
    std::thread worker([&] { package = engine->combine(); });
    worker.join();
    return package;
}

const Road& road(std::int64_t tasks) {
    static std::map<std::int64_t, Road> roads;
    Road& made = roads[tasks];
    if (!made.archive.empty()) {
        return made;
    }
    const JsonProjectData document = bench_documents::makeDocument(tasks);
    made.sourceText = document.jsonString().value();
    const fs::path source = benchFolder() / ("source-" + std::to_string(tasks));
    fs::create_directories(source);
    std::vector<fs::path> files{source / "project.moc"};
    std::ofstream(files.front(), std::ios::binary) << made.sourceText;
    for (const JsonPeople& member : *document._data->peoples) {
        files.push_back(source / (*member.photoId + ".jpg"));
        std::ofstream(files.back(), std::ios::binary) << std::string(kPhotoSize, '\x5A');
    }
    made.archive = benchFolder() / ("source-" + std::to_string(tasks) + ".orb");
    LxZip::zipFiles(files, made.archive, std::nullopt);

    if (const std::optional<LxFile> combined = combineRoad(made.archive)) {
        const fs::path unpacked = benchFolder() / ("combined-" + std::to_string(tasks));
        LxZip::unzipFile(combined->url(), unpacked, true, std::nullopt);
        made.combinedText = readFile(unpacked / "project.moc");
    }
    removeEngineItems();
    return made;
}

void BM_CombineRoad(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const Road& made = road(state.range(0));
    if (made.combinedText.empty()) {
        state.SkipWithError("the combine of the sources failed");
        return;
    }
    for (auto _ : state) {
        const std::optional<LxFile> package = combineRoad(made.archive);
        if (!package) {
            state.SkipWithError("the combine of the sources failed");
            break;
        }
        state.PauseTiming();
        platform::dispatch::waitForQuiescence(std::chrono::seconds(10));
        removeEngineItems();
        state.ResumeTiming();
    }
    state.counters["combined_MB"] = static_cast<double>(made.combinedText.size()) / (1 << 20);
    state.SetComplexityN(state.range(0) * kSources);
}

void BM_CombineRoadFloor(benchmark::State& state) {
    const Road& made = road(state.range(0));
    const std::vector<Bytef> compressed = deflated(made.sourceText);
    std::vector<Bytef> restored(made.sourceText.size());
    const nlohmann::json combined = nlohmann::json::parse(made.combinedText);
    for (auto _ : state) {
        for (int number = 0; number < kSources; ++number) {
            uLongf size = restored.size();
            uncompress(restored.data(), &size, compressed.data(), compressed.size());
            // The parser with a handler that keeps nothing.
            benchmark::DoNotOptimize(nlohmann::json::accept(
                restored.begin(), restored.begin() + static_cast<std::ptrdiff_t>(size)));
        }
        benchmark::DoNotOptimize(deflated(combined.dump(2)));
    }
    state.SetComplexityN(state.range(0) * kSources);
}

void tasksPerSource(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(1000)
        ->Arg(10000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Complexity(benchmark::oN);
}

BENCHMARK(BM_CombineRoad)->Apply(tasksPerSource);
BENCHMARK(BM_CombineRoadFloor)->Apply(tasksPerSource);

}  // namespace

int main(int argc, char** argv) {
    return bench_main::runInPrivateFolder(argc, argv);
}
