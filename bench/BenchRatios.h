#pragma once

#include <chrono>
#include <string>

#include <benchmark/benchmark.h>

// A figure beside its floors measured in the same repetition, so that a busy machine slows
// both alike: each iteration times the figure and then, with the benchmark's clock paused, each
// floor once. Reported as counters: each floor in milliseconds and the figure as a multiple
// of it.
namespace bench_ratios {

template <class Work>
double millisecondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

class SideBySide {
public:
    void addFigure(double milliseconds) { figure_ += milliseconds; }
    void addOldFloor(double milliseconds) { oldFloor_ += milliseconds; }
    void addLimitFloor(double milliseconds) { limitFloor_ += milliseconds; }

    void report(benchmark::State& state) const {
        const auto runs = static_cast<double>(state.iterations());
        if (runs == 0 || oldFloor_ <= 0 || limitFloor_ <= 0) {
            return;
        }
        state.counters["ms"] = figure_ / runs;
        state.counters["old_floor_ms"] = oldFloor_ / runs;
        state.counters["limit_floor_ms"] = limitFloor_ / runs;
        state.counters["x_old_floor"] = figure_ / oldFloor_;
        state.counters["x_limit_floor"] = figure_ / limitFloor_;
    }

private:
    double figure_ = 0;
    double oldFloor_ = 0;
    double limitFloor_ = 0;
};

}  // namespace bench_ratios
