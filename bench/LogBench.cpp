// The cost of one warning line, the kind the copy operations write once per unmatched task,
// against the raw copy of its message.
#include <string>

#include <benchmark/benchmark.h>

#include "LxLog/Log.h"

namespace {

const platform::CallSite kSite("copyTask()", "/src/LxOrbinDocument/Model/Task/Copy.cpp", 120);
const std::string kMessage = "Member 42 of task 1234 not found in the target team";

void BM_FormatWarningLine(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Log::formatLine(Log::Level::warning, kMessage, kSite));
    }
}
BENCHMARK(BM_FormatWarningLine);

void BM_BaselineCopyMessage(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::string(kMessage));
    }
}
BENCHMARK(BM_BaselineCopyMessage);

}  // namespace

BENCHMARK_MAIN();
