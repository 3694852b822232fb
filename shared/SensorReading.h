#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a sensor channel measures; each kind has one unit.
enum class SensorKind : std::uint8_t {
    temperature = 1,  // degrees Celsius
    fan = 2,          // revolutions per minute
    voltage = 3,      // volts
    current = 4,      // amperes
    power = 5,        // watts
    energy = 6,       // joules
};

// One reading of the machine's list of every sensor: a hwmon channel or a thermal zone.
// `chip` and `sensor` together name it for good, whatever number the kernel gave the chip at
// boot: `chip` is the chip's device path as Prometheus' node exporter forms it
// ("platform_coretemp_0", "pci0000:00_0000:00:18_3"; "thermal_zone0" for a thermal zone) and
// `sensor` the channel ("temp1", "fan2", "in0"; "temp" for a thermal zone).
struct SensorChannel {
    std::string chip;
    std::string sensor;
    std::string chipName;  // the driver's name for the chip ("nct6775"), a zone's type
    std::string label;     // the driver's label for the channel ("Package id 0"), or empty
    SensorKind kind = SensorKind::temperature;
    std::optional<double> value;
    std::optional<double> minimum;
    std::optional<double> maximum;
    std::optional<double> critical;
    bool operator==(const SensorChannel&) const = default;
};

// The one record the helper sends: the named fields, each absent when no source gave a
// usable value, and every sensor channel of the machine.
// Compiled into both programs; plain C++ so the helper needs nothing of the application.
struct SensorReading {
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
    std::optional<double> fan0Rpm;
    std::optional<double> fan1Rpm;
    std::int64_t fanCount = 0;
    std::vector<SensorChannel> channels;
    bool operator==(const SensorReading&) const = default;
};
