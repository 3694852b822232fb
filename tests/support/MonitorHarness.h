#pragma once

#include "core/AppSettings.h"
#include "core/SettingsFile.h"
#include "core/SystemMonitor.h"
#include "support/FakeClock.h"
#include "support/FakeMonitorParts.h"

#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <memory>

// A monitor on fake parts in virtual time, with private settings. `makeRecorder`, when
// given, makes the recorder on the harness's clock in place of the fake one (and
// `fakes.recorder` is then null). Every source is needed, as if the dashboard were open,
// until a test releases `everythingShown`.
class MonitorHarness {
public:
    using RecorderFactory = std::function<std::unique_ptr<SampleRecorder>(Clock&)>;

    explicit MonitorHarness(const RecorderFactory& makeRecorder = {})
        : defaults_(dir_.filePath(QStringLiteral("settings.json"))), settings(defaults_) {
        auto [parts, made] = FakeParts::make(clock);
        fakes = made;
        if (makeRecorder) {
            parts.recorder = makeRecorder(clock);
            fakes.recorder = nullptr;
        }
        monitor = std::make_unique<SystemMonitor>(settings, clock, std::move(parts));
        everythingShown = monitor->demand().acquire(SourceSet::all());
    }

    ~MonitorHarness() {
        // Let a loop still waiting see its end, as an event loop would.
        monitor.reset();
        clock.advance(std::chrono::hours(1));
    }

private:
    QTemporaryDir dir_;
    SettingsFile defaults_;

public:
    SettingsFile& defaults() { return defaults_; }

    FakeClock clock;
    AppSettings settings;
    FakeParts fakes{};
    std::unique_ptr<SystemMonitor> monitor;
    SamplingDemand::Token everythingShown;
};
