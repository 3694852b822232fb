#pragma once

#include "helper/SensorField.h"

#include <array>
#include <span>
#include <string_view>

// The SMC keys of each field on an Intel Mac, in order of preference; the first usable value
// wins, so one list serves every model. Some keys stand for more than one field: a Mac
// without its CPU power key shows its system power there.
namespace apple_smc_keys {

inline constexpr std::array<std::string_view, 10> kCpuTemperature{
    "Tp09", "Tp01", "Tp05", "Tp0D", "Tp0b", "Tp0f", "TC0D", "TC0E", "TC0P", "TC0H"};
inline constexpr std::array<std::string_view, 7> kGpuTemperature{"Tg05", "Tg0D", "Tg0f", "TCGC",
                                                                 "TG0D", "TG0P", "TG0H"};
inline constexpr std::array<std::string_view, 3> kBatteryTemperature{"TB1T", "TB0T", "TB2T"};
inline constexpr std::array<std::string_view, 9> kSsdTemperature{
    "TH0A", "TH0a", "TH0B", "TH0b", "TH0x", "TH0V", "TN0D", "TH0F", "TH0P"};
inline constexpr std::array<std::string_view, 7> kMemoryTemperature{"Tm02", "Tm01", "Tm0P", "Tm00",
                                                                    "TM0P", "TM0S", "Ts0S"};
inline constexpr std::array<std::string_view, 6> kAmbientTemperature{"TA0P", "TA0p", "TA1P",
                                                                     "TA0S", "Te05", "Te0T"};
inline constexpr std::array<std::string_view, 3> kIoTemperature{"TI0P", "TI1P", "TW0P"};
inline constexpr std::array<std::string_view, 6> kCpuPower{"PCPC", "Pcpc", "PSTR",
                                                           "PC0C", "PPBR", "PC0R"};
inline constexpr std::array<std::string_view, 3> kGpuPower{"PCPG", "Pcpg", "PGTR"};
inline constexpr std::array<std::string_view, 3> kSystemPower{"PSTR", "PDTR", "PPBR"};
inline constexpr std::array<std::string_view, 3> kChargerPower{"PDTR", "PHPC", "PC0C"};
inline constexpr std::array<std::string_view, 1> kFan0{"F0Ac"};
inline constexpr std::array<std::string_view, 1> kFan1{"F1Ac"};
inline constexpr std::string_view kFanCount = "FNum";

}  // namespace apple_smc_keys

// The key list of a field.
std::span<const std::string_view> appleSmcKeysOf(SensorField field);
