#include "app/render/MetricText.h"

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
    return menuBarTemperatureText(*celsius);
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

QString shortLabel(MenuBarMetric metric) {
    switch (metric) {
        case MenuBarMetric::cpu:
            return QStringLiteral("CPU");
        case MenuBarMetric::ram:
            return QStringLiteral("RAM");
        case MenuBarMetric::network:
            return {};
        case MenuBarMetric::gpu:
            return QStringLiteral("GPU");
        case MenuBarMetric::battery:
            return QStringLiteral("BAT");
        case MenuBarMetric::disk:
            return QStringLiteral("DSK");
        case MenuBarMetric::cpuTemp:
            return QStringLiteral("TMP");
        case MenuBarMetric::gpuTemp:
            return QStringLiteral("GPU-T");
        case MenuBarMetric::fanSpeed:
            return QStringLiteral("FAN");
    }
    return {};
}

bool hasReading(MenuBarMetric metric, const StatusRecords& records) {
    switch (metric) {
        case MenuBarMetric::cpu:
        case MenuBarMetric::ram:
        case MenuBarMetric::network:
        case MenuBarMetric::disk:
            return true;
        case MenuBarMetric::gpu:
            return records.gpu.acceleratorCount > 0;
        case MenuBarMetric::battery:
            return records.battery.hasBattery;
        case MenuBarMetric::cpuTemp:
            return hasTemperature(records.sensors.cpuTempCelsius);
        case MenuBarMetric::gpuTemp:
            return hasTemperature(records.sensors.gpuTempCelsius);
        case MenuBarMetric::fanSpeed:
            return !records.sensors.fans.isEmpty() && std::isfinite(records.sensors.fans[0].rpm);
    }
    return false;
}

QString valueText(MenuBarMetric metric, const StatusRecords& records, bool compactNetwork) {
    if (!hasReading(metric, records)) {
        return noValueText();
    }
    switch (metric) {
        case MenuBarMetric::cpu:
            return percentText(finiteOrZero(records.cpu.overall));
        case MenuBarMetric::ram:
            return percentText(memoryFraction(records.ram));
        case MenuBarMetric::network:
            return networkText(records.network, compactNetwork);
        case MenuBarMetric::gpu:
            return percentText(finiteOrZero(records.gpu.utilization));
        case MenuBarMetric::battery:
            return QString::number(records.battery.percentage) + QLatin1Char('%');
        case MenuBarMetric::disk:
            return percentText(diskFraction(records.disk));
        case MenuBarMetric::cpuTemp:
            return temperatureText(records.sensors.cpuTempCelsius);
        case MenuBarMetric::gpuTemp:
            return temperatureText(records.sensors.gpuTempCelsius);
        case MenuBarMetric::fanSpeed:
            return wholeNumberText(records.sensors.fans[0].rpm);
    }
    return noValueText();
}

double colorFraction(MenuBarMetric metric, const StatusRecords& records) {
    switch (metric) {
        case MenuBarMetric::cpu:
            return finiteOrZero(records.cpu.overall);
        case MenuBarMetric::ram:
            return memoryFraction(records.ram);
        case MenuBarMetric::network:
            return 0;
        case MenuBarMetric::gpu:
            return finiteOrZero(records.gpu.utilization);
        case MenuBarMetric::battery:
            return batteryFraction(records.battery);
        case MenuBarMetric::disk:
            return diskFraction(records.disk);
        case MenuBarMetric::cpuTemp:
            return temperatureFraction(records.sensors.cpuTempCelsius);
        case MenuBarMetric::gpuTemp:
            return temperatureFraction(records.sensors.gpuTempCelsius);
        case MenuBarMetric::fanSpeed:
            return records.sensors.fans.isEmpty()
                       ? 0.0
                       : std::min(finiteOrZero(records.sensors.fans[0].rpm) / 6000.0, 1.0);
    }
    return 0;
}

LevelColor levelColor(MenuBarMetric metric, double f) {
    const auto rising = [f](double amberFrom, double redFrom) {
        return f < amberFrom ? LevelColor::green
               : f < redFrom ? LevelColor::amber
                             : LevelColor::red;
    };
    switch (metric) {
        case MenuBarMetric::cpu:
        case MenuBarMetric::gpu:
            return rising(0.5, 0.8);
        case MenuBarMetric::ram:
        case MenuBarMetric::disk:
            return rising(0.6, 0.85);
        case MenuBarMetric::cpuTemp:
        case MenuBarMetric::gpuTemp:
            return rising(0.55, 0.75);
        case MenuBarMetric::battery:
            return f > 0.4 ? LevelColor::green : f > 0.15 ? LevelColor::amber : LevelColor::red;
        case MenuBarMetric::network:
        case MenuBarMetric::fanSpeed:
            return LevelColor::green;
    }
    return LevelColor::green;
}

QString entryText(MenuBarMetric metric, const StatusRecords& records) {
    if (metric == MenuBarMetric::network) {
        return networkText(records.network, false);
    }
    return shortLabel(metric) + QLatin1Char(' ') + valueText(metric, records, false);
}

QString entryTextTemplate(MenuBarMetric metric) {
    if (metric == MenuBarMetric::network) {
        return upArrow + QStringLiteral("888.8 MB/s ") + downArrow + QStringLiteral("888.8 MB/s");
    }
    return shortLabel(metric) + QStringLiteral(" 100%");
}
