// Records rows as fast as it can until it is killed: an application dying mid-recording, for
// the crash test. Usage: vantrel_recording_child PATH
#include "recording/CsvRecorder.h"
#include "support/MonitorHarness.h"

#include <QCoreApplication>
#include <QCoro/QCoroTask>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: vantrel_recording_child PATH\n", stderr);
        return 2;
    }
    CsvRecorder* recorder = nullptr;
    MonitorHarness h([&](Clock& clock) {
        auto made = std::make_unique<CsvRecorder>(clock, QTimeZone::utc());
        recorder = made.get();
        return made;
    });
    if (!recorder->startRecordingAt(QString::fromLocal8Bit(argv[1])).ok()) {
        std::fputs("cannot start the recording\n", stderr);
        return 1;
    }
    // Rows of every shape: with and without the helper, zero to two fans, odd numbers.
    for (std::int64_t i = 0;; ++i) {
        h.monitor->setHelperAvailable(i % 3 != 0);
        h.fakes.cpu->next.overall = static_cast<double>(i % 101) / 100.0;
        h.fakes.network->next.downloadSpeed = static_cast<double>(i) * 1234.5678;
        h.fakes.battery->next.percentage = static_cast<int>(i % 101);
        h.fakes.thermal->next = static_cast<ThermalState>(i % 4);
        h.fakes.sensors->next.cpuTempCelsius =
            i % 5 == 0 ? std::nullopt : std::optional<double>(40 + static_cast<double>(i % 60));
        h.fakes.sensors->next.fans.resize(static_cast<int>(i % 3));
        for (auto& fan : h.fakes.sensors->next.fans) {
            fan.rpm = static_cast<double>(1000 + i % 2000);
        }
        h.clock.advance(std::chrono::milliseconds(250));
        QCoro::waitFor(h.monitor->poll());
        if (!recorder->isRecording()) {
            return 1;
        }
    }
}
