#include "platform/GpuSource.h"

QVariantMap acceleratorProperties(const AcceleratorReading& reading) {
    QVariantMap properties;
    if (reading.name) {
        properties.insert(AcceleratorKey::name, *reading.name);
    }
    if (reading.drivesDisplay) {
        properties.insert(AcceleratorKey::drivesDisplay, true);
    }
    QVariantMap statistics;
    if (reading.busyFraction) {
        statistics.insert(AcceleratorKey::deviceUtilization, *reading.busyFraction);
    }
    if (reading.vramUsedBytes) {
        statistics.insert(AcceleratorKey::vramUsed, qulonglong{*reading.vramUsedBytes});
    }
    if (reading.vramTotalBytes) {
        statistics.insert(AcceleratorKey::vramTotal, qulonglong{*reading.vramTotalBytes});
    }
    if (!statistics.isEmpty()) {
        properties.insert(AcceleratorKey::statistics, statistics);
    }
    return properties;
}
