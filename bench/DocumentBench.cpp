// Reading and writing project documents of 1k, 10k and 100k tasks the way packages are opened
// and saved, each beside its floor in the same run: nlohmann::json's SAX parse of the same text
// keeping nothing (what reading cannot avoid), its parse into a document (the road not taken)
// and its dump of that document (what writing cannot avoid). Mapping the read document to a
// project and the project back to a document are the other half of opening and saving; they
// read as ratios to reading and writing the text.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbTaskWork.h"
#include "platform/foundation/DateContext.h"
#include "platform/foundation/StandardFolders.h"

namespace {

using platform::Date;

constexpr double kDay = 86400.0;
// 2024-01-01 00:00 in Berlin.
const Date kProjectStart = Date::fromUnix(1704063600.0);

JsonTask makeTask(std::int64_t uid, std::int64_t members) {
    JsonTask task;
    const auto day = static_cast<double>(uid % 300);
    task.uid = uid;
    task.type = uid % 50 == 0 ? JsonTaskType::milestone : JsonTaskType::common;
    task.name = "Task " + std::to_string(uid) + " / lay the foundations";
    task.start = kProjectStart.addingTimeInterval(day * kDay);
    task.finish =
        kProjectStart.addingTimeInterval((day + 1.0 + static_cast<double>(uid % 5)) * kDay);
    task.completedPercent = uid % 101;
    task.resources =
        std::vector<JsonResourceAssignment>{{.peopleId = uid % members + 1, .workload = 100},
                                            {.peopleId = (uid + 7) % members + 1, .workload = 50}};
    if (uid % 4 == 0) {
        task.work = JsonWorkData(OrbTaskWork::fixAmount(static_cast<float>(uid % 40) * 0.5f));
    }
    task.physicalCompletedPercentage = uid % 100;
    task.contactorId = uid % members + 1;
    task.cost = JsonCost();
    task.cost->materialsCost = static_cast<float>(uid % 1000) * 1.25f;
    task.colorIndex = uid % 12;
    if (uid % 3 == 0) {
        task.notes = "Check the drawings with the site manager before starting.";
    }
    task.predecessors = std::vector<std::int64_t>{uid - 1};
    if (uid % 10 == 0) {
        task.dateBaseline = JsonDateBaseline(task.start->addingTimeInterval(9 * 3600.0),
                                             task.finish->addingTimeInterval(17 * 3600.0));
        task.url1 = JsonTaskUrl{.title = "Drawings",
                                .url = "https://example.org/plans/" + std::to_string(uid)};
    }
    task.collapsed = false;
    return task;
}

// Groups of 100 tasks under one root: wide, three levels deep, like a real plan.
JsonProjectData makeDocument(std::int64_t tasks) {
    constexpr std::int64_t kMembers = 20;
    JsonProject project("0F5B4C2A-7D1E-4C39-9A0B-2E6F8D3C1A74", "Bench");
    project.peoples.emplace();
    for (std::int64_t id = 1; id <= kMembers; ++id) {
        project.peoples->push_back(JsonPeople{.id = id,
                                              .name = "Member " + std::to_string(id),
                                              .photoId = "photo-" + std::to_string(id),
                                              .costRate = 42.5f});
    }
    project.root = JsonTask();
    project.root->uid = 0;
    project.root->type = JsonTaskType::project;
    project.root->childs.emplace();
    for (std::int64_t uid = 1; uid <= tasks; ++uid) {
        JsonTask task = makeTask(uid, kMembers);
        if (uid % 100 == 1) {
            task.childs.emplace();
            project.root->childs->push_back(std::move(task));
        } else {
            project.root->childs->back().childs->push_back(std::move(task));
        }
    }
    JsonProjectData document;
    document._data = std::move(project);
    return document;
}

// The same document's text for every benchmark of one size.
const std::string& documentText(std::int64_t tasks) {
    static std::map<std::int64_t, std::string> texts;
    auto& text = texts[tasks];
    if (text.empty()) {
        text = makeDocument(tasks).jsonString().value();
    }
    return text;
}

class DocumentBench : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override {
        pinned_ = std::make_unique<platform::ScopedTimeZoneAndLocale>("Europe/Berlin", "en_US");
    }
    void TearDown(const benchmark::State&) override { pinned_.reset(); }

private:
    std::unique_ptr<platform::ScopedTimeZoneAndLocale> pinned_;
};

BENCHMARK_DEFINE_F(DocumentBench, ReadDocumentFile)(benchmark::State& state) {
    const std::string& text = documentText(state.range(0));
    const auto path = platform::privateTemporaryFolder() / "bench-project.moc";
    std::ofstream(path, std::ios::binary) << text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(JsonProjectData::fromFilePath(path.string()));
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK_DEFINE_F(DocumentBench, SaxParseBaseline)(benchmark::State& state) {
    const std::string& text = documentText(state.range(0));
    for (auto _ : state) {
        // The parser with a handler that keeps nothing.
        benchmark::DoNotOptimize(nlohmann::json::accept(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK_DEFINE_F(DocumentBench, ParsedDocumentBaseline)(benchmark::State& state) {
    const std::string& text = documentText(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(nlohmann::json::parse(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

BENCHMARK_DEFINE_F(DocumentBench, WriteDocument)(benchmark::State& state) {
    const JsonProjectData document = makeDocument(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(document.jsonString());
    }
}

BENCHMARK_DEFINE_F(DocumentBench, DumpBaseline)(benchmark::State& state) {
    const nlohmann::json parsed = nlohmann::json::parse(documentText(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(parsed.dump(2));
    }
}

BENCHMARK_DEFINE_F(DocumentBench, MapDocumentToProject)(benchmark::State& state) {
    const JsonProjectData document = makeDocument(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(DataMapService::map(*document._data));
    }
}

BENCHMARK_DEFINE_F(DocumentBench, MapProjectToDocument)(benchmark::State& state) {
    const auto project = DataMapService::map(*makeDocument(state.range(0))._data);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DataMapService::map(*project));
    }
}

void taskCounts(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
}

BENCHMARK_REGISTER_F(DocumentBench, ReadDocumentFile)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, SaxParseBaseline)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, ParsedDocumentBaseline)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, WriteDocument)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, DumpBaseline)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, MapDocumentToProject)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, MapProjectToDocument)->Apply(taskCounts);

}  // namespace

BENCHMARK_MAIN();
