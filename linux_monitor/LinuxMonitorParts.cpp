#include "linux_monitor/LinuxMonitorParts.h"

#include "linux_monitor/LinuxProviders.h"
#include "linux_monitor/LinuxThermalStateReader.h"
#include "platform/linux/desktop/DBusDesktopNotifier.h"
#include "providers/BatteryHealthLogger.h"
#include "providers/BatteryProvider.h"
#include "providers/CpuProvider.h"
#include "providers/GpuProvider.h"
#include "providers/ProcessProvider.h"
#include "providers/RamProvider.h"
#include "recording/CsvRecorder.h"
#include "recording/TemperatureAlertManager.h"
#include "sensors/SensorProvider.h"

MonitorParts makeLinuxMonitorParts(Clock& clock, StorageDetail storage) {
    MonitorParts parts;
    parts.cpu = makeLinuxCpuProvider(clock);
    parts.ram = makeLinuxRamProvider(clock);
    parts.network = makeLinuxNetworkProvider(clock);
    parts.battery = makeLinuxBatteryProvider();
    parts.disk = makeLinuxDiskProvider(clock, storage);
    parts.gpu = makeLinuxGpuProvider(clock);
    parts.processes = makeLinuxProcessProvider(clock);
    parts.thermal = makeLinuxThermalStateReader(clock);
    parts.sensors = std::make_unique<SensorProvider>(clock);
    parts.alerts =
        std::make_unique<TemperatureAlertManager>(clock, std::make_unique<DBusDesktopNotifier>());
    parts.recorder = std::make_unique<CsvRecorder>(clock);
    parts.batteryHealth = makeLinuxBatteryHealthLogger(clock);
    return parts;
}
