#pragma once

#include "shared/SensorReading.h"

#include <optional>
#include <string>
#include <string_view>

// The pure rules that name and scale a sensor channel, kept apart from any file reading.

// A name made fit for an identity: lower case, every character outside [a-z0-9:_] made '_',
// '_' trimmed at both ends ("coretemp.0" -> "coretemp_0").
std::string cleanedName(std::string_view text);

// A hwmon chip's identity, the same whatever number the kernel gave the chip at boot:
// "<device type>_<device name>" from the chip's resolved device path ("platform_coretemp_0"),
// else the chip's `name`, else its hwmon folder's name, each cleaned. `devicePath` is empty
// when the chip has no device.
std::string chipIdentity(std::string_view devicePath, std::string_view name,
                         std::string_view directoryName);

// A driver's label or name as shown: blanks trimmed, control characters dropped, at most
// 64 bytes, cut at a UTF-8 character boundary.
std::string boundedLabel(std::string_view text);

// The file prefix of a kind of hwmon channel: "temp", "fan", "in", "curr", "power", "energy".
std::string_view channelPrefix(SensorKind kind);

// A raw attribute value in the kind's unit (millidegrees -> °C, mV -> V, mA -> A, µW -> W,
// µJ -> J, RPM as is); absent unless the text is one whole decimal number.
std::optional<double> scaledValue(SensorKind kind, std::string_view text);
