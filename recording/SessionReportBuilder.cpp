#include "recording/SessionReportBuilder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iterator>
#include <optional>

namespace {

constexpr double kSingleSampleInterval = 2.0;
constexpr double kSecondsPerHour = 3600.0;
constexpr int kSeriousThermalState = 2;

// One measured value and the time of its sample.
struct Reading {
    double value;
    Clock::WallTime time;
};

QVector<Reading> readingsOf(const QVector<RecordedSample>& samples, double RecordedSample::*field) {
    QVector<Reading> readings;
    readings.reserve(samples.size());
    for (const RecordedSample& sample : samples) {
        readings.append({sample.*field, sample.timestamp});
    }
    return readings;
}

// The samples that held the reading; the others had no source for it and are left out.
template <typename T>
QVector<Reading> readingsOf(const QVector<RecordedSample>& samples,
                            std::optional<T> RecordedSample::*field) {
    QVector<Reading> readings;
    for (const RecordedSample& sample : samples) {
        if (const std::optional<T>& value = sample.*field) {
            readings.append({static_cast<double>(*value), sample.timestamp});
        }
    }
    return readings;
}

// Mean and peak of some readings; the peak's time is that of the first reading holding it.
// No readings give zeros, the peak dated `whenNone`.
struct Figures {
    std::int64_t count = 0;
    double mean = 0;
    Reading peak;
};

Figures figuresOf(const QVector<Reading>& readings, Clock::WallTime whenNone) {
    if (readings.isEmpty()) {
        return {0, 0, {0, whenNone}};
    }
    Figures figures{readings.size(), 0, readings.first()};
    double sum = 0;
    for (const Reading& reading : readings) {
        sum += reading.value;
        if (reading.value > figures.peak.value) {
            figures.peak = reading;
        }
    }
    figures.mean = sum / static_cast<double>(readings.size());
    return figures;
}

std::int64_t countAbove(const QVector<Reading>& readings, double threshold) {
    return std::count_if(readings.begin(), readings.end(),
                         [&](const Reading& r) { return r.value > threshold; });
}

QVector<double> seriesOf(const QVector<Reading>& readings) {
    QVector<double> series;
    series.reserve(readings.size());
    for (const Reading& reading : readings) {
        series.append(reading.value);
    }
    return downsample(series, kReportSeriesPoints);
}

std::int64_t wholeSeconds(double seconds) {
    return std::isfinite(seconds) ? static_cast<std::int64_t>(std::trunc(seconds)) : 0;
}

SessionReport emptyReport(Clock::WallTime at) {
    SessionReport report;
    report.startTime = report.endTime = at;
    report.peakCpuTime = report.peakGpuTime = report.peakCpuTempTime = at;
    report.peakGpuTempTime = report.peakSsdTempTime = report.peakPowerTime = at;
    report.peakFanTime = at;
    report.fanIdlePercent = 100;
    return report;
}

}  // namespace

