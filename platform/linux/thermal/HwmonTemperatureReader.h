#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/ThermalReadings.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Hardware-monitor temperatures under <root>/sys/class/hwmon that have a limit (temp*_max or
// temp*_crit above 0 °C); others cannot raise the thermal state and are not read. Chips and
// sensors are found once, at creation, through the hwmon inventory (chips by identity, sensors
// by number), and their limits read then; each read takes the temp*_input values.
// A chip whose device is runtime-suspended is skipped, so that a sleeping GPU is not woken.
class HwmonTemperatureReader {
public:
    explicit HwmonTemperatureReader(const std::filesystem::path& root = "/");
    std::vector<HwmonTemperature> read();

private:
    struct Sensor {
        std::string name;
        std::optional<double> maxCelsius;
        std::optional<double> critCelsius;
        KeptOpenFile input;
    };
    struct Chip {
        std::string name;
        std::optional<KeptOpenFile> runtimeStatus;
        std::vector<Sensor> sensors;
    };
    std::vector<Chip> chips_;
};
