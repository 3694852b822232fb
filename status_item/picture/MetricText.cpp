#include "status_item/picture/MetricText.h"

#include "core/TextFormat.h"

#include <QChar>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const QString upArrow = QString(QChar(0x2191));
const QString downArrow = QString(QChar(0x2193));

// A value that is not a number must not reach the screen as "nan".
double finiteOrZero(double value) {
    return std::isfinite(value) ? value : 0.0;
}

bool hasTemperature(const std::optional<double>& celsius) {
    return celsius && std::isfinite(*celsius);
}

double temperatureFraction(const std::optional<double>& celsius) {
    return celsius && std::isfinite(*celsius) ? std::min(*celsius / 120.0, 1.0) : 0.0;
}

QString temperatureText(const std::optional<double>& celsius) {
    if (!hasTemperature(celsius)) {
        return noValueText();
    }
    return statusItemTemperatureText(*celsius);
}

}  // namespace

QString networkText(const NetworkStats& network, bool compact) {
    const auto rate = [compact](double bytesPerSecond) {
        const double finite = finiteOrZero(bytesPerSecond);
        return compact ? compactByteRateText(finite) : byteRateText(finite);
    };
    return upArrow + rate(network.uploadSpeed) + QLatin1Char(' ') + downArrow +
           rate(network.downloadSpeed);
}

QString shortLabel(StatusMetric metric) {
    switch (metric) {
        case StatusMetric::cpu:
            return QStringLiteral("CPU");
        case StatusMetric::ram:
            return QStringLiteral("RAM");
        case StatusMetric::network:
            return {};
        case StatusMetric::gpu:
            return QStringLiteral("GPU");
        case StatusMetric::battery:
            return QStringLiteral("BAT");
        case StatusMetric::disk:
            return QStringLiteral("DSK");
        case StatusMetric::cpuTemp:
            return QStringLiteral("TMP");
        case StatusMetric::gpuTemp:
            return QStringLiteral("GPU-T");
        case StatusMetric::fanSpeed:
            return QStringLiteral("FAN");
    }
    return {};
}

bool hasReading(StatusMetric metric, const StatusRecords& records) {
    switch (metric) {
        case StatusMetric::cpu:
        case StatusMetric::ram:
        case StatusMetric::network:
        case StatusMetric::disk:
            return true;
        case StatusMetric::gpu:
            return records.gpu.acceleratorCount > 0;
        case StatusMetric::battery:
            return records.battery.hasBattery;
        case StatusMetric::cpuTemp:
            return hasTemperature(records.sensors.cpuTempCelsius);
        case StatusMetric::gpuTemp:
            return hasTemperature(records.sensors.gpuTempCelsius);
        case StatusMetric::fanSpeed:
            return !records.sensors.fans.isEmpty() && std::isfinite(records.sensors.fans[0].rpm);
    }
    return false;
}

QString valueText(StatusMetric metric, const StatusRecords& records, bool compactNetwork) {
    if (!hasReading(metric, records)) {
        return noValueText();
    }
    switch (metric) {
        case StatusMetric::cpu:
            return percentText(finiteOrZero(records.cpu.overall));
        case StatusMetric::ram:
            return percentText(memoryFraction(records.ram));
        case StatusMetric::network:
            return networkText(records.network, compactNetwork);
        case StatusMetric::gpu:
            return percentText(finiteOrZero(records.gpu.utilization));
        case StatusMetric::battery:
            return QString::number(records.battery.percentage) + QLatin1Char('%');
        case StatusMetric::disk:
            return percentText(diskFraction(records.disk));
        case StatusMetric::cpuTemp:
            return temperatureText(records.sensors.cpuTempCelsius);
        case StatusMetric::gpuTemp:
            return temperatureText(records.sensors.gpuTempCelsius);
        case StatusMetric::fanSpeed:
            return wholeNumberText(records.sensors.fans[0].rpm);
    }
    return noValueText();
}

double colorFraction(StatusMetric metric, const StatusRecords& records) {
    switch (metric) {
        case StatusMetric::cpu:
            return finiteOrZero(records.cpu.overall);
        case StatusMetric::ram:
            return memoryFraction(records.ram);
        case StatusMetric::network:
            return 0;
        case StatusMetric::gpu:
            return finiteOrZero(records.gpu.utilization);
        case StatusMetric::battery:
            return batteryFraction(records.battery);
        case StatusMetric::disk:
            return diskFraction(records.disk);
        case StatusMetric::cpuTemp:
            return temperatureFraction(records.sensors.cpuTempCelsius);
        case StatusMetric::gpuTemp:
            return temperatureFraction(records.sensors.gpuTempCelsius);
        case StatusMetric::fanSpeed:
            return records.sensors.fans.isEmpty()
                       ? 0.0
                       : std::min(finiteOrZero(records.sensors.fans[0].rpm) / 6000.0, 1.0);
    }
    return 0;
}

LevelColor levelColor(StatusMetric metric, double f) {
    const auto rising = [f](double amberFrom, double redFrom) {
        return f < amberFrom ? LevelColor::green
               : f < redFrom ? LevelColor::amber
                             : LevelColor::red;
    };
    switch (metric) {
        case StatusMetric::cpu:
        case StatusMetric::gpu:
            return rising(0.5, 0.8);
        case StatusMetric::ram:
        case StatusMetric::disk:
            return rising(0.6, 0.85);
        case StatusMetric::cpuTemp:
        case StatusMetric::gpuTemp:
            return rising(0.55, 0.75);
        case StatusMetric::battery:
            return f > 0.4 ? LevelColor::green : f > 0.15 ? LevelColor::amber : LevelColor::red;
        case StatusMetric::network:
        case StatusMetric::fanSpeed:
            return LevelColor::green;
    }
    return LevelColor::green;
}

QString entryText(StatusMetric metric, const StatusRecords& records) {
    if (metric == StatusMetric::network) {
        return networkText(records.network, false);
    }
    return shortLabel(metric) + QLatin1Char(' ') + valueText(metric, records, false);
}

QString entryTextTemplate(StatusMetric metric) {
    if (metric == StatusMetric::network) {
        return upArrow + QStringLiteral("888.8 MB/s ") + downArrow + QStringLiteral("888.8 MB/s");
    }
    return shortLabel(metric) + QStringLiteral(" 100%");
}
