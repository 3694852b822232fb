#include "InlineProviders.h"
#include "linux_monitor/LinuxProviders.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <vector>

namespace {

double threadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double wallMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) {
        return 0;
    }
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[index];
}

// Per-poll samples of the calling thread's CPU time and of the wall time it was held, reported
// as p50 and p95 counters in microseconds.
class PollTimes {
public:
    template <typename Poll>
    void measure(Poll&& poll) {
        const double wallStart = wallMicroseconds();
        const double cpuStart = threadCpuMicroseconds();
        poll();
        cpu_.push_back(threadCpuMicroseconds() - cpuStart);
        wall_.push_back(wallMicroseconds() - wallStart);
    }
    void report(benchmark::State& state) const {
        state.counters["cpu_p50_us"] = percentile(cpu_, 0.50);
        state.counters["cpu_p95_us"] = percentile(cpu_, 0.95);
        state.counters["wall_p50_us"] = percentile(wall_, 0.50);
        state.counters["wall_p95_us"] = percentile(wall_, 0.95);
    }

private:
    std::vector<double> cpu_;
    std::vector<double> wall_;
};

// The main thread's share of one poll with every provider: what the monitor runs in line before
// handing the process scan to its worker (CPU, memory, network with the Wi-Fi name, battery,
// disk, GPU with the NVIDIA library where there is one, thermal state). The process scan, the
// sensor fetch and the lookups that run on their own threads are not counted; waiting for them
// would show in the wall time, work done for them on this thread in the CPU time.
void BM_MainThreadShareOfPoll(benchmark::State& state) {
    InlineProviders providers;
    PollTimes times;
    for (auto _ : state) {
        times.measure([&] { providers.sampleAll(); });
    }
    times.report(state);
}
BENCHMARK(BM_MainThreadShareOfPoll)->Iterations(500)->Unit(benchmark::kMicrosecond);

// The Wi-Fi name as a poll asks for it, for the primary interface whatever its kind, so the
// nl80211 path is measured on a machine without Wi-Fi too.
void BM_MainThreadShareOfWifiName(benchmark::State& state) {
    NetworkSources sources = makeLinuxNetworkSources();
    const QString primary = sources.routes->readDefaultRoutes().ipv4Interface;
    PollTimes times;
    for (auto _ : state) {
        times.measure([&] { benchmark::DoNotOptimize(sources.wifi->readSsid(primary)); });
    }
    times.report(state);
}
BENCHMARK(BM_MainThreadShareOfWifiName)->Iterations(500)->Unit(benchmark::kMicrosecond);

}  // namespace
