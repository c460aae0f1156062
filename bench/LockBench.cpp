// The cost of entering a free lock, as the project model does for its team and calendar many
// times per task while mapping and combining, against a bare mutex.
#include <mutex>

#include <benchmark/benchmark.h>

#include "utility/LxGCDLocker.h"

namespace {

void BM_LockerSyncUncontended(benchmark::State& state) {
    const LxGCDLocker lock("project.team");
    int counter = 0;
    for (auto _ : state) {
        lock.sync([&counter] { ++counter; });
    }
    benchmark::DoNotOptimize(counter);
}
BENCHMARK(BM_LockerSyncUncontended);

void BM_BaselineMutexLock(benchmark::State& state) {
    std::mutex mutex;
    int counter = 0;
    for (auto _ : state) {
        const std::lock_guard guard(mutex);
        ++counter;
    }
    benchmark::DoNotOptimize(counter);
}
BENCHMARK(BM_BaselineMutexLock);

}  // namespace

BENCHMARK_MAIN();
