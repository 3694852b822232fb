#include "app/StatusRecordsFixture.h"
#include "core/AppSettings.h"
#include "core/SettingsFile.h"
#include "status_item/StripFace.h"
#include "status_item/TrayIconFace.h"
#include "status_item/picture/StatusGlance.h"
#include "status_item/sni/StatusNotifierItem.h"
#include "support/PrivateSessionBus.h"
#include "views/kit/ViewPalette.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

#include <sys/stat.h>

namespace {

// Every metric with a reading, so every entry draws its value.
struct Records : OwnedRecords {
    Records() {
        cpu.overall = 0.37;
        ram.totalBytes = 16ull << 30;
        ram.usedBytes = 9ull << 30;
        network.uploadSpeed = 24576;
        network.downloadSpeed = 1536000;
        gpu.utilization = 0.12;
        battery.hasBattery = true;
        battery.percentage = 64;
        disk.totalBytes = 512ll << 30;
        disk.usedBytes = 300ll << 30;
        disk.availableBytes = 212ll << 30;
        sensors.cpuTempCelsius = 61;
        sensors.gpuTempCelsius = 48;
        sensors.fans = {{0, 2300}};
    }
};

MonitorHistories fullHistories() {
    MonitorHistories histories;
    for (int i = 0; i < 60; ++i) {
        const double wave = 0.5 + 0.4 * std::sin(i / 5.0);
        for (RingBuffer* series :
             {&histories.cpu, &histories.ram, &histories.networkDown, &histories.gpu,
              &histories.battery, &histories.disk, &histories.cpuTemp, &histories.gpuTemp}) {
            series->append(wave * 100);
        }
    }
    return histories;
}

// Only the CPU as text (a fresh installation), or every metric in the costlier modes.
QVector<StatusItemEntry> itemsFor(bool everyMetric) {
    if (!everyMetric) {
        return {{StatusMetric::cpu, true, MetricDisplayMode::textOnly}};
    }
    QVector<StatusItemEntry> items;
    int i = 0;
    for (StatusMetric metric : allStatusMetrics) {
        items.append({metric, true, allMetricDisplayModes[static_cast<std::size_t>(i++ % 4)]});
    }
    return items;
}

enum Tray { xembedIcon, statusNotifierItem };

// One status-item update as the shell runs it after a poll: draw the wide image and the
// glance, hand them to the strip and to the tray's face (the toolkit's XEmbed icon, or our
// StatusNotifierItem on a bus of its own, writing its PNG file and announcing the change), and
// let the strip repaint.
void BM_StatusItemUpdate(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsFile defaults(dir.filePath(QStringLiteral("settings.json")));
    defaults.keepChangesInMemory();
    AppSettings settings(defaults);
    const StatusItemRenderer renderer(StatusFonts::forDesktop(96));
    const Records records;
    const MonitorHistories histories = fullHistories();
    StatusLook look = StatusLook::from(settings, QColor(242, 242, 242), accentColor(settings));
    look.items = itemsFor(state.range(0) != 0);
    StripFace strip(settings);
    const PrivateSessionBus bus;
    // A runtime directory lives in memory, as /run/user/UID does.
    QTemporaryDir runtime(QStringLiteral("/dev/shm/vantrel-bench-XXXXXX"));
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    std::unique_ptr<StatusFace> tray;
    if (state.range(1) == statusNotifierItem) {
        if (bus.address().isEmpty()) {
            state.SkipWithError(bus.failure().toUtf8().constData());
            return;
        }
        tray = std::make_unique<StatusNotifierItem>(
            QDBusConnection::connectToBus(bus.address(), QStringLiteral("bench")),
            [] { return std::make_unique<QMenu>(); },
            StatusNotifierItemOptions{runtime.path(), QStringLiteral("/proc"),
                                      TrayShapeChoice::Wide});
    } else {
        tray = std::make_unique<TrayIconFace>();
    }
    for (auto _ : state) {
        const StatusPicture picture =
            makeStatusPicture(renderer, records.view(), histories, look, 24, 22, 1);
        strip.show(picture);
        tray->show(picture);
        QCoreApplication::processEvents();
    }
    state.counters["budget_us"] = 500;
    tray.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
}
BENCHMARK(BM_StatusItemUpdate)
    ->ArgNames({"everyMetric", "sni"})
    ->ArgsProduct({{0, 1}, {xembedIcon, statusNotifierItem}})
    ->Unit(benchmark::kMicrosecond);

// The drawing alone, without the faces: the share the renderer itself takes.
void BM_StatusItemDrawing(benchmark::State& state) {
    const StatusItemRenderer renderer(StatusFonts::forDesktop(96));
    const Records records;
    const MonitorHistories histories = fullHistories();
    StatusLook look;
    look.items = itemsFor(state.range(0) != 0);
    look.accent = QColor(139, 92, 246);
    look.labelColor = QColor(242, 242, 242);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            makeStatusPicture(renderer, records.view(), histories, look, 24, 22, 1));
    }
}
BENCHMARK(BM_StatusItemDrawing)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
