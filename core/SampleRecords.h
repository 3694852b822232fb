#pragma once

#include <QString>
#include <QVector>

#include <algorithm>
#include <cstdint>
#include <optional>

// The records one poll produces, one per metric family. Plain values: copied, never shared.
// Fractions run from 0 to 1, byte counts are exact integers, rates are per second,
// temperatures are degrees Celsius and power is watts.

struct LoadAverages {
    double one = 0;
    double five = 0;
    double fifteen = 0;
    bool operator==(const LoadAverages&) const = default;
};

struct CpuStats {
    double overall = 0;
    QVector<double> perCore;
    int efficiencyCores = 0;
    int performanceCores = 0;
    double userPercent = 0;    // a fraction despite the name
    double systemPercent = 0;  // a fraction despite the name
    LoadAverages loadAvg;
    std::int64_t uptimeSeconds = 0;
    bool operator==(const CpuStats&) const = default;
};

struct RamStats {
    std::uint64_t totalBytes = 0;
    std::uint64_t usedBytes = 0;
    std::uint64_t wiredBytes = 0;
    std::uint64_t activeBytes = 0;
    std::uint64_t compressedBytes = 0;
    std::uint64_t cachedBytes = 0;
    std::uint64_t freeBytes = 0;
    std::uint64_t swapUsedBytes = 0;
    std::uint64_t swapTotalBytes = 0;
    double pageInsPerSec = 0;
    double pageOutsPerSec = 0;
    int pressureLevel = 0;  // 0 normal, 1 elevated, 2 critical
    bool operator==(const RamStats&) const = default;
};

struct NetworkStats {
    double uploadSpeed = 0;
    double downloadSpeed = 0;
    QString interfaceName;
    QString interfaceType;
    QString wifiName;
    QString localIP;
    QString ipv6;
    QString publicIP;
    double peakUpload = 0;
    double peakDownload = 0;
    bool operator==(const NetworkStats&) const = default;
};

struct VolumeInfo {
    QString id;  // the volume's mount path
    QString name;
    std::int64_t totalBytes = 0;
    std::int64_t availableBytes = 0;
    bool isInternal = false;
    bool isRemovable = false;
    bool operator==(const VolumeInfo&) const = default;
};

struct StorageCategory {
    QString id;
    QString name;
    std::int64_t bytes = 0;
    QString icon;
    bool operator==(const StorageCategory&) const = default;
};

// The start-up volume. Used and available need not add up to the total: the blocks a file
// system reserves for root are neither.
struct DiskStats {
    std::int64_t totalBytes = 0;
    std::int64_t usedBytes = 0;       // total minus every free block
    std::int64_t availableBytes = 0;  // what an unprivileged user can still write
    std::int64_t purgeableBytes = 0;  // always 0 on Linux; kept for the files that carry it
    double readBytesPerSec = 0;
    double writeBytesPerSec = 0;
    QVector<StorageCategory> categories;
    QVector<VolumeInfo> volumes;  // never the start-up volume
    bool operator==(const DiskStats&) const = default;
};

struct GpuStats {
    double utilization = 0;
    std::uint64_t usedMemoryBytes = 0;
    std::uint64_t totalMemoryBytes = 0;
    QString name = QStringLiteral("GPU");
    // How many accelerators the poll found; 0 on a machine without a GPU, whose other fields
    // are then only their defaults.
    int acceleratorCount = 0;
    bool operator==(const GpuStats&) const = default;
};

struct BatteryStats {
    bool hasBattery = false;
    int percentage = 0;
    bool isCharging = false;
    bool isPluggedIn = false;
    int timeRemainingMinutes = -1;
    int healthPercent = -1;
    int cycleCount = -1;
    double currentWatts = 0;
    double voltage = 0;
    QString condition;
    int designCapacityMAh = -1;
    int currentMaxCapacityMAh = -1;
    bool operator==(const BatteryStats&) const = default;
};

struct TopProcess {
    std::int32_t id = 0;
    QString name;
    double cpuPercent = 0;  // percent of one processor
    std::uint64_t memoryBytes = 0;
    bool operator==(const TopProcess&) const = default;
};

struct ProcessStats {
    QVector<TopProcess> topByCpu;
    QVector<TopProcess> topByMemory;
    bool operator==(const ProcessStats&) const = default;
};

struct FanReading {
    int index = 0;
    double rpm = 0;
    bool operator==(const FanReading&) const = default;
};

// What a channel of the machine's list of every sensor measures; each kind has one unit.
enum class SensorChannelKind {
    temperature,  // degrees Celsius
    fan,          // revolutions per minute
    voltage,      // volts
    current,      // amperes
    power,        // watts
    energy,       // joules
};

// One reading of that list: a hardware-monitor channel or a thermal zone. `chip` and `sensor`
// name it for good ("platform_nct6775_656", "fan2"; "thermal_zone0", "temp"), as Prometheus'
// node exporter forms its `chip` and `sensor` labels; `chipName` is the driver's name for the
// chip or a zone's type, `label` the driver's label for the channel (empty when it gives none).
struct SensorChannelReading {
    QString chip;
    QString sensor;
    QString chipName;
    QString label;
    SensorChannelKind kind = SensorChannelKind::temperature;
    std::optional<double> value;
    std::optional<double> minimum;
    std::optional<double> maximum;
    std::optional<double> critical;
    // The name a user's renaming or hiding is stored under: "<chip>/<sensor>".
    QString identity() const { return chip + QLatin1Char('/') + sensor; }
    bool operator==(const SensorChannelReading&) const = default;
};

struct SensorStats {
    std::optional<double> cpuTempCelsius;
    std::optional<double> gpuTempCelsius;
    std::optional<double> batteryTempCelsius;
    std::optional<double> ssdTempCelsius;
    std::optional<double> memoryTempCelsius;
    std::optional<double> ambientTempCelsius;
    std::optional<double> ioTempCelsius;
    std::optional<double> cpuPowerWatts;
    std::optional<double> gpuPowerWatts;
    std::optional<double> systemPowerWatts;
    std::optional<double> chargerPowerWatts;
    QVector<FanReading> fans;                // at most two, fan 0 before fan 1
    QVector<SensorChannelReading> channels;  // every sensor of the machine, chip by chip
    bool operator==(const SensorStats&) const = default;
};

// The desktop's thermal-pressure level; the integer value is what gets compared and written.
enum class ThermalState : int { nominal = 0, fair = 1, serious = 2, critical = 3 };

inline int thermalStateValue(ThermalState state) {
    return static_cast<int>(state);
}

// Derived quantities every consumer computes the same way.
inline double memoryFraction(const RamStats& ram) {
    return ram.totalBytes == 0
               ? 0.0
               : static_cast<double>(ram.usedBytes) / static_cast<double>(ram.totalBytes);
}

// The share of the space users can have that is in use, as df's "Use%": used over used plus
// available, so a volume full for users reads 100 % even with root's reserve left.
inline double diskFraction(const DiskStats& disk) {
    const double used = static_cast<double>(std::max<std::int64_t>(0, disk.usedBytes));
    const double usable =
        used + static_cast<double>(std::max<std::int64_t>(0, disk.availableBytes));
    return usable < 1 ? 0.0 : used / usable;
}

inline double batteryFraction(const BatteryStats& battery) {
    return battery.percentage / 100.0;
}
