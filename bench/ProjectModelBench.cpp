// Building a project of realistic and large sizes with a chain of links and refreshing its
// derived group values leaf to root, as reading a document does. The tree keeps three levels
// whatever its size (groups of ten sub-groups of ten tasks), so every cost should grow linearly:
// 10x the tasks at most 12x the time.
//
// The baseline does what no model can avoid for the same tasks: one allocation per task and one
// working-day count per task in the same calendar.
#include <cstdint>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchProjects.h"
#include "LxOrbinDocument/Model/Project/OrbProject.h"
#include "LxOrbinDocument/Model/Task/OrbProjectTask.h"
#include "LxOrbinDocument/Model/Task/OrbTaskLinks.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/DateContext.h"
#include "utility/DateUnits.h"
#include "utility/LxTreeNode.h"

namespace {

using bench_projects::monday;
using bench_projects::Task;

std::shared_ptr<OrbProject> buildProject(std::int64_t leaves) {
    auto project = OrbProject::create("bench", "Bench");
    project->initializeCalendar(OrbProjectCalendar::create(monday(), monday(), ""));
    bench_projects::addGroupedLeafChain(*project, leaves, [](const Task& leaf, std::int64_t index) {
        leaf->setCompletedPercentage(index % 101);
        leaf->setWork(OrbTaskWork::fixDailyWork(2.0f));
    });
    return project;
}

void refreshLeafToRoot(const Task& root) {
    lx::treeNavigateFromLeaf(root, [](const Task& task) {
        task->refreshCalculatablePropertiesOfTaskGroup(true, true, false, false, false, false);
    });
    lx::treeNavigateFromLeaf(root, [](const Task& task) {
        task->refreshCalculatablePropertiesOfTaskGroup(false, false, true, true, true, true);
    });
}

void BM_BuildLinkAndRefresh(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    for (auto _ : state) {
        const auto project = buildProject(state.range(0));
        refreshLeafToRoot(project->root());
        benchmark::DoNotOptimize(project->root()->completePercentage());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BuildLinkAndRefresh)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_RefreshOnly(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const auto project = buildProject(state.range(0));
    for (auto _ : state) {
        refreshLeafToRoot(project->root());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RefreshOnly)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

struct PlainTask {
    std::int64_t days = 0;
    std::vector<std::shared_ptr<PlainTask>> childs;
};

void BM_BaselineAllocateAndCountDays(benchmark::State& state) {
    const platform::ScopedTimeZoneAndLocale pinned("Europe/Berlin", "en_US");
    const auto calendar = OrbProjectCalendar::create(monday(), monday(), "");
    for (auto _ : state) {
        auto root = std::make_shared<PlainTask>();
        for (std::int64_t index = 0; index < state.range(0); ++index) {
            const platform::Date start = monday() + LxDays(index % 30);
            auto task = std::make_shared<PlainTask>();
            task->days = calendar->countOfWorkingDays(start, start + LxDays(3));
            root->childs.push_back(std::move(task));
        }
        benchmark::DoNotOptimize(root);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BaselineAllocateAndCountDays)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

BENCHMARK_MAIN();
