#include "exposition/Exposition.h"
#include "exposition/FixtureSnapshot.h"
#include "providers/ProcessRanking.h"

#include <benchmark/benchmark.h>

namespace {

// One scrape's snapshot on a machine of 140 processes: the ranking keeps its usual lists of
// the busiest and the largest, with 120 sensor channels and 16 cores beside them.
MetricsSnapshot scrapeSnapshot() {
    constexpr int kProcesses = 140;
    MetricsSnapshot snapshot = fixtureSnapshot(120);
    snapshot.cpu.perCore.fill(0.37, 16);
    snapshot.processes = {};
    for (int rank = 0; rank < ProcessRanking::kListLength && rank < kProcesses; ++rank) {
        snapshot.processes.topByCpu.append({.id = 4000 + rank,
                                            .name = QStringLiteral("org.gnome.Shell-%1").arg(rank),
                                            .cpuPercent = 87.5 / (rank + 1)});
        snapshot.processes.topByMemory.append(
            {.id = 5000 + rank,
             .name = QStringLiteral("firefox-esr \"content\" %1").arg(rank),
             .memoryBytes = 1'500'000'000ULL / (rank + 1)});
    }
    return snapshot;
}

void BM_RenderExposition(benchmark::State& state) {
    const auto format = static_cast<ExpositionFormat>(state.range(0));
    const MetricsSnapshot snapshot = scrapeSnapshot();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray text = renderExposition(snapshot, format);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.SetLabel(format == ExpositionFormat::openMetrics ? "OpenMetrics 1.0.0" : "text 0.0.4");
}
BENCHMARK(BM_RenderExposition)
    ->Arg(static_cast<int>(ExpositionFormat::prometheusText))
    ->Arg(static_cast<int>(ExpositionFormat::openMetrics))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
