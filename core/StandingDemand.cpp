#include "core/StandingDemand.h"

#include "core/AppSettings.h"
#include "core/SampleRecorder.h"

StandingDemand::StandingDemand(SamplingDemand& demand, const AppSettings& settings,
                               const SampleRecorder& recorder, QObject* parent)
    : QObject(parent),
      demand_(demand),
      settings_(settings),
      recorder_(recorder),
      session_(demand.acquire(standing_sources::session)),
      batteryHealth_(demand.acquire(standing_sources::batteryHealth)) {
    connect(&recorder_, &SampleRecorder::isRecordingChanged, this, &StandingDemand::followRecorder);
    connect(&settings_, &AppSettings::alertsEnabledChanged, this, &StandingDemand::followAlerts);
    followRecorder();
    followAlerts();
}

void StandingDemand::followRecorder() {
    if (!recorder_.isRecording()) {
        recording_.release();
    } else if (recording_.sources().isEmpty()) {
        recording_ = demand_.acquire(standing_sources::csvColumns);
    }
}

void StandingDemand::followAlerts() {
    if (!settings_.alertsEnabled()) {
        alerts_.release();
    } else if (alerts_.sources().isEmpty()) {
        alerts_ = demand_.acquire(standing_sources::alerts);
    }
}
