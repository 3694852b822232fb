#include "core/RecordJson.h"

#include <QDateTime>
#include <QJsonArray>

#include <chrono>
#include <cmath>

namespace {

// JSON numbers are doubles: byte counts stay exact up to 2^53 bytes, far beyond any machine.
QJsonValue bytes(std::uint64_t value) {
    return static_cast<double>(value);
}
QJsonValue bytes(std::int64_t value) {
    return static_cast<double>(value);
}

// NaN and infinities have no JSON form; they are written as null rather than as a lie.
QJsonValue number(double value) {
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();
}

QJsonValue optionalNumber(const std::optional<double>& value) {
    return value ? number(*value) : QJsonValue();
}

QJsonArray numbers(const QVector<double>& values) {
    QJsonArray array;
    for (double value : values) {
        array.append(number(value));
    }
    return array;
}

QJsonArray processList(const QVector<TopProcess>& processes) {
    QJsonArray array;
    for (const auto& process : processes) {
        array.append(QJsonObject{{"id", process.id},
                                 {"name", process.name},
                                 {"cpuPercent", number(process.cpuPercent)},
                                 {"memoryBytes", bytes(process.memoryBytes)}});
    }
    return array;
}

}  // namespace

QJsonObject toJson(const CpuStats& cpu) {
    return {{"overall", number(cpu.overall)},
            {"perCore", numbers(cpu.perCore)},
            {"efficiencyCores", cpu.efficiencyCores},
            {"performanceCores", cpu.performanceCores},
            {"userPercent", number(cpu.userPercent)},
            {"systemPercent", number(cpu.systemPercent)},
            {"loadAvg", QJsonObject{{"one", number(cpu.loadAvg.one)},
                                    {"five", number(cpu.loadAvg.five)},
                                    {"fifteen", number(cpu.loadAvg.fifteen)}}},
            {"uptimeSeconds", bytes(cpu.uptimeSeconds)}};
}

QJsonObject toJson(const RamStats& ram) {
    return {{"totalBytes", bytes(ram.totalBytes)},
            {"usedBytes", bytes(ram.usedBytes)},
            {"wiredBytes", bytes(ram.wiredBytes)},
            {"activeBytes", bytes(ram.activeBytes)},
            {"compressedBytes", bytes(ram.compressedBytes)},
            {"cachedBytes", bytes(ram.cachedBytes)},
            {"freeBytes", bytes(ram.freeBytes)},
            {"swapUsedBytes", bytes(ram.swapUsedBytes)},
            {"swapTotalBytes", bytes(ram.swapTotalBytes)},
            {"pageInsPerSec", number(ram.pageInsPerSec)},
            {"pageOutsPerSec", number(ram.pageOutsPerSec)},
            {"pressureLevel", ram.pressureLevel}};
}

QJsonObject toJson(const NetworkStats& network) {
    return {{"uploadSpeed", number(network.uploadSpeed)},
            {"downloadSpeed", number(network.downloadSpeed)},
            {"interfaceName", network.interfaceName},
            {"interfaceType", network.interfaceType},
            {"wifiName", network.wifiName},
            {"localIP", network.localIP},
            {"ipv6", network.ipv6},
            {"publicIP", network.publicIP},
            {"peakUpload", number(network.peakUpload)},
            {"peakDownload", number(network.peakDownload)}};
}

QJsonObject toJson(const DiskStats& disk) {
    QJsonArray categories;
    for (const auto& category : disk.categories) {
        categories.append(QJsonObject{{"id", category.id},
                                      {"name", category.name},
                                      {"bytes", bytes(category.bytes)},
                                      {"icon", category.icon}});
    }
    QJsonArray volumes;
    for (const auto& volume : disk.volumes) {
        volumes.append(QJsonObject{{"id", volume.id},
                                   {"name", volume.name},
                                   {"totalBytes", bytes(volume.totalBytes)},
                                   {"availableBytes", bytes(volume.availableBytes)},
                                   {"isInternal", volume.isInternal},
                                   {"isRemovable", volume.isRemovable}});
    }
    return {{"totalBytes", bytes(disk.totalBytes)},
            {"usedBytes", bytes(disk.usedBytes)},
            {"availableBytes", bytes(disk.availableBytes)},
            {"purgeableBytes", bytes(disk.purgeableBytes)},
            {"readBytesPerSec", number(disk.readBytesPerSec)},
            {"writeBytesPerSec", number(disk.writeBytesPerSec)},
            {"categories", categories},
            {"volumes", volumes}};
}

QJsonObject toJson(const GpuStats& gpu) {
    return {{"utilization", number(gpu.utilization)},
            {"usedMemoryBytes", bytes(gpu.usedMemoryBytes)},
            {"totalMemoryBytes", bytes(gpu.totalMemoryBytes)},
            {"name", gpu.name}};
}

