#pragma once

#include <benchmark/benchmark.h>

#include "platform/foundation/ProcessLifetime.h"

namespace bench_main {

// The main() of a benchmark that works in the process's private temporary folder, as the
// application does: the folder and whatever a run leaves in it go when the run ends, on a normal
// end and on Ctrl-C alike, and folders of earlier runs that were killed go at the start.
inline int runInPrivateFolder(int argc, char** argv) {
    const platform::ProcessLifetime lifetime;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench_main
