#include "recording/CsvFormat.h"

#include "core/AppSettings.h"
#include "core/SystemMonitor.h"
#include "core/TextFormat.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>

#include <chrono>
#include <cmath>
#include <optional>

namespace {

constexpr double kFallbackHistoryInterval = 2.0;
constexpr double kAbsentMarker = -1.0;

QString number(double value) {
    return fixedText(value, 1);
}

QString sensorValue(const std::optional<double>& value) {
    return number(value.value_or(kAbsentMarker));
}

QString fanValue(const SensorStats& sensors, int position, double whenMissing) {
    return number(position < sensors.fans.size() ? sensors.fans[position].rpm : whenMissing);
}

// The columns up to thermal_state of a row made from published records.
QStringList systemColumns(const CurrentReadings& readings, Clock::WallTime time) {
    return {isoTimestamp(time),
            number(readings.cpu.overall * 100),
            number(memoryFraction(readings.ram) * 100),
            number(readings.gpu.utilization * 100),
            number(diskFraction(readings.disk) * 100),
            QString::number(readings.battery.percentage),
            number(readings.network.uploadSpeed),
            number(readings.network.downloadSpeed),
            QString::number(thermalStateValue(readings.thermalState))};
}

void appendSensorColumns(QStringList& columns, const SensorStats& sensors) {
    for (const auto& value :
         {sensors.cpuTempCelsius, sensors.gpuTempCelsius, sensors.ssdTempCelsius,
          sensors.memoryTempCelsius, sensors.batteryTempCelsius, sensors.systemPowerWatts,
          sensors.chargerPowerWatts}) {
        columns.append(sensorValue(value));
    }
}

double valueAt(const QVector<double>& values, int index) {
    return index >= 0 && index < values.size() ? values[index] : 0.0;
}

Clock::WallTime secondsBefore(Clock::WallTime time, double seconds) {
    return time - std::chrono::duration_cast<Clock::WallTime::duration>(
                      std::chrono::duration<double>(seconds));
}

}  // namespace

CurrentReadings currentReadingsOf(const SystemMonitor& monitor) {
    return {monitor.cpu(),     monitor.ram(),     monitor.gpu(),          monitor.disk(),
            monitor.battery(), monitor.network(), monitor.thermalState(), monitor.sensors()};
}

QString isoTimestamp(Clock::WallTime time) {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(ms.count(), Qt::UTC).toString(Qt::ISODate);
}

QString csvHeader() {
    return QStringLiteral(
        "timestamp,cpu_percent,ram_percent,gpu_percent,disk_percent,battery_percent,"
        "net_up_bps,net_down_bps,thermal_state,cpu_temp_c,gpu_temp_c,ssd_temp_c,"
        "memory_temp_c,battery_temp_c,system_power_w,charger_power_w,fan0_rpm,fan1_rpm");
}

QString currentReadingsRow(const CurrentReadings& readings, Clock::WallTime now) {
    QStringList columns = systemColumns(readings, now);
    appendSensorColumns(columns, readings.sensors);
    columns.append(fanValue(readings.sensors, 0, kAbsentMarker));
    columns.append(fanValue(readings.sensors, 1, kAbsentMarker));
    return columns.join(u',');
}

QString recordedRow(const CurrentReadings& readings, Clock::WallTime time) {
    QStringList columns = systemColumns(readings, time);
    appendSensorColumns(columns, readings.sensors);
    columns.append(fanValue(readings.sensors, 0, 0.0));
    columns.append(fanValue(readings.sensors, 1, 0.0));
    return columns.join(u',');
}

RecordedSample recordedSampleOf(const CurrentReadings& readings, Clock::WallTime time) {
    const SensorStats& sensors = readings.sensors;
    RecordedSample sample;
    sample.timestamp = time;
    sample.cpuPercent = readings.cpu.overall * 100;
    sample.ramPercent = memoryFraction(readings.ram) * 100;
    if (readings.gpu.acceleratorCount > 0) {
        sample.gpuPercent = readings.gpu.utilization * 100;
    }
    sample.cpuTemp = sensors.cpuTempCelsius;
    sample.gpuTemp = sensors.gpuTempCelsius;
    sample.ssdTemp = sensors.ssdTempCelsius;
    sample.memoryTemp = sensors.memoryTempCelsius;
    sample.systemPower = sensors.systemPowerWatts;
    if (!sensors.fans.isEmpty()) {
        sample.fanRpm = sensors.fans.first().rpm;
    }
    if (readings.battery.hasBattery) {
        sample.batteryPercent = readings.battery.percentage;
    }
    sample.thermalState = thermalStateValue(readings.thermalState);
    return sample;
}

QString historyRow(const MonitorHistories& h, int index, Clock::WallTime time) {
    const QVector<double> cpu = h.cpu.values();
    // Every history lined up at its newest value: one whose source was not sampled on every
    // poll (the sensors, the disk) is shorter than the CPU's.
    const auto alignedValue = [&](const RingBuffer& history, double scale) {
        const QVector<double> values = history.values();
        return valueAt(values, index - static_cast<int>(cpu.size() - values.size())) * scale;
    };
    const auto sensorValue = [&](const RingBuffer& history) {
        return number(alignedValue(history, 1));
    };
    return QStringList{isoTimestamp(time),
                       number(valueAt(cpu, index) * 100),
                       number(alignedValue(h.ram, 100)),
                       number(alignedValue(h.gpu, 100)),
                       number(alignedValue(h.disk, 100)),
                       number(alignedValue(h.battery, 100)),
                       number(alignedValue(h.networkUp, 1)),
                       number(alignedValue(h.networkDown, 1)),
                       QStringLiteral("0"),
                       sensorValue(h.cpuTemp),
                       sensorValue(h.gpuTemp),
                       sensorValue(h.ssdTemp),
                       sensorValue(h.memoryTemp),
                       sensorValue(h.batteryTemp),
                       sensorValue(h.systemPower),
                       sensorValue(h.chargerPower),
                       sensorValue(h.fan0),
                       QStringLiteral("0.0")}
        .join(u',');
}

double snapshotHistoryInterval(double refreshInterval) {
    return std::isfinite(refreshInterval) && refreshInterval > 0 ? refreshInterval
                                                                 : kFallbackHistoryInterval;
}

QString buildSnapshotCsv(const CurrentReadings& readings, const MonitorHistories& histories,
                         double intervalSeconds, Clock::WallTime now) {
    QStringList lines{csvHeader(), currentReadingsRow(readings, now)};
    const int count = static_cast<int>(histories.cpu.values().size());
    for (int i = 0; i < count; ++i) {
        lines.append(
            historyRow(histories, i, secondsBefore(now, (count - 1 - i) * intervalSeconds)));
    }
    return lines.join(u'\n');
}

QString buildSnapshotCsv(const SystemMonitor& monitor, Clock::WallTime now) {
    return buildSnapshotCsv(currentReadingsOf(monitor), monitor.histories(),
                            snapshotHistoryInterval(monitor.settings().refreshInterval()), now);
}
