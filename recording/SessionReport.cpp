#include "recording/SessionReport.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr double kSingleSampleInterval = 2.0;
constexpr double kSecondsPerHour = 3600.0;
constexpr int kSeriousThermalState = 2;

using Field = double RecordedSample::*;

struct Peak {
    double value;
    Clock::WallTime time;
};

// The largest value and the time of the first sample holding it.
Peak peakOf(const QVector<RecordedSample>& samples, Field field) {
    Peak peak{samples.first().*field, samples.first().timestamp};
    for (const RecordedSample& sample : samples) {
        if (sample.*field > peak.value) {
            peak = {sample.*field, sample.timestamp};
        }
    }
    return peak;
}

double meanOf(const QVector<RecordedSample>& samples, Field field) {
    double sum = 0;
    for (const RecordedSample& sample : samples) {
        sum += sample.*field;
    }
    return sum / static_cast<double>(samples.size());
}

// Mean of the values above 0, which are the measured ones; 0 when nothing was measured.
double measuredMeanOf(const QVector<RecordedSample>& samples, Field field) {
    double sum = 0;
    int count = 0;
    for (const RecordedSample& sample : samples) {
        if (sample.*field > 0) {
            sum += sample.*field;
            ++count;
        }
    }
    return count == 0 ? 0.0 : sum / count;
}

int countAbove(const QVector<RecordedSample>& samples, Field field, double threshold) {
    return static_cast<int>(std::count_if(samples.begin(), samples.end(),
                                          [&](const auto& s) { return s.*field > threshold; }));
}

QVector<double> seriesOf(const QVector<RecordedSample>& samples, Field field) {
    QVector<double> series;
    series.reserve(samples.size());
    for (const RecordedSample& sample : samples) {
        series.append(sample.*field);
    }
    return series;
}

std::int64_t wholeSeconds(double seconds) {
    return std::isfinite(seconds) ? static_cast<std::int64_t>(std::trunc(seconds)) : 0;
}

SessionReport emptyReport(Clock::WallTime at) {
    SessionReport report;
    report.startTime = report.endTime = at;
    report.peakCPUTime = report.peakGPUTime = report.peakCPUTempTime = at;
    report.peakGPUTempTime = report.peakSSDTempTime = report.peakPowerTime = at;
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

    r.avgCPU = meanOf(s, &RecordedSample::cpuPercent);
    const Peak cpu = peakOf(s, &RecordedSample::cpuPercent);
    r.peakCPU = cpu.value;
    r.peakCPUTime = cpu.time;
    r.timeAboveCPU80 = interval * countAbove(s, &RecordedSample::cpuPercent, 80);
    r.timeAboveCPU90 = interval * countAbove(s, &RecordedSample::cpuPercent, 90);

    r.avgGPU = meanOf(s, &RecordedSample::gpuPercent);
    const Peak gpu = peakOf(s, &RecordedSample::gpuPercent);
    r.peakGPU = gpu.value;
    r.peakGPUTime = gpu.time;

    r.avgCPUTemp = measuredMeanOf(s, &RecordedSample::cpuTemp);
    const Peak cpuTemp = peakOf(s, &RecordedSample::cpuTemp);
    r.peakCPUTemp = cpuTemp.value;
    r.peakCPUTempTime = cpuTemp.time;
    r.timeAboveTemp80 = interval * countAbove(s, &RecordedSample::cpuTemp, 80);
    r.timeAboveTemp90 = interval * countAbove(s, &RecordedSample::cpuTemp, 90);

    r.avgGPUTemp = measuredMeanOf(s, &RecordedSample::gpuTemp);
    const Peak gpuTemp = peakOf(s, &RecordedSample::gpuTemp);
    r.peakGPUTemp = gpuTemp.value;
    r.peakGPUTempTime = gpuTemp.time;

    r.avgSSDTemp = measuredMeanOf(s, &RecordedSample::ssdTemp);
    const Peak ssdTemp = peakOf(s, &RecordedSample::ssdTemp);
    r.peakSSDTemp = ssdTemp.value;
    r.peakSSDTempTime = ssdTemp.time;

    r.avgPower = measuredMeanOf(s, &RecordedSample::systemPower);
    const Peak power = peakOf(s, &RecordedSample::systemPower);
    r.peakPower = power.value;
    r.peakPowerTime = power.time;
    r.totalEnergy = r.duration / kSecondsPerHour * r.avgPower;

    r.avgFanRPM = measuredMeanOf(s, &RecordedSample::fanRPM);
    const Peak fan = peakOf(s, &RecordedSample::fanRPM);
    r.peakFanRPM = fan.value;
    r.peakFanTime = fan.time;
    const auto idle =
        std::count_if(s.begin(), s.end(), [](const auto& x) { return x.fanRPM == 0; });
    r.fanIdlePercent = static_cast<double>(idle) / n * 100;

    r.batteryStart = s.first().batteryPercent;
    r.batteryEnd = s.last().batteryPercent;
    r.batteryDrain = r.batteryStart - r.batteryEnd;

    int throttled = 0;
    bool previousThrottled = false;
    for (const RecordedSample& sample : s) {
        const bool isThrottled = sample.thermalState >= kSeriousThermalState;
        throttled += isThrottled ? 1 : 0;
        r.thermalThrottleEpisodes += isThrottled && !previousThrottled ? 1 : 0;
        previousThrottled = isThrottled;
    }
    r.thermalThrottleSeconds = wholeSeconds(interval * throttled);

    r.cpuHistory = downsample(seriesOf(s, &RecordedSample::cpuPercent), kReportSeriesPoints);
    r.cpuTempHistory = downsample(seriesOf(s, &RecordedSample::cpuTemp), kReportSeriesPoints);
    r.gpuTempHistory = downsample(seriesOf(s, &RecordedSample::gpuTemp), kReportSeriesPoints);
    r.fanHistory = downsample(seriesOf(s, &RecordedSample::fanRPM), kReportSeriesPoints);
    QVector<double> measuredPower;
    for (const RecordedSample& sample : s) {
        if (sample.systemPower > 0) {
            measuredPower.append(sample.systemPower);
        }
    }
    r.powerHistory = downsample(
        measuredPower.isEmpty() ? seriesOf(s, &RecordedSample::systemPower) : measuredPower,
        kReportSeriesPoints);
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