QJsonObject toJson(const BatteryStats& battery) {
    return {{"hasBattery", battery.hasBattery},
            {"percentage", battery.percentage},
            {"isCharging", battery.isCharging},
            {"isPluggedIn", battery.isPluggedIn},
            {"timeRemainingMinutes", battery.timeRemainingMinutes},
            {"healthPercent", battery.healthPercent},
            {"cycleCount", battery.cycleCount},
            {"currentWatts", number(battery.currentWatts)},
            {"voltage", number(battery.voltage)},
            {"condition", battery.condition},
            {"designCapacityMAh", battery.designCapacityMAh},
            {"currentMaxCapacityMAh", battery.currentMaxCapacityMAh}};
}

QJsonObject toJson(const ProcessStats& processes) {
    return {{"topByCPU", processList(processes.topByCpu)},
            {"topByMemory", processList(processes.topByMemory)}};
}

namespace {

// The kind and unit names of the list of every sensor, for scripts.
QString kindName(SensorChannelKind kind) {
    switch (kind) {
        case SensorChannelKind::temperature:
            return QStringLiteral("temperature");
        case SensorChannelKind::fan:
            return QStringLiteral("fan");
        case SensorChannelKind::voltage:
            return QStringLiteral("voltage");
        case SensorChannelKind::current:
            return QStringLiteral("current");
        case SensorChannelKind::power:
            return QStringLiteral("power");
        case SensorChannelKind::energy:
            return QStringLiteral("energy");
    }
    return {};
}

QString unitName(SensorChannelKind kind) {
    switch (kind) {
        case SensorChannelKind::temperature:
            return QStringLiteral("celsius");
        case SensorChannelKind::fan:
            return QStringLiteral("rpm");
        case SensorChannelKind::voltage:
            return QStringLiteral("volts");
        case SensorChannelKind::current:
            return QStringLiteral("amperes");
        case SensorChannelKind::power:
            return QStringLiteral("watts");
        case SensorChannelKind::energy:
            return QStringLiteral("joules");
    }
    return {};
}

QJsonArray channelList(const QVector<SensorChannelReading>& channels) {
    QJsonArray array;
    for (const SensorChannelReading& channel : channels) {
        array.append(QJsonObject{{"chip", channel.chip},
                                 {"sensor", channel.sensor},
                                 {"chipName", channel.chipName},
                                 {"label", channel.label},
                                 {"kind", kindName(channel.kind)},
                                 {"unit", unitName(channel.kind)},
                                 {"value", optionalNumber(channel.value)},
                                 {"min", optionalNumber(channel.minimum)},
                                 {"max", optionalNumber(channel.maximum)},
                                 {"critical", optionalNumber(channel.critical)}});
    }
    return array;
}

}  // namespace

QJsonObject toJson(const SensorStats& sensors) {
    QJsonArray fans;
    for (const auto& fan : sensors.fans) {
        fans.append(QJsonObject{{"index", fan.index}, {"rpm", number(fan.rpm)}});
    }
    return {{"cpuTempCelsius", optionalNumber(sensors.cpuTempCelsius)},
            {"gpuTempCelsius", optionalNumber(sensors.gpuTempCelsius)},
            {"batteryTempCelsius", optionalNumber(sensors.batteryTempCelsius)},
            {"ssdTempCelsius", optionalNumber(sensors.ssdTempCelsius)},
            {"memoryTempCelsius", optionalNumber(sensors.memoryTempCelsius)},
            {"ambientTempCelsius", optionalNumber(sensors.ambientTempCelsius)},
            {"ioTempCelsius", optionalNumber(sensors.ioTempCelsius)},
            {"cpuPowerWatts", optionalNumber(sensors.cpuPowerWatts)},
            {"gpuPowerWatts", optionalNumber(sensors.gpuPowerWatts)},
            {"systemPowerWatts", optionalNumber(sensors.systemPowerWatts)},
            {"chargerPowerWatts", optionalNumber(sensors.chargerPowerWatts)},
            {"fans", fans},
            {"sensors", channelList(sensors.channels)}};
}

QJsonObject toJson(const SessionSummary& session) {
    const auto startMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(session.startTime.time_since_epoch())
            .count();
    return {
        {"startTime", QDateTime::fromMSecsSinceEpoch(startMs, Qt::UTC).toString(Qt::ISODateWithMs)},
        {"peakCPU", number(session.peakCpu)},
        {"peakRAMBytes", bytes(session.peakRamBytes)},
        {"peakGPU", number(session.peakGpu)},
        {"peakDownload", number(session.peakDownload)},
        {"peakUpload", number(session.peakUpload)},
        {"worstThermal", thermalStateValue(session.worstThermal)},
        {"totalDownloadBytes", number(session.totalDownloadBytes)},
        {"totalUploadBytes", number(session.totalUploadBytes)},
        {"throttleSeconds", bytes(session.throttleSeconds)},
        {"peakCPUTemp", number(session.peakCpuTemp)},
        {"peakGPUTemp", number(session.peakGpuTemp)},
        {"pollCount", bytes(session.pollCount)}};
}
