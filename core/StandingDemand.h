#pragma once

#include "core/SamplingDemand.h"

#include <QObject>

class AppSettings;
class SampleRecorder;

// The sources the monitor's own parts keep, whatever is shown.
namespace standing_sources {
// The session's peaks and totals count every poll: CPU, memory, network and GPU (each a read
// of files kept open). Its temperature peaks count the polls that fetched sensors.
inline constexpr SourceSet session{MonitorSource::cpu, MonitorSource::ram, MonitorSource::network,
                                   MonitorSource::gpu};
// The battery health log takes the battery record of every poll.
inline constexpr SourceSet batteryHealth{MonitorSource::battery};
// Every column a recording or a snapshot writes.
inline constexpr SourceSet csvColumns{
    MonitorSource::cpu,     MonitorSource::ram,     MonitorSource::gpu,    MonitorSource::disk,
    MonitorSource::battery, MonitorSource::network, MonitorSource::sensors};
// Temperature alerts watch the sensors.
inline constexpr SourceSet alerts{MonitorSource::sensors};
}  // namespace standing_sources

// Holds the tokens of the monitor's own keepers: the session summary and the battery health
// log always, a recording while it runs, the temperature alerts while they are switched on.
class StandingDemand final : public QObject {
    Q_OBJECT
public:
    StandingDemand(SamplingDemand& demand, const AppSettings& settings,
                   const SampleRecorder& recorder, QObject* parent = nullptr);

private:
    void followRecorder();
    void followAlerts();

    SamplingDemand& demand_;
    const AppSettings& settings_;
    const SampleRecorder& recorder_;
    SamplingDemand::Token session_;
    SamplingDemand::Token batteryHealth_;
    SamplingDemand::Token recording_;
    SamplingDemand::Token alerts_;
};
