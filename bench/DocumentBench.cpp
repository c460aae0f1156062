// Reading and writing project documents of 1k, 10k and 100k tasks the way packages are opened
// and saved, each beside its floor in the same run: nlohmann::json's SAX parse of the same text
// keeping nothing (what reading cannot avoid), the same with RapidJSON's reader (which documents
// are read with), nlohmann's parse into a document (the road not taken)
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

#include "BenchDocuments.h"
#include "BenchMain.h"
#include "LxOrbinDocument/Json/JsonProjectData.h"
#include "LxOrbinDocument/Mapper/DataMapService.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "platform/foundation/DateContext.h"
#include "platform/foundation/StandardFolders.h"

namespace {

using bench_documents::makeDocument;

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

// The text held in memory, as a package's document is read once it is inflated.
BENCHMARK_DEFINE_F(DocumentBench, ReadDocumentText)(benchmark::State& state) {
    const std::string& text = documentText(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(JsonProjectData::fromText(text));
    }
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

BENCHMARK_DEFINE_F(DocumentBench, RapidSaxParseBaseline)(benchmark::State& state) {
    const std::string& text = documentText(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench_documents::rapidSaxParseKeepingNothing(text));
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
BENCHMARK_REGISTER_F(DocumentBench, ReadDocumentText)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, SaxParseBaseline)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, RapidSaxParseBaseline)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, ParsedDocumentBaseline)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, WriteDocument)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, DumpBaseline)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, MapDocumentToProject)->Apply(taskCounts);
BENCHMARK_REGISTER_F(DocumentBench, MapProjectToDocument)->Apply(taskCounts);

}  // namespace

int main(int argc, char** argv) {
    return bench_main::runInPrivateFolder(argc, argv);
}
