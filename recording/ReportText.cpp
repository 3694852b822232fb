#include "recording/ReportText.h"

#include "core/TextFormat.h"

#include <QDateTime>
#include <QStringList>

#include <chrono>

namespace {

QDateTime inZone(Clock::WallTime time, const QTimeZone& zone) {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(ms.count(), zone);
}

// "CPU Temp: No sensor" when no sample held the reading, rather than averages of nothing.
QString temperatureLine(const QString& name, std::int64_t samples, double average, double peak,
                        Clock::WallTime time, const QTimeZone& zone) {
    if (samples == 0) {
        return QStringLiteral("%1: %2").arg(name, noSensorText());
    }
    return QStringLiteral("%1: avg %2°C, peak %3°C at %4")
        .arg(name, fixedText(average, 1), fixedText(peak, 1), clockTimeText(time, zone));
}

QString powerLine(const SessionReport& r, const QTimeZone& zone) {
    if (r.powerSamples == 0) {
        return QStringLiteral("Power: ") + noSensorText();
    }
    return QStringLiteral("Power: avg %1, peak %2 at %3, total %4")
        .arg(powerText(r.avgPower), powerText(r.peakPower), clockTimeText(r.peakPowerTime, zone),
             energyText(r.totalEnergy));
}

QString fanLine(const SessionReport& r, const QTimeZone& zone) {
    if (r.fanSamples == 0) {
        return QStringLiteral("Fans: ") + noSensorText();
    }
    if (r.peakFanRpm <= 0) {
        return QStringLiteral("Fans: idle entire session");
    }
    return QStringLiteral("Fans: peak %1 RPM at %2, idle %3% of session")
        .arg(wholeNumberText(r.peakFanRpm), clockTimeText(r.peakFanTime, zone),
             wholeNumberText(r.fanIdlePercent));
}

}  // namespace

QString dateRangeText(Clock::WallTime start, Clock::WallTime end, const QTimeZone& zone) {
    const QString pattern = QStringLiteral("MMM d, HH:mm");
    return inZone(start, zone).toString(pattern) + QStringLiteral(" → ") +
           inZone(end, zone).toString(pattern);
}

QString clockTimeText(Clock::WallTime time, const QTimeZone& zone) {
    return inZone(time, zone).toString(QStringLiteral("HH:mm:ss"));
}

QString summaryText(const SessionReport& r, const QTimeZone& zone) {
    QStringList lines;
    lines << QStringLiteral("Session: %1 (%2 samples)")
                 .arg(durationText(r.duration))
                 .arg(r.sampleCount)
          << QString()
          << QStringLiteral("CPU: avg %1, peak %2 at %3")
                 .arg(decimalPercentText(r.avgCpu), decimalPercentText(r.peakCpu),
                      clockTimeText(r.peakCpuTime, zone));
    if (r.timeAboveCpu80 > 0) {
        lines << QStringLiteral("  Above 80% for ") + spanText(r.timeAboveCpu80);
    }
    lines << temperatureLine(QStringLiteral("CPU Temp"), r.cpuTempSamples, r.avgCpuTemp,
                             r.peakCpuTemp, r.peakCpuTempTime, zone);
    if (r.timeAboveTemp80 > 0) {
        lines << QStringLiteral("  Above 80°C for ") + spanText(r.timeAboveTemp80);
    }
    lines << temperatureLine(QStringLiteral("GPU Temp"), r.gpuTempSamples, r.avgGpuTemp,
                             r.peakGpuTemp, r.peakGpuTempTime, zone)
          << temperatureLine(QStringLiteral("SSD Temp"), r.ssdTempSamples, r.avgSsdTemp,
                             r.peakSsdTemp, r.peakSsdTempTime, zone)
          << QString() << powerLine(r, zone) << fanLine(r, zone);
    if (r.batterySamples > 0 && r.batteryDrain >= 1) {
        lines << QStringLiteral("Battery: %1% → %2% (-%3%)")
                     .arg(r.batteryStart)
                     .arg(r.batteryEnd)
                     .arg(r.batteryDrain);
    }
    if (r.thermalThrottleSeconds < 1) {
        lines << QStringLiteral("Throttled: None");
    } else {
        lines << QStringLiteral("Throttled: %1 across %2 episode(s)")
                     .arg(spanText(static_cast<double>(r.thermalThrottleSeconds)))
                     .arg(r.thermalThrottleEpisodes);
    }
    return lines.join(u'\n');
}
