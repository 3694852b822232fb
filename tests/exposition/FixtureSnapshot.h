#pragma once

#include "exposition/MetricsSnapshot.h"

#include <chrono>

// A snapshot with every figure measured: a laptop with a GPU, a battery, the sensor helper,
// `channelCount` sensor channels of every kind and full top lists.
inline MetricsSnapshot fixtureSnapshot(int channelCount = 24) {
    MetricsSnapshot snapshot;
    snapshot.version = QStringLiteral("1.4.0");
    snapshot.helperAvailable = true;
    snapshot.cpu.overall = 0.25;
    snapshot.cpu.perCore = {0.5, 0.125, 0.0, 1.0, 0.3, 0.1, 0.7, 0.2};
    snapshot.cpu.userPercent = 0.18;
    snapshot.cpu.systemPercent = 0.07;
    snapshot.cpu.loadAvg = {1.5, 0.75, 0.5};
    snapshot.cpu.uptimeSeconds = 86'400;
    snapshot.ram = {.totalBytes = 16'611'110'912,
                    .usedBytes = 6'442'450'944,
                    .cachedBytes = 4'294'967'296,
                    .freeBytes = 3'221'225'472,
                    .swapUsedBytes = 1'048'576,
                    .swapTotalBytes = 2'147'483'648,
                    .pressureLevel = 1};
    snapshot.network.interfaceName = QStringLiteral("wlp2s0");
    snapshot.network.downloadSpeed = 125'000.5;
    snapshot.network.uploadSpeed = 4'096;
    snapshot.disk.totalBytes = 502'468'108'288;
    snapshot.disk.usedBytes = 201'326'592'000;
    snapshot.disk.availableBytes = 275'000'000'000;
    snapshot.disk.readBytesPerSec = 1'048'576;
    snapshot.disk.writeBytesPerSec = 65'536.25;
    snapshot.disk.volumes.resize(2);
    snapshot.disk.volumes[0].id = QStringLiteral("/home");
    snapshot.disk.volumes[0].totalBytes = 1'000'000'000'000;
    snapshot.disk.volumes[0].availableBytes = 400'000'000'000;
    snapshot.disk.volumes[1].id = QStringLiteral("/media/usb stick");
    snapshot.disk.volumes[1].totalBytes = 64'000'000'000;
    snapshot.disk.volumes[1].availableBytes = 1'000'000;
    snapshot.gpu = {.utilization = 0.42,
                    .usedMemoryBytes = 1'073'741'824,
                    .totalMemoryBytes = 4'294'967'296,
                    .name = QStringLiteral("NVIDIA GeForce GTX 1650"),
                    .acceleratorCount = 1};
    snapshot.battery.hasBattery = true;
    snapshot.battery.percentage = 87;
    snapshot.battery.isCharging = true;
    snapshot.battery.isPluggedIn = true;
    snapshot.battery.timeRemainingMinutes = 35;
    snapshot.battery.healthPercent = 91;
    snapshot.battery.cycleCount = 312;
    snapshot.battery.currentWatts = 24.5;
    snapshot.thermalState = ThermalState::fair;
    snapshot.sensors.cpuTempCelsius = 61.5;
    snapshot.sensors.gpuTempCelsius = 55;
    snapshot.sensors.ssdTempCelsius = 38.85;
    snapshot.sensors.cpuPowerWatts = 12.25;
    snapshot.sensors.systemPowerWatts = 31;
    snapshot.sensors.fans = {{0, 2150}, {1, 1980}};
    const SensorChannelKind kinds[] = {SensorChannelKind::temperature, SensorChannelKind::fan,
                                       SensorChannelKind::voltage,     SensorChannelKind::current,
                                       SensorChannelKind::power,       SensorChannelKind::energy};
    for (int i = 0; i < channelCount; ++i) {
        SensorChannelReading channel;
        channel.chip = QStringLiteral("platform_nct6775_%1").arg(656 + i / 16);
        channel.kind = kinds[i % 6];
        channel.sensor = QStringLiteral("channel%1").arg(i);
        channel.chipName = QStringLiteral("nct6798");
        channel.label = i % 4 == 0 ? QString() : QStringLiteral("Channel %1").arg(i);
        channel.value = 40.125 + i;
        if (channel.kind == SensorChannelKind::temperature) {
            channel.maximum = 90;
            channel.critical = 100;
        }
        snapshot.sensors.channels.append(channel);
    }
    for (int rank = 0; rank < 5; ++rank) {
        snapshot.processes.topByCpu.append({.id = 100 + rank,
                                            .name = QStringLiteral("worker-%1").arg(rank),
                                            .cpuPercent = 150.0 - rank * 20});
        snapshot.processes.topByMemory.append({.id = 200 + rank,
                                               .name = QStringLiteral("firefox-%1").arg(rank),
                                               .memoryBytes = 900'000'000ULL - rank * 1000});
    }
    snapshot.session.startTime =
        std::chrono::system_clock::time_point(std::chrono::milliseconds(1'765'000'000'250));
    snapshot.session.pollCount = 1'234;
    snapshot.session.peakCpu = 0.97;
    snapshot.session.peakRamBytes = 9'000'000'000;
    snapshot.session.peakGpu = 0.8;
    snapshot.session.peakDownload = 2.5e6;
    snapshot.session.peakUpload = 1.25e5;
    snapshot.session.worstThermal = ThermalState::serious;
    snapshot.session.totalDownloadBytes = 7'500'000'000;
    snapshot.session.totalUploadBytes = 120'000'000.75;
    snapshot.session.throttleTime = 42.5;
    snapshot.session.peakCpuTemp = 88.5;
    snapshot.session.peakGpuTemp = 71;
    return snapshot;
}
