#include "exposition/MetricFamilies.h"

#include <QSet>

#include <cmath>
#include <cstdint>

namespace {

void writeCpu(ExpositionWriter& writer, const CpuStats& cpu) {
    writer.beginFamily("vantrel_cpu_usage_ratio", MetricKind::gauge,
                       "Share of all processors busy since the previous poll, 0 to 1.");
    writer.sample(cpu.overall);
    writer.beginFamily("vantrel_cpu_core_usage_ratio", MetricKind::gauge,
                       "Share of one processor core busy since the previous poll, 0 to 1.");
    for (qsizetype core = 0; core < cpu.perCore.size(); ++core) {
        const NumberLabelText coreText(core);
        writer.sample(cpu.perCore[core], {{"cpu", coreText.view()}});
    }
    writer.beginFamily("vantrel_cpu_user_ratio", MetricKind::gauge,
                       "Share of all processors running user code since the previous poll.");
    writer.sample(cpu.userPercent);
    writer.beginFamily("vantrel_cpu_system_ratio", MetricKind::gauge,
                       "Share of all processors running the kernel since the previous poll.");
    writer.sample(cpu.systemPercent);
    writer.beginFamily("vantrel_load1", MetricKind::gauge, "Load average over one minute.");
    writer.sample(cpu.loadAvg.one);
    writer.beginFamily("vantrel_load5", MetricKind::gauge, "Load average over five minutes.");
    writer.sample(cpu.loadAvg.five);
    writer.beginFamily("vantrel_load15", MetricKind::gauge, "Load average over fifteen minutes.");
    writer.sample(cpu.loadAvg.fifteen);
    writer.beginFamily("vantrel_uptime_seconds", MetricKind::gauge,
                       "Seconds since the machine started.");
    writer.sample(cpu.uptimeSeconds);
}

// A record whose total is zero was not read: its figures are left out rather than shown as 0.
void writeMemory(ExpositionWriter& writer, const RamStats& ram) {
    if (ram.totalBytes == 0) {
        return;
    }
    const struct {
        std::string_view name;
        std::string_view help;
        std::uint64_t bytes;
    } figures[] = {
        {"vantrel_memory_total_bytes", "Physical memory of the machine.", ram.totalBytes},
        {"vantrel_memory_used_bytes", "Physical memory in use by programs and the kernel.",
         ram.usedBytes},
        {"vantrel_memory_cached_bytes", "Physical memory holding file caches.", ram.cachedBytes},
        {"vantrel_memory_free_bytes", "Physical memory holding nothing.", ram.freeBytes},
        {"vantrel_memory_swap_total_bytes", "Swap space of the machine.", ram.swapTotalBytes},
        {"vantrel_memory_swap_used_bytes", "Swap space in use.", ram.swapUsedBytes},
    };
    for (const auto& figure : figures) {
        writer.beginFamily(figure.name, MetricKind::gauge, figure.help);
        writer.sample(figure.bytes);
    }
    writer.beginFamily("vantrel_memory_pressure_level", MetricKind::gauge,
                       "Memory pressure: 0 normal, 1 elevated, 2 critical.");
    writer.sample(ram.pressureLevel);
}

// The volumes besides the start-up volume, each once, by mount path.
QVector<const VolumeInfo*> otherVolumes(const DiskStats& disk) {
    QVector<const VolumeInfo*> volumes;
    QSet<QString> seen{QStringLiteral("/")};
    for (const VolumeInfo& volume : disk.volumes) {
        if (volume.totalBytes > 0 && !volume.id.isEmpty() && !seen.contains(volume.id)) {
            seen.insert(volume.id);
            volumes.append(&volume);
        }
    }
    return volumes;
}

void writeDisk(ExpositionWriter& writer, const DiskStats& disk) {
    const bool startUpRead = disk.totalBytes > 0;
    const QVector<const VolumeInfo*> volumes = otherVolumes(disk);
    writer.beginFamily("vantrel_disk_size_bytes", MetricKind::gauge, "Size of a volume.");
    if (startUpRead) {
        writer.sample(disk.totalBytes, {{"mountpoint", "/"}});
    }
    for (const VolumeInfo* volume : volumes) {
        writer.sample(volume->totalBytes, {{"mountpoint", volume->id}});
    }
    writer.beginFamily("vantrel_disk_available_bytes", MetricKind::gauge,
                       "Space of a volume an unprivileged user can still write.");
    if (startUpRead) {
        writer.sample(disk.availableBytes, {{"mountpoint", "/"}});
    }
    for (const VolumeInfo* volume : volumes) {
        writer.sample(volume->availableBytes, {{"mountpoint", volume->id}});
    }
    // Only the start-up volume's free blocks are read; for the others, the size less the
    // available space would count root's reserve as used, so they have no used figure.
    writer.beginFamily("vantrel_disk_used_bytes", MetricKind::gauge,
                       "Space of the start-up volume in use: its size less every free block.");
    if (startUpRead) {
        writer.sample(disk.usedBytes, {{"mountpoint", "/"}});
    }
    writer.beginFamily("vantrel_disk_read_bytes_per_second", MetricKind::gauge,
                       "Bytes read from the machine's disks per second since the previous poll.");
    writer.sample(disk.readBytesPerSec);
    writer.beginFamily("vantrel_disk_write_bytes_per_second", MetricKind::gauge,
                       "Bytes written to the machine's disks per second since the previous poll.");
    writer.sample(disk.writeBytesPerSec);
}

void writeNetwork(ExpositionWriter& writer, const NetworkStats& network,
                  const SessionSummary& session) {
    if (!network.interfaceName.isEmpty()) {
        writer.beginFamily("vantrel_network_receive_bytes_per_second", MetricKind::gauge,
                           "Bytes received per second on the primary interface.");
        writer.sample(network.downloadSpeed, {{"interface", network.interfaceName}});
        writer.beginFamily("vantrel_network_transmit_bytes_per_second", MetricKind::gauge,
                           "Bytes sent per second on the primary interface.");
        writer.sample(network.uploadSpeed, {{"interface", network.interfaceName}});
    }
    writer.beginFamily("vantrel_network_receive_bytes_total", MetricKind::counter,
                       "Bytes received on the primary interface since the exporter started.");
    // The totals add up rates over time; a count of bytes is whole, and rounding down keeps it
    // from ever going back.
    writer.sample(std::floor(session.totalDownloadBytes));
    writer.beginFamily("vantrel_network_transmit_bytes_total", MetricKind::counter,
                       "Bytes sent on the primary interface since the exporter started.");
    writer.sample(std::floor(session.totalUploadBytes));
}

// A machine without a GPU has only the record's defaults: nothing of it is exported.
void writeGpu(ExpositionWriter& writer, const GpuStats& gpu) {
    if (gpu.acceleratorCount <= 0) {
        return;
    }
    writer.beginFamily("vantrel_gpu_usage_ratio", MetricKind::gauge,
                       "Share of the GPU busy, 0 to 1.");
    writer.sample(gpu.utilization, {{"card", "0"}, {"name", gpu.name}});
    if (gpu.totalMemoryBytes == 0) {
        return;  // a GPU that reports no memory of its own
    }
    writer.beginFamily("vantrel_gpu_memory_used_bytes", MetricKind::gauge, "GPU memory in use.");
    writer.sample(gpu.usedMemoryBytes, {{"card", "0"}, {"name", gpu.name}});
    writer.beginFamily("vantrel_gpu_memory_total_bytes", MetricKind::gauge, "GPU memory.");
    writer.sample(gpu.totalMemoryBytes, {{"card", "0"}, {"name", gpu.name}});
}

void writeBattery(ExpositionWriter& writer, const BatteryStats& battery) {
    if (!battery.hasBattery) {
        return;
    }
    writer.beginFamily("vantrel_battery_charge_ratio", MetricKind::gauge,
                       "Charge of the system's battery, 0 to 1.");
    writer.sample(batteryFraction(battery));
    writer.beginFamily("vantrel_battery_charging", MetricKind::gauge,
                       "1 while the battery charges, else 0.");
    writer.sample(battery.isCharging);
    writer.beginFamily("vantrel_battery_plugged_in", MetricKind::gauge,
                       "1 while the machine runs on external power, else 0.");
    writer.sample(battery.isPluggedIn);
    writer.beginFamily("vantrel_battery_power_watts", MetricKind::gauge,
                       "Power flowing into or out of the battery.");
    writer.sample(battery.currentWatts);
    writer.beginFamily("vantrel_battery_time_remaining_seconds", MetricKind::gauge,
                       "Seconds until the battery is empty, or full while it charges.");
    if (battery.timeRemainingMinutes >= 0) {
        writer.sample(std::int64_t{battery.timeRemainingMinutes} * 60);
    }
    writer.beginFamily("vantrel_battery_health_ratio", MetricKind::gauge,
                       "The battery's full charge capacity over its design capacity.");
    if (battery.healthPercent >= 0) {
        writer.sample(battery.healthPercent / 100.0);
    }
    writer.beginFamily("vantrel_battery_cycles", MetricKind::gauge,
                       "Charge cycles the battery has counted.");
    if (battery.cycleCount >= 0) {
        writer.sample(battery.cycleCount);
    }
}

void writeThermal(ExpositionWriter& writer, const MetricsSnapshot& snapshot) {
    writer.beginFamily("vantrel_thermal_state", MetricKind::gauge,
                       "Thermal pressure: 0 nominal, 1 fair, 2 serious, 3 critical.");
    writer.sample(thermalStateValue(snapshot.thermalState));
    writer.beginFamily("vantrel_thermal_throttle_seconds_total", MetricKind::counter,
                       "Seconds spent in the serious or critical thermal state since the "
                       "exporter started.");
    writer.sample(snapshot.session.throttleTime);
}

}  // namespace

void writeMachineFamilies(ExpositionWriter& writer, const MetricsSnapshot& snapshot) {
    writeCpu(writer, snapshot.cpu);
    writeMemory(writer, snapshot.ram);
    writeDisk(writer, snapshot.disk);
    writeNetwork(writer, snapshot.network, snapshot.session);
    writeGpu(writer, snapshot.gpu);
    writeBattery(writer, snapshot.battery);
    writeThermal(writer, snapshot);
}
