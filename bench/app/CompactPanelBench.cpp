#include "support/MonitorHarness.h"
#include "views/compact/CompactPanelView.h"

#include <QApplication>
#include <QCoro/QCoroTask>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr std::uint64_t GiB = 1ull << 30;

// A busy laptop with the helper: every section shown, every sensor row present, eight cores.
void fill(FakeParts& fakes) {
    fakes.cpu->next.perCore = QVector<double>(8, 0.3);
    fakes.ram->next = {16 * GiB, 9 * GiB, 2 * GiB, 3 * GiB, GiB, 4 * GiB, 3 * GiB};
    fakes.battery->next = {true, 64, false, false, 200, 91, 310, 9.5, 11.4, "Normal", 5000, 4550};
    fakes.disk->next.totalBytes = 512 * static_cast<std::int64_t>(GiB);
    fakes.disk->next.usedBytes = 300 * static_cast<std::int64_t>(GiB);
    fakes.disk->next.availableBytes = 212 * static_cast<std::int64_t>(GiB);
    fakes.disk->next.categories = {{"apps", "Applications", 20 * std::int64_t(GiB), "app.badge"},
                                   {"docs", "Documents", 4 * std::int64_t(GiB), "doc"}};
    fakes.gpu->next = {0.2, GiB, 4 * GiB, "GPU"};
    fakes.sensors->next = {61, 50, 33, 40, 38, 25, 45, 12, 8, 30, 0, {{0, 1800}, {1, 1900}}, {}};
    fakes.batteryHealth->history = {98, 96, 95};
    fakes.batteryHealth->trend = QStringLiteral("4mo ago: 98% \u2192 now: 95%");
}

// The next poll's figures: every value moves, as on a busy machine.
void step(FakeParts& fakes, int tick) {
    const double wave = 0.5 + 0.4 * std::sin(tick / 3.0);
    fakes.cpu->next.overall = wave;
    for (qsizetype i = 0; i < fakes.cpu->next.perCore.size(); ++i) {
        fakes.cpu->next.perCore[i] = std::fmod(wave + 0.1 * static_cast<double>(i), 1.0);
    }
    fakes.ram->next.usedBytes = static_cast<std::uint64_t>(wave * 16 * GiB);
    fakes.network->next.uploadSpeed = 20000 * wave;
    fakes.network->next.downloadSpeed = 900000 * wave;
    fakes.gpu->next.utilization = 1 - wave;
    fakes.sensors->next.cpuTempCelsius = 50 + 20 * wave;
    // The fake hands its list over to the poll, so each poll gets a new one.
    fakes.processes->next.topByCpu.clear();
    for (int i = 0; i < 5; ++i) {
        fakes.processes->next.topByCpu.append(
            {i + 1, "process " + QString::number(i), 10.0 * wave + i, 0});
    }
}

// One poll of fake parts and, with the panel open, its update and repaint: the difference
// between the two runs is what an open compact panel costs a poll.
void BM_CompactPanelPoll(benchmark::State& state) {
    MonitorHarness harness;
    fill(harness.fakes);
    harness.monitor->setHelperAvailable(true);
    std::unique_ptr<CompactPanelView> panel;
    if (state.range(0) != 0) {
        panel = std::make_unique<CompactPanelView>(*harness.monitor, harness.settings);
        panel->resize(320, 520);
        panel->show();
    }
    int tick = 0;
    // Full histories first, as after a minute of polling.
    for (; tick < 60; ++tick) {
        step(harness.fakes, tick);
        QCoro::waitFor(harness.monitor->poll());
    }
    QCoreApplication::processEvents();
    for (auto _ : state) {
        step(harness.fakes, ++tick);
        QCoro::waitFor(harness.monitor->poll());
        QCoreApplication::processEvents();  // the repaint of what changed
    }
    state.counters["budget_us"] = 3000;
}
BENCHMARK(BM_CompactPanelPoll)
    ->ArgName("panelOpen")
    ->Arg(0)
    ->Arg(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
