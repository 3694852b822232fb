#include "ProcessReference.h"
#include "core/Clock.h"
#include "linux_monitor/LinuxProviders.h"
#include "platform/linux/process/LinuxProcessSource.h"
#include "providers/ProcessProvider.h"
#include "providers/ProcessRanking.h"

#include <QCoro/QCoroTask>

#include <benchmark/benchmark.h>

namespace {

// One scan as the provider's worker runs it: the table, the names (resolved on the first scan,
// kept after), the CPU percentages and the two top lists.
void BM_ProcessScan(benchmark::State& state) {
    SleepingChildren extra(static_cast<int>(state.range(0)));
    SystemClock clock;
    ProcessRanking ranking(makeLinuxProcessSource(), clock);
    ranking.sample();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ranking.sample());
    }
    ReferenceScan reference;
    reference.run();
    state.counters["processes"] = static_cast<double>(reference.processes());
}
BENCHMARK(BM_ProcessScan)->Arg(0)->Arg(600)->Unit(benchmark::kMicrosecond);

// The same scan as the poll awaits it: handed to the worker thread and back.
void BM_ProcessProviderSample(benchmark::State& state) {
    SleepingChildren extra(static_cast<int>(state.range(0)));
    SystemClock clock;
    auto provider = makeLinuxProcessProvider(clock);
    QCoro::waitFor(provider->sample());
    for (auto _ : state) {
        benchmark::DoNotOptimize(QCoro::waitFor(provider->sample()));
    }
}
BENCHMARK(BM_ProcessProviderSample)->Arg(0)->Arg(600)->Unit(benchmark::kMicrosecond);

void BM_ReferenceProcessScan(benchmark::State& state) {
    SleepingChildren extra(static_cast<int>(state.range(0)));
    ReferenceScan reference;
    reference.run();
    for (auto _ : state) {
        benchmark::DoNotOptimize(reference.run());
    }
    state.counters["processes"] = static_cast<double>(reference.processes());
}
BENCHMARK(BM_ReferenceProcessScan)->Arg(0)->Arg(600)->Unit(benchmark::kMicrosecond);

}  // namespace
