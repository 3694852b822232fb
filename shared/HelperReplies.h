#pragma once

#include "shared/SensorReading.h"
#include "shared/WireFrame.h"

#include <optional>
#include <string>
#include <string_view>

// The helper's two answers as whole frames.
//
// fetchSensors: a keyed archive of class "SensorReading" with the named fields that have a
// value, as doubles under "cpuT", "gpuT", "batT", "ssdT", "memT", "ambT", "ioT", "cpuP", "gpuP",
// "sysP", "chgP", "f0", "f1", and the fan count as an integer under "fc"; then the list of every
// sensor channel (shared/SensorChannelList.h). A field without a value has no entry. Decoding
// takes no other class, skips keys it does not know, gives an absent value for a key that is
// missing (a fan count of 0), and refuses a known key of the wrong type, a number that is not
// finite, a malformed list and any byte after the list. The encoder leaves out a value that is
// not finite and sanitises the list, so what it writes always decodes.
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
