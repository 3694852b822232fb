#include "platform/linux/LinuxMonitorParts.h"

#include "platform/linux/LinuxProviders.h"
#include "platform/linux/LinuxThermalStateReader.h"
#include "platform/linux/desktop/DBusDesktopNotifier.h"
#include "providers/BatteryHealthLogger.h"
#include "providers/BatteryProvider.h"
#include "providers/CPUProvider.h"
#include "providers/GPUProvider.h"
#include "providers/ProcessProvider.h"
#include "providers/RAMProvider.h"
#include "recording/CSVRecorder.h"
#include "recording/TemperatureAlertManager.h"
#include "sensors/SensorProvider.h"

MonitorParts makeLinuxMonitorParts(Clock& clock) {
    MonitorParts parts;
    parts.cpu = makeLinuxCPUProvider(clock);
    parts.ram = makeLinuxRAMProvider(clock);
    parts.network = makeLinuxNetworkProvider(clock);
    parts.battery = makeLinuxBatteryProvider();
    parts.disk = makeLinuxDiskProvider(clock);
    parts.gpu = makeLinuxGPUProvider(clock);
    parts.processes = makeLinuxProcessProvider(clock);
    parts.thermal = makeLinuxThermalStateReader(clock);
    parts.sensors = std::make_unique<SensorProvider>(clock);
    parts.alerts =
        std::make_unique<TemperatureAlertManager>(clock, std::make_unique<DBusDesktopNotifier>());
    parts.recorder = std::make_unique<CSVRecorder>(clock);
    parts.batteryHealth = makeLinuxBatteryHealthLogger(clock);
    return parts;
}
