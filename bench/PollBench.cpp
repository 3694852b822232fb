#include "ReferencePoll.h"
#include "core/Clock.h"
#include "linux_monitor/LinuxProviders.h"
#include "linux_monitor/LinuxThermalStateReader.h"
#include "providers/CpuProvider.h"
#include "providers/RamProvider.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

// One poll's synchronous sampling of CPU, memory, network and the thermal state, as the
// monitor runs it on the main thread.
void BM_ProviderPoll(benchmark::State& state) {
    SystemClock clock;
    auto cpu = makeLinuxCpuProvider(clock);
    auto ram = makeLinuxRamProvider(clock);
    auto network = makeLinuxNetworkProvider(clock);
    auto thermal = makeLinuxThermalStateReader(clock);
    for (auto _ : state) {
        benchmark::DoNotOptimize(cpu->sample());
        benchmark::DoNotOptimize(ram->sample());
        benchmark::DoNotOptimize(network->sample());
        benchmark::DoNotOptimize(thermal->read());
    }
}
BENCHMARK(BM_ProviderPoll)->Unit(benchmark::kMicrosecond);

// The same kernel reads at their physical limit.
void BM_ReferencePoll(benchmark::State& state) {
    ReferencePoll reference(referencePollFiles());
    for (auto _ : state) {
        benchmark::DoNotOptimize(reference.run());
    }
}
BENCHMARK(BM_ReferencePoll)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // the public-address fetch needs an application object
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
