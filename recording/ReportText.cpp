#include "recording/ReportText.h"

#include "recording/FixedText.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>

namespace {

QDateTime inZone(Clock::WallTime time, const QTimeZone& zone) {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(ms.count(), zone);
}

std::int64_t truncatedSeconds(double seconds) {
    // Far beyond any session; keeps the conversion defined for absurd inputs.
    constexpr double kLimit = 1e15;
    if (!std::isfinite(seconds)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::trunc(std::clamp(seconds, -kLimit, kLimit)));
}

QString temperatureLine(const QString& name, double average, double peak, Clock::WallTime time,
                        const QTimeZone& zone) {
    return QStringLiteral("%1: avg %2°C, peak %3°C at %4")
        .arg(name, fixedText(average, 1), fixedText(peak, 1), clockTimeText(time, zone));
}

}  // namespace

QString durationText(double seconds) {
    const std::int64_t s = truncatedSeconds(seconds);
    if (s < 60) {
        return QStringLiteral("%1s").arg(s);
    }
    if (s < 3600) {
        return QStringLiteral("%1m %2s").arg(s / 60).arg(s % 60);
    }
    return QStringLiteral("%1h %2m").arg(s / 3600).arg(s % 3600 / 60);
}

QString spanText(double seconds) {
    return truncatedSeconds(seconds) == 0 ? QStringLiteral("None") : durationText(seconds);
}

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
          << QStringLiteral("CPU: avg %1%, peak %2% at %3")
                 .arg(fixedText(r.avgCPU, 1), fixedText(r.peakCPU, 1),
                      clockTimeText(r.peakCPUTime, zone));
    if (r.timeAboveCPU80 > 0) {
        lines << QStringLiteral("  Above 80% for ") + spanText(r.timeAboveCPU80);
    }
    lines << temperatureLine(QStringLiteral("CPU Temp"), r.avgCPUTemp, r.peakCPUTemp,
                             r.peakCPUTempTime, zone);
    if (r.timeAboveTemp80 > 0) {
        lines << QStringLiteral("  Above 80°C for ") + spanText(r.timeAboveTemp80);
    }
    lines << temperatureLine(QStringLiteral("GPU Temp"), r.avgGPUTemp, r.peakGPUTemp,
                             r.peakGPUTempTime, zone)
          << temperatureLine(QStringLiteral("SSD Temp"), r.avgSSDTemp, r.peakSSDTemp,
                             r.peakSSDTempTime, zone)
          << QString()
          << QStringLiteral("Power: avg %1 W, peak %2 W at %3, total %4 Wh")
                 .arg(fixedText(r.avgPower, 1), fixedText(r.peakPower, 1),
                      clockTimeText(r.peakPowerTime, zone), fixedText(r.totalEnergy, 2));
    if (r.peakFanRPM > 0) {
        lines << QStringLiteral("Fans: peak %1 RPM at %2, idle %3% of session")
                     .arg(fixedText(r.peakFanRPM, 0), clockTimeText(r.peakFanTime, zone),
                          fixedText(r.fanIdlePercent, 0));
    } else {
        lines << QStringLiteral("Fans: idle entire session");
    }
    if (r.batteryDrain >= 1) {
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
