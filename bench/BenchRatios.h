#pragma once

#include <chrono>
#include <ctime>
#include <utility>

#include <benchmark/benchmark.h>

// A figure beside its floors measured in the same repetition, so that a busy machine slows
// both alike: each iteration times the figure and then, with the benchmark's clock paused, each
// floor once. Reported as counters: each in milliseconds and the figure as a multiple of each
// floor, by the wall clock and by the process's CPU time (which a machine shared with other
// work disturbs less; the figure's work on other threads counts too).
namespace bench_ratios {

class SideBySide {
public:
    template <class Work>
    void figure(Work&& work) {
        figure_.add(std::forward<Work>(work));
    }
    template <class Work>
    void oldFloor(Work&& work) {
        oldFloor_.add(std::forward<Work>(work));
    }
    template <class Work>
    void limitFloor(Work&& work) {
        limitFloor_.add(std::forward<Work>(work));
    }

    void report(benchmark::State& state) const {
        const auto runs = static_cast<double>(state.iterations());
        if (runs == 0 || oldFloor_.wall <= 0 || limitFloor_.wall <= 0) {
            return;
        }
        state.counters["ms"] = figure_.wall / runs;
        state.counters["old_floor_ms"] = oldFloor_.wall / runs;
        state.counters["limit_floor_ms"] = limitFloor_.wall / runs;
        state.counters["x_old_floor"] = figure_.wall / oldFloor_.wall;
        state.counters["x_limit_floor"] = figure_.wall / limitFloor_.wall;
        state.counters["cpu_ms"] = figure_.cpu / runs;
        state.counters["limit_floor_cpu_ms"] = limitFloor_.cpu / runs;
        state.counters["x_old_floor_cpu"] = figure_.cpu / oldFloor_.cpu;
        state.counters["x_limit_floor_cpu"] = figure_.cpu / limitFloor_.cpu;
    }

private:
    static double cpuMilliseconds() {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    }

    struct Total {
        double wall = 0;
        double cpu = 0;

        template <class Work>
        void add(Work&& work) {
            const double cpuStart = cpuMilliseconds();
            const auto start = std::chrono::steady_clock::now();
            work();
            wall +=
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            cpu += cpuMilliseconds() - cpuStart;
        }
    };

    Total figure_;
    Total oldFloor_;
    Total limitFloor_;
};

}  // namespace bench_ratios
