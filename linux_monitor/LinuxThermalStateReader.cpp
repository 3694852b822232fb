#include "linux_monitor/LinuxThermalStateReader.h"

LinuxThermalStateReader::LinuxThermalStateReader(const Clock& clock,
                                                 const std::filesystem::path& root)
    : zones_(root), throttle_(root), hwmon_(root), tracker_(clock) {}

ThermalState LinuxThermalStateReader::read() {
    return tracker_.update({zones_.read(), throttle_.read(), hwmon_.read()});
}

std::unique_ptr<ThermalStateReader> makeLinuxThermalStateReader(const Clock& clock,
                                                                const std::filesystem::path& root) {
    return std::make_unique<LinuxThermalStateReader>(clock, root);
}
