#include "support/MonitorHarness.h"
#include "views/dashboard/DashboardWindow.h"

#include <QApplication>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr std::uint64_t GiB = std::uint64_t{1} << 30;

// Records of a busy laptop with sensors; `phase` moves every figure, so every piece of the
// dashboard has something new to draw on each poll.
void setRecords(FakeParts& fakes, int phase) {
    const double wave = 0.5 + 0.4 * std::sin(phase / 3.0);
    CpuStats& cpu = fakes.cpu->next;
    cpu.overall = wave;
    cpu.perCore = QVector<double>(8, wave);
    cpu.perCore[phase % 8] = 1 - wave;
    cpu.efficiencyCores = 4;
    cpu.performanceCores = 4;
    cpu.userPercent = wave * 0.7;
    cpu.systemPercent = wave * 0.3;
    cpu.loadAvg = {wave * 4, wave * 3, wave * 2};
    cpu.uptimeSeconds = 90000 + phase * 2;
    RamStats& ram = fakes.ram->next;
    ram.totalBytes = 16 * GiB;
    ram.usedBytes = static_cast<std::uint64_t>(wave * 12 * GiB);
    ram.wiredBytes = ram.usedBytes / 4;
    ram.compressedBytes = ram.usedBytes / 8;
    ram.cachedBytes = 3 * GiB;
    ram.pageInsPerSec = phase;
    NetworkStats& network = fakes.network->next;
    network.uploadSpeed = wave * 40000;
    network.downloadSpeed = wave * 3e6;
    network.interfaceName = QStringLiteral("wlp2s0");
    network.interfaceType = QStringLiteral("Wi-Fi");
    network.localIP = QStringLiteral("192.168.1.20");
    fakes.gpu->next = {wave / 2, static_cast<std::uint64_t>(wave * GiB), 4 * GiB,
                       QStringLiteral("Intel Iris Xe")};
    DiskStats& disk = fakes.disk->next;
    disk.totalBytes = 512LL << 30;
    disk.usedBytes = (300LL << 30) + phase;
    disk.availableBytes = (212LL << 30) - phase;
    disk.readBytesPerSec = wave * 1e6;
    fakes.battery->next = {true, 50 + phase % 40,          false, false, 95, 82, 311, wave * 10,
                           11.4, QStringLiteral("Normal"), 5000,  4500};
    QVector<TopProcess> top;
    for (int i = 0; i < 5; ++i) {
        top.append({i, QStringLiteral("process-%1").arg(i), wave * (50 - i), GiB / (i + 1)});
    }
    fakes.processes->next = {top, top};
    SensorStats& sensors = fakes.sensors->next;
    sensors.cpuTempCelsius = 50 + wave * 30;
    sensors.gpuTempCelsius = 45 + wave * 20;
    sensors.systemPowerWatts = wave * 20;
}

// `count` sensor readings of a desktop's Super I/O chips, each moving with `phase`.
void setChannels(FakeParts& fakes, int phase, int count) {
    QVector<SensorChannelReading>& channels = fakes.sensors->next.channels;
    channels.clear();
    for (int i = 0; i < count; ++i) {
        const auto kind = static_cast<SensorChannelKind>(i % 3);
        channels.append({QStringLiteral("platform_nct6775_%1").arg(i / 20),
                         QStringLiteral("in%1").arg(i % 20),
                         QStringLiteral("nct6798"),
                         QStringLiteral("VIN%1").arg(i),
                         kind,
                         30.0 + (phase + i) % 17,
                         {},
                         {},
                         {}});
    }
}

// Counts the paint events the widgets receive.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
    double count = 0;
};

// One poll as the open dashboard sees it: the monitor publishes a poll of changed figures,
// the dashboard takes them and repaints what changed, at 960 × 860.
void BM_DashboardPoll(benchmark::State& state) {
    MonitorHarness harness;
    harness.monitor->setHelperAvailable(true);
    const auto channels = static_cast<int>(state.range(1));
    int phase = 0;
    for (; phase < 60; ++phase) {  // full histories
        setRecords(harness.fakes, phase);
        setChannels(harness.fakes, phase, channels);
        harness.monitor->poll();
    }
    DashboardWindow window(*harness.monitor, harness.settings, harness.clock, QString());
    window.resize(DashboardWindow::preferredSize);
    window.show();
    QCoreApplication::processEvents();
    PaintCounter paints;
    qApp->installEventFilter(&paints);
    for (auto _ : state) {
        if (state.range(0) != 0) {
            setRecords(harness.fakes, ++phase);
            setChannels(harness.fakes, phase, channels);
        }
        harness.monitor->poll();
        // Only what changed is painted, as the event loop would paint it after the poll.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    qApp->removeEventFilter(&paints);
    // How many widgets painted per poll: only the pieces whose figures moved.
    state.counters["paints_per_poll"] =
        benchmark::Counter(paints.count, benchmark::Counter::kAvgIterations);
    state.counters["budget_ms"] = 8;
}
// changing 1: every figure moves each poll; 0: the same records again, so only what the poll
// itself moves (the histories' graphs, the session) repaints. sensors: the readings of the
// Sensors card (120: a desktop with many chips), whose rows are kept while their set holds.
BENCHMARK(BM_DashboardPoll)
    ->ArgNames({"changing", "sensors"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 120})
    ->Args({0, 120})
    ->Unit(benchmark::kMillisecond);

}  // namespace
