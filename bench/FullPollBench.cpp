#include "InlineProviders.h"
#include "ProcessReference.h"
#include "ReferencePoll.h"
#include "platform/linux/process/LinuxProcessSource.h"
#include "providers/ProcessRanking.h"

#include <benchmark/benchmark.h>

namespace {

// Everything one poll reads from the kernel, every provider included, with the process scan
// run in line rather than on its worker so only the sampling work is timed.
void BM_FullPoll(benchmark::State& state) {
    SleepingChildren extra(static_cast<int>(state.range(0)));
    InlineProviders providers;
    ProcessRanking processes(makeLinuxProcessSource(), providers.clock);
    processes.sample();
    for (auto _ : state) {
        providers.sampleAll();
        benchmark::DoNotOptimize(processes.sample());
    }
}
BENCHMARK(BM_FullPoll)->Arg(0)->Arg(600)->Unit(benchmark::kMicrosecond);

// The same reads at their physical limit: the kernel files on kept descriptors plus the
// process table's fstatat and pread per process.
void BM_FullReference(benchmark::State& state) {
    SleepingChildren extra(static_cast<int>(state.range(0)));
    std::vector<std::string> files = referencePollFiles();
    files.push_back("/proc/diskstats");
    ReferencePoll poll(files);
    ReferenceScan processes;
    processes.run();
    for (auto _ : state) {
        benchmark::DoNotOptimize(poll.run());
        benchmark::DoNotOptimize(processes.run());
    }
    state.counters["processes"] = static_cast<double>(processes.processes());
}
BENCHMARK(BM_FullReference)->Arg(0)->Arg(600)->Unit(benchmark::kMicrosecond);

}  // namespace
