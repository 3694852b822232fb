#pragma once

#include "shared/SensorReading.h"
#include "shared/WireFrame.h"

#include <optional>
#include <string>
#include <string_view>

// The helper's two answers as whole frames.
//
// fetchSensors: a keyed archive of class "SensorReading" with the thirteen doubles under "cpuT",
// "gpuT", "batT", "ssdT", "memT", "ambT", "ioT", "cpuP", "gpuP", "sysP", "chgP", "f0", "f1" and
// the fan count as an integer under "fc". Decoding takes no other class, skips keys it does not
// know, gives 0 for a key that is missing, and refuses a known key of the wrong type or a
// number that is not finite (the encoder writes -1.0, "not measured", in place of one).
//
// helperVersion: one length byte (1..kMaxVersionLength) and the version in printable ASCII.
namespace wire {

inline constexpr std::string_view kSensorReadingClass = "SensorReading";
inline constexpr std::size_t kMaxVersionLength = 32;

Frame encodeSensorReply(const SensorReading& reading);
std::optional<SensorReading> decodeSensorReply(Bytes frame);

// Nothing when `version` is empty, too long or not printable ASCII.
std::optional<Frame> encodeVersionReply(std::string_view version);
std::optional<std::string> decodeVersionReply(Bytes frame);

}  // namespace wire
