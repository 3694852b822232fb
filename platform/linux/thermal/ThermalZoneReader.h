#pragma once

#include "linux_io/KeptOpenFile.h"
#include "platform/ThermalReadings.h"

#include <filesystem>
#include <string>
#include <vector>

// The thermal zones under <root>/sys/class/thermal. Zones and their trip points are found
// once, at creation; each read takes the mode and the temperature (millidegrees) of every zone
// through kept descriptors. Disabled zones and unreadable temperatures are left out.
class ThermalZoneReader {
public:
    explicit ThermalZoneReader(const std::filesystem::path& root = "/");
    std::vector<ThermalZoneReading> read();

private:
    struct Zone {
        int number = 0;
        std::string type;
        std::vector<TripPoint> trips;
        KeptOpenFile temperature;
        KeptOpenFile mode;
    };
    std::vector<Zone> zones_;
};
