#pragma once

#include "helper/SmcReader.h"
#include "shared/SensorReading.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>

// Turns the SMC into one SensorReading: for each field it tries a fixed list of keys in order
// and keeps the first usable value, so one program serves every machine without a table of
// models. Nothing is kept between collections.
class SensorCollector {
public:
    explicit SensorCollector(const SmcReader& reader) : reader_(reader) {}

    SensorReading collect() const;

    // The first value above 0 among `keys`, later keys unread.
    std::optional<double> firstPositive(std::span<const std::string_view> keys) const;
    // The first value of 0 or more among `keys`, later keys unread.
    std::optional<double> firstNonNegative(std::span<const std::string_view> keys) const;

    // The keys of each field, in order of preference.
    static constexpr std::array<std::string_view, 10> kCpuTemperatureKeys{
        "Tp09", "Tp01", "Tp05", "Tp0D", "Tp0b", "Tp0f", "TC0D", "TC0E", "TC0P", "TC0H"};
    static constexpr std::array<std::string_view, 7> kGpuTemperatureKeys{
        "Tg05", "Tg0D", "Tg0f", "TCGC", "TG0D", "TG0P", "TG0H"};
    static constexpr std::array<std::string_view, 3> kBatteryTemperatureKeys{"TB1T", "TB0T",
                                                                             "TB2T"};
    static constexpr std::array<std::string_view, 9> kSsdTemperatureKeys{
        "TH0A", "TH0a", "TH0B", "TH0b", "TH0x", "TH0V", "TN0D", "TH0F", "TH0P"};
    static constexpr std::array<std::string_view, 7> kMemoryTemperatureKeys{
        "Tm02", "Tm01", "Tm0P", "Tm00", "TM0P", "TM0S", "Ts0S"};
    static constexpr std::array<std::string_view, 6> kAmbientTemperatureKeys{
        "TA0P", "TA0p", "TA1P", "TA0S", "Te05", "Te0T"};
    static constexpr std::array<std::string_view, 3> kIoTemperatureKeys{"TI0P", "TI1P", "TW0P"};
    static constexpr std::array<std::string_view, 6> kCpuPowerKeys{"PCPC", "Pcpc", "PSTR",
                                                                   "PC0C", "PPBR", "PC0R"};
    static constexpr std::array<std::string_view, 3> kGpuPowerKeys{"PCPG", "Pcpg", "PGTR"};
    static constexpr std::array<std::string_view, 3> kSystemPowerKeys{"PSTR", "PDTR", "PPBR"};
    static constexpr std::array<std::string_view, 3> kChargerPowerKeys{"PDTR", "PHPC", "PC0C"};
    static constexpr std::array<std::string_view, 1> kFan0Keys{"F0Ac"};
    static constexpr std::array<std::string_view, 1> kFan1Keys{"F1Ac"};
    static constexpr std::string_view kFanCountKey = "FNum";

private:
    const SmcReader& reader_;
};

// The fan count as the record holds it: the value truncated toward zero; 0 when there is no
// value, or when it is not a number or beyond a signed 64-bit integer.
std::int64_t fanCountFromValue(std::optional<double> value);
