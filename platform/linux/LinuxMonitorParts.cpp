#include "platform/linux/LinuxMonitorParts.h"

#include "platform/linux/LinuxThermalStateReader.h"
#include "providers/BatteryHealthLogger.h"
#include "providers/BatteryProvider.h"
#include "providers/CPUProvider.h"
#include "providers/DiskProvider.h"
#include "providers/GPUProvider.h"
#include "providers/LinuxNetworkProvider.h"
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
    parts.battery = std::make_unique<BatteryProvider>();
    parts.disk = std::make_unique<DiskProvider>();
    parts.gpu = std::make_unique<GPUProvider>();
    parts.processes = std::make_unique<ProcessProvider>();
    parts.thermal = makeLinuxThermalStateReader(clock);
    parts.sensors = std::make_unique<SensorProvider>(clock);
    parts.alerts = std::make_unique<TemperatureAlertManager>();
    parts.recorder = std::make_unique<CSVRecorder>();
    parts.batteryHealth = std::make_unique<BatteryHealthLogger>();
    return parts;
}
