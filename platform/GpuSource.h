#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <optional>

// Each graphics accelerator is handed to the GPU sampler as a property dictionary: its model
// name under "IOClass" and its figures in a nested "PerformanceStatistics" dictionary, under
// the key names the sampler tries.
namespace AcceleratorKey {
inline const QString name = QStringLiteral("IOClass");
inline const QString statistics = QStringLiteral("PerformanceStatistics");
inline const QString deviceUtilization = QStringLiteral("Device Utilization %");
inline const QString gpuActivity = QStringLiteral("GPU Activity(%)");
inline const QString rendererUtilization = QStringLiteral("Renderer Utilization %");
inline const QString inUseSystemMemory = QStringLiteral("In Use System Memory");
inline const QString vramUsedDotted = QStringLiteral("VRAM,usedBytes");
inline const QString vramUsed = QStringLiteral("vramUsedBytes");
inline const QString allocSystemMemory = QStringLiteral("Alloc system memory");
inline const QString vramTotalDotted = QStringLiteral("VRAM,totalBytes");
inline const QString vramTotal = QStringLiteral("vramTotalBytes");
// True for the card the firmware set up to drive the display.
inline const QString drivesDisplay = QStringLiteral("DrivesDisplay");
}  // namespace AcceleratorKey

// What a platform reader learned about one accelerator in one poll; absent = not known.
struct AcceleratorReading {
    std::optional<QString> name;
    std::optional<double> busyFraction;  // 0 to 1
    std::optional<std::uint64_t> vramUsedBytes;
    std::optional<std::uint64_t> vramTotalBytes;
    bool drivesDisplay = false;
    bool operator==(const AcceleratorReading&) const = default;
};

// The reading as the sampler's property dictionary. The busy share goes in as a fraction, so a
// driver's "1 %" can never be taken for 100 %.
QVariantMap acceleratorProperties(const AcceleratorReading& reading);

// Every accelerator of the machine, one dictionary each, in a stable order. Never throws:
// a machine without accelerators, or one whose sources cannot be read, gives an empty list.
class AcceleratorSource {
public:
    virtual ~AcceleratorSource() = default;
    virtual QList<QVariantMap> readAccelerators() = 0;
};
