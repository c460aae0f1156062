// Combining project packages the whole way, as the application does: ten of 1k and 10k tasks
// each, and two of 1k to 100k tasks, each package dropped on the engine (opened into a working
// folder, validated, listed), then one combine on a worker thread that builds, saves and packs
// the combined project.
//
// Each combine is timed beside two floors, measured after it in the same repetition and
// reported as counters (x_old_floor, x_limit_floor). The old floor: for each source, inflating
// its "project.moc" with zlib and a SAX parse of it with nlohmann's parser that keeps nothing;
// for the output, nlohmann's dump of the combined document and zlib's deflate. The limit floor
// (BenchLimitFloor.h): libdeflate and simdjson On-Demand for each source, RapidJSON's
// PrettyWriter and libdeflate for the output. The goals: two of 100k within 2.5x the limit
// floor, and 10x the tasks at most 10.5x the time.
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
#include <utility>
#include <vector>
#include <zlib.h>

#include <benchmark/benchmark.h>

#include "BenchDeflate.h"
#include "BenchDocuments.h"
#include "BenchLimitFloor.h"
#include "BenchMain.h"
#include "BenchRatios.h"
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
// a number of them, found by combining once.
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
std::optional<LxFile> combineRoad(const fs::path& archive, int sources) {
    const AppEvents events;
    const auto engine =
        CombineManager::create(events, std::make_shared<const OrbinCombineDocuments>());
    int dismissals = 0;
    const platform::reactive::AnyCancellable dismissed =
        events.hudDismissingRequest()->subject().sink([&](auto) { ++dismissals; });
    for (int number = 0; number < sources; ++number) {
        const int before = dismissals;
        engine->addSourceProject(archive);
        if (!platform::dispatch::runUntil([&] { return dismissals > before; },
                                          std::chrono::minutes(1))) {
            return std::nullopt;
        }
        platform::dispatch::runUntilIdle();
    }
    if (engine->source()->projects().size() != static_cast<std::size_t>(sources)) {
        return std::nullopt;
    }
    std::optional<LxFile> package;
    std::thread worker([&] { package = engine->combine(); });
    worker.join();
    return package;
}

const Road& road(std::int64_t tasks, int sources) {
    static std::map<std::pair<std::int64_t, int>, Road> roads;
    Road& made = roads[{tasks, sources}];
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

    if (const std::optional<LxFile> combined = combineRoad(made.archive, sources)) {
        const fs::path unpacked =
            benchFolder() / ("combined-" + std::to_string(tasks) + "-" + std::to_string(sources));
        LxZip::unzipFile(combined->url(), unpacked, true, std::nullopt);
        made.combinedText = readFile(unpacked / "project.moc");
    }
    removeEngineItems();
    return made;
}

// The old floor of a combine: each source inflated with zlib and parsed by nlohmann's SAX
// parser keeping nothing, the combined document dumped by nlohmann and deflated by zlib.
class OldCombineFloor {
public:
    explicit OldCombineFloor(const Road& made)
        : compressed_(deflated(made.sourceText)),
          restored_(made.sourceText.size()),
          combined_(nlohmann::json::parse(made.combinedText)) {}

    void run(int sources) {
        for (int number = 0; number < sources; ++number) {
            uLongf size = restored_.size();
            uncompress(restored_.data(), &size, compressed_.data(), compressed_.size());
            benchmark::DoNotOptimize(nlohmann::json::accept(
                restored_.begin(), restored_.begin() + static_cast<std::ptrdiff_t>(size)));
        }
        benchmark::DoNotOptimize(deflated(combined_.dump(2)));
    }

private:
    std::vector<Bytef> compressed_;
    std::vector<Bytef> restored_;
    nlohmann::json combined_;
};

// The limit floor of a combine: the open floor of each source and the save floor of the
// combined document.
class LimitCombineFloor {
public:
    explicit LimitCombineFloor(const Road& made)
        : deflated_(bench_limit_floor::libdeflateDeflated(made.sourceText)),
          open_(deflated_, made.sourceText.size()),
          save_(made.combinedText) {}

    void run(int sources) {
        for (int number = 0; number < sources; ++number) {
            benchmark::DoNotOptimize(open_.run());
        }
        benchmark::DoNotOptimize(save_.run());
    }

private:
    bench_limit_floor::Deflated deflated_;
    bench_limit_floor::OpenFloor open_;
    bench_limit_floor::SaveFloor save_;
};

void BM_CombineRoad(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const auto sources = static_cast<int>(state.range(1));
    const Road& made = road(state.range(0), sources);
    if (made.combinedText.empty()) {
        state.SkipWithError("the combine of the sources failed");
        return;
    }
    OldCombineFloor oldFloor(made);
    LimitCombineFloor limitFloor(made);
    bench_ratios::SideBySide sides;
    for (auto _ : state) {
        std::optional<LxFile> package;
        sides.figure([&] { package = combineRoad(made.archive, sources); });
        if (!package) {
            state.SkipWithError("the combine of the sources failed");
            break;
        }
        state.PauseTiming();
        platform::dispatch::waitForQuiescence(std::chrono::seconds(10));
        removeEngineItems();
        sides.oldFloor([&] { oldFloor.run(sources); });
        sides.limitFloor([&] { limitFloor.run(sources); });
        state.ResumeTiming();
    }
    sides.report(state);
    state.counters["combined_MB"] = static_cast<double>(made.combinedText.size()) / (1 << 20);
}

void BM_CombineRoadFloor(benchmark::State& state) {
    const auto sources = static_cast<int>(state.range(1));
    OldCombineFloor floor(road(state.range(0), sources));
    for (auto _ : state) {
        floor.run(sources);
    }
}

void BM_CombineRoadLimitFloor(benchmark::State& state) {
    const auto sources = static_cast<int>(state.range(1));
    LimitCombineFloor floor(road(state.range(0), sources));
    for (auto _ : state) {
        floor.run(sources);
    }
}

// {tasks per source, sources}.
void tasksAndSources(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({1000, 10})
        ->Args({10000, 10})
        ->Args({1000, 2})
        ->Args({10000, 2})
        ->Args({100000, 2})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

BENCHMARK(BM_CombineRoad)->Apply(tasksAndSources);
BENCHMARK(BM_CombineRoadFloor)->Apply(tasksAndSources);
BENCHMARK(BM_CombineRoadLimitFloor)->Apply(tasksAndSources);

}  // namespace

int main(int argc, char** argv) {
    return bench_main::runInPrivateFolder(argc, argv);
}
