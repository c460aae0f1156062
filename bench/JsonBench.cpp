// Writing and reading a document of 1k, 10k and 100k task records through the JSON coder, each
// beside its raw baseline: nlohmann::json's own parse of the same text (the work reading cannot
// avoid) and its own dump of that parsed document.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/json/Value.h"
#include "platform/json/Writer.h"

namespace {

using namespace platform::json;

// A task with the mix of fields the project document has: numbers, texts, a date, children.
struct Task {
    std::int64_t uid = 0;
    std::string name;
    std::optional<std::string> note;
    float work = 0;
    double cost = 0;
    bool done = false;
    platform::Date start;
    std::vector<std::int64_t> predecessors;
    std::optional<std::vector<Task>> childs;

    void encode(Writer& writer) const {
        writer.encodeObject([&](ObjectWriter& object) {
            object.encode("Uid", uid);
            object.encode("Name", name);
            object.encode("Note", note);
            object.encode("Work", work);
            object.encode("Cost", cost);
            object.encode("Done", done);
            object.encode("Start", start);
            object.encode("Preds", predecessors);
            object.encode("Childs", childs);
        });
    }

    static Task decode(const Value& value) {
        const auto object = value.object();
        return Task{object.decode<std::int64_t>("Uid"),
                    object.decode<std::string>("Name"),
                    object.decode<std::optional<std::string>>("Note"),
                    object.decode<float>("Work"),
                    object.decode<double>("Cost"),
                    object.decode<bool>("Done"),
                    object.decode<platform::Date>("Start"),
                    object.decode<std::vector<std::int64_t>>("Preds"),
                    object.decode<std::optional<std::vector<Task>>>("Childs")};
    }
};

// Groups of 100 tasks under one root, so the tree is wide and three levels deep.
Task project(std::int64_t tasks) {
    Task root{0, "Project", std::nullopt, 0, 0, false, platform::Date(), {}, std::vector<Task>{}};
    for (std::int64_t uid = 1; uid <= tasks; ++uid) {
        Task task{uid,
                  "Task " + std::to_string(uid) + " / design",
                  uid % 3 == 0 ? std::optional<std::string>("Check the drawings") : std::nullopt,
                  static_cast<float>(uid % 40) * 0.5f,
                  static_cast<double>(uid) * 12.75,
                  uid % 2 == 0,
                  platform::Date(7.0e8 + static_cast<double>(uid) * 3600.0),
                  {uid - 1},
                  std::nullopt};
        if (uid % 100 == 1) {
            task.childs.emplace();
            root.childs->push_back(std::move(task));
        } else {
            root.childs->back().childs->push_back(std::move(task));
        }
    }
    return root;
}

std::string documentText(std::int64_t tasks) {
    return Encoder(DateEncodingStrategy::iso8601(), Formatting::pretty).encode(project(tasks));
}

void BM_EncodeDocument(benchmark::State& state) {
    const Task document = project(state.range(0));
    const Encoder encoder(DateEncodingStrategy::iso8601(), Formatting::pretty);
    for (auto _ : state) {
        benchmark::DoNotOptimize(encoder.encode(document));
    }
}
BENCHMARK(BM_EncodeDocument)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DumpParsedDocumentBaseline(benchmark::State& state) {
    const nlohmann::json parsed = nlohmann::json::parse(documentText(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(parsed.dump(2));
    }
}
BENCHMARK(BM_DumpParsedDocumentBaseline)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_DecodeDocument(benchmark::State& state) {
    const std::string text = documentText(state.range(0));
    const Decoder decoder;
    for (auto _ : state) {
        benchmark::DoNotOptimize(decoder.decode<Task>(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_DecodeDocument)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ParseDocumentBaseline(benchmark::State& state) {
    const std::string text = documentText(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(nlohmann::json::parse(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseDocumentBaseline)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