SessionReport buildSessionReport(const QVector<RecordedSample>& s, Clock::WallTime now) {
    if (s.isEmpty()) {
        static const SessionReport shared = emptyReport(now);
        return shared;
    }
    const auto n = static_cast<double>(s.size());
    SessionReport r;
    r.startTime = s.first().timestamp;
    r.endTime = s.last().timestamp;
    r.sampleCount = s.size();
    r.duration = std::chrono::duration<double>(r.endTime - r.startTime).count();
    const double interval = s.size() == 1 ? kSingleSampleInterval : r.duration / (n - 1);
    const auto timeAbove = [interval](const QVector<Reading>& readings, double threshold) {
        return interval * static_cast<double>(countAbove(readings, threshold));
    };

    const QVector<Reading> cpuReadings = readingsOf(s, &RecordedSample::cpuPercent);
    const Figures cpu = figuresOf(cpuReadings, r.startTime);
    r.avgCpu = cpu.mean;
    r.peakCpu = cpu.peak.value;
    r.peakCpuTime = cpu.peak.time;
    r.timeAboveCpu80 = timeAbove(cpuReadings, 80);
    r.timeAboveCpu90 = timeAbove(cpuReadings, 90);
    r.cpuHistory = seriesOf(cpuReadings);

    const Figures gpu = figuresOf(readingsOf(s, &RecordedSample::gpuPercent), r.startTime);
    r.gpuSamples = gpu.count;
    r.avgGpu = gpu.mean;
    r.peakGpu = gpu.peak.value;
    r.peakGpuTime = gpu.peak.time;

    const QVector<Reading> cpuTemps = readingsOf(s, &RecordedSample::cpuTemp);
    const Figures cpuTemp = figuresOf(cpuTemps, r.startTime);
    r.cpuTempSamples = cpuTemp.count;
    r.avgCpuTemp = cpuTemp.mean;
    r.peakCpuTemp = cpuTemp.peak.value;
    r.peakCpuTempTime = cpuTemp.peak.time;
    r.timeAboveTemp80 = timeAbove(cpuTemps, 80);
    r.timeAboveTemp90 = timeAbove(cpuTemps, 90);
    r.cpuTempHistory = seriesOf(cpuTemps);

    const QVector<Reading> gpuTemps = readingsOf(s, &RecordedSample::gpuTemp);
    const Figures gpuTemp = figuresOf(gpuTemps, r.startTime);
    r.gpuTempSamples = gpuTemp.count;
    r.avgGpuTemp = gpuTemp.mean;
    r.peakGpuTemp = gpuTemp.peak.value;
    r.peakGpuTempTime = gpuTemp.peak.time;
    r.gpuTempHistory = seriesOf(gpuTemps);

    const Figures ssdTemp = figuresOf(readingsOf(s, &RecordedSample::ssdTemp), r.startTime);
    r.ssdTempSamples = ssdTemp.count;
    r.avgSsdTemp = ssdTemp.mean;
    r.peakSsdTemp = ssdTemp.peak.value;
    r.peakSsdTempTime = ssdTemp.peak.time;

    const QVector<Reading> powerReadings = readingsOf(s, &RecordedSample::systemPower);
    const Figures power = figuresOf(powerReadings, r.startTime);
    r.powerSamples = power.count;
    r.avgPower = power.mean;
    r.peakPower = power.peak.value;
    r.peakPowerTime = power.peak.time;
    r.totalEnergy = r.duration / kSecondsPerHour * r.avgPower;
    r.powerHistory = seriesOf(powerReadings);

    const QVector<Reading> fanReadings = readingsOf(s, &RecordedSample::fanRpm);
    const Figures fan = figuresOf(fanReadings, r.startTime);
    r.fanSamples = fan.count;
    r.peakFanRpm = fan.peak.value;
    r.peakFanTime = fan.peak.time;
    QVector<Reading> turning;
    std::copy_if(fanReadings.begin(), fanReadings.end(), std::back_inserter(turning),
                 [](const Reading& reading) { return reading.value > 0; });
    r.avgFanRpm = figuresOf(turning, r.startTime).mean;
    r.fanIdlePercent = fan.count == 0 ? 0.0
                                      : static_cast<double>(fan.count - turning.size()) /
                                            static_cast<double>(fan.count) * 100;
    r.fanHistory = seriesOf(fanReadings);

    const QVector<Reading> battery = readingsOf(s, &RecordedSample::batteryPercent);
    r.batterySamples = battery.size();
    if (!battery.isEmpty()) {
        r.batteryStart = static_cast<std::int64_t>(battery.first().value);
        r.batteryEnd = static_cast<std::int64_t>(battery.last().value);
        r.batteryDrain = r.batteryStart - r.batteryEnd;
    }

    int throttled = 0;
    bool previousThrottled = false;
    for (const RecordedSample& sample : s) {
        const bool isThrottled = sample.thermalState >= kSeriousThermalState;
        throttled += isThrottled ? 1 : 0;
        r.thermalThrottleEpisodes += isThrottled && !previousThrottled ? 1 : 0;
        previousThrottled = isThrottled;
    }
    r.thermalThrottleSeconds = wholeSeconds(interval * throttled);
    return r;
}

QVector<double> downsample(const QVector<double>& values, int points) {
    const auto n = values.size();
    if (n <= points) {
        return values;
    }
    if (points <= 0) {
        return {};
    }
    const double step = static_cast<double>(n) / points;
    QVector<double> picked;
    picked.reserve(points);
    for (int i = 0; i < points; ++i) {
        const auto index = static_cast<qsizetype>(step * i);
        picked.append(values[std::min(n - 1, index)]);
    }
    return picked;
}
